// What the simulation reports of a sprite population and of the 3D
// objects: their counts and, for the first sprites or instances asked for,
// their state.
#include <algorithm>

#include "scene/simulation.h"
#include "sprites/leaf_drift.h"
#include "sprites/object_array_3d.h"
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

nlohmann::ordered_json WorldsOf(const std::vector<const SceneNode*>& nodes, int detail) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  const size_t shown = std::min(nodes.size(), static_cast<size_t>(detail));
  for (size_t i = 0; i < shown; ++i) {
    nlohmann::ordered_json world = nlohmann::ordered_json::array();
    for (const auto& row : nodes[i]->world.m) {
      for (float value : row) world.push_back(TidyFloat(value));
    }
    list.push_back({{"world", std::move(world)}});
  }
  return list;
}

void ReportObjects3D(const VRN_RenderObj& object, nlohmann::ordered_json& entry, int detail) {
  std::vector<const SceneNode*> nodes;
  if (const auto* objects = dynamic_cast<const DS_3DObjArray*>(&object)) {
    for (const auto& instance : objects->Instances()) nodes.push_back(instance.get());
    if (const auto* clock = dynamic_cast<const DS_ClockConstructor*>(&objects->Objects()); clock && clock->HasPlacement()) {
      const MediaRectangle& p = clock->placement;
      entry["placement"] = {{"left", p.left.value}, {"right", p.right.value}, {"top", p.top.value}, {"bottom", p.bottom.value}};
    }
  } else if (const auto* leaves = dynamic_cast<const DS_3D_in_2D_array*>(&object)) {
    for (const auto& leaf : leaves->Entry().root.children) nodes.push_back(leaf.get());
  } else {
    return;
  }
  entry["instance_count"] = nodes.size();
  // Row-vector matrices, row by row: the last row is the position.
  if (detail > 0) entry["instances"] = WorldsOf(nodes, detail);
}

const bool kRegistered = [] {
  AddObjectReport(ReportSprites);
  AddObjectReport(ReportObjects3D);
  return true;
}();

}  // namespace
}  // namespace lumi
