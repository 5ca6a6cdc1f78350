// A folder of one test's own under the system's temporary folder, empty when
// made and removed with everything in it when the test ends. The tests run
// as parallel processes, so the name holds the test's suite and name.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace lumi::test {

class ScratchDirectory {
 public:
  ScratchDirectory() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("lumi-") + (test ? std::string(test->test_suite_name()) + "-" + test->name() : "");
    // Parameterised tests have slashes in their names.
    std::replace(name.begin(), name.end(), '/', '-');
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

  // Writes `bytes` to the file `name` in the folder and returns its path.
  std::filesystem::path Write(const std::filesystem::path& name, const std::vector<uint8_t>& bytes) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace lumi::test
