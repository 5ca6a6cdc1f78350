// Captions drawn as one effect-drawn sprite: the authoring tool renders the
// text to a picture that the document's resource table holds under the
// caption's picture id. Static, scrolling and link captions.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
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

  bool HasEffectDrawing() const override { return true; }
  // The picture the document's resources hold under `picture_id`, kept in
  // `picture`; none when they hold nothing there.
  PictureFrames SpritePicture() override;
  // The caption keeps its size and place every frame.
  void UpdateSprite(Sprite& sprite) override;
  // "CommonVretexColor" with "Texture1" = the picture.
  bool SetUpEffect(Effect& effect, const SpriteTextures& textures) const override;
  std::string_view ProgramClass() const override { return kClassName; }

  // Screen pixels of the render unit inside the caption's rectangle.
  bool HitTest(int x, int y) const;

  MediaParamT<int> setting1{0};  // kept, not used in playback
  MediaParamT<int> setting2{0};
  MediaParamT<vrn_string> text;
  FontMediaParam font;
  GUID picture_id;
  std::u16string picture_name;
  bool picture_flag = true;

  // Shared between copies, found when the render object is made.
  std::shared_ptr<Texture> picture;
};

// A caption scrolling endlessly: once across per `period` seconds of the
// motion clock, down (0), up (1), right (2) or left (3).
class DS_ScrollingTextConstructor : public DS_StaticTextConstructor {
  LUMI_STORED_CLASS(DS_ScrollingTextConstructor, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_ScrollingTextConstructor)

 public:
  void Describe(Archive& ar) override;
  // The texture ranges from the extents, then one step of the scroll.
  void UpdateSprite(Sprite& sprite) override;
  // "ScrollText" with "Texture1" and "Shift" along the scroll axis.
  bool SetUpEffect(Effect& effect, const SpriteTextures& textures) const override;
  // The picture's shift along the scroll axis, in texture units.
  std::array<float, 2> Shift() const { return shift; }

  MediaParamT<unsigned int> period{0};  // seconds
  MediaParamT<int> direction{0};  // 0 to 3
  // What the sprite's height and width are measured against.
  float extent_a = 0;
  float extent_b = 0;
  // Run time: the vertical and horizontal scroll positions and the shift
  // each gives. The vertical one starts a third of the way, where the
  // caption sits in place.
  std::array<float, 2> scroll_position{1.0f / 3, 0};
  std::array<float, 2> shift{0, 0};
};

// A caption meant as a link. Pointer input is not routed to scenes, so
// while playing it is drawn like static text.
class DS_TextLinkConstructor : public DS_StaticTextConstructor {
  LUMI_STORED_CLASS(DS_TextLinkConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_TextLinkConstructor)

 public:
  void Describe(Archive& ar) override;
  // The hand cursor and 1 over the link while its timeline is not off.
  int OnMouseMove(int x, int y) override;
  // True while off, else whether the click falls on the link.
  bool OnClick(int x, int y) override;

  MediaParamT<unsigned int> link_value{0};  // stored and copied only
};

}  // namespace lumi
