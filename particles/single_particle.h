// Systems that draw one textured quad instead of a cloud of particles.
#pragma once

#include "params/quad_rect.h"
#include "params/sliders.h"
#include "particles/particle_system.h"
#include "render/vertex_formats.h"

namespace lumi {

// One quad whose corners are those of `area`; it emits nothing.
class VRN_SingleParticle : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_SingleParticle, 1)

 public:
  void Describe(Archive& ar) override;

  bool HasBehaviour() const override { return true; }
  // The quad with its texture coordinates (the look's flips applied) and
  // the look's colour at `opacity`, placed by PlaceQuad and turned by
  // QuadTransform.
  void BuildQuads(ParticleLookDrawing& drawing) const override;
  // Writes the positions of A, B, C, D: corners 1, 0, 3 and 2 of `area`.
  virtual void PlaceQuad(VertexPCT out[4]) const;
  virtual Matrix QuadTransform() const { return Matrix{}; }
  // The texture coordinates of the far corner, before the flips: the part
  // of the texture the picture uses.
  virtual void TextureExtents(float& u, float& v) const {
    u = look.run.u_extent;
    v = look.run.v_extent;
  }

  MediaQuad area;
  // The factor on the look's opacity the quad is drawn with.
  float opacity = 1;
};

// The quad turning about its centre.
class VRN_StaticObject : public VRN_SingleParticle {
  LUMI_STORED_CLASS(VRN_StaticObject, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_StaticObject)

 public:
  // The spin speed's raw value, the direction, then the quad's record; the
  // spin angle is run-time state and is not stored.
  void Describe(Archive& ar) override;

  // The look's clocks and the spin; the timeline's level is the opacity.
  void Advance(double time) override;
  // The spin about the quad's centre, corners 0 and 3 its diagonal.
  Matrix QuadTransform() const override;

  MediaSpeedParam spin_speed;          // degrees a second
  MediaParamT<int> spin_direction{0};  // non-zero turns the other way

  // Run time, never stored: degrees turned so far.
  float spin_angle = 0;
  double spin_last_time = 0;
};

}  // namespace lumi
