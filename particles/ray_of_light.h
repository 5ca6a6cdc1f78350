// Rays of light fanning from the top edge of a quad to its bottom edge.
#pragma once

#include <cstdint>

#include "params/sliders.h"
#include "particles/particle_system.h"
#include "render/vertex_formats.h"

namespace lumi {

class DS_RayOfLight : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_RayOfLight, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_RayOfLight)

 public:
  void Describe(Archive& ar) override;

  MediaQuad area;
  MediaParamT<unsigned int> count{0};  // number of rays
  VRN_JitterParam ray_lifetime = WithScale(VRN_JitterParam(), 0.1f);  // seconds
  VRN_JitterParam ray_width;                                          // pixels
  VRN_JitterParam drift = WithScale(VRN_JitterParam(), 0.0002f);      // source edges per second
  UINTSclaleTo<float> end_width{0, 0.05f, 1.0f};
  UINTSclaleTo<float> start_fade{0, 0.01f, 0.0f};
  UINTSclaleTo<float> end_fade{0, 0.01f, 0.0f};
  UINTSclaleTo<float> edge_fade{0, 0.005f, 0.0f};
  int32_t unused = 0;  // stored, not used in playing

  // Half the top edge of unplaced rays, in screen widths.
  static constexpr float kTopHalfShare = 0.3f;

  // Behaviour.
  bool HasBehaviour() const override { return true; }
  // Unplaced, the rays fan down 0.8 of the screen from a top edge 60% as
  // wide as the bottom one.
  void Attach() override;
  // Every ray moves twice a frame: once here, once in the step; the look's
  // clocks stand still.
  void Advance(double time) override;
  // New rays while fewer than `count` live, straight into `particles`.
  void Emit(ParticleList& born, float dt) override;
  // Three quads a ray: fading in from the source edge, the body, fading
  // out to the far edge.
  void BuildQuads(ParticleLookDrawing& drawing) const override;
  // The three quads of a ray at position g across the source edge, with
  // width `width`, opacity factor `alpha`; u runs across the ray, v along
  // it in proportion to its length.
  void RayQuads(float g, float width, float alpha, VertexPCT out[12]) const;
};

}  // namespace lumi
