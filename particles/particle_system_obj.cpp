#include "particles/particle_system_obj.h"

#include "render/backdrop_services.h"
#include "render/current_context.h"
#include "scene/render_obj_data.h"

namespace lumi {

std::unique_ptr<VRN_RenderObj> VRN_ParticleSystemCtrl::CreateRenderObject() const {
  if (!HasBehaviour()) return DS_ABObj_Constructor::CreateRenderObject();
  std::unique_ptr<DS_ABObj_Constructor> copy = Clone();
  return std::make_unique<VRN_ParticleSystemMech>(
      std::unique_ptr<VRN_ParticleSystemCtrl>(static_cast<VRN_ParticleSystemCtrl*>(copy.release())));
}

void VRN_ParticleSystemCtrl::BuildQuads(ParticleLookDrawing& drawing) const {
  drawing.BuildQuads(look, particles, static_cast<float>(look.size.value));
}

void VRN_ParticleSystemCtrl::Render(ParticleLookDrawing& drawing, ParticleLookDrawing& /*strip*/,
                                    DS_ABRender& backdrop) const {
  drawing.Render(look, GlowMode(), backdrop);
}

void VRN_ParticleSystemCtrl::RenderInChain(ParticleLookDrawing& drawing, ParticleLookDrawing& strip,
                                           DS_ABRender& backdrop, const ChainTurn& turn) const {
  if (BackgroundPasses() > 0) turn();
  Render(drawing, strip, backdrop);
}

VRN_ParticleSystemMech::VRN_ParticleSystemMech(std::unique_ptr<VRN_ParticleSystemCtrl> system)
    : DS_ABObj(std::move(system)) {
  VRN_ParticleSystemCtrl& s = System();
  s.Attach();
  s.ResetPopulation();
}

void VRN_ParticleSystemMech::Restart() {
  DS_ABObj::Restart();
  VRN_ParticleSystemCtrl& s = System();
  s.last_time = 0;
  s.ResetPopulation();
}

void VRN_ParticleSystemMech::FrameMove(double local_time) {
  VRN_ParticleSystemCtrl& s = System();
  const VRN_Timing& timeline = data->timing.current();
  s.timeline_level = timeline.GetLevel();
  s.timeline_state = timeline.GetState();
  s.timeline_cycle = timeline.GetCycleLength();
  s.timeline_on_phase = timeline.GetOnPhase();
  s.Advance(local_time);
  BuildQuads();
}

void VRN_ParticleSystemMech::BuildQuads() {
  if (CurrentDevice() == nullptr) return;
  VRN_ParticleSystemCtrl& s = System();
  if (!drawing_.Loaded()) drawing_.LoadDeviceResources(s.look);
  drawing_.StepTextures(s.look);
  s.BuildQuads(drawing_);
  if (ParticleLook* strip = s.StripLook()) {
    if (!strip_.Loaded()) strip_.LoadDeviceResources(*strip);
    strip_.StepTextures(*strip);
    s.BuildStripQuads(strip_);
  }
}

void VRN_ParticleSystemMech::Render(DS_ABRender& backdrop) {
  if (!drawing_.Loaded()) BuildQuads();
  System().Render(drawing_, strip_, backdrop);
}

void VRN_ParticleSystemMech::RenderWithBackground(DS_ABRender& backdrop, int& passes) {
  if (!drawing_.Loaded()) BuildQuads();
  System().RenderInChain(drawing_, strip_, backdrop, [&] { backdrop.NextPass(passes); });
}

}  // namespace lumi
