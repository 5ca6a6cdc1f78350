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

  // Behaviour.
  bool HasBehaviour() const override { return true; }
  // Unplaced, the stream runs down 0.8 of the screen, from its top edge.
  void Attach() override;
  void ResetPopulation() override;
  // rate × level a second, each particle from a random point of the edge
  // from corner 2 to corner 0 towards the same share of the edge from
  // corner 3 to corner 1, moved by the aim spread; they go straight into
  // `particles` with their first update.
  void Emit(ParticleList& born, float dt) override;
  // The least share of the stream speed a particle gets: `min_speed` in
  // percent, at most 1.
  float SlowestShare() const;
  // How far from the opposite share a particle may aim: `aim_spread` in
  // percent of the edge.
  float AimSpread() const;

  EvenCounter counter_state;
};

class DS_PtclSmoke2 : public DS_StreamPtclSys {
  LUMI_STORED_CLASS(DS_PtclSmoke2, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_PtclSmoke2)

 public:
  void Describe(Archive& ar) override;

  // Unplaced, the smoke rises: the stream's area upside down.
  void Attach() override;

  // Stored, not used in playing.
  std::array<uint32_t, 2> unused_raws{};
  int32_t unused_integer = 0;
};

}  // namespace lumi
