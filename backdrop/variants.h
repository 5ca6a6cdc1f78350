// The backdrop variants: a slide picture with a whole-scene treatment (under
// water, fire with a heat shimmer, a reflecting lake, water rings, raining
// glyphs, a glass ball). Each stores its own fields, then the plain
// backdrop's record.
#pragma once

#include <cstdint>

#include "backdrop/light_2d.h"
#include "effects/catalogue_effects.h"
#include "params/colours.h"
#include "params/sliders.h"

namespace lumi {

// Prepares a variant whose own treatment is not built yet: it draws as the
// plain backdrop, and the first of its class says so once.
void LoadAsPlainBackdrop(DS_2D_Light& variant);

class FakeUndervater : public DS_2D_Light {
  LUMI_STORED_CLASS(FakeUndervater, 2)

 public:
  void Describe(Archive& ar) override;
  void Load() override { LoadAsPlainBackdrop(*this); }

  DS_UnderwaterFX underwater;
};

class DS_FlameLight : public DS_2D_Light {
  LUMI_STORED_CLASS(DS_FlameLight, 2)

 public:
  DS_FlameLight();
  void Describe(Archive& ar) override;
  void Load() override { LoadAsPlainBackdrop(*this); }

  MediaParamT<int> fire_on{1};
  MediaParamT<int> shimmer_on{1};
  // Percent of the picture height by which the band's bottom edge lies
  // below the picture's.
  MediaParamT<unsigned int> band_position{0};
  DS_FireFX fire;
  DS_ImageFileLink bump_image{fx::CommonResource(62)};
  DS_HLSLEffectFile program{fx::CommonResource(63)};
  UINTSclaleTo<float> shimmer_speed{50, 0.001f, 0.0f};
  UINTSclaleTo<float> shimmer_strength{25, 0.002f, 0.0f};
  UINTSclaleTo<float> bump_size{88, -0.009f, 1.0f};
};

class FakeLake2D : public DS_2D_Light {
  LUMI_STORED_CLASS(FakeLake2D, 2)

 public:
  FakeLake2D();
  void Describe(Archive& ar) override;
  void Load() override { LoadAsPlainBackdrop(*this); }

  UINTSclaleTo<float> ripple_extent{100, 0.01f, 0.0f};
  MediaSpeedParam speed;
  // Share of the picture height under water, from the bottom edge.
  UINTSclaleTo<float> lake_height{25, -0.005f, 0.5f};
  UINTSclaleTo<float> bump_flattening{100, 0.01f, 0.0f};
  UINTSclaleTo<float> haze_opacity{31, 0.008f, 0.0f};
  UINTSclaleTo<float> haze_fade{58, 0.01f, 0.0f};
  MediaParamT<unsigned int> normal_amplitude{25};
  MediaParamT<unsigned int> feather_height{7};  // picture pixels
  MediaParamT<int> reflection_size_exponent{1};  // side 128 × 2^n
  SmartCOLORREF haze_colour{0x408000};
  // The bump texture's key among the document's masks; label and flag are
  // only carried for the authoring tool.
  GUID bump_id;
  std::u16string bump_label;
  uint8_t bump_flag = 1;
};

// Most settings are whole numbers that the simulation maps by formulas of
// its own; only three are plain sliders.
class DS_WaterRingLight : public DS_2D_Light {
  LUMI_STORED_CLASS(DS_WaterRingLight, 2)

 public:
  void Describe(Archive& ar) override;
  void Load() override { LoadAsPlainBackdrop(*this); }

  MediaParamT<unsigned int> wave_speed{0};
  MediaParamT<unsigned int> row_density{0};
  MediaParamT<unsigned int> column_density{0};
  MediaParamT<unsigned int> drop_depth{50};
  MediaParamT<unsigned int> damping{50};
  MediaParamT<unsigned int> refraction_depth{20};
  UINTSclaleTo<float> drop_rate{30, 1.0f / 60.0f, 0.0f};  // drops per second
  UINTSclaleTo<float> specular_level{90, 0.01f, 0.0f};
  UINTSclaleTo<float> specular_power{50, 0.8f, 0.0f};
  MediaParamT<int> scene_mode{0};  // 1: the whole scene under the water
};

class DS_MatrixCodeLight : public DS_2D_Light {
  LUMI_STORED_CLASS(DS_MatrixCodeLight, 2)

 public:
  void Describe(Archive& ar) override;
  void Load() override { LoadAsPlainBackdrop(*this); }

  MediaParamT<unsigned int> cell_size{16};  // picture pixels
  MediaParamT<unsigned int> density{20};
  MediaParamT<unsigned int> spinner_count{50};
  MediaParamT<int> mutation{0};
  MediaParamT<int> picture_mode{0};
  MediaParamT<int> insert_mode{2};
  SmartCOLORREF normal_colour{0};
  SmartCOLORREF highlight_colour{0};
  UINTSclaleTo<float> brightness{0, -0.01f, 1.0f};
  DS_ImageFileLink glyph_image{fx::CommonResource(40)};
};

struct IntPoint {
  int32_t x = 0, y = 0;
  friend bool operator==(const IntPoint&, const IntPoint&) = default;
};

class DS_GlassBallLight : public DS_2D_Light {
  LUMI_STORED_CLASS(DS_GlassBallLight, 2)

 public:
  void Describe(Archive& ar) override;
  void Load() override { LoadAsPlainBackdrop(*this); }

  DS_ImageFileLink highlight_image_1{fx::CommonResource(58)};
  DS_ImageFileLink highlight_image_2{fx::CommonResource(59)};
  DS_ImageFileLink stand_image{fx::CommonResource(184)};
  DS_ImageFileLink background_image{fx::CommonResource(5)};
  UINTSclaleTo<float> speed{33, 0.03f, 0.0f};
  MediaParamTB<IntPoint> ball_offset;
  MediaParamT<unsigned int> ball_size{100};  // percent
  MediaParamT<unsigned int> sway_width{0};
  MediaParamT<int> highlight_1_on{1};
  MediaParamT<int> highlight_2_on{1};
  MediaParamT<int> stand_on{0};
  MediaParamT<int> background_flag{0};
  MediaParamT<int> motion_mode{3};  // 0 still, 1 and 2 turning, 3 swaying
  SmartCOLORREF top_colour{0};
  SmartCOLORREF bottom_colour{0};
};

}  // namespace lumi
