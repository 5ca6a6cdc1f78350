// A bounded cursor over bytes that it does not own. Every read checks what
// remains; the caller turns a refusal into an error that names the record.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <utility>

namespace lumi {

class ByteSource {
 public:
  explicit ByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t offset() const { return offset_; }
  size_t remaining() const { return bytes_.size() - offset_; }

  // Moves the cursor to `offset`, which must not lie past the end.
  void Seek(size_t offset) { offset_ = offset; }
  std::span<const uint8_t> bytes() const { return bytes_; }

  // The next n bytes, or an empty optional-like false when fewer remain.
  bool Take(size_t n, std::span<const uint8_t>& out) {
    if (n > remaining()) return false;
    out = bytes_.subspan(offset_, n);
    offset_ += n;
    return true;
  }

  // Little-endian value of T; false when fewer than sizeof(T) bytes remain.
  template <class T>
  bool Read(T& value) {
    std::span<const uint8_t> raw;
    if (!Take(sizeof(T), raw)) return false;
    uint8_t ordered[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i) ordered[i] = raw[i];
    if constexpr (std::endian::native == std::endian::big) {
      for (size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(ordered[i], ordered[sizeof(T) - 1 - i]);
    }
    std::memcpy(&value, ordered, sizeof(T));
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t offset_ = 0;
};

}  // namespace lumi
