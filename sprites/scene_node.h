// The small trees the 3D objects are made of: a node with its own matrix
// and, moved by an animation, its children; and the mesh entries through
// which the nodes reach the backdrop's mesh-list services.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "params/vector_math.h"
#include "render/backdrop_services.h"

namespace lumi {

class SceneNode;

class DS_AnimationBase {
 public:
  virtual ~DS_AnimationBase() = default;
  // Sets the node's `world` (before its parent's matrix is applied).
  virtual void Animate(SceneNode& node) = 0;
};

class SceneNode {
 public:
  SceneNode() = default;
  explicit SceneNode(const Matrix& local_matrix, std::unique_ptr<DS_AnimationBase> moved_by = nullptr)
      : local(local_matrix), animation(std::move(moved_by)) {}

  SceneNode& AddChild(std::unique_ptr<SceneNode> child);
  // The animation sets `world` (without one, world = local), then the
  // parent's matrix follows it (world × parent) and the children are
  // updated under the result.
  void Update(const Matrix* parent);

  Matrix world, local;
  // The bounding sphere of the node's mesh: radius, then centre x, y, z.
  std::array<float, 4> bounds{};
  std::unique_ptr<DS_AnimationBase> animation;
  // Drawn first with counter-clockwise culling when set.
  bool frontSide = true;
  std::vector<std::unique_ptr<SceneNode>> children;
};

// Picture pixels per render-unit pixel, across and down.
struct UnitScale {
  float x = 1, y = 1;
};
// Objects live in render-unit pixels and are drawn over the picture in
// picture pixels, as the sprites are.
UnitScale UnitToPictureScale(float unit_width, float unit_height);
// A world matrix in unit pixels as drawn over the picture: its origin is
// mapped across and down, its shape by the downward factor alone, so
// objects keep their proportions whatever the picture's shape.
Matrix ToPicturePixels(const Matrix& world, UnitScale scale);

// One mesh with its texture and the nodes it is drawn at. `nodes` (not
// owned) is what DrawMeshList draws; the leaf drift draws the children of
// `root` instead.
struct MeshEntry {
  SceneNode root;
  const MeshRecord* mesh = nullptr;
  std::shared_ptr<Texture> texture;
  bool blend = false;
  std::vector<SceneNode*> nodes;

  // The list the backdrop draws, from `drawn` in picture pixels.
  const MeshList& Listed(const std::vector<SceneNode*>& drawn, UnitScale scale);

 private:
  MeshList list_;
};

}  // namespace lumi
