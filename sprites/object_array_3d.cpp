#include "sprites/object_array_3d.h"

#include "archive/utf.h"
#include "render/backdrop_services.h"
#include "render/current_context.h"
#include "scene/notices.h"

namespace lumi {

void FollowRenderUnit(DS_ViewObjCtrl& objects) {
  constexpr float kDefaultUnitWidth = 640, kDefaultUnitHeight = 400;
  const BackBufferSize size = CurrentBackBufferSize();
  const bool known = size.width > 0 && size.height > 0;
  objects.FollowUnit(known ? static_cast<float>(size.width) : kDefaultUnitWidth,
                     known ? static_cast<float>(size.height) : kDefaultUnitHeight);
}

uint32_t CappedInstanceCount(uint32_t count, const std::u16string& name) {
  if (count <= kMaxObjectInstances) return count;
  AddNoticeOnce("3D object \"" + ToUtf8(name) + "\" asks for " + std::to_string(count) + " instances; " +
                std::to_string(kMaxObjectInstances) + " are made");
  return kMaxObjectInstances;
}

DS_3DObjArray::DS_3DObjArray(std::unique_ptr<DS_3D_Obj_Ctrl> settings) : DS_ABObj(std::move(settings)) {
  DS_3D_Obj_Ctrl& objects = Objects();
  FollowRenderUnit(objects);
  objects.SetupMeshes(entries_);
  count_watch_.Attach(objects.count);
}

void DS_3DObjArray::FollowCount(unsigned int count) {
  DS_3D_Obj_Ctrl& objects = Objects();
  const uint32_t wanted = CappedInstanceCount(count, objects.name);
  while (instances_.size() < wanted) instances_.push_back(objects.CreateInstance());
  if (instances_.size() > wanted) instances_.erase(instances_.begin(), instances_.end() - wanted);
  objects.BindInstances(instances_, entries_);
}

void DS_3DObjArray::FrameMove(double local_time) {
  DS_3D_Obj_Ctrl& objects = Objects();
  FollowRenderUnit(objects);
  objects.AdvanceMotion(local_time);
  for (const std::unique_ptr<SceneNode>& instance : instances_) instance->Update(nullptr);
}

void DS_3DObjArray::Render(DS_ABRender& backdrop) {
  const DS_3D_Obj_Ctrl& objects = Objects();
  const UnitScale scale = UnitToPictureScale(objects.unit_width, objects.unit_height);
  for (MeshEntry& entry : entries_) backdrop.DrawMeshList(entry.Listed(entry.nodes, scale));
}

bool DS_3DObjArray::TestPoint(int x, int y) { return Objects().HitTest(static_cast<float>(x), static_cast<float>(y)); }

}  // namespace lumi
