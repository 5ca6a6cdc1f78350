// The render object of the butterflies and the clock: one small tree of
// nodes per instance, following the constructor copy's `count`, moved by
// its motion clock and drawn entry by entry through the backdrop's mesh
// lists.
#pragma once

#include <memory>
#include <vector>

#include "params/callback_ctrl.h"
#include "scene/render_obj.h"
#include "sprites/objects_3d.h"

namespace lumi {

class DS_3DObjArray : public DS_ABObj {
 public:
  explicit DS_3DObjArray(std::unique_ptr<DS_3D_Obj_Ctrl> settings);

  void Render(DS_ABRender& backdrop) override;
  void FrameMove(double local_time) override;
  bool TestPoint(int x, int y) override;

  DS_3D_Obj_Ctrl& Objects() const { return static_cast<DS_3D_Obj_Ctrl&>(settings()); }
  // Oldest first.
  const ObjectInstances& Instances() const { return instances_; }
  const std::vector<MeshEntry>& Entries() const { return entries_; }

 private:
  // New instances at the end, the oldest removed first.
  void FollowCount(unsigned int count);

  ObjectInstances instances_;
  std::vector<MeshEntry> entries_;
  DS_FunLightCtrl<unsigned int, DS_3DObjArray> count_watch_{&DS_3DObjArray::FollowCount, this};
};

// The render unit the objects live on: the current back buffer, or the
// render tool's default screen before any device is current.
void FollowRenderUnit(DS_ViewObjCtrl& objects);
// At most kMaxObjectInstances of `count`, with one notice naming `name`.
uint32_t CappedInstanceCount(uint32_t count, const std::u16string& name);

}  // namespace lumi
