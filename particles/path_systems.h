// Particles that travel along an author-drawn Bézier path, and traces that
// drop particles behind a point moving along one.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "params/paths.h"
#include "particles/particle_system.h"

namespace lumi {

// The path alone; the base of the single object that moves along it.
class VRN_ParticlePathCtrl : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_ParticlePathCtrl, 1)

 public:
  void Describe(Archive& ar) override;

  SplinePath path;
};

// Particles emitted at the path's start that follow it. Its settings are
// the counter rate, speed, lifetime, width, wobble and taper; which stored
// value is which is not known, so they are kept in stored order.
class VRN_ParticlePath : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_ParticlePath, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_ParticlePath)

 public:
  void Describe(Archive& ar) override;

  SplinePath path;
  std::array<uint32_t, 4> first_raws{};
  int32_t integer = 0;
  std::array<uint32_t, 5> last_raws{};
};

// A tracer running along the path once per timeline cycle, dropping
// `drop_count` particles evenly behind it.
class VRN_ParticleTrace : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_ParticleTrace, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_ParticleTrace)

 public:
  void Describe(Archive& ar) override;

  SplinePath path;
  MediaParamT<unsigned int> drop_count{0};
  MediaParamT<unsigned int> lifetime{0};    // hundredths of a second
  MediaParamT<unsigned int> scatter{0};     // pixels around the tracer
  MediaParamT<unsigned int> drop_speed{0};  // pixels a second

  // Behaviour. Samples the path, 100 samples a segment.
  bool HasBehaviour() const override { return true; }
  void Attach() override;
  void ResetPopulation() override;
  // While the timeline is on, the tracer covers the path once a cycle and
  // drops a particle every length / (drop_count − 1); otherwise it waits
  // at the start.
  void Emit(ParticleList& born, float dt) override;

  // Run time, never stored.
  std::vector<SplineSample> samples;
  float length = 0;
  float tracer = 0;     // distance of the last drop along the path
  float travelled = 0;  // distance since the last drop

 private:
  void Drop(float at);
};

}  // namespace lumi
