#include "sprites/scene_node.h"

#include "scene/resource_access.h"

namespace lumi {

SceneNode& SceneNode::AddChild(std::unique_ptr<SceneNode> child) { return *children.emplace_back(std::move(child)); }

void SceneNode::Update(const Matrix* parent) {
  if (animation) {
    animation->Animate(*this);
  } else {
    world = local;
  }
  if (parent != nullptr) world = world * *parent;
  for (const std::unique_ptr<SceneNode>& child : children) child->Update(&world);
}

UnitScale UnitToPictureScale(float unit_width, float unit_height) {
  const ResourceAccess& access = DocumentResourceAccess();
  if (access.metrics == nullptr || unit_width <= 0 || unit_height <= 0) return {};
  const PictureMetrics& metrics = access.metrics();
  if (metrics.pictureWidth <= 0 || metrics.pictureHeight <= 0) return {};
  return {metrics.pictureWidth / unit_width, metrics.pictureHeight / unit_height};
}

Matrix ToPicturePixels(const Matrix& world, UnitScale scale) {
  Matrix placed = world;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) placed.m[row][column] *= scale.y;
  }
  placed.m[3][0] *= scale.x;
  placed.m[3][1] *= scale.y;
  placed.m[3][2] *= scale.y;
  return placed;
}

const MeshList& MeshEntry::Listed(const std::vector<SceneNode*>& drawn, UnitScale scale) {
  list_.mesh = mesh;
  list_.texture = texture;
  list_.blend = blend;
  list_.draws.clear();
  for (const SceneNode* node : drawn) list_.draws.push_back({ToPicturePixels(node->world, scale), node->frontSide});
  return list_;
}

}  // namespace lumi
