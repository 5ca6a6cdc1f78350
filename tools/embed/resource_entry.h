// One resource the build packs into a module: its id, its type (a number
// such as 10 for RT_RCDATA, or a name such as DDS) and the file it holds.
#pragma once

#include <string>
#include <vector>

namespace lumi::embed {

struct Entry {
  unsigned long id;
  std::string type;
  bool typeIsNumber;
  std::string path;
  std::vector<unsigned char> bytes;
};

}  // namespace lumi::embed
