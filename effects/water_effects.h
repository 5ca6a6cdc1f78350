// Water over the picture: still water that ripples in place, and water
// streaming across a rectangle.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "effects/fx_constructor.h"

namespace lumi {

class DS_WaterFX : public DS_FX_Constructor {
  LUMI_STORED_CLASS(DS_WaterFX, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_WaterFX)

 public:
  DS_WaterFX();
  void Describe(Archive& ar) override;

  void LoadEffect(std::shared_ptr<Texture> mask) override;
  void Advance(double local_time) override;
  void Draw(DS_ABRender& backdrop) override;

  // (cos angle, sin angle): not mirrored, so 90 flows down the screen.
  std::array<float, 2> FlowDirection() const;
  // "P2" for the refraction factor; see Draw.
  static std::array<float, 3> RefractionP2(float e);
  // "BampTrans": a turn by 4.5 × phase scaled by the shimmer amplitude,
  // row by row.
  std::array<float, 4> bump_transform{};

  UINTSclaleTo<float> refraction_factor{20, 0.0001f, 0.0f};
  UINTSclaleTo<float> shimmer_amplitude{20, 0.001f, 0.0f};
  UINTSclaleTo<float> second_flow_speed{20, 0.00025f, 0.0f};
  UINTSclaleTo<float> first_flow_length{20, 0.0005f, 0.001f};
  MediaParamT<unsigned int> flow_angle{40};  // degrees, not mirrored
  UINTSclaleTo<float> shadow_strength{0, 0.01f, 0.0f};
  UINTSclaleTo<float> highlight_height{0, 0.1f, 0.0f};
  SmartCOLORREF tint{0x00FFFFFF};
  DS_ImageFileLink bump_map{CommonResource(89)};

 private:
  std::shared_ptr<Texture> bump_texture_;
};

class DS_WaterfallFX : public DS_DirectionBased {
  LUMI_STORED_CLASS(DS_WaterfallFX, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_WaterfallFX)

 public:
  DS_WaterfallFX();
  void Describe(Archive& ar) override;

  // Layers drawn at most: each is a pass over the rectangle every frame.
  static constexpr unsigned int kMostLayers = 256;

  void LoadEffect(std::shared_ptr<Texture> mask) override;
  void Advance(double local_time) override;
  void Draw(DS_ABRender& backdrop) override;

  struct Layer {
    std::array<float, 2> shift{};
    float translucency = 0;
  };
  std::vector<Layer> layers;
  std::array<float, 2> noise_shift{};

  UINTSclaleTo<float> layer_opacity{0, -0.01f, 1.0f};
  MediaParamT<unsigned int> layer_count{0};
  UINTSclaleTo<float> noise_amplitude{0, 0.0001f, 0.0f};  // raw 0 switches the noise pass off
  UINTSclaleTo<float> fourth_parameter{0, 1.0f, 0.0f};     // carried, not used
  UINTSclaleTo<float> threshold{0, -0.001f, 1.0f};
  DS_ImageFileLink noise_map;
  SmartCOLORREF base_colour{0};
  MediaParamT<int> drawing_off{0};

 private:
  std::shared_ptr<Texture> noise_texture_;
};

}  // namespace lumi
