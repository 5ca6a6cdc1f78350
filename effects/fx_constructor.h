// The image-effect framework: the constructor every image effect derives
// from, and the three bases that give an effect a frame of reference (a
// direction, a centre, or a centre with a line through it).
#pragma once

#include <array>
#include <memory>
#include <numbers>

#include "archive/archive.h"
#include "effects/fx_clock.h"
#include "params/colours.h"
#include "params/directions.h"
#include "params/file_link.h"
#include "params/param_archive.h"
#include "params/quad_rect.h"
#include "params/sliders.h"
#include "params/typed_param.h"
#include "render/geometry.h"
#include "scene/render_obj_data.h"

namespace lumi {

class DS_ABRender;
class Effect;
class Texture;

// Helpers of the effect and backdrop records.
namespace fx {

// Gives a slider a class inherits the whole number and scale the class
// starts it with (records of older versions keep them).
inline void ResetSlider(UINTSclaleTo<float>& slider, unsigned int raw, float factor, float offset = 0.0f) {
  slider = UINTSclaleTo<float>(raw, factor, offset);
}

// A slider's value where raw 0 counts as raw 1: for the values effects
// divide by.
inline float NonZero(const UINTSclaleTo<float>& slider) {
  return slider.value == 0 ? slider.factor() + slider.offset() : slider.scaled();
}

}  // namespace fx

class DS_FX_Constructor : public DS_ABObj_Constructor {
  LUMI_STORED_CLASS(DS_FX_Constructor, 4)

 public:
  // Oscillation modes; any other value means none.
  enum Oscillation { kTriangle = kOscillateTriangle, kSine = kOscillateSine, kNoise = kOscillateNoise };

  DS_FX_Constructor();
  void Describe(Archive& ar) override;

  // Plays through a DS_BrushObj.
  std::unique_ptr<VRN_RenderObj> CreateRenderObject() const override;
  void OnRestart() override { clock.Restart(); }
  void RenewResources() override;
  bool UsesSharedBounds() const override { return false; }

  // Takes the program from the document and keeps `mask`.
  virtual void LoadEffect(std::shared_ptr<Texture> mask);
  // Writes the rectangle mesh from the corners, in picture pixels.
  virtual void BuildRectMesh();
  virtual void Advance(double local_time);
  virtual void Draw(DS_ABRender& /*backdrop*/) {}
  // Whether the effect is a pass of the effect chain.
  virtual bool UsesBackground() const { return uses_background.value != 0; }
  void SetMask(std::shared_ptr<Texture> texture) { mask_ = std::move(texture); }
  const std::shared_ptr<Texture>& MaskTexture() const { return mask_; }
  const std::shared_ptr<Effect>& Program() const { return effect_; }

  // The pattern scale; raw 0 counts as raw 1, so nothing divides by 0.
  float PatternScale() const;

  // Shared drawing routines. "Scale" = (a / s, 1 / s, s / a, s) with
  // a = picture width / height (1 without a picture), "Mask", "Background"
  // and the technique ("MainFX" with uses background, else "Main").
  void SetCommonParameters(DS_ABRender& backdrop);
  // As above with "Scale" = (a / s, 1 / s); then every pass over the
  // picture quad.
  void DrawOverPicture(DS_ABRender& backdrop);
  // The picture quad with "MainFX" as a chain pass, otherwise only the
  // rectangle with "Main".
  void DrawTechnique(DS_ABRender& backdrop);

  MediaSpeedParam speed;
  MediaParamT<int> uses_background{0};
  DS_HLSLEffectFile program;
  UINTSclaleTo<float> pattern_scale{50, 0.02f, 0.0f};
  MediaQuad rectangle;  // picture pixels, strip order
  MediaParamT<int> oscillation_mode{0};
  // Raw 100 is one full turn.
  UINTSclaleTo<float> phase_offset{0, 2.0f * std::numbers::pi_v<float> / 100.0f, 0.0f};
  // The brush mask's key among the document's masks; label and flag are
  // only carried for the authoring tool.
  GUID brush_id;
  std::u16string brush_label;
  uint8_t brush_flag = 1;

  FrameClock clock;

 protected:
  // Whether there is a program and a mask to draw with. Without either the
  // painted region counts as empty: a chain pass still hands the picture on
  // by copying "Background" over the whole target.
  // Effects whose parameters divide by the picture's size ask for one too.
  bool ReadyToDraw(DS_ABRender& backdrop, bool needs_picture = false) const;
  // The level of the object's timeline: effects fade with it.
  float TimelineFactor() const;
  // "mix_color"'s alpha: the timeline's level under a random timeline, else 1.
  float RandomTimelineFactor() const;
  // The amplitude of a deformation of `mode`: the constants of modes 0 and 1,
  // the oscillation between −b and +a for 2 to 4, 0 for any other mode.
  float SignedAmplitude(int mode, float for_mode_0, float for_mode_1, float a, float b) const;
  // Notes once per object that a stored value is not usable and why.
  void NoteUnusable(const std::string& what) const;
  // The picture's width over its height; 1 without a picture.
  static float PictureAspect(DS_ABRender& backdrop);
  // Makes the rectangle mesh, a grid of cells x cells, and writes it.
  void MakeRectMesh(uint32_t cells = 2);
  // Whether the grid's texture coordinates run from 0 to 1 over the
  // rectangle rather than over the picture.
  virtual bool GridInRectangleCoordinates() const { return false; }

  std::shared_ptr<Texture> mask_;
  std::shared_ptr<Effect> effect_;
  GridMesh rect_mesh_;
};

// An effect that works along a direction angle.
class DS_DirectionBased : public DS_FX_Constructor {
  LUMI_STORED_CLASS(DS_DirectionBased, 1)

 public:
  void Describe(Archive& ar) override;

  // Its meaning (usually a speed or a length) and scale are the concrete
  // class's.
  UINTSclaleTo<float> first_parameter{0, 1.0f, 0.0f};
  MediaParamT<unsigned int> angle{0};  // degrees

  // The x axis turned by 360° − angle: with y down the screen the angle
  // turns counter-clockwise as seen, so 90 points up. Derived on use, so it
  // can never lag behind the angle.
  std::array<float, 2> Direction() const;
};

// An effect around a centre point.
// Its centre is placed in the middle of the picture only by the authoring
// tool: in the player every object counts as placed, so a centre read from
// the record always stands.
class DS_CentralBased : public DS_FX_Constructor {
  LUMI_STORED_CLASS(DS_CentralBased, 1)

 public:
  void Describe(Archive& ar) override;

  MediaParamT<Vector3> centre;  // picture pixels; z is carried, not used

  // A centre that is not finite becomes the picture's centre (one notice).
  void LoadEffect(std::shared_ptr<Texture> mask) override;
  // The centre over the picture's size: in picture texture coordinates.
  std::array<float, 2> NormalisedCentre(DS_ABRender& backdrop) const;

 protected:
  void CentreFields(Archive& ar);
};

// An effect around a centre with a line through it. Its record holds the
// centre itself: the centre-based part has no subrecord of its own.
class DS_LineBased : public DS_CentralBased {
  LUMI_STORED_CLASS(DS_LineBased, 1)

 public:
  void Describe(Archive& ar) override;

  MediaDirection line_direction;

  void LoadEffect(std::shared_ptr<Texture> mask) override;

  // What the line effects' programs receive as "Center", "t", "n", "Ln"
  // and "Lt": in picture coordinates normalised to 0..1, the centre, the two
  // directions (the first with y turned), and the lines through the centre
  // along them as (a, b, k) with a x + b y + k = 0 and (a, b) of unit length.
  struct Lines {
    std::array<float, 2> centre{}, along{}, across{};
    std::array<float, 3> first{}, second{};
  };
  Lines lines;

 protected:
  // The common parameters, then the lines: "Center", "Ln", "Lt", "t", "n".
  void SetLineParameters(DS_ABRender& backdrop);
};

// The line through (x1, y1) and (x2, y2) as (a, b, k), normalised; all 0
// when the points coincide.
std::array<float, 3> LineThrough(float x1, float y1, float x2, float y2);

namespace fx {

// Shorthands for the way effect records apply their values: through Set,
// so scaled values and directions follow what was read.
inline void Slider(Archive& ar, const char* field, UINTSclaleTo<float>& slider) {
  SliderField(ar, field, slider, Apply::Set);
}
inline void Colour(Archive& ar, const char* field, SmartCOLORREF& colour) {
  UIntField(ar, field, colour, Apply::Set);
}

}  // namespace fx

}  // namespace lumi
