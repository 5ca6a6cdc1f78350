// Runs a program through the shell for tests of whole programs: its exit
// code and what it wrote, each stream kept in a file of the test's folder.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace lumi::test {

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct CommandOutcome {
  int code = -1;
  std::string out, err;
};

// `command` is a shell command line; its output files go into `folder`.
inline CommandOutcome RunCommand(const std::string& command, const std::filesystem::path& folder) {
  const std::string line = command + " >" + (folder / "out").string() + " 2>" + (folder / "err").string() +
                           "; echo $? >" + (folder / "code").string();
  if (std::system(line.c_str()) != 0) return {};
  return {std::stoi(ReadText(folder / "code")), ReadText(folder / "out"), ReadText(folder / "err")};
}

}  // namespace lumi::test
