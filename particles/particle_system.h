// The common base of every emitter particle system, and the emitter parts
// whose settings the systems store.
#pragma once

#include "params/quad_rect.h"
#include "params/directions.h"
#include "params/sliders.h"
#include "params/typed_param.h"
#include "particles/particle_look.h"
#include "scene/render_obj_data.h"

namespace lumi {

// Every system applies its stored settings through Set as it reads them, so
// their controls hear of them during loading; quads, points and file links
// are stored without notification.
class VRN_ParticleSystemCtrl : public DS_ABObj_Constructor {
  LUMI_STORED_CLASS(VRN_ParticleSystemCtrl, 5)

 public:
  // What GetKind answers for every particle system.
  static constexpr int kParticleSystemKind = 8;
  // Older records store an older appearance block whose layout is not known.
  static constexpr int kFirstKnownVersion = 5;

  void Describe(Archive& ar) override;
  int GetKind() const override { return kParticleSystemKind; }

  ParticleLook look;
  MediaSpeedParam speed = WithScale(MediaSpeedParam(100), 0.01f);  // time multiplier
};

// Emitter shapes and counters. The systems embed them and store their
// settings in their own records.
struct VRN_PointImitter {
  MediaParamT<D3DXVECTOR3> point;
};

struct VRN_RectImitter {
  MediaQuad area;
};

struct VRN_SectorImitter : VRN_PointImitter {
  MediaSector sector;  // centre angle and spread, degrees
  MediaParamT<unsigned int> radius{0};
};

// An even stream of particles: 20 a second by default.
struct VRN_EvenImitter {
  UINTSclaleTo<float> rate{100, 0.2f, 0.0f};
};

}  // namespace lumi
