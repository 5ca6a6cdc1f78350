// The texture-particle generators: the stored settings of the generator
// base and of the intermediate classes that fix where particles come from.
// Documents never name these classes; they are the bases of the generator
// effects, whose records end with one of theirs.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "params/colours.h"
#include "params/file_link.h"
#include "params/paths.h"
#include "params/quad_rect.h"
#include "params/sliders.h"
#include "scene/render_obj_data.h"

namespace lumi {

class DS_ParticleGenerator : public DS_ABObj_Constructor {
  LUMI_STORED_CLASS(DS_ParticleGenerator, 3)

 public:
  // From version 2 the source list, from version 3 the particle settings,
  // then the constructor's record. The layout of a stored source is not
  // known, so a record that holds one is refused rather than misread.
  void Describe(Archive& ar) override;

  // What documents before version 3 keep.
  MediaFloat<unsigned int> lifetime{20};  // seconds
  PerSecondCounter rate{30};              // particles per second per source
  MediaFloat<unsigned int> extra_factor{0};
  MediaFloat<unsigned int> launch_speed{0};  // pixels per second, upper bound
  MediaParamT<int> emitting{0};              // 0: no emission
};

class DS_TexParticleGenerator : public DS_ParticleGenerator {
  LUMI_STORED_CLASS(DS_TexParticleGenerator, 3)

 public:
  // The pictures as one named link (the form the particle look stores its
  // textures in), the effect link, the two colours as their 4-byte values,
  // the blend mode and three settings whose meaning is not known, then the
  // generator's record.
  void Describe(Archive& ar) override;

  DS_NamedFileLink images;
  DS_HLSLEffectFile effect;
  SmartCOLORREF colour;
  SmartCOLORREF second_colour;
  MediaParamT<int> blend_mode{0};  // 0 plain, 1 screen, 2 colour dodge, 3 sum
  MediaParamT<int> value_1{0};     // from version 2
  MediaParamT<int> value_2{0};     // from version 2
  MediaParamT<int> value_3{0};     // from version 3
};

class DS_StaticGenerator : public DS_TexParticleGenerator {
  LUMI_STORED_CLASS(DS_StaticGenerator, 1)

 public:
  void Describe(Archive& ar) override;

  D3DXVECTOR3 centre{};
};

class DS_ParticleOriginGenerator : public DS_StaticGenerator {
  LUMI_STORED_CLASS(DS_ParticleOriginGenerator, 2)

 public:
  // Six origin settings, then the static generator's record; the layout of
  // version 1 is not known and is refused.
  void Describe(Archive& ar) override;

  std::array<MediaParamT<unsigned int>, 6> origin_settings;
};

class DS_ParticleRctRgnGenerator : public DS_TexParticleGenerator {
  LUMI_STORED_CLASS(DS_ParticleRctRgnGenerator, 1)

 public:
  void Describe(Archive& ar) override;

  MediaQuad area;
};

class DS_SingleRectGN : public DS_StaticGenerator {
  LUMI_STORED_CLASS(DS_SingleRectGN, 2)

 public:
  // Its quad, then the static generator's record; version 1 is refused.
  void Describe(Archive& ar) override;

  MediaQuad quad;
};

class DS_PathGenerator : public DS_TexParticleGenerator {
  LUMI_STORED_CLASS(DS_PathGenerator, 1)

 public:
  // The path as a count and Bézier point records, as particle paths store
  // theirs, with no smoothing switch.
  void Describe(Archive& ar) override;

  SplinePath path;
};

class DS_StringGenerator : public DS_TexParticleGenerator {
  LUMI_STORED_CLASS(DS_StringGenerator, 1)

 public:
  void Describe(Archive& ar) override;

  std::array<float, 6> chain_settings{};
};

// A sprite the author placed: its position and five pairs of values. The
// count stored before the pairs is kept as read, though five always follow.
struct AirBrushSprite {
  static constexpr uint32_t kPairs = 5;

  D3DXVECTOR3 position{};
  uint32_t pair_count = kPairs;
  std::array<std::array<float, 2>, kPairs> pairs{};
};

class DS_AirBrush : public DS_TexParticleGenerator {
  LUMI_STORED_CLASS(DS_AirBrush, 3)

 public:
  // One setting, the placed sprites, then the texture generator's record;
  // versions before 3 are refused.
  void Describe(Archive& ar) override;

  MediaParamT<unsigned int> value_1{0};
  std::vector<AirBrushSprite> sprites;
};

}  // namespace lumi
