// What the simulation reports of a sprite population: its count and, for
// the first sprites asked for, their state.
#include <algorithm>

#include "scene/simulation.h"
#include "sprites/sprite_array_obj.h"

namespace lumi {
namespace {

void ReportSprites(const VRN_RenderObj& object, nlohmann::ordered_json& entry, int detail) {
  const auto* sprites = dynamic_cast<const DS_SpriteArrayObj*>(&object);
  if (sprites == nullptr) return;
  entry["sprite_count"] = sprites->Sprites().size();
  if (detail <= 0) return;
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  const size_t shown = std::min(sprites->Sprites().size(), static_cast<size_t>(detail));
  for (size_t i = 0; i < shown; ++i) {
    const Sprite& s = sprites->Sprites()[i];
    nlohmann::ordered_json json;
    json["position"] = TidyPair(s.position.x, s.position.y);
    json["velocity"] = TidyPair(s.velocity.x, s.velocity.y);
    json["half_size"] = TidyPair(s.width, s.height);
    json["axis_u"] = TidyPair(s.axis_u.x, s.axis_u.y);
    json["axis_v"] = TidyPair(s.axis_v.x, s.axis_v.y);
    json["glow"] = TidyFloat(s.glow);
    json["alpha"] = s.colour >> 24;
    json["active_bound"] = s.active_bound;
    json["stopped"] = s.stopped;
    list.push_back(std::move(json));
  }
  entry["sprites"] = std::move(list);
}

const bool kRegistered = [] {
  AddObjectReport(ReportSprites);
  return true;
}();

}  // namespace
}  // namespace lumi
