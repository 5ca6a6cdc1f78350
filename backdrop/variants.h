// The backdrop variants: a slide picture with a whole-scene treatment (under
// water, fire with a heat shimmer, a reflecting lake, water rings, raining
// glyphs, a glass ball). Each stores its own fields, then the plain
// backdrop's record.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "backdrop/glyph_rain.h"
#include "backdrop/light_2d.h"
#include "backdrop/ripple_grid.h"
#include "effects/catalogue_effects.h"
#include "params/colours.h"
#include "params/sliders.h"
#include "render/sprite_batches.h"

namespace lumi {

// Every variant offers the whole picture to the objects that ask for areas.
bool ReportWholePicture(const DS_2D_Light& variant, std::vector<PlacedRect>& areas);

// The scene seen under water: the picture and every object pass through the
// effect chain, and the embedded effect draws the finished scene distorted.
class FakeUndervater : public DS_2D_Light {
  LUMI_STORED_CLASS(FakeUndervater, 2)

 public:
  void Describe(Archive& ar) override;
  void Load() override;
  void UpdateCamera(double time) override;
  void DrawBorders(bool keep) override;
  bool ReportArea(std::vector<PlacedRect>& areas) override { return ReportWholePicture(*this, areas); }
  bool NeedsOffscreen() const override { return true; }

  DS_UnderwaterFX underwater;
};

// Fire over the picture, and a band of heat shimmer above it through which
// the finished scene is drawn.
class DS_FlameLight : public DS_2D_Light {
  LUMI_STORED_CLASS(DS_FlameLight, 2)

 public:
  static constexpr const char* kShimmerTechnique = "BumpmapDistortLow2";

  DS_FlameLight();
  void Describe(Archive& ar) override;
  void Load() override;
  void RestoreDevice() override;
  void DrawBorders(bool keep) override;
  void DrawPicture(bool keep) override;
  void UpdateCamera(double time) override;
  bool ReportArea(std::vector<PlacedRect>& areas) override { return ReportWholePicture(*this, areas); }
  bool NeedsOffscreen() const override { return shimmer_on.value == 1; }
  void Reload() override;

  // The band's top and bottom edges in picture pixels.
  std::array<float, 2> BandSpan() const;
  // "stenght", "Offset" and "bump_scale" as the band program receives them.
  struct ShimmerParameters {
    float strength;
    std::array<float, 2> offset, bump_scale;
  };
  ShimmerParameters Shimmer() const;

  MediaParamT<int> fire_on{1};
  MediaParamT<int> shimmer_on{1};
  // Percent of the picture height by which the band's bottom edge lies
  // below the picture's.
  MediaParamT<unsigned int> band_position{0};
  DS_FireFX fire;
  DS_ImageFileLink bump_image{CommonResource(62)};
  DS_HLSLEffectFile program{CommonResource(63)};
  UINTSclaleTo<float> shimmer_speed{50, 0.001f, 0.0f};
  UINTSclaleTo<float> shimmer_strength{25, 0.002f, 0.0f};
  UINTSclaleTo<float> bump_size{88, -0.009f, 1.0f};
  FrameClock band_clock;

 private:
  void WriteBand();

  float band_aspect_ = 1;  // picture height / width
  std::shared_ptr<Texture> bump_texture_;
  std::shared_ptr<Effect> band_program_;
  DS_SimpleMesh<VertexPT> band_;
};

class FakeLake2D : public DS_2D_Light {
  LUMI_STORED_CLASS(FakeLake2D, 2)

 public:
  // The reflection's side is 128 × 2^n with n at most this.
  static constexpr int kLargestExponent = 7;

  FakeLake2D();
  void Describe(Archive& ar) override;
  void DrawMirrored(MirroredObject& object, int argument) override;
  void Load() override;
  void RestoreDevice() override;
  void DrawPicture(bool keep) override;
  void UpdateCamera(double time) override;
  bool ReportArea(std::vector<PlacedRect>& areas) override { return ReportWholePicture(*this, areas); }
  void Reload() override;

  // The lake's two triangles in picture pixels with the bump coordinates
  // (set 0) and the reflection coordinates (set 1).
  std::array<VertexPT2, 6> SurfaceVertices() const;
  // The haze's alpha bytes at the picture's bottom edge and at the horizon.
  std::array<uint32_t, 2> HazeAlphas() const;
  uint32_t ReflectionSide() const;
  // The bump-environment matrix (00, 01, 10, 11) of the lake clock.
  const std::array<float, 4>& BumpRotation() const { return bump_rotation_; }
  const std::shared_ptr<Texture>& Reflection() const { return reflection_; }
  const std::shared_ptr<Texture>& Bump() const { return bump_texture_; }

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
  FrameClock lake_clock;

 private:
  void WriteLake();
  void MakeReflection();
  void DrawHaze(GraphicsDevice& device, const DS_SimpleMesh<VertexPC>& quad);

  DS_SimpleMesh<VertexPT2> surface_;
  DS_SimpleMesh<VertexPT> land_;  // the picture above the horizon
  DS_SimpleMesh<VertexPC> haze_, feather_;
  std::shared_ptr<Texture> bump_texture_, reflection_;
  std::array<float, 4> bump_rotation_{0.04f, 0, 0, 0.04f};
};

// Rings from falling drops spread over the picture, or over the whole
// finished scene, drawn as a lit grid whose coordinates refraction bends.
// Most settings are whole numbers that the simulation maps by formulas of
// its own; only three are plain sliders.
class DS_WaterRingLight : public DS_2D_Light {
  LUMI_STORED_CLASS(DS_WaterRingLight, 2)

 public:
  void Describe(Archive& ar) override;
  void Load() override;
  void RestoreDevice() override;
  void DrawBorders(bool keep) override;
  void DrawPicture(bool keep) override;
  void UpdateCamera(double time) override;
  bool ReportArea(std::vector<PlacedRect>& areas) override { return ReportWholePicture(*this, areas); }
  bool NeedsOffscreen() const override { return scene_mode.value == 1; }

  // What the stored numbers mean to the simulation.
  RippleSettings Settings() const;
  const RippleGrid& Grid() const { return grid_; }
  // Whether a drop falls at slide time t, as UpdateCamera decides.
  bool DropDue(double time);
  // The vertices rebuilt from the grid, as the next draw shows them.
  void RebuildVertices();

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

 private:
  // Flat, with one drop already fallen; buffers for its size.
  void BuildGrid();
  void DrawGrid(const std::shared_ptr<Texture>& texture);

  RippleGrid grid_;
  std::vector<RippleVertex> vertices_;
  DS_IndexedMesh<VertexPCT> mesh_;
  double last_drop_ = 0;
};

// Columns of glyphs raining over the picture, or over black lit by the
// picture's brightness; one tick of the rain per drawn frame.
class DS_MatrixCodeLight : public DS_2D_Light {
  LUMI_STORED_CLASS(DS_MatrixCodeLight, 2)

 public:
  // Glyphs per buffer: four vertices each stay within 16-bit indices.
  static constexpr uint32_t kGlyphsPerBuffer = 16383;

  void Describe(Archive& ar) override;
  void Load() override;
  void RestoreDevice() override;
  void DrawPicture(bool keep) override;
  void UpdateCamera(double time) override { last_time_ = time; }
  void SetPlacement(PlacementMode mode) override;
  void DrawScreenImage(const ScreenImage& image) override;
  bool ReportArea(std::vector<PlacedRect>& areas) override { return ReportWholePicture(*this, areas); }
  void Reload() override;

  const GlyphRain& Rain() const { return rain_; }
  const std::vector<GlyphRecord>& Glyphs() const { return glyphs_; }
  const SpriteBatches& Buffers() const { return buffers_; }
  // The picture's brightness at a cell, 0 … 1 (1 without a map).
  float BrightnessAt(uint32_t column, uint32_t row) const;
  // One tick and the quads written from it.
  void Step();

  MediaParamT<unsigned int> cell_size{16};  // picture pixels
  MediaParamT<unsigned int> density{20};
  MediaParamT<unsigned int> spinner_count{50};
  MediaParamT<int> mutation{0};
  MediaParamT<int> picture_mode{0};
  MediaParamT<int> insert_mode{2};
  SmartCOLORREF normal_colour{0};
  SmartCOLORREF highlight_colour{0};
  UINTSclaleTo<float> brightness{0, -0.01f, 1.0f};
  DS_ImageFileLink glyph_image{CommonResource(40)};

 private:
  void Rebuild();
  void BuildBrightnessMap();
  void WriteQuads();

  GlyphRain rain_;
  std::vector<GlyphRecord> glyphs_;
  size_t previous_count_ = 0;
  SpriteBatches buffers_;
  std::shared_ptr<Texture> glyph_texture_;
  uint32_t strip_width_ = 0, strip_height_ = 0;
  std::vector<float> brightness_map_;  // 256 x 256, row-major
  double last_time_ = 0;
};

struct IntPoint {
  int32_t x = 0, y = 0;
  friend bool operator==(const IntPoint&, const IntPoint&) = default;
};

// The whole finished scene inside a glass ball in front of a background:
// refracted through a generated hemisphere, turning or swaying.
class DS_GlassBallLight : public DS_2D_Light {
  LUMI_STORED_CLASS(DS_GlassBallLight, 2)

 public:
  static constexpr uint32_t kBumpSide = 256, kMaskSide = 1024, kGradientSide = 256;
  // The ball quad's half side and the stand, in the ball's own units.
  static constexpr float kBallHalfSide = 256;

  void Describe(Archive& ar) override;
  void PushTarget(uint32_t width, uint32_t height, PlacementMode mode) override;
  void PopTarget() override;
  void Load() override;
  void RestoreDevice() override;
  void DrawBorders(bool keep) override;
  // The chain is always cleared first: the ball shows all of it.
  void DrawPicture(bool /*keep*/) override { DS_2D_Light::DrawPicture(false); }
  void UpdateCamera(double time) override;
  void SetPlacement(PlacementMode mode) override;
  bool ReportArea(std::vector<PlacedRect>& areas) override { return ReportWholePicture(*this, areas); }
  bool NeedsOffscreen() const override { return ball_off.value == 0; }

  // The generated textures' texels: V16U16 words (U low), alpha bytes and
  // A8R8G8B8 words.
  static std::vector<uint32_t> HemisphereBump();
  static std::vector<uint8_t> CircleMask();
  static std::vector<uint32_t> Gradient(uint32_t top, uint32_t bottom);
  // The ball camera's eye on z for placement scales sx and sy; 0 for an
  // empty placement, which shows no ball.
  float EyeDistance(float sx, float sy) const;
  // The sway of motion mode 3 at a shared total, -1 … 1.
  static float Sway(double total);
  // The clock all glass balls of this render unit share.
  double SharedTotal() const;
  // Where the ball lies on the target, in target pixels: its centre and
  // radius; a radius of 0 for an empty placement.
  struct Layout {
    float x, y, radius;
    PlacedRect placed;  // the picture as the ball sees it placed
  };
  Layout BallLayout(float target_width, float target_height) const;

  DS_ImageFileLink highlight_image_1{CommonResource(58)};
  DS_ImageFileLink highlight_image_2{CommonResource(59)};
  DS_ImageFileLink stand_image{CommonResource(184)};
  DS_ImageFileLink background_image{CommonResource(5)};
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
  // Not stored: non-zero shows the scene without the ball.
  MediaParamT<int> ball_off{0};

 private:
  std::shared_ptr<Texture> Picture(const DS_ImageFileLink& link) const;
  void DrawQuad(GraphicsDevice& device, const VertexPT2 (&quad)[4]);

  std::shared_ptr<Texture> bump_, mask_, gradient_;
  std::shared_ptr<Texture> highlight_1_, highlight_2_, stand_, background_;
  std::shared_ptr<VertexBuffer> quad_;
  PlacementMode ball_mode_ = PlacementMode::Fill, saved_ball_mode_ = PlacementMode::Fill;
  float sway_ = 0;
};

}  // namespace lumi
