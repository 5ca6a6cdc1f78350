#include "scene/fresh_guid.h"

#include <random>

namespace lumi {

GUID NewGuid() {
  thread_local std::mt19937_64 generator{std::random_device{}()};
  const uint64_t high = generator();
  const uint64_t low = generator();
  GUID guid;
  guid.data1 = static_cast<uint32_t>(high >> 32);
  guid.data2 = static_cast<uint16_t>(high >> 16);
  guid.data3 = static_cast<uint16_t>((high & 0x0FFF) | 0x4000);
  for (int i = 0; i < 8; ++i) guid.data4[i] = static_cast<uint8_t>(low >> (56 - 8 * i));
  guid.data4[0] = static_cast<uint8_t>((guid.data4[0] & 0x3F) | 0x80);
  return guid;
}

}  // namespace lumi
