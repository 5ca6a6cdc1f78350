#include "host/setting_assignment.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

#include "archive/utf.h"
#include "host/device_choice.h"
#include "host/saver_settings.h"

namespace lumi {
namespace {

struct Settable {
  const char16_t* name;
  std::uint32_t max;
};

constexpr std::uint32_t kAnyNumber = 0xFFFFFFFF;

constexpr std::array kKeyValues = {
    Settable{kValuePicturePosition, kMaxPicturePosition}, Settable{kValueSoundVolume, kMaxSoundVolume},
    Settable{kValueSoundBalance, 100},                    Settable{kValueMuteSound, 1},
    Settable{kValueAllScreensSame, 1},                    Settable{kValueShuffleDocuments, 1},
};
constexpr std::array kScreenValues = {
    Settable{kValueLeaveBlack, 1}, Settable{kValueDisableHardware, 1}, Settable{kValueWidth, kAnyNumber},
    Settable{kValueHeight, kAnyNumber}, Settable{kValueFormat, kAnyNumber}, Settable{kValueQuality, kMaxQuality},
};

bool SameLetters(std::u16string_view a, std::u16string_view b) {
  const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) {
           return lower(x) == lower(y);
         });
}

// Names in any case; the four quoted names also without their quotes.
bool SameName(std::u16string_view given, std::u16string_view stored) {
  if (SameLetters(given, stored)) return true;
  return stored.size() == given.size() + 2 && stored.front() == u'"' &&
         SameLetters(stored.substr(1, given.size()), given);
}

std::string Unquoted(const char16_t* name) {
  std::string text = ToUtf8(name);
  if (text.size() >= 2 && text.front() == '"') text = text.substr(1, text.size() - 2);
  return text;
}

std::string AcceptedNames() {
  std::string names;
  names += "  " + Unquoted(kValueDocument) + "  (a document or a folder of them; empty for the demo)\n";
  for (const Settable& s : kKeyValues) names += "  " + Unquoted(s.name) + "\n";
  for (const Settable& s : kScreenValues) names += "  Screen N/" + Unquoted(s.name) + "  (N from 1 to 9)\n";
  return names;
}

std::optional<std::uint32_t> Number(std::string_view text) {
  std::uint32_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return number;
}

}  // namespace

SettingAssignment ParseSettingAssignment(std::string_view name_text, std::string_view value_text,
                                         std::u16string_view key_path) {
  SettingAssignment result;
  std::u16string name = FromUtf8(std::string(name_text));
  const Settable* found = nullptr;
  result.key = key_path;
  if (const std::size_t slash = name.find(u'/'); slash != std::u16string::npos && SameLetters(name.substr(0, std::min<std::size_t>(7, slash)), u"Screen ")) {
    const std::optional<std::uint32_t> screen = Number(ToUtf8(name.substr(7, slash - 7)));
    name = name.substr(slash + 1);
    if (screen && *screen >= 1 && *screen <= kMaxMonitors) {
      for (const Settable& s : kScreenValues) {
        if (SameName(name, s.name)) found = &s;
      }
      result.key += u"Screen " + FromUtf8(std::to_string(*screen));
    }
  } else if (SameName(name, kValueDocument)) {
    result.name = kValueDocument;
    result.text = FromUtf8(std::string(value_text));
    return result;
  } else {
    for (const Settable& s : kKeyValues) {
      if (SameName(name, s.name)) found = &s;
    }
  }
  if (SameName(name, kValueAdapterId)) {
    result.error = "\"Adapter ID\" is read-only: it names the graphics adapter the screen's values were chosen for";
    return result;
  }
  if (found == nullptr) {
    result.error = "unknown setting '" + std::string(name_text) + "'; the settings are:\n" + AcceptedNames();
    return result;
  }
  result.name = found->name;
  std::optional<std::uint32_t> value = Number(value_text);
  const bool position = found->name == std::u16string_view(kValuePicturePosition);
  const bool quality = found->name == std::u16string_view(kValueQuality);
  if (position) {
    if (const std::optional<std::uint32_t> named = PicturePositionNamed(value_text)) value = named;
  }
  if (quality) {
    if (const std::optional<std::uint32_t> named = QualityNamed(value_text)) value = named;
  }
  if (!value || *value > found->max) {
    const std::string accepted = found->max == kAnyNumber ? "a whole number from 0 to 4294967295"
                                 : position              ? "0 to 2, or stretch, fit, fill"
                                 : quality               ? "0 to 2, or automatic, best, fastest"
                                                         : "0 to " + std::to_string(found->max);
    result.error = "'" + std::string(value_text) + "' is not a value of " + Unquoted(found->name) + "; it takes " +
                   accepted;
    return result;
  }
  result.value = *value;
  return result;
}

}  // namespace lumi
