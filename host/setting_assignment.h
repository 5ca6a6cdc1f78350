// A stored value named as users write it ("PicPos" with or without its
// double quotes, "Screen 2/Width") and a value in its accepted range,
// checked before anything is written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumi {

struct SettingAssignment {
  std::u16string key;   // below the user's root
  std::u16string name;  // exactly as stored
  std::uint32_t value = 0;
  std::optional<std::u16string> text;  // set for a text value (the Document), then stored as text
  std::string error;    // non-empty when refused: what was wrong and what is accepted
};

// `key_path` is the settings key. "PicPos" also takes stretch, fit, fill;
// "Document" takes any text (empty: the document the program carries).
SettingAssignment ParseSettingAssignment(std::string_view name, std::string_view value, std::u16string_view key_path);

}  // namespace lumi
