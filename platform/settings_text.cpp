#include "platform/settings_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "archive/utf.h"

namespace lumi {
namespace {

constexpr std::string_view kHeader = "; lumisave settings: the registry values of Windows, one key per section\n";

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

std::string Quote(std::u16string_view name) {
  std::string quoted = "\"";
  for (char c : ToUtf8(name)) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

[[noreturn]] void Fail(std::size_t line, const std::string& what) {
  throw SettingsSyntaxError("line " + std::to_string(line) + ": " + what);
}

std::uint8_t HexByte(std::string_view text, std::size_t line) {
  std::uint8_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (text.size() != 2 || error != std::errc() || end != text.data() + text.size()) {
    Fail(line, "'" + std::string(text) + "' is not a byte in hexadecimal");
  }
  return value;
}

SettingValue ParseData(std::string_view data, std::size_t line) {
  if (data.starts_with("\"")) {
    std::string text;
    std::size_t i = 1;
    for (; i < data.size() && data[i] != '"'; ++i) {
      if (data[i] == '\\' && ++i == data.size()) break;
      text += data[i];
    }
    if (i + 1 != data.size()) Fail(line, "a text value is written \"text\", with \\ before \\ and \"");
    return SettingValue::String(FromUtf8(text));
  }
  if (data.starts_with("dword:")) {
    const std::string_view digits = data.substr(6);
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (digits.size() != 8 || error != std::errc() || end != digits.data() + digits.size()) {
      Fail(line, "a dword needs 8 hexadecimal digits");
    }
    return SettingValue::Dword(value);
  }
  if (data.starts_with("hex:")) {
    SettingValue value{SettingType::Binary, {}};
    std::string_view rest = data.substr(4);
    while (!rest.empty()) {
      const std::size_t comma = rest.find(',');
      value.bytes.push_back(HexByte(rest.substr(0, comma), line));
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return value;
  }
  Fail(line, "a value must be \"text\", dword:XXXXXXXX or hex:xx,xx,...");
}

}  // namespace

bool CaseInsensitiveLess::operator()(std::u16string_view a, std::u16string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char16_t x, char16_t y) { return Lower(x) < Lower(y); });
}

SettingValue SettingValue::Dword(std::uint32_t value) {
  return {SettingType::Dword,
          {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
           static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)}};
}

SettingValue SettingValue::String(std::u16string_view text) {
  SettingValue value{SettingType::String, {}};
  for (char16_t c : text) {
    value.bytes.push_back(static_cast<std::uint8_t>(c));
    value.bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  value.bytes.insert(value.bytes.end(), {0, 0});
  return value;
}

std::optional<std::u16string> SettingValue::Text() const {
  if (type != SettingType::String || bytes.size() % 2 != 0) return std::nullopt;
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (c == 0) break;
    text += c;
  }
  return text;
}

std::u16string NormaliseKeyPath(std::u16string_view path) {
  while (!path.empty() && path.front() == u'\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
  return std::u16string(path);
}

std::string FormatSettings(const SettingsTree& tree) {
  std::string text(kHeader);
  for (const auto& [key, values] : tree) {
    text += "\n[" + ToUtf8(key) + "]\n";
    for (const auto& [name, value] : values) {
      text += Quote(name) + "=";
      // Text that reads back as it is stored is written as text.
      if (const std::optional<std::u16string> words = value.Text(); words && SettingValue::String(*words) == value) {
        text += Quote(*words);
      } else if (value.type == SettingType::Dword && value.bytes.size() == 4) {
        char digits[16];
        const std::uint32_t number = value.bytes[0] | (value.bytes[1] << 8) | (value.bytes[2] << 16) |
                                     (static_cast<std::uint32_t>(value.bytes[3]) << 24);
        std::snprintf(digits, sizeof digits, "dword:%08x", number);
        text += digits;
      } else {
        // Bytes of any length keep their own form, a dword of the wrong size too.
        text += "hex:";
        for (std::size_t i = 0; i < value.bytes.size(); ++i) {
          char digits[4];
          std::snprintf(digits, sizeof digits, i == 0 ? "%02x" : ",%02x", value.bytes[i]);
          text += digits;
        }
      }
      text += "\n";
    }
  }
  return text;
}

SettingsTree ParseSettings(std::string_view text) {
  SettingsTree tree;
  SettingsKey* key = nullptr;
  std::size_t number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 3) Fail(number, "a key is written [path]");
      key = &tree[NormaliseKeyPath(FromUtf8(std::string(line.substr(1, line.size() - 2))))];
      continue;
    }
    if (line.front() != '"') Fail(number, "expected [key] or \"name\"=value");
    if (key == nullptr) Fail(number, "a value before any [key]");
    std::string name;
    std::size_t i = 1;
    for (; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\') {
        if (++i == line.size()) break;
      }
      name += line[i];
    }
    if (i >= line.size() || i + 1 >= line.size() || line[i + 1] != '=') Fail(number, "a name is written \"name\"=");
    (*key)[FromUtf8(name)] = ParseData(line.substr(i + 2), number);
  }
  return tree;
}

}  // namespace lumi
