// The image-effect framework: the constructor every image effect derives
// from, and the three bases that give an effect a frame of reference (a
// direction, a centre, or a centre with a line through it).
#pragma once

#include <numbers>

#include "archive/archive.h"
#include "params/colours.h"
#include "params/directions.h"
#include "params/file_link.h"
#include "params/param_archive.h"
#include "params/quad_rect.h"
#include "params/sliders.h"
#include "params/typed_param.h"
#include "scene/render_obj_data.h"

namespace lumi {

// Helpers of the effect and backdrop records.
namespace fx {

// Gives a slider a class inherits the whole number and scale the class
// starts it with (records of older versions keep them).
inline void ResetSlider(UINTSclaleTo<float>& slider, unsigned int raw, float factor, float offset = 0.0f) {
  slider = UINTSclaleTo<float>(raw, factor, offset);
}

// A link to resource `id` of the shared resource module.
inline ResourceKey CommonResource(int32_t id) { return DS_FileLink3::ModuleKey(u"common_res.dll", id); }

}  // namespace fx

class DS_FX_Constructor : public DS_ABObj_Constructor {
  LUMI_STORED_CLASS(DS_FX_Constructor, 4)

 public:
  // Oscillation modes; any other value means none.
  enum Oscillation { kTriangle = 2, kSine = 3, kNoise = 4 };

  DS_FX_Constructor();
  void Describe(Archive& ar) override;

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
};

// An effect around a centre point.
class DS_CentralBased : public DS_FX_Constructor {
  LUMI_STORED_CLASS(DS_CentralBased, 1)

 public:
  void Describe(Archive& ar) override;

  MediaParamT<D3DXVECTOR3> centre;  // picture pixels; z is carried, not used

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
};

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
