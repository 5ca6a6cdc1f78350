// The document's resources at run time. Made from the stored record of a
// loaded document, it turns the keys that file links name into device
// objects (textures, effect programs, meshes) and caches them: pictures and
// masks at once, everything else on first request. It is also where the
// objects that hold default-pool targets register, so that one device loss
// releases them all and one restore makes them again.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/blobs.h"
#include "archive/guid.h"
#include "params/file_link.h"
#include "params/vector_math.h"
#include "render/device.h"
#include "render/effect.h"
#include "render/losable.h"
#include "render/mesh_record.h"
#include "render/scene_view.h"
#include "render/target_pair.h"
#include "scene/texture_factory.h"

namespace lumi {

class DS_DocResManager;

// The device form of a picture: one texture per frame, in frame order (a
// frame that could not be made is null), the frame delays in seconds as the
// document gives them (empty for a still picture, and possibly fewer than
// the frames: readers bound them), and the size and aspect of the source
// picture, taken from the last frame made.
struct ImageSet {
  std::vector<std::shared_ptr<Texture>> textures;
  std::vector<float> delays;
  uint32_t width = 0, height = 0;
  float aspect = 1;
};

// An image set made by LoadImageSet, with the part of each texture the
// picture uses. u = picture width / texture width and v likewise when the
// scaling filter is kFilterNone, 1 otherwise; aspect = height / width of the
// picture (1 when either is 0).
struct AnimatedImageSet {
  std::vector<std::shared_ptr<Texture>> textures;
  std::vector<float> delays;
  uint32_t imageWidth = 0, imageHeight = 0;
  uint32_t textureWidth = 0, textureHeight = 0;
  float u = 1, v = 1, aspect = 1;
};

// The scaling filter that leaves a picture unscaled in its texture.
inline constexpr uint32_t kFilterNone = 1;

// The bytes of one frame of a link, shared between copies.
struct LinkFrame {
  std::shared_ptr<const std::vector<uint8_t>> bytes;
  float delay = 0;
  std::u16string name;
};

class ResourceTable : public LosableRegistry {
 public:
  // Copies what the record carries and makes the textures of its pictures
  // and masks on `device`, which must outlive the table.
  ResourceTable(GraphicsDevice& device, const DS_DocResManager& record);
  ~ResourceTable() override;
  ResourceTable(const ResourceTable&) = delete;
  ResourceTable& operator=(const ResourceTable&) = delete;

  GraphicsDevice& Device() { return device_; }
  TextureFactory& Factory() { return factory_; }
  // The picture metrics of this document (the backdrop writes them).
  PictureMetrics& Metrics() { return metrics_; }

  // Pictures. A key the document carries has its textures from the load; a
  // module resource (".dll" or an empty path) is made once, empty when no
  // source has it, and not tried again; a plain file the document does not
  // carry is never read and stays empty.
  const ImageSet& GetImageSet(const ResourceKey& link);
  std::vector<const ImageSet*> GetImageSets(std::span<const ResourceKey> links);
  std::vector<const ImageSet*> GetImageSets(std::span<const DS_ImageFileLink> links);
  // An image set stored in a module as a record of delays and blobs.
  const ImageSet& GetModuleImageSet(const ResourceKey& link);
  std::vector<const ImageSet*> GetModuleImageSets(std::span<const ResourceKey> links);
  // Every frame of the link's bytes as its own texture, scaled with `filter`.
  const AnimatedImageSet& LoadImageSet(const ResourceKey& link, uint32_t filter);
  // The link's bytes as frames: a module resource, or the file the link
  // names (a regular file of bounded size); nothing for ".gif". True always.
  bool LoadLinkBytes(const ResourceKey& link, std::vector<LinkFrame>& frames);
  // The bytes of a file the link names (a sound): the document's copy,
  // whichever section carries it, else what LoadLinkBytes finds. Null when
  // there are none.
  std::shared_ptr<const std::vector<uint8_t>> LinkFileBytes(const ResourceKey& link);

  // Raw module data.
  std::vector<DS_ResBlob>& GetRawBlobs(const ResourceKey& key);
  // The first raw blob of the key, fetched from the module for a ".dll"
  // link; null when there is none.
  const DS_ResBlob* GetModuleBlob(const ResourceKey& link);

  // The effect program of the link: the module's RT_RCDATA resource, the
  // document's copy, then the built-in program of that number, and last the
  // built-in program of the asking class, the first that runs. Null when
  // none does; asked again, it tries again (a module may have come; bytes
  // that failed are not compiled twice), with one message per program
  // whatever the number of tries.
  std::shared_ptr<Effect> GetEffect(const ResourceKey& link, std::string_view asking_class = {});
  // The mesh of a .x link: for a module link the module's "DDS" resource,
  // then the document's copy, then our stand-in. Null when there is none or
  // it does not read (one message), and tried again on the next request.
  // The options are the platform's mesh flags, which have no use here.
  const MeshRecord* GetMesh(const ResourceKey& link, uint32_t options = 0);
  // A link to the mesh a blob carries: the blob's key (its module and id,
  // else a key of its own), the blob its document copy.
  ResourceKey AddMeshBlob(const DS_ResBlob& blob);

  // The brush mask of an image-effect object; an empty record if none.
  const TextureRecord& GetMaskTexture(const GUID& guid);
  // The brush's pair of targets, made from its mask at 512 x 512.
  TargetPair& GetBrushCanvas(const GUID& guid);

  // A link to a one-frame image set made from the blob.
  ResourceKey AddImageBlob(const DS_ResBlob& blob);
  // A link to an image set of the blobs in order with these delays.
  ResourceKey AddImageFrames(std::span<const DS_ResBlob> blobs, std::vector<float> delays);

  // Objects holding default-pool targets, by name.
  void Register(const std::string& name, VRN_LosableObj* object) override;
  void Unregister(const std::string& name) override;
  size_t RegisteredCount() const { return losables_.Size(); }

  // Device loss: every registered object loses its targets, every effect is
  // told and drops its textures, every brush canvas releases its targets.
  void LoseDeviceObjects();
  // After the device is reset: the objects make their targets again, the
  // effects are told, every brush canvas is made again from its mask.
  void RestoreDeviceObjects();

 private:
  struct BrushCanvas {
    TargetPair pair;
    uint32_t width = 0, height = 0;
  };

  void MakeFrames(ImageSet& set, std::span<const DS_ResBlob> blobs);
  // The program in `bytes`, null when they are empty, failed before, or do
  // not run now (one message).
  void ForEachEffect(const std::function<void(Effect&)>& call);
  std::shared_ptr<Effect> Compile(const std::string& name, const char* source_label, std::span<const uint8_t> bytes);
  void Report(const std::string& message);

  GraphicsDevice& device_;
  TextureFactory factory_;
  PictureMetrics metrics_;
  LosableTable losables_;

  std::map<ResourceKey, std::vector<LinkFrame>> frame_items_;
  std::map<ResourceKey, AnimatedImageSet> animated_sets_;
  std::map<ResourceKey, std::vector<float>> delays_;
  std::map<ResourceKey, ImageSet> image_sets_;
  std::map<ResourceKey, std::unique_ptr<MeshRecord>> meshes_;
  std::map<GUID, BrushCanvas> brush_canvases_;
  std::map<ResourceKey, std::shared_ptr<Effect>> effects_;
  // Class programs, apart from the links: two classes may name the same
  // link that holds nothing and fall back to different programs.
  std::map<std::string, std::shared_ptr<Effect>, std::less<>> class_effects_;
  std::map<ResourceKey, std::vector<DS_ResBlob>> raw_blobs_;
  std::map<GUID, TextureRecord> mask_textures_;
  // Program bytes that would not run, by address and size.
  std::set<std::pair<const uint8_t*, size_t>> failed_programs_;
  // Messages already given, so retries stay quiet.
  std::set<std::string> reported_;
};

// The thread's current table, null when none. Setting it also makes it the
// registry of the thread's losable objects.
ResourceTable* CurrentResourceTable();
void SetCurrentResourceTable(ResourceTable* table);
// The current table's metrics, or one process-wide default record when no
// table is current.
PictureMetrics& CurrentPictureMetrics();

}  // namespace lumi
