// The catalogue of image effects beside water and waterfall: patterns,
// copies, waves, light, deformations, clouds, colourings and shimmer. Each
// holds a few animated settings over one of the framework bases.
#pragma once

#include "effects/fx_constructor.h"
#include "render/prerender_surface.h"

namespace lumi {

class DS_PatternBrush : public DS_FX_Constructor {
  LUMI_STORED_CLASS(DS_PatternBrush, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_PatternBrush)

 public:
  DS_PatternBrush();
  void Describe(Archive& ar) override;

  DS_ImageFileLink pattern_image;
  MediaParamT<int> vertical_flip{0};
  MediaParamT<int> horizontal_flip{0};
  MediaParamT<unsigned int> rotation_angle{0};  // degrees
  UINTSclaleTo<float> pattern_size{100, 0.01f, 0.0f};
  UINTSclaleTo<float> x_offset{0, -0.01f, 0.0f};
  UINTSclaleTo<float> y_offset{0, 0.01f, 0.0f};
  void LoadEffect(std::shared_ptr<Texture> mask) override;
  void Advance(double local_time) override;
  void Draw(DS_ABRender& backdrop) override;
  // "coord_transf" for a pattern of this size in pixels over a picture of
  // that size, row by row.
  std::array<float, 4> PatternTransform(float picture_width, float picture_height, float pattern_width,
                                        float pattern_height) const;

 private:
  AnimatedTexture<DS_Frame> pattern_;
  uint32_t pattern_width_ = 0, pattern_height_ = 0;
};

// A pattern brush under a name of its own; it stores nothing more.
class DS_PatternBrushC : public DS_PatternBrush {
  LUMI_STORED_CLASS(DS_PatternBrushC, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_PatternBrushC)

 public:
  void Describe(Archive& ar) override;
};

class DS_BackgroundCopy : public DS_FX_Constructor {
  LUMI_STORED_CLASS(DS_BackgroundCopy, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_BackgroundCopy)

 public:
  DS_BackgroundCopy();
  void Describe(Archive& ar) override;

  MediaRectangle source_rectangle;
  MediaParamT<int> vertical_flag{0};
  MediaParamT<int> horizontal_flag{0};
  void Draw(DS_ABRender& backdrop) override;
};

class DS_WavesFX : public DS_FX_Constructor {
  LUMI_STORED_CLASS(DS_WavesFX, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_WavesFX)

 public:
  DS_WavesFX();
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> amplitude{50, 0.00025f, 0.0f};
  UINTSclaleTo<float> wavelength{50, 0.0005f, 0.001f};
  MediaParamT<unsigned int> wave_angle{0};  // degrees
  MediaParamT<int> flag{0};
  void Draw(DS_ABRender& backdrop) override;
  // The wave's direction and the vector its crests are measured along.
  std::array<float, 2> WaveDirection() const;
  std::array<float, 2> SecondVector() const;
};

class DS_LightFX : public DS_FX_Constructor {
  LUMI_STORED_CLASS(DS_LightFX, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_LightFX)

 public:
  DS_LightFX();
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> intensity{40, 0.01f, 0.0f};
  MediaParamT<int> mode{0};
  void Draw(DS_ABRender& backdrop) override;
  // The brightness swing b from 0 to 1 at the current phase.
  float Swing() const;
};

class DS_LightFX_II : public DS_FX_Constructor {
  LUMI_STORED_CLASS(DS_LightFX_II, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_LightFX_II)

 public:
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> intensity{0, 0.01f, 0.0f};
  MediaParamT<int> oscillation_kind{0};
  MediaParamT<int> blend_mode{0};
  SmartCOLORREF colour{0};
  void Draw(DS_ABRender& backdrop) override;
  // A chain pass exactly for the blend modes 1 to 4.
  bool UsesBackground() const override;
  // The blend mode, with any mode outside 0 to 4 counted as 0.
  int BlendMode() const;
};

// Embedded in the underwater backdrop, never named on its own.
class DS_UnderwaterFX : public DS_FX_Constructor {
  LUMI_STORED_CLASS(DS_UnderwaterFX, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_UnderwaterFX)

 public:
  DS_UnderwaterFX();
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> amplitude{50, 0.000125f, 0.0f};
  UINTSclaleTo<float> wavelength{50, 0.002f, 0.001f};
  void Draw(DS_ABRender& backdrop) override;
};

// The direction-based first parameter is the amplitude A.
class DS_MoveFX : public DS_DirectionBased {
  LUMI_STORED_CLASS(DS_MoveFX, 3)
  LUMI_CONSTRUCTOR_CLONE(DS_MoveFX)

 public:
  DS_MoveFX();
  void Describe(Archive& ar) override;

  MediaParamT<int> mode{0};
  UINTSclaleTo<float> second_amplitude{0, 0.0002f, 0.0f};
  void Advance(double local_time) override;
  void Draw(DS_ABRender& backdrop) override;
  std::array<float, 2> move{};  // "Direction"
};

class DS_FireFX : public DS_FX_Constructor {
  LUMI_STORED_CLASS(DS_FireFX, 3)
  LUMI_CONSTRUCTOR_CLONE(DS_FireFX)

 public:
  DS_FireFX();
  void Describe(Archive& ar) override;

  SmartCOLORREF base_colour{0};
  SmartCOLORREF tip_colour{0};
  MediaParamT<int> value_1{0};  // carried, not used
  DS_ImageFileLink pattern_image;
  DS_ImageFileLink noise_image;
  UINTSclaleTo<float> density{100, 0.01f, -1.0f};
  UINTSclaleTo<float> brightness{15, 0.02f, 0.0f};
  UINTSclaleTo<float> value_2{100, 0.01f, 0.0f};  // carried, not used

  void LoadEffect(std::shared_ptr<Texture> mask) override;
  void Draw(DS_ABRender& backdrop) override;
  // "Brightness" and "Density" at the timeline's level.
  std::array<float, 2> Strength() const;

  static constexpr uint32_t kGridCells = 8;
  static constexpr uint32_t kFlameSize = 512;  // the flame surface's side

 protected:
  bool GridInRectangleCoordinates() const override { return true; }

 private:
  std::shared_ptr<Texture> pattern_texture_, noise_texture_;
  // The program that draws the flame's shape, and the surface it draws
  // into; made for each played copy, kept over a device loss.
  std::shared_ptr<Effect> flame_program_;
  std::shared_ptr<VRN_PrerenderSurface> flame_surface_;
};

class DS_ExpandFX : public DS_CentralBased {
  LUMI_STORED_CLASS(DS_ExpandFX, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_ExpandFX)

 public:
  DS_ExpandFX();
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> a{50, 0.005f, 0.0f};
  UINTSclaleTo<float> b{0, 0.005f, 0.0f};
  MediaParamT<int> mode{0};
  void Advance(double local_time) override;
  void Draw(DS_ABRender& backdrop) override;
  float signed_amplitude = 0;
};

class DS_RadialWaveFX : public DS_CentralBased {
  LUMI_STORED_CLASS(DS_RadialWaveFX, 3)
  LUMI_CONSTRUCTOR_CLONE(DS_RadialWaveFX)

 public:
  DS_RadialWaveFX();
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> amplitude{50, 0.00025f, 0.0f};
  UINTSclaleTo<float> frequency{50, 0.0001f, 0.001f};
  UINTSclaleTo<float> wavelength{0, 1.0f, 25.0f};
  MediaParamT<int> direction_flag{0};
  void Draw(DS_ABRender& backdrop) override;
};

class DS_RotationFX : public DS_CentralBased {
  LUMI_STORED_CLASS(DS_RotationFX, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_RotationFX)

 public:
  DS_RotationFX();
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> stretch{0, 0.001f, 0.0f};
  MediaParamT<unsigned int> ellipse_angle{0};  // degrees
  MediaParamT<int> direction{0};
  void Advance(double local_time) override;
  void Draw(DS_ABRender& backdrop) override;
  // "coord_transf", row by row.
  std::array<float, 4> Transform() const;
  double turn = 0;  // radians, kept below a full turn
};

class DS_BendFX : public DS_CentralBased {
  LUMI_STORED_CLASS(DS_BendFX, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_BendFX)

 public:
  DS_BendFX();
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> a{0, 0.002f, 0.0f};
  UINTSclaleTo<float> b{0, 0.002f, 0.0f};
  UINTSclaleTo<float> bend{0, 0.02f, 0.0f};
  MediaParamT<int> mode{0};
  void LoadEffect(std::shared_ptr<Texture> mask) override;
  void Advance(double local_time) override;
  void Draw(DS_ABRender& backdrop) override;
  float signed_amplitude = 0;
};

// How the cloud layer leans back into the picture. Stored as six bare
// values in this order; the last two are carried and not used.
struct CloudPerspective {
  UINTSclaleTo<float> b{0, 0.02f, 1.0f};
  UINTSclaleTo<float> c{0, 0.25f, 0.0f};
  UINTSclaleTo<float> t{0, 0.01f, 0.0f};
  MediaParamT<int> flag{0};
  UINTSclaleTo<float> value_1{0, 0.1f, 1.0f};
  UINTSclaleTo<float> value_2{0, 0.01f, 0.0f};
};

class DS_CloudFX : public DS_DirectionBased {
  LUMI_STORED_CLASS(DS_CloudFX, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_CloudFX)

 public:
  DS_CloudFX();
  void Describe(Archive& ar) override;

  SmartCOLORREF colour_1{0};
  SmartCOLORREF colour_2{0};
  DS_ImageFileLink cloud_image;
  DS_ImageFileLink second_image;
  UINTSclaleTo<float> threshold{0, 0.02f, 1.0f};
  UINTSclaleTo<float> density{0, 0.02f, 0.0f};
  CloudPerspective perspective;
  void LoadEffect(std::shared_ptr<Texture> mask) override;
  void Draw(DS_ABRender& backdrop) override;
  // Clouds draw over the target, never as a pass of the chain.
  bool UsesBackground() const override { return false; }

 protected:
  bool GridInRectangleCoordinates() const override { return true; }

 private:
  std::shared_ptr<Texture> cloud_texture_;
};

class DS_PerspectiveFX : public DS_LineBased {
  LUMI_STORED_CLASS(DS_PerspectiveFX, 3)
  LUMI_CONSTRUCTOR_CLONE(DS_PerspectiveFX)

 public:
  DS_PerspectiveFX();
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> amplitude_a{0, 0.002f, 0.0f};
  MediaParamT<unsigned int> depth_factor{0};
  MediaParamT<int> mode{0};
  UINTSclaleTo<float> amplitude_b{0, 0.002f, 0.0f};
  void LoadEffect(std::shared_ptr<Texture> mask) override;
  void Draw(DS_ABRender& backdrop) override;
  // "amplitude" and "p_amplitude" at the current phase.
  std::array<float, 2> Tilt() const;
};

class DS_StretchFX : public DS_LineBased {
  LUMI_STORED_CLASS(DS_StretchFX, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_StretchFX)

 public:
  DS_StretchFX();
  void Describe(Archive& ar) override;

  MediaParamT<int> mode{0};
  UINTSclaleTo<float> a{0, 0.01f, 0.0f};
  UINTSclaleTo<float> b{0, 0.01f, 0.0f};
  void LoadEffect(std::shared_ptr<Texture> mask) override;
  void Advance(double local_time) override;
  void Draw(DS_ABRender& backdrop) override;
  float signed_amplitude = 0;
};

class DS_DayToNight : public DS_FX_Constructor {
  LUMI_STORED_CLASS(DS_DayToNight, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_DayToNight)

 public:
  void Describe(Archive& ar) override;

  SmartCOLORREF multiply_colour{0};
  SmartColorHSB soft_light_colour;
  UINTSclaleTo<float> desaturation{0, 0.01f, 0.0f};
  void LoadEffect(std::shared_ptr<Texture> mask) override;
  void Draw(DS_ABRender& backdrop) override;
};

// The direction-based first parameter is the amplitude A.
class DS_KestrinLinear : public DS_DirectionBased {
  LUMI_STORED_CLASS(DS_KestrinLinear, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_KestrinLinear)

 public:
  DS_KestrinLinear();
  void Describe(Archive& ar) override;
  void LoadEffect(std::shared_ptr<Texture> mask) override;
  void Draw(DS_ABRender& backdrop) override;
};

class DS_KestrinRadial : public DS_CentralBased {
  LUMI_STORED_CLASS(DS_KestrinRadial, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_KestrinRadial)

 public:
  DS_KestrinRadial();
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> amplitude{0, 0.005f, 0.0f};
  MediaParamT<int> axis_flag{0};
  void LoadEffect(std::shared_ptr<Texture> mask) override;
  void Draw(DS_ABRender& backdrop) override;
};

class DS_KestrinVortical : public DS_CentralBased {
  LUMI_STORED_CLASS(DS_KestrinVortical, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_KestrinVortical)

 public:
  DS_KestrinVortical();
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> amplitude{0, 0.001f, 0.0f};
  MediaParamT<unsigned int> ellipse_angle{0};  // degrees
  MediaParamT<int> direction{0};
  UINTSclaleTo<float> ellipse_deformation{0, 0.005f, 0.0f};
  void LoadEffect(std::shared_ptr<Texture> mask) override;
  void Draw(DS_ABRender& backdrop) override;
};

class DS_HeatDistortion : public DS_FX_Constructor {
  LUMI_STORED_CLASS(DS_HeatDistortion, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_HeatDistortion)

 public:
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> shimmer_speed{0, 0.001f, 0.0f};
  UINTSclaleTo<float> strength{0, 0.002f, 0.0f};
  UINTSclaleTo<float> bump_size{0, -0.009f, 1.0f};
  // Not stored: the shared module's noise picture.
  DS_ImageFileLink bump_map{CommonResource(62)};
  void LoadEffect(std::shared_ptr<Texture> mask) override;
  void Advance(double local_time) override;
  void Draw(DS_ABRender& backdrop) override;
  double shimmer_offset = 0;  // o, kept below one tile

 private:
  std::shared_ptr<Texture> bump_texture_;
};

}  // namespace lumi
