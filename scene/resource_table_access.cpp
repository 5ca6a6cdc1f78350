// Gives the scene the current resource table as its document resources.
#include "scene/resource_access.h"
#include "scene/resource_table.h"

namespace lumi {
namespace {

SlidePicture PictureOf(const ResourceKey& key) {
  ResourceTable* table = CurrentResourceTable();
  if (table == nullptr) return {};
  const ImageSet& set = table->GetImageSet(key);
  if (set.textures.empty()) return {};
  return {set.textures.front(), set.width, set.height, set.aspect};
}

std::shared_ptr<Effect> EffectOf(const ResourceKey& key) {
  ResourceTable* table = CurrentResourceTable();
  return table != nullptr ? table->GetEffect(key) : nullptr;
}

std::shared_ptr<Texture> MaskOf(const GUID& brush) {
  ResourceTable* table = CurrentResourceTable();
  return table != nullptr ? table->GetMaskTexture(brush).texture : nullptr;
}

void LoseTableObjects() {
  if (ResourceTable* table = CurrentResourceTable()) table->LoseDeviceObjects();
}

void RestoreTableObjects() {
  if (ResourceTable* table = CurrentResourceTable()) table->RestoreDeviceObjects();
}

const bool kInstalled = [] {
  ResourceAccess& access = DocumentResourceAccess();
  access.picture = PictureOf;
  access.metrics = CurrentPictureMetrics;
  access.effect = EffectOf;
  access.mask = MaskOf;
  access.lose = LoseTableObjects;
  access.restore = RestoreTableObjects;
  return true;
}();

}  // namespace
}  // namespace lumi
