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

PictureFrames FramesOf(const ResourceKey& key) {
  ResourceTable* table = CurrentResourceTable();
  if (table == nullptr) return {};
  if (const ImageSet& set = table->GetImageSet(key); !set.textures.empty() && set.textures.front()) {
    return {set.textures, set.delays, set.width, set.height, set.aspect};
  }
  const AnimatedImageSet& set = table->LoadImageSet(key, kFilterNone);
  if (set.textures.empty() || !set.textures.front()) return {};
  return {set.textures, set.delays, set.imageWidth, set.imageHeight, set.aspect, set.u, set.v};
}

std::shared_ptr<Effect> EffectOf(const ResourceKey& key) {
  ResourceTable* table = CurrentResourceTable();
  return table != nullptr ? table->GetEffect(key) : nullptr;
}

std::shared_ptr<Effect> ClassEffectOf(const ResourceKey& key, std::string_view asking_class) {
  ResourceTable* table = CurrentResourceTable();
  return table != nullptr ? table->GetEffect(key, asking_class) : nullptr;
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

std::shared_ptr<const std::vector<uint8_t>> FileBytesOf(const ResourceKey& key) {
  ResourceTable* table = CurrentResourceTable();
  return table != nullptr ? table->LinkFileBytes(key) : nullptr;
}

const MeshRecord* MeshOf(const ResourceKey& key) {
  ResourceTable* table = CurrentResourceTable();
  return table != nullptr ? table->GetMesh(key) : nullptr;
}

const MeshRecord* BlobMeshOf(const DS_ResBlob& blob) {
  ResourceTable* table = CurrentResourceTable();
  return table != nullptr ? table->GetMesh(table->AddMeshBlob(blob)) : nullptr;
}

std::shared_ptr<Texture> BlobTextureOf(const DS_ResBlob& blob) {
  ResourceTable* table = CurrentResourceTable();
  if (table == nullptr) return nullptr;
  const ImageSet& set = table->GetImageSet(table->AddImageBlob(blob));
  return set.textures.empty() ? nullptr : set.textures.front();
}

const bool kInstalled = [] {
  ResourceAccess& access = DocumentResourceAccess();
  access.picture = PictureOf;
  access.frames = FramesOf;
  access.metrics = CurrentPictureMetrics;
  access.effect = EffectOf;
  access.class_effect = ClassEffectOf;
  access.mask = MaskOf;
  access.lose = LoseTableObjects;
  access.restore = RestoreTableObjects;
  access.file_bytes = FileBytesOf;
  access.mesh = MeshOf;
  access.blob_mesh = BlobMeshOf;
  access.blob_texture = BlobTextureOf;
  return true;
}();

}  // namespace
}  // namespace lumi
