// The star field: its record, and stars that fly through depth away from
// or towards a vanishing point while the field turns about it.
#include "particles/through_space.h"

#include <cmath>

#include "archive/registry.h"
#include "params/clamped_clock.h"
#include "params/param_archive.h"
#include "params/random.h"
#include "particles/particle_look_drawing.h"
#include "particles/particle_routines.h"
#include "particles/screen_fit.h"

namespace lumi {

static const RegisterClass<VRN_ThroughSpaceCtrl> kRegisterThroughSpace(Family::General);

void VRN_ThroughSpaceCtrl::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  SliderField(ar, "counter_rate", counter.rate, Apply::Set);
  QuadField(ar, "area", emitter.area);
  SliderField(ar, "turn_speed", turn_speed, Apply::Set);
  IntField(ar, "turn_reverse", turn_reverse, Apply::Set);
  VectorField(ar, "vanishing_point", vanishing_point);
  ar.Byte("forward", forward);
  SliderField(ar, "flight_speed", flight_speed, Apply::Set);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void VRN_ThroughSpaceCtrl::Attach() {
  if (fixed_layout || !HasScreen()) return;
  FitToScreen(emitter.area, 1);
  vanishing_point = ScreenCentre();
}

void VRN_ThroughSpaceCtrl::ResetPopulation() {
  counter_state.Reset();
  VRN_ParticleSystemCtrl::ResetPopulation();
}

void VRN_ThroughSpaceCtrl::Advance(double time) {
  frame_delta = ClampedStep(flight_last_time, time) * flight_speed.scaled();
  total_time += frame_delta;
  look.UpdateClocks(time);
  const float dt = frame_delta;
  std::erase_if(particles, [dt](const ParticleHandle& p) { return !p->Update(dt); });
  Step(dt);
  const float turn = ClampedStep(turn_last_time, time) * turn_speed.scaled();
  turn_angle = std::fmod(turn_angle + (turn_reverse.value != 0 ? -turn : turn), 360.0f);
}

void VRN_ThroughSpaceCtrl::Emit(ParticleList& born, float dt) {
  const int64_t n = Room(counter_state.Count(counter.rate.scaled(), timeline_level * dt));
  ParticleList stars;
  SpawnInRect(stars, n, emitter.area);
  for (const ParticleHandle& p : stars) {
    p->routines.push_back(IPR_Kinematic::Shared());
    look.InitParticle(*p, std::make_shared<IPR_ConstantAge>(kStarLifetime));
    p->position.z = forward != 0 ? 0.0f : 1.0f;
    p->velocity.z = forward != 0 ? kDepthSpeed : -kDepthSpeed;
    born.push_back(p);
  }
  // Drawn in list order: the nearest stars come last.
  particles.insert(forward != 0 ? particles.end() : particles.begin(), stars.begin(), stars.end());
}

void VRN_ThroughSpaceCtrl::StarQuad(const Particle& p, VertexPCT out[4]) const {
  const Vector3 vp = Finite(vanishing_point);
  const float z = p.position.z;
  look.BuildQuadOfWidth(p, static_cast<float>(look.size.value), p.position - vp, out);
  // The screen is the near plane: a star nearer than it (or at depth 0,
  // where the mapping would divide by 0) collapses unseen on the
  // vanishing point.
  const bool seen = z >= kNearestDepth;
  for (int i = 0; i < 4; ++i) {
    VertexPCT& v = out[i];
    v.x = seen ? vp.x + (v.x - vp.x) / z : vp.x;
    v.y = seen ? vp.y + (v.y - vp.y) / z : vp.y;
    // Depth is the star's own; the quad lies in the picture's plane.
    v.z = vp.z;
    if (!seen) v.color &= 0x00FFFFFF;
  }
}

void VRN_ThroughSpaceCtrl::BuildQuads(ParticleLookDrawing& drawing) const {
  drawing.SetWorldTransform(TurnTransform());
  drawing.BuildQuads(particles.size(), [&](size_t i, VertexPCT* out) { StarQuad(*particles[i], out); });
}

Matrix VRN_ThroughSpaceCtrl::TurnTransform() const {
  const Vector3 vp = Finite(vanishing_point);
  return MatrixTranslation(-vp.x, -vp.y, -vp.z) * MatrixRotationZ(turn_angle * kPi / 180) *
         MatrixTranslation(vp.x, vp.y, vp.z);
}

}  // namespace lumi
