// What the simulation reports of a particle system: its live count and,
// for the first particles asked for, their state.
#include <algorithm>

#include "particles/particle_system_obj.h"
#include "scene/simulation.h"

namespace lumi {
namespace {

void ReportParticles(const VRN_RenderObj& object, nlohmann::ordered_json& entry, int detail) {
  const auto* system = dynamic_cast<const VRN_ParticleSystemMech*>(&object);
  if (system == nullptr) return;
  const VRN_ParticleSystemCtrl& s = system->System();
  entry["particle_count"] = s.particles.size();
  if (detail <= 0) return;
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  const size_t shown = std::min(s.particles.size(), static_cast<size_t>(detail));
  for (size_t i = 0; i < shown; ++i) {
    const Particle& p = *s.particles[i];
    // The vertex alpha the quad is drawn with.
    VertexPCT quad[4];
    s.look.BuildQuad(p, static_cast<float>(s.look.size.value), quad);
    nlohmann::ordered_json json;
    json["position"] = TidyPair(p.position.x, p.position.y);
    json["velocity"] = TidyPair(p.velocity.x, p.velocity.y);
    json["age"] = TidyFloat(p.age());
    if (p.life) json["lifetime"] = TidyFloat(p.life->Lifetime());
    json["size_factor"] = TidyFloat(s.look.SizeFactor(p));
    json["alpha"] = quad[0].color >> 24;
    list.push_back(std::move(json));
  }
  entry["particles"] = std::move(list);
}

const bool kRegistered = [] {
  AddObjectReport(ReportParticles);
  return true;
}();

}  // namespace
}  // namespace lumi
