// What the simulation reports of a generator: its live particles and
// sources and, for the first particles asked for, their state.
#include <algorithm>

#include "generators/particles_obj.h"
#include "scene/simulation.h"

namespace lumi {
namespace {

void ReportGenerator(const VRN_RenderObj& object, nlohmann::ordered_json& entry, int detail) {
  const auto* generator_object = dynamic_cast<const DS_ParticlesObj*>(&object);
  if (generator_object == nullptr) return;
  const DS_ParticleGenerator& g = generator_object->Generator();
  entry["particle_count"] = g.generated.size();
  entry["origin_count"] = g.sources.size();
  if (detail <= 0) return;
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  const size_t shown = std::min(g.generated.size(), static_cast<size_t>(detail));
  for (size_t i = 0; i < shown; ++i) {
    const GenParticle& p = g.generated[i];
    nlohmann::ordered_json json;
    json["position"] = TidyPair(p.position.x, p.position.y);
    json["age"] = TidyFloat(p.values[kAge]);
    json["life_progress"] = TidyFloat(p.values[kLifeProgress]);
    json["size"] = TidyFloat(p.values[kSize]);
    json["opacity"] = TidyFloat(p.values[kOpacity]);
    json["angle"] = TidyFloat(p.values[kAngle]);
    list.push_back(std::move(json));
  }
  entry["particles"] = std::move(list);
}

const bool kRegistered = [] {
  AddObjectReport(ReportGenerator);
  return true;
}();

}  // namespace
}  // namespace lumi
