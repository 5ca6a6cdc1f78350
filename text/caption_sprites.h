// Captions drawn as one effect-drawn sprite: the authoring tool renders the
// text to a picture that the document's resource table holds under the
// caption's picture id. Static, scrolling and link captions.
#pragma once

#include <cstdint>
#include <string>

#include "archive/archive.h"
#include "archive/guid.h"
#include "params/param_archive.h"
#include "params/typed_param.h"
#include "sprites/sprite_constructors.h"

namespace lumi {

// A font as the authoring tool chose it. The player keeps and copies it;
// the caption's picture already shows it.
struct FontData {
  int32_t value_1 = 0;
  uint32_t value_2 = 0;
  int32_t value_3 = 0;
  std::u16string face_name;

  friend bool operator==(const FontData&, const FontData&) = default;
};

class FontMediaParam : public MediaParamT<FontData> {
 public:
  using MediaParamT<FontData>::MediaParamT;
};

// The three numbers, then the face name.
void FontField(Archive& ar, const char* field, FontMediaParam& font, Apply apply);

class DS_StaticTextConstructor : public DS_StatBaseFXCtrl {
  LUMI_STORED_CLASS(DS_StaticTextConstructor, 3)
  LUMI_CONSTRUCTOR_CLONE(DS_StaticTextConstructor)

 public:
  // Red tint, the time mode and timing flag captions play with, and a
  // fresh picture id.
  DS_StaticTextConstructor();
  void Describe(Archive& ar) override;

  MediaParamT<int> setting1{0};  // kept, not used in playback
  MediaParamT<int> setting2{0};
  MediaParamT<vrn_string> text;
  FontMediaParam font;
  GUID picture_id;
  std::u16string picture_name;
  bool picture_flag = true;
};

class DS_ScrollingTextConstructor : public DS_StaticTextConstructor {
  LUMI_STORED_CLASS(DS_ScrollingTextConstructor, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_ScrollingTextConstructor)

 public:
  void Describe(Archive& ar) override;

  MediaParamT<unsigned int> period{0};
  MediaParamT<int> direction{0};  // 0 to 3
  // What the sprite's height and width are measured against.
  float extent_a = 0;
  float extent_b = 0;
};

class DS_TextLinkConstructor : public DS_StaticTextConstructor {
  LUMI_STORED_CLASS(DS_TextLinkConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_TextLinkConstructor)

 public:
  void Describe(Archive& ar) override;

  MediaParamT<unsigned int> link_value{0};  // stored and copied only
};

}  // namespace lumi
