#include "archive/guid.h"

namespace lumi {
namespace {

constexpr char16_t kHex[] = u"0123456789ABCDEF";

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// Byte positions of the 32 hex digits in "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
constexpr int kDashes[] = {9, 14, 19, 24};

}  // namespace

std::array<uint8_t, 16> GUID::Bytes() const {
  std::array<uint8_t, 16> b{};
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(data1 >> (8 * i));
  for (int i = 0; i < 2; ++i) b[4 + i] = static_cast<uint8_t>(data2 >> (8 * i));
  for (int i = 0; i < 2; ++i) b[6 + i] = static_cast<uint8_t>(data3 >> (8 * i));
  for (int i = 0; i < 8; ++i) b[8 + i] = data4[i];
  return b;
}

std::u16string FormatGuid(const GUID& g) {
  // Digits in text order: data1, data2, data3 big-endian, then data4 bytes.
  uint8_t text_order[16];
  for (int i = 0; i < 4; ++i) text_order[i] = static_cast<uint8_t>(g.data1 >> (24 - 8 * i));
  text_order[4] = static_cast<uint8_t>(g.data2 >> 8);
  text_order[5] = static_cast<uint8_t>(g.data2);
  text_order[6] = static_cast<uint8_t>(g.data3 >> 8);
  text_order[7] = static_cast<uint8_t>(g.data3);
  for (int i = 0; i < 8; ++i) text_order[8 + i] = g.data4[i];
  std::u16string out = u"{";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) out += u'-';
    out += kHex[text_order[i] >> 4];
    out += kHex[text_order[i] & 0xF];
  }
  out += u'}';
  return out;
}

std::optional<GUID> ParseGuid(std::u16string_view text) {
  if (text.size() != 38 || text.front() != u'{' || text.back() != u'}') return std::nullopt;
  for (int dash : kDashes) {
    if (text[dash] != u'-') return std::nullopt;
  }
  uint8_t text_order[16];
  int digit = 0;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == u'-') continue;
    const int v = HexValue(text[i]);
    if (v < 0) return std::nullopt;
    if (digit % 2 == 0) text_order[digit / 2] = static_cast<uint8_t>(v << 4);
    else text_order[digit / 2] |= static_cast<uint8_t>(v);
    ++digit;
  }
  if (digit != 32) return std::nullopt;
  GUID g;
  g.data1 = (uint32_t{text_order[0]} << 24) | (uint32_t{text_order[1]} << 16) | (uint32_t{text_order[2]} << 8) |
            text_order[3];
  g.data2 = static_cast<uint16_t>((text_order[4] << 8) | text_order[5]);
  g.data3 = static_cast<uint16_t>((text_order[6] << 8) | text_order[7]);
  for (int i = 0; i < 8; ++i) g.data4[i] = text_order[8 + i];
  return g;
}

}  // namespace lumi
