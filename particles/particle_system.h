// The common base of every emitter particle system, and the emitter parts
// whose settings the systems store.
#pragma once

#include <functional>

#include "params/quad_rect.h"
#include "params/directions.h"
#include "params/sliders.h"
#include "params/typed_param.h"
#include "particles/emission.h"
#include "particles/particle_look.h"
#include "scene/render_obj_data.h"

namespace lumi {

class DS_ABRender;
class ParticleLookDrawing;

// Takes the effect chain's next pass; called before each draw that reads the
// picture as drawn so far.
using ChainTurn = std::function<void()>;

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

  // Live particles a system keeps at most; births beyond them are dropped.
  static constexpr size_t kMostParticles = 100000;
  // Whole pre-roll steps of kPrerollStep seconds at most.
  static constexpr int kMostPrerollSteps = 600;
  static constexpr float kPrerollStep = 0.1f;

  void Describe(Archive& ar) override;
  int GetKind() const override { return kParticleSystemKind; }
  // Systems with their behaviour built play in a particle object; the
  // others play inert.
  std::unique_ptr<VRN_RenderObj> CreateRenderObject() const override;

  // Behaviour.
  virtual bool HasBehaviour() const { return false; }
  // Draws that read the background: a glow screened over it.
  virtual int BackgroundPasses() const { return GlowMode() == 2 ? 1 : 0; }
  // Glow mode as drawn: above 2 counts as 2.
  int GlowMode() const;
  // Called once when playing starts, before the reset.
  virtual void Attach() {}
  // The slide is prepared: the pre-roll, or an empty start where the
  // timeline switches the object on and off.
  virtual void ResetPopulation();
  virtual float PrerollSeconds() const { return 5.0f; }
  // This frame's clock step, then Step.
  virtual void Advance(double time);
  // This frame's quads: one per live particle through the look. Systems
  // that draw other shapes write their own.
  virtual void BuildQuads(ParticleLookDrawing& drawing) const;
  // Lines draw a strip with a look of their own beside the system's.
  virtual ParticleLook* StripLook() { return nullptr; }
  virtual void BuildStripQuads(ParticleLookDrawing& /*strip*/) const {}
  // Draws the system's look; lines draw their strip first, captions with
  // programs of their own.
  virtual void Render(ParticleLookDrawing& drawing, ParticleLookDrawing& strip, DS_ABRender& backdrop) const;
  // Render in the slide's effect chain: `turn` before each of the
  // BackgroundPasses draws that read the background. Systems with one such
  // draw take the pass first; lines turn between their strip and head.
  virtual void RenderInChain(ParticleLookDrawing& drawing, ParticleLookDrawing& strip, DS_ABRender& backdrop,
                             const ChainTurn& turn) const;
  // Updates the living, drops the dead keeping order, emits, and gives the
  // n births of the frame their first updates at i × dt / n.
  void Step(float dt);
  // Creates this frame's particles, appends them to `particles` and to
  // `born`.
  virtual void Emit(ParticleList& /*born*/, float /*dt*/) {}
  // How many of n wanted births fit under kMostParticles; the first cut
  // leaves a notice.
  int64_t Room(int64_t n);

  ParticleLook look;
  // Not stored: every system a document holds was placed by its author. A
  // system made with the flag clear fits its emitter to the render unit's
  // screen as it starts to play.
  bool fixed_layout = true;
  MediaSpeedParam speed = WithScale(MediaSpeedParam(100), 0.01f);  // time multiplier

  // Run time, never stored.
  double last_time = 0;
  float frame_delta = 0;
  double total_time = 0;
  ParticleList particles;
  // The object's timeline as the last frame saw it.
  float timeline_level = 1;
  int timeline_state = 0;
  float timeline_cycle = 0;     // seconds of one cycle; 0 for none
  float timeline_on_phase = 0;  // 0 to 1 through the on phase
};

// Emitter shapes and counters. The systems embed them and store their
// settings in their own records.
struct VRN_PointImitter {
  MediaParamT<Vector3> point;
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
