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

// One picture that walks along the path. Its behaviour is not built yet:
// it plays inert. Its own fields come before the path's record, in an order
// that documents do not settle; ours is, in this order:
//   size         UInt  percent of the picture's pixel size (100: as large)
//   orientation  Long  0 as drawn, 1 turned along the path, 2 mirrored
//                      while the path runs left, 3 mirrored while it runs down
//   walk_speed   UInt  the second clock's speed, hundredths (100: 1×), which
//                      gives the distance walked along the path
// A document whose own fields read otherwise keeps its bytes, and the object
// plays with these defaults and everything its bases hold.
class VRN_SigleObjectPath : public VRN_ParticlePathCtrl {
  LUMI_STORED_CLASS(VRN_SigleObjectPath, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_SigleObjectPath)

 public:
  void Describe(Archive& ar) override;

  MediaParamT<unsigned int> size{100};
  MediaParamT<int> orientation{0};
  MediaParamT<unsigned int> walk_speed{100};
  UnreadFields unread;
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
