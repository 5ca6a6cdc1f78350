// Particles that travel along an author-drawn Bézier path, and traces that
// drop particles behind a point moving along one.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "params/clamped_clock.h"
#include "params/paths.h"
#include "particles/line_strip.h"
#include "particles/emission.h"
#include "particles/particle_system.h"

namespace lumi {

// The path alone; the base of the single object that moves along it.
class VRN_ParticlePathCtrl : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_ParticlePathCtrl, 1)

 public:
  void Describe(Archive& ar) override;

  SplinePath path;
};

// One picture that walks along the path, round and round, at walk_speed ×
// kWalkSpeed pixels a second, centred on the path and sized in percent of
// its picture (a look without a picture stands for one of
// ParticleLookDrawing::kBlankPictureSide square). Its own fields come before the path's record, in an order
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

  // Behaviour. Samples the path, 100 samples a segment.
  bool HasBehaviour() const override { return true; }
  void Attach() override;
  // Back at the path's start, instead of a pre-roll.
  void ResetPopulation() override;
  void Advance(double time) override;
  void BuildQuads(ParticleLookDrawing& drawing) const override;

  static constexpr float kWalkSpeed = 100;  // pixels a second at 1×

  // Run time, never stored.
  std::vector<SplineSample> samples;
  float length = 0;
  ClampedClock walk;
  PathPlace place;
};

// Particles emitted at the path's start that follow it, waving sideways.
// Its stored settings are, in stored order (value_1 … value_10 in inspect):
//   first_raws[0]  the counter's rate, fifths of a particle a second
//   first_raws[1]  the speed along the path, pixels a second
//   first_raws[2]  the distance the taper ramps run over, pixels along
//                  the path (0: the path's length)
//   first_raws[3]  the wave's width either side of the path, pixels
//   integer        non-zero: the wave wanders as noise, else it swings
//   last_raws[0]   the wave's frequency, hundredths
//   last_raws[1]   the slowest particle's speed factor k, hundredths: each
//                  runs at 1 to 2 − k times the speed
//   last_raws[2]   f1, where the taper in ends, hundredths of that distance
//   last_raws[3]   f2, where the taper out starts, the same
//   last_raws[4]   the wave's share at both ends of the taper, hundredths,
//                  when f1 < f2; otherwise the wave starts and ends at 0
class VRN_ParticlePath : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_ParticlePath, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_ParticlePath)

 public:
  void Describe(Archive& ar) override;

  SplinePath path;
  std::array<uint32_t, 4> first_raws{100, 100, 0, 10};
  int32_t integer = 0;
  std::array<uint32_t, 5> last_raws{100, 50, 20, 80, 0};

  // Behaviour. Samples the path, 100 samples a segment.
  bool HasBehaviour() const override { return true; }
  void Attach() override;
  // rate × level particles a second at the path's start, each tracking the
  // path until its end; nothing without a path of two points.
  void Emit(ParticleList& born, float dt) override;

  // Run time, never stored.
  std::shared_ptr<std::vector<SplineSample>> samples = std::make_shared<std::vector<SplineSample>>();
  EvenCounter counter_state;
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
