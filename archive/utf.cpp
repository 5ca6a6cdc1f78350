#include "archive/utf.h"

namespace lumi {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  // Class names and most document strings are ASCII.
  bool ascii = true;
  for (char16_t c : text) ascii = ascii && c < 0x80;
  if (ascii) return std::string(text.begin(), text.end());
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string FromUtf8(std::string_view text) {
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    bool ok = extra >= 0 && i + static_cast<size_t>(extra) < text.size();
    char32_t c = 0;
    if (ok) {
      c = lead & (extra == 0 ? 0x7F : (0x3F >> extra));
      for (int k = 1; ok && k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        ok = (next & 0xC0) == 0x80;
        c = (c << 6) | (next & 0x3F);
      }
      ok = ok && c >= kMin[extra] && c <= 0x10FFFF && !(c >= 0xD800 && c < 0xE000);
    }
    if (!ok) {
      AppendUtf16(out, kReplacement);
      ++i;
      continue;
    }
    AppendUtf16(out, c);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

}  // namespace lumi
