// Hand-written document bytes for tests: each call appends one encoded value.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace lumi::test {

class ByteBuilder {
 public:
  ByteBuilder& U8(uint8_t v) { return Raw(&v, 1); }
  ByteBuilder& U16(uint16_t v) { return Raw(&v, 2); }
  ByteBuilder& I32(int32_t v) { return Raw(&v, 4); }
  ByteBuilder& U32(uint32_t v) { return Raw(&v, 4); }
  ByteBuilder& F32(float v) { return Raw(&v, 4); }
  ByteBuilder& I64(int64_t v) { return Raw(&v, 8); }
  // A string as documents store it: marker, length prefix, UTF-16LE units.
  ByteBuilder& Str(std::u16string_view s) {
    U8(0xFF).U8(0xFE).U8(0xFF);
    if (s.size() < 0xFF) {
      U8(static_cast<uint8_t>(s.size()));
    } else if (s.size() < 0xFFFF) {
      U8(0xFF).U16(static_cast<uint16_t>(s.size()));
    } else {
      U8(0xFF).U16(0xFFFF).U32(static_cast<uint32_t>(s.size()));
    }
    for (char16_t c : s) U16(c);
    return *this;
  }
  ByteBuilder& Str(std::string_view ascii) { return Str(std::u16string(ascii.begin(), ascii.end())); }
  // A record header: class name and version.
  ByteBuilder& Header(std::string_view class_name, int32_t version) { return Str(class_name).I32(version); }
  ByteBuilder& Bytes(const std::vector<uint8_t>& b) { return Raw(b.data(), b.size()); }
  // Four characters, as RIFF chunk identifiers.
  ByteBuilder& Tag(const char (&id)[5]) { return Raw(id, 4); }

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  size_t size() const { return bytes_.size(); }

 private:
  ByteBuilder& Raw(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    bytes_.insert(bytes_.end(), b, b + n);  // tests run on little-endian machines
    return *this;
  }
  std::vector<uint8_t> bytes_;
};

}  // namespace lumi::test
