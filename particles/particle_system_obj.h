// The run-time object of an emitter particle system: it plays a private
// copy of the system, moving and drawing it every frame whatever its
// timeline's state, so that a burst sees its timeline restart and
// particles outlive the timeline's end.
#pragma once

#include <memory>

#include "particles/particle_look_drawing.h"
#include "particles/particle_system.h"
#include "scene/render_obj.h"

namespace lumi {

class VRN_ParticleSystemMech : public DS_ABObj {
 public:
  // Attaches the copy and runs its reset (the pre-roll).
  explicit VRN_ParticleSystemMech(std::unique_ptr<VRN_ParticleSystemCtrl> system);

  void FrameMove(double local_time) override;
  void Render(DS_ABRender& backdrop) override;
  bool NeedsBackground() override { return BackgroundPasses() > 0; }
  int BackgroundPasses() override { return enabled ? System().BackgroundPasses() : 0; }
  // The system takes its passes itself, between its draws.
  void RenderWithBackground(DS_ABRender& backdrop, int& passes) override;
  // The timeline starts again and the population with it.
  void Restart() override;

  VRN_ParticleSystemCtrl& System() const { return static_cast<VRN_ParticleSystemCtrl&>(settings()); }
  const ParticleLookDrawing& Drawing() const { return drawing_; }

 private:
  void BuildQuads();

  ParticleLookDrawing drawing_;
  ParticleLookDrawing strip_;  // the lines' strips
};

}  // namespace lumi
