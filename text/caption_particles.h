// Captions drawn as one textured quad of a particle system: the picture is
// the texture of the appearance block; an effect program draws it with an
// optional drop shadow. Static, scrolling and link captions.
#pragma once

#include <array>

#include "archive/archive.h"
#include "params/colours.h"
#include "params/directions.h"
#include "params/typed_param.h"
#include "particles/single_particle.h"

namespace lumi {

// How the authoring tool made the caption's picture; playback does not
// read it. The values the format names only by kind keep their stored
// order in their names.
struct DS_TextStyle {
  MediaParamT<vrn_string> caption;
  MediaParamT<vrn_string> face_name;
  MediaParamT<unsigned int> value_1;
  MediaParamT<int> value_2, value_3;
  SmartCOLORREF value_4;
  MediaParamT<int> value_5, value_6, value_7;
  SmartCOLORREF value_8;
  MediaParamT<unsigned int> value_9, value_10;
  MediaParamT<int> value_11;
  SmartCOLORREF value_12;
  MediaParamT<unsigned int> value_13;
};

class DS_StaticText : public VRN_StaticObject {
  LUMI_STORED_CLASS(DS_StaticText, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_StaticText)

 public:
  // The caption program, resource 198 of the shared module.
  static constexpr int32_t kProgram = 198;

  void Describe(Archive& ar) override;
  // The look draws with the caption program.
  void Attach() override;
  // The shadow when it is on, then the caption, both moved by `Shift`.
  void Render(ParticleLookDrawing& drawing, ParticleLookDrawing& strip, DS_ABRender& backdrop) const override;
  // The picture's shift in texture units: none for a still caption.
  virtual std::array<float, 2> Shift() const { return {0, 0}; }
  // Where "Shadow" draws for the caption shift s, in texture units of a
  // texture of `width` x `height` pixels.
  std::array<float, 2> ShadowShift(std::array<float, 2> s, uint32_t width, uint32_t height) const;
  // A point of the screen inside the quad's corners.
  bool HitTest(int x, int y) const;

  DS_TextStyle style;
  MediaParamT<int> shadow_on{0};
  SmartCOLORREF shadow_colour;
  MediaParamT<unsigned int> shadow_distance{0};  // pixels
  MediaDirection shadow_direction;
  // Stored and copied; not used in playback.
  SmartCOLORREF style_colour2;
  SmartCOLORREF style_colour3;
  MediaParamT<unsigned int> style_value1{0};
  MediaParamT<unsigned int> style_value2{0};
};

class DS_ScrollingTex : public DS_StaticText {
  LUMI_STORED_CLASS(DS_ScrollingTex, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_ScrollingTex)

 public:
  void Describe(Archive& ar) override;

  // The scroll starts again from its side.
  void ResetPopulation() override;
  // One pass of the picture through the quad per timeline cycle; a
  // timeline without cycles holds it at its start.
  void Advance(double time) override;
  // The picture's extent along the scroll axis grows with the quad, so it
  // keeps its pixel size however tall or wide the quad is.
  void TextureExtents(float& u, float& v) const override;
  std::array<float, 2> Shift() const override;

  MediaParamT<int> direction{0};  // 0 and 1 vertical, 2 and 3 horizontal

  // Run time, never stored: texture units per second, the position, and
  // where a pass starts.
  float scroll_speed = 0;
  float scroll_position = 0;
  float start_offset = 0;

 private:
  bool Vertical() const { return direction.value != 2 && direction.value != 3; }
  // The picture's extent along the scroll axis, unscaled.
  float PictureExtent() const { return Vertical() ? look.run.v_extent : look.run.u_extent; }
  // start_offset from the quad and the picture; true when it changed.
  bool SetUpQuad();
  // The position where a pass starts.
  void ResetScroll();
};

class DS_TextLink : public DS_StaticText {
  LUMI_STORED_CLASS(DS_TextLink, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_TextLink)

 public:
  void Describe(Archive& ar) override;

  // The hand cursor and 1 over the link while its timeline is not off.
  int OnMouseMove(int x, int y) override;
  // True while off, else whether the click falls on the link.
  bool OnClick(int x, int y) override;

  MediaParamT<unsigned int> link_value{0};  // stored and copied only
};

}  // namespace lumi
