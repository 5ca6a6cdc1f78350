#include "sprites/leaf_drift.h"

#include <algorithm>
#include <cmath>

#include "params/random.h"
#include "render/backdrop_services.h"
#include "render/current_context.h"
#include "scene/resource_access.h"
#include "sprites/object_animations.h"
#include "sprites/object_array_3d.h"

namespace lumi {
namespace {

float RandomSign() { return Rand() % 2 ? -1.0f : 1.0f; }

void FollowUnit(DriftFrame& frame) {
  const BackBufferSize size = CurrentBackBufferSize();
  if (size.width == 0 || size.height == 0) return;
  frame.width = static_cast<float>(size.width);
  frame.height = static_cast<float>(size.height);
}

}  // namespace

DS_SreamAnim::DS_SreamAnim(const DS_3D_in_2D_array_Constructor& settings, const DriftFrame& frame)
    : settings_(settings), frame_(frame) {
  x = Uniform(0, frame.width);
  y = Uniform(0, frame.height);
  drift_factor = Uniform(-1, 1);
  speed_factor = Uniform(0.07f, 0.13f);
}

void DS_SreamAnim::Animate(SceneNode& /*node*/) {
  const double t = frame_.time;
  const float w = frame_.width, h = frame_.height;
  step = static_cast<float>(std::min(std::fabs(t - last_time), 0.2));
  last_time = t;
  const auto v = static_cast<float>(settings_.speed.value);
  const auto c = static_cast<float>(settings_.change_rate.value);
  const float m = v * speed_factor * step * 50;
  const float l = static_cast<float>(settings_.wind.value) * 0.02f * drift_factor;
  const std::array<float, 2> main = settings_.MainDirection(), cross = settings_.CrossDirection();
  const float dy = m * (cross[1] * l + main[1]);
  const float dx = m * (cross[0] * l + main[0]);
  const float r = static_cast<float>(settings_.size.value) * 0.5f;
  // A leaf that has left comes back at the opposite edge.
  if (dy > 0 && y > h + r) {
    y = -r;
    x = Uniform(0, w);
  } else if (dy < 0 && y < -r) {
    x = Uniform(0, w);
    y = h + r;
  } else if (dx > 0 && x > w + r) {
    x = -r;
    y = Uniform(0, h);
  } else if (dx < 0 && x < -r) {
    x = w + r;
    y = Uniform(0, h);
  } else {
    x += dx;
    y += dy;
  }
  // Compared as a product, so that a change rate of 0 never changes the
  // drift instead of dividing by zero.
  if ((t - last_change) * v * 0.1f * c > 100) {
    last_change = t;
    if (Rand() % 2) drift_factor = Uniform(-1, 1);
  }
}

DS_LeafFallAnim::DS_LeafFallAnim(const DS_3D_in_2D_array_Constructor& settings, const DriftFrame& frame)
    : DS_SreamAnim(settings, frame) {
  for (Turn& turn : tumbling) {
    const float sign = RandomSign();
    turn.rate = turn.angle = sign * Uniform(7, 10);
  }
  // Half the swings stay still.
  for (Turn& turn : swinging) {
    const float moving = Rand() % 2 ? 1.0f : 0.0f;
    const float sign = RandomSign();
    turn.rate = turn.angle = moving * sign * Uniform(3, 7);
  }
}

void DS_LeafFallAnim::Animate(SceneNode& node) {
  DS_SreamAnim::Animate(node);
  // A mesh without extent (none read, or a single point) is not drawn.
  const float radius = node.bounds[0];
  const float k = radius > 0 ? static_cast<float>(settings_.size.value) * 0.5f / radius : 0.0f;
  const auto u = static_cast<float>(settings_.tumble.value), w = static_cast<float>(settings_.wind.value);
  for (Turn& turn : tumbling) turn.angle += turn.rate * step * u * 0.4f;
  for (Turn& turn : swinging) turn.angle += turn.rate * step * w * 0.4f;
  const Matrix leaf = MatrixScaling(k, k, k) * RotationXDegrees(tumbling[0].angle) * RotationZDegrees(tumbling[2].angle) *
                      RotationYDegrees(tumbling[1].angle) * MatrixTranslation(0, 0, 50) *
                      RotationYDegrees(swinging[0].angle) * RotationXDegrees(swinging[1].angle) *
                      MatrixTranslation(x, y, 0);
  node.world = node.local * leaf;
}

DS_3D_in_2D_array::DS_3D_in_2D_array(std::unique_ptr<DS_3D_in_2D_array_Constructor> settings)
    : DS_ABObj(std::move(settings)) {
  DS_3D_in_2D_array_Constructor& drift = Drift();
  drift.array = this;
  FollowUnit(frame_);
  const ResourceAccess& access = DocumentResourceAccess();
  if (access.blob_texture != nullptr) entry_.texture = access.blob_texture(drift.texture_blob);
  if (access.blob_mesh != nullptr) entry_.mesh = access.blob_mesh(drift.mesh_blob);
  if (entry_.mesh != nullptr) {
    const Vector3 centre = entry_.mesh->sphereCentre;
    entry_.root.bounds = {entry_.mesh->sphereRadius, centre.x, centre.y, centre.z};
  }
  const std::array<float, 4>& bounds = entry_.root.bounds;
  const uint32_t count = CappedInstanceCount(drift.count.value, drift.name);
  for (uint32_t i = 0; i < count; ++i) {
    SceneNode& leaf = entry_.root.AddChild(std::make_unique<SceneNode>(
        MatrixTranslation(-bounds[1], -bounds[2], -bounds[3]), std::make_unique<DS_LeafFallAnim>(drift, frame_)));
    leaf.bounds = bounds;
    leaves_.push_back(&leaf);
  }
}

void DS_3D_in_2D_array::FrameMove(double local_time) {
  FollowUnit(frame_);
  frame_.time = local_time;
  entry_.root.Update(nullptr);
}

void DS_3D_in_2D_array::Render(DS_ABRender& backdrop) {
  if (!(entry_.root.bounds[0] > 0)) return;
  backdrop.DrawMeshListTwoSided(entry_.Listed(leaves_, UnitToPictureScale(frame_.width, frame_.height)));
}

}  // namespace lumi
