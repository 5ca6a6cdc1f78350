// A stream of particles from one edge of a quad to the opposite edge, and
// the smoke that rises the same way.
#pragma once

#include <array>
#include <cstdint>

#include "params/sliders.h"
#include "particles/particle_system.h"

namespace lumi {

class DS_StreamPtclSys : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_StreamPtclSys, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_StreamPtclSys)

 public:
  void Describe(Archive& ar) override;

  VRN_EvenImitter counter;
  MediaQuad area;
  TimeParam lifetime;
  UINTSclaleTo<float> stream_speed{0, 2.0f, 0.0f};
  MediaParamT<unsigned int> min_speed{0};
  // The speed pair is stored twice; the second copy is kept as stored.
  uint32_t stream_speed_copy = 0;
  uint32_t min_speed_copy = 0;
  MediaParamT<unsigned int> aim_spread{0};
};

class DS_PtclSmoke2 : public DS_StreamPtclSys {
  LUMI_STORED_CLASS(DS_PtclSmoke2, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_PtclSmoke2)

 public:
  void Describe(Archive& ar) override;

  // Stored, not used in playing.
  std::array<uint32_t, 2> unused_raws{};
  int32_t unused_integer = 0;
};

}  // namespace lumi
