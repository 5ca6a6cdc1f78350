// A star field flying towards or away from a vanishing point.
#pragma once

#include <cstdint>

#include "params/sliders.h"
#include "particles/particle_system.h"
#include "render/vertex_formats.h"

namespace lumi {

class VRN_ThroughSpaceCtrl : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_ThroughSpaceCtrl, 3)
  LUMI_CONSTRUCTOR_CLONE(VRN_ThroughSpaceCtrl)

 public:
  void Describe(Archive& ar) override;

  VRN_EvenImitter counter;
  VRN_RectImitter emitter;  // where stars appear
  MediaSpeedParam turn_speed;
  MediaParamT<int> turn_reverse{0};
  Vector3 vanishing_point{};
  uint8_t forward = 0;  // stored as one byte and kept as stored
  MediaSpeedParam flight_speed;

  // Behaviour.
  bool HasBehaviour() const override { return true; }
  // Unplaced, stars appear all over the screen and fly about its centre.
  void Attach() override;
  void ResetPopulation() override;
  // The flight clock moves the stars twice a frame, as the rays; the turn
  // clock turns the whole field about the vanishing point.
  void Advance(double time) override;
  // rate × level stars a second, flying from depth 0 to 1 (forward) or
  // from 1 to 0 in their 5 s; stars nearer the screen draw behind.
  void Emit(ParticleList& born, float dt) override;
  // Each star's quad at the look's size, mapped by its depth away from the
  // vanishing point; stars nearer than kNearestDepth are not drawn.
  void BuildQuads(ParticleLookDrawing& drawing) const override;
  void StarQuad(const Particle& p, VertexPCT out[4]) const;
  // The turn about the vanishing point, in degrees a second of turn speed.
  Matrix TurnTransform() const;

  static constexpr float kNearestDepth = 1.0f / 64;
  static constexpr float kStarLifetime = 5;
  static constexpr float kDepthSpeed = 1 / kStarLifetime;

  // Run time, never stored.
  EvenCounter counter_state;
  double flight_last_time = 0, turn_last_time = 0;
  float turn_angle = 0;  // degrees
};

}  // namespace lumi
