// Rain drops running down a window pane.
#pragma once

#include <cstdint>
#include <vector>

#include "params/directions.h"
#include "params/sliders.h"
#include "particles/particle_system.h"

namespace lumi {

class DS_RainOnGlass : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_RainOnGlass, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_RainOnGlass)

 public:
  void Describe(Archive& ar) override;

  VRN_EvenImitter counter;
  MediaQuad area;  // the pane
  UINTSclaleTo<float> slide_acceleration{0, 1.0f, 0.0f};
  MediaDirection slide_direction;

  // Behaviour.
  bool HasBehaviour() const override { return true; }
  // Drops size and fade by their own numbers; one routine shared by every
  // drop kills those that leave the pane.
  void Attach() override;
  void ResetPopulation() override;
  float PrerollSeconds() const override { return 15.0f; }
  // A second update of every drop, the merging of drops that touch, then
  // rate drops a second whatever the level, straight into `particles`.
  void Emit(ParticleList& born, float dt) override;
  // Touching drops flow into the one whose top is higher: sorted by their
  // tops once, each drop meets only those that start within its extent.
  void MergeTouchingDrops();
  // The unit slide direction on screen.
  Vector3 SlideDirection() const;

  EvenCounter counter_state;

 private:
  void InitDrop(Particle& p) const;

  struct DropExtent {
    float top, bottom, x, half;
    uint32_t index;
  };
  std::vector<DropExtent> extents_;  // reused from frame to frame
  RoutineHandle interaction_;
};

}  // namespace lumi
