// Splashes and sprays: particles that start in a rectangle or a sector and
// live a fixed time; a splash emits a number per timeline cycle, a spray a
// steady rate.
#pragma once

#include <cstdint>

#include "params/directions.h"
#include "params/sliders.h"
#include "particles/particle_system.h"

namespace lumi {

class VRN_SplashPtclSys : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_SplashPtclSys, 2)
  LUMI_CONSTRUCTOR_CLONE(VRN_SplashPtclSys)

 public:
  // Any other emitter choice is the sector.
  static constexpr int kRectangleEmitter = 0;

  void Describe(Archive& ar) override;

  VRN_RectImitter rect_emitter;
  VRN_SectorImitter sector_emitter;
  MediaParamT<int> emitter_choice{kRectangleEmitter};
  MediaParamT<unsigned int> count{0};  // particles per timeline cycle
  TimeParam lifetime;
  MediaSector launch;
  UINTSclaleTo<float> launch_speed{0, 1.0f, 0.0f};  // pixels per second

  // Behaviour.
  bool HasBehaviour() const override { return true; }
  // A splash starts empty.
  void ResetPopulation() override;
  // count × level − emitted per timeline cycle, as the burst.
  void Emit(ParticleList& born, float dt) override;
  // Life, look, kinematics, and a launch within the whole spread on each
  // side of the angle.
  virtual void InitParticle(Particle& p) const;

  int64_t emitted_count = 0;  // this timeline cycle's births

 protected:
  // Spawns n particles in the chosen shape, sets each up and appends them.
  void Launch(ParticleList& born, int64_t n);

 private:
  // Version 1 stored durations of fading in, staying and fading out where
  // today's records store the lifetime and the launch; they become the
  // lifetime and the look's ramps.
  void DescribeVersion1(Archive& ar);
};

class VRN_SprayPtclSys : public VRN_SplashPtclSys {
  LUMI_STORED_CLASS(VRN_SprayPtclSys, 2)
  LUMI_CONSTRUCTOR_CLONE(VRN_SprayPtclSys)

 public:
  void Describe(Archive& ar) override;

  VRN_EvenImitter counter;

  // rate × level a second; the pre-roll of every system.
  void Emit(ParticleList& born, float dt) override;
  void ResetPopulation() override;

  EvenCounter counter_state;
};

// A slow spray: its speeds and spin run at finer scales.
class DS_PtclFog : public VRN_SprayPtclSys {
  LUMI_STORED_CLASS(DS_PtclFog, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_PtclFog)

 public:
  DS_PtclFog();
  void Describe(Archive& ar) override;
  float PrerollSeconds() const override { return 8.0f; }

  uint32_t unused = 0;  // stored, not used in playing
};

class DS_PtclSmoke3 : public VRN_SprayPtclSys {
  LUMI_STORED_CLASS(DS_PtclSmoke3, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_PtclSmoke3)

 public:
  void Describe(Archive& ar) override;

  uint32_t unused = 0;  // stored, not used in playing
};

class DS_BokehLights : public VRN_SprayPtclSys {
  LUMI_STORED_CLASS(DS_BokehLights, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_BokehLights)

 public:
  void Describe(Archive& ar) override;

  int32_t unused = 0;  // stored, not used in playing
};

}  // namespace lumi
