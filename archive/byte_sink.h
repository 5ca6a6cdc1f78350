// Growing little-endian output buffer for the binary writer.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

namespace lumi {

class ByteSink {
 public:
  template <class T>
  void Write(T value) {
    uint8_t raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    if constexpr (std::endian::native == std::endian::big) {
      for (size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(raw[i], raw[sizeof(T) - 1 - i]);
    }
    bytes_.insert(bytes_.end(), raw, raw + sizeof(T));
  }
  void Append(std::span<const uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::vector<uint8_t> Release() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace lumi
