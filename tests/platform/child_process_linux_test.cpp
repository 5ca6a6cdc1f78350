// Other programs started without a shell: output read within a limit,
// nothing left running, arguments passed literally.
#include "platform/linux/child_process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/open_web_address.h"

namespace lumi {
namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;

bool NoChildLeft() { return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }

// Whether the process `pid` still runs: it exists and is not a zombie
// waiting for whichever process inherited it.
bool Running(const std::string& pid) {
  std::ifstream stat("/proc/" + pid + "/stat");
  std::string number, name, state;
  return static_cast<bool>(stat >> number >> name >> state) && state != "Z";
}

TEST(ChildProcess, OutputArrivesWithArgumentsTakenLiterally) {
  std::string error;
  const std::optional<std::string> out = RunForOutput("/bin/echo", {"a  b", "$(touch x)", "\"q\""}, 5s, error);
  ASSERT_TRUE(out) << error;
  EXPECT_EQ(*out, "a  b $(touch x) \"q\"\n");
  EXPECT_TRUE(NoChildLeft());
}

TEST(ChildProcess, FailuresAndHangsAreReportedAndLeaveNoChild) {
  std::string error;
  EXPECT_FALSE(RunForOutput("/bin/sh", {"-c", "echo partial; exit 3"}, 5s, error));
  EXPECT_THAT(error, HasSubstr("status 3"));
  EXPECT_FALSE(RunForOutput("/bin/sh", {"-c", "kill -SEGV $$"}, 5s, error));
  EXPECT_THAT(error, HasSubstr("signal 11"));
  EXPECT_FALSE(RunForOutput("/nonexistent/lumisave", {}, 5s, error));
  EXPECT_THAT(error, HasSubstr("cannot start"));
  // One that sleeps, and one that closes its output and sleeps on.
  for (const char* script : {"sleep 30", "exec >&-; sleep 30"}) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(RunForOutput("/bin/sh", {"-c", script}, 300ms, error)) << script;
    EXPECT_THAT(error, HasSubstr("did not answer within 300 ms")) << script;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << script;
  }
  EXPECT_TRUE(NoChildLeft());
}

// A program stopped for hanging is stopped with what it started.
TEST(ChildProcess, AHangingProgramGoesWithItsOwnChildren) {
  const std::filesystem::path record =
      std::filesystem::temp_directory_path() / ("lumi_grandchild_" + std::to_string(getpid()));
  std::string error;
  EXPECT_FALSE(RunForOutput("/bin/sh", {"-c", "sleep 30 & echo $! > " + record.string() + "; wait"}, 300ms, error));
  std::ifstream in(record);
  std::string grandchild;
  ASSERT_TRUE(in >> grandchild);
  std::filesystem::remove(record);
  for (int i = 0; i < 100 && Running(grandchild); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_FALSE(Running(grandchild));
  EXPECT_TRUE(NoChildLeft());
}

class WebAddress : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("lumi_xdg_open_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    path_ = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  }
  void TearDown() override {
    setenv("PATH", path_.c_str(), 1);
    std::filesystem::remove_all(folder_);
  }
  std::filesystem::path folder_;
  std::string path_;
};

// A stand-in xdg-open first on PATH writes each argument on a line of its own.
TEST_F(WebAddress, TheAddressIsXdgOpensOneLiteralArgument) {
  const std::filesystem::path record = folder_ / "argv";
  {
    std::ofstream script(folder_ / "xdg-open");
    script << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " << record.string() << ".tmp\nmv "
           << record.string() << ".tmp " << record.string() << "\n";
  }
  std::filesystem::permissions(folder_ / "xdg-open", std::filesystem::perms::owner_all);
  setenv("PATH", (folder_.string() + ":" + path_).c_str(), 1);
  const std::u16string address = u"https://example.org/a b?\"q\"&$(touch pwned)`id`";
  ASSERT_TRUE(OpenWebAddress(address));
  for (int i = 0; i < 250 && !std::filesystem::exists(record); ++i) std::this_thread::sleep_for(20ms);
  std::ifstream in(record);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "https://example.org/a b?\"q\"&$(touch pwned)`id`\n");
  EXPECT_FALSE(std::filesystem::exists("pwned"));
}

TEST_F(WebAddress, WithoutXdgOpenItFails) {
  setenv("PATH", folder_.c_str(), 1);
  EXPECT_FALSE(OpenWebAddress(u"https://example.org/"));
}

}  // namespace
}  // namespace lumi
