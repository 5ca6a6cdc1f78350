// What the simulation reports of an image effect: its clock's phase and
// whether it is a pass of the effect chain.
#include "effects/brush_obj.h"
#include "scene/simulation.h"

namespace lumi {
namespace {

void ReportImageEffect(const VRN_RenderObj& object, nlohmann::ordered_json& entry, int /*detail*/) {
  const auto* brush = dynamic_cast<const DS_BrushObj*>(&object);
  if (brush == nullptr) return;
  const DS_FX_Constructor& effect = brush->ImageEffect();
  entry["phase"] = effect.clock.phase;
  entry["chain_pass"] = effect.UsesBackground();
}

const bool kRegistered = [] {
  AddObjectReport(ReportImageEffect);
  return true;
}();

}  // namespace
}  // namespace lumi
