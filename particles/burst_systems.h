// Bursts and fountains: particles launched from a point into a sector, a
// fixed number per timeline cycle (burst) or a steady rate (fountain), and
// the fountains that differ only in how they set up their particles.
#pragma once

#include <array>
#include <cstdint>

#include "params/directions.h"
#include "params/sliders.h"
#include "particles/particle_system.h"

namespace lumi {

class VRN_BurstPtclSys : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_BurstPtclSys, 4)
  LUMI_CONSTRUCTOR_CLONE(VRN_BurstPtclSys)

 public:
  void Describe(Archive& ar) override;

  VRN_PointImitter emitter;
  MediaParamT<unsigned int> count{0};             // particles per timeline cycle
  UINTSclaleTo<float> launch_speed{0, 4.0f, 0.0f};  // pixels per second
  MediaParamT<unsigned int> range{0};             // travel distance in pixels
  MediaParamT<int> three_d{0};
  MediaSector launch;                             // 0° right, 90° up
  MediaParamT<int> focused{0};
  MediaParamT<unsigned int> start_radius{0};      // pixels

  // Behaviour.
  bool HasBehaviour() const override { return true; }
  // The wobble of the look is switched on.
  void Attach() override;
  // A burst starts empty.
  void ResetPopulation() override;
  // count × level − emitted per timeline cycle; state 1 starts a cycle.
  void Emit(ParticleList& born, float dt) override;
  // The shared set-up of a launched particle: life, look, kinematics, and
  // its start and velocity, focused or not, in the plane or in 3-D.
  virtual void InitParticle(Particle& p) const;
  // Seconds a particle lives: range over the launch speed, the speed
  // taken as at least 1 pixel a second.
  float Lifetime() const;
  // The unit vector of the launch angle on screen: (cos θ, −sin θ, 0).
  Vector3 LaunchDirection() const;

  int64_t emitted_count = 0;  // this timeline cycle's births

 protected:
  // Spawns n particles at the emitter, sets each up and appends them.
  void Launch(ParticleList& born, int64_t n);

  // Gravity that records before version 4 stored beside the burst's own
  // settings; the look holds it today.
  struct OldGravity {
    uint32_t gravity = 0;
    int32_t up = 0;
  };

  // The burst's own settings as a record of `version` stores them, without
  // the base record.
  void DescribeBurst(Archive& ar, int version, OldGravity& old);
  // The look's state that older records imply. The look belongs to the
  // base record, so this runs after it.
  void ConvertOlderLook(int version, const OldGravity& old);
};

class VRN_FontainPtclSys : public VRN_BurstPtclSys {
  LUMI_STORED_CLASS(VRN_FontainPtclSys, 2)
  LUMI_CONSTRUCTOR_CLONE(VRN_FontainPtclSys)

 public:
  void Describe(Archive& ar) override;

  VRN_EvenImitter counter;  // replaces the burst's count

  // rate × level a second; the pre-roll of every system.
  void Emit(ParticleList& born, float dt) override;
  void ResetPopulation() override;

  EvenCounter counter_state;
};

class DS_WaterJet : public VRN_FontainPtclSys {
  LUMI_STORED_CLASS(DS_WaterJet, 0)
  LUMI_CONSTRUCTOR_CLONE(DS_WaterJet)

 public:
  void Describe(Archive& ar) override;
};

class DS_LightBeams : public VRN_FontainPtclSys {
  LUMI_STORED_CLASS(DS_LightBeams, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_LightBeams)

 public:
  void Describe(Archive& ar) override;
};

// Settings stored but not used in playing are kept as stored.
class DS_PtclFireStream : public VRN_FontainPtclSys {
  LUMI_STORED_CLASS(DS_PtclFireStream, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_PtclFireStream)

 public:
  void Describe(Archive& ar) override;

  uint32_t unused = 0;
};

// Flames accelerate along the launch direction by the look's gravity.
class DS_PtclFire : public VRN_FontainPtclSys {
  LUMI_STORED_CLASS(DS_PtclFire, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_PtclFire)

 public:
  void Describe(Archive& ar) override;

  // Stored, not used in playing: kept as read (value_1 to value_4).
  int32_t unused_integer = 0;
  std::array<uint32_t, 3> unused_raws{};

  void InitParticle(Particle& p) const override;
};

// Smoke blown sideways by the wind.
class DS_PtclSmoke : public VRN_FontainPtclSys {
  LUMI_STORED_CLASS(DS_PtclSmoke, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_PtclSmoke)

 public:
  void Describe(Archive& ar) override;

  uint32_t unused = 0;  // stored, not used in playing
  UINTSclaleTo<float> wind{50, 10.0f, -500.0f};  // raw 50: no wind

  // The wind alone moves the smoke besides its launch: the look's physics
  // (gravity and drag) is switched off.
  void Attach() override;
  // Wind towards (wind, 0) with the look's air resistance as strength,
  // before the shared set-up.
  void InitParticle(Particle& p) const override;
};

}  // namespace lumi
