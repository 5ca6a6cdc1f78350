// The leaf drift: a number of small meshes carried in the constructor's
// record, streaming across the picture in one direction with a sideways
// drift, tumbling and swinging, and coming back at the opposite edge.
#pragma once

#include <array>
#include <memory>

#include "scene/render_obj.h"
#include "sprites/objects_3d.h"

namespace lumi {

// What the leaves of one array move by this frame: the array time and the
// render unit in pixels.
struct DriftFrame {
  double time = 0;
  float width = 640, height = 400;
};

// One drifting instance.
class DS_SreamAnim : public DS_AnimationBase {
 public:
  // Starts at a random point of the unit with a random drift and speed.
  DS_SreamAnim(const DS_3D_in_2D_array_Constructor& settings, const DriftFrame& frame);
  // Moves the position; the matrix is the subclass's.
  void Animate(SceneNode& node) override;

  float x = 0, y = 0;
  float drift_factor = 0, speed_factor = 0;
  double last_change = 0, last_time = 0;
  float step = 0;

 protected:
  const DS_3D_in_2D_array_Constructor& settings_;
  const DriftFrame& frame_;
};

// A leaf: the drift plus three tumbling and two swinging angles.
class DS_LeafFallAnim : public DS_SreamAnim {
 public:
  DS_LeafFallAnim(const DS_3D_in_2D_array_Constructor& settings, const DriftFrame& frame);
  void Animate(SceneNode& node) override;

  struct Turn {
    float rate = 0, angle = 0;  // degrees per second, degrees
  };
  std::array<Turn, 3> tumbling;
  std::array<Turn, 2> swinging;
};

class DS_3D_in_2D_array : public DS_ABObj {
 public:
  // Resolves the blobs and makes `count` leaves, read once.
  explicit DS_3D_in_2D_array(std::unique_ptr<DS_3D_in_2D_array_Constructor> settings);

  void Render(DS_ABRender& backdrop) override;
  void FrameMove(double local_time) override;

  DS_3D_in_2D_array_Constructor& Drift() const { return static_cast<DS_3D_in_2D_array_Constructor&>(settings()); }
  const MeshEntry& Entry() const { return entry_; }

 private:
  MeshEntry entry_;
  DriftFrame frame_;
  std::vector<SceneNode*> leaves_;
};

}  // namespace lumi
