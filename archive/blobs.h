// Byte blocks carried in documents: a named block, and a block that also
// remembers which resource of which module it came from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumi {

struct DS_MemBlob {
  std::u16string name;
  std::vector<uint8_t> bytes;
  friend bool operator==(const DS_MemBlob&, const DS_MemBlob&) = default;
};

struct DS_ResBlob {
  int32_t id = 0;
  std::u16string module;  // resource module file name, e.g. "common_res.dll"
  DS_MemBlob blob;
  friend bool operator==(const DS_ResBlob&, const DS_ResBlob&) = default;
};

}  // namespace lumi
