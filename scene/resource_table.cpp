#include "scene/resource_table.h"

#include <cstring>

#include "archive/binary_reader.h"
#include "archive/input_error.h"
#include "archive/utf.h"
#include "platform/resource_lookup.h"
#include "programs/builtin_programs.h"
#include "render/picture_loader.h"
#include "render/x_file.h"
#include "scene/doc_res_manager.h"

namespace lumi {
namespace {

thread_local ResourceTable* currentTable = nullptr;

const PeResourceName kDdsType{std::u16string_view(u"DDS")};

// A key number as a blob's id: one that names no resource (outside 0 to
// 65535) becomes -1, which names none either, instead of being cut short.
int32_t BlobIdOf(int64_t number) {
  const std::optional<uint16_t> id = ResourceIdOf(number);
  return id ? int32_t{*id} : -1;
}

bool NamesModule(const ResourceKey& key) { return key.name.empty() || key.Extension() == u".dll"; }

std::string Describe(const ResourceKey& key) { return ToUtf8(key.name) + " (" + std::to_string(key.number) + ")"; }

std::span<const uint8_t> ResourceOf(const ResourceModule* module, const PeResourceName& type, int64_t number) {
  const std::optional<uint16_t> id = ResourceIdOf(number);
  if (!module || !id) return {};
  const auto found = module->Find(type, *id);
  return found ? *found : std::span<const uint8_t>();
}

// A module resource when no document copy serves: the packed stand-in for
// the module, then, where the module file is missing, the executable's own.
std::span<const uint8_t> StandInResource(const ResourceKey& key, const PeResourceName& type, bool moduleFileFound) {
  std::span<const uint8_t> bytes = ResourceOf(FindPackedModule(key.name), type, key.number);
  if (bytes.empty() && !moduleFileFound) bytes = ResourceOf(&ExecutableModule(), type, key.number);
  return bytes;
}

// The delays and blobs of a module's image-set record; nullopt when the
// bytes do not hold a whole record.
struct ModuleImageSetRecord {
  std::vector<float> delays;
  std::vector<DS_ResBlob> blobs;
};

std::optional<ModuleImageSetRecord> ReadModuleImageSet(std::span<const uint8_t> bytes, std::string& error) {
  ModuleImageSetRecord record;
  try {
    BinaryReader reader(bytes);
    size_t count = 0;
    reader.List("delays", count, [&](size_t) { reader.Float(nullptr, record.delays.emplace_back()); });
    count = 0;
    reader.List("frames", count, [&](size_t) { reader.ResBlob(nullptr, record.blobs.emplace_back()); });
  } catch (const InputError& broken) {
    error = broken.what();
    return std::nullopt;
  }
  return record;
}

}  // namespace

ResourceTable::ResourceTable(GraphicsDevice& device, const DS_DocResManager& record)
    : device_(device), factory_(device) {
  for (const ResourceDelays& entry : record.delays) delays_.try_emplace(entry.key, entry.delays);
  // Pictures in key order, the first entry of a key counting.
  std::map<ResourceKey, const std::vector<DS_ResBlob>*> pictures;
  for (const ResourceFrames& entry : record.pictures) pictures.try_emplace(entry.key, &entry.frames);
  for (const auto& [key, frames] : pictures) {
    std::vector<DS_ResBlob>& blobs = raw_blobs_[key] = *frames;
    ImageSet& set = image_sets_[key];
    MakeFrames(set, blobs);
    if (blobs.size() > 1) {
      if (const auto found = delays_.find(key); found != delays_.end()) set.delays = found->second;
    }
  }
  for (const ResourceFrames& entry : record.module_files) raw_blobs_.try_emplace(entry.key, entry.frames);
  for (const MaskRecord& mask : record.masks) {
    if (mask_textures_.contains(mask.guid)) continue;
    mask_textures_[mask.guid] = factory_.FromBytes(mask.file.bytes, "brush mask " + ToUtf8(FormatGuid(mask.guid)));
  }
  for (const ResourceFrameItems& entry : record.frame_items) {
    std::vector<LinkFrame> frames;
    for (const FrameItem& item : entry.items) {
      frames.push_back({std::make_shared<const std::vector<uint8_t>>(item.bytes), item.delay, {}});
    }
    frame_items_.try_emplace(entry.key, std::move(frames));
  }
}

ResourceTable::~ResourceTable() {
  if (currentTable == this) SetCurrentResourceTable(nullptr);
}

void ResourceTable::Report(const std::string& message) {
  if (reported_.insert(message).second) ReportResourceMessage(message);
}

void ResourceTable::MakeFrames(ImageSet& set, std::span<const DS_ResBlob> blobs) {
  for (const DS_ResBlob& blob : blobs) {
    const TextureRecord record = factory_.Make(blob);
    set.textures.push_back(record.texture);
    set.width = record.width;
    set.height = record.height;
    set.aspect = record.aspect;
  }
}

const ImageSet& ResourceTable::GetImageSet(const ResourceKey& link) {
  ImageSet& set = image_sets_[link];
  if (!set.textures.empty()) return set;
  std::vector<DS_ResBlob>& blobs = raw_blobs_[link];
  if (!NamesModule(link)) return set;
  const DS_ResBlob blob{BlobIdOf(link.number), link.name, {}};
  if (blobs.empty()) blobs.push_back(blob);
  MakeFrames(set, std::span(&blob, 1));
  return set;
}

std::vector<const ImageSet*> ResourceTable::GetImageSets(std::span<const ResourceKey> links) {
  std::vector<const ImageSet*> sets;
  for (const ResourceKey& link : links) sets.push_back(&GetImageSet(link));
  return sets;
}

std::vector<const ImageSet*> ResourceTable::GetImageSets(std::span<const DS_ImageFileLink> links) {
  std::vector<const ImageSet*> sets;
  for (const DS_ImageFileLink& link : links) sets.push_back(&GetImageSet(link.key));
  return sets;
}

const ImageSet& ResourceTable::GetModuleImageSet(const ResourceKey& link) {
  ImageSet& set = image_sets_[link];
  if (!set.textures.empty()) return set;
  const ResourceModule* module = FindModuleInstance(link.name);
  std::span<const uint8_t> bytes = ResourceOf(module, kDdsType, link.number);
  if (bytes.empty()) bytes = StandInResource(link, kDdsType, module != nullptr);
  if (bytes.empty()) return set;
  std::string error;
  std::optional<ModuleImageSetRecord> record = ReadModuleImageSet(bytes, error);
  if (!record) {
    Report("image set " + Describe(link) + " is not a whole image-set record: " + error);
    return set;
  }
  set.delays = std::move(record->delays);
  raw_blobs_[link] = std::move(record->blobs);
  MakeFrames(set, raw_blobs_[link]);
  return set;
}

std::vector<const ImageSet*> ResourceTable::GetModuleImageSets(std::span<const ResourceKey> links) {
  std::vector<const ImageSet*> sets;
  for (const ResourceKey& link : links) sets.push_back(&GetModuleImageSet(link));
  return sets;
}

const AnimatedImageSet& ResourceTable::LoadImageSet(const ResourceKey& link, uint32_t filter) {
  AnimatedImageSet& set = animated_sets_[link];
  if (!set.textures.empty()) return set;
  std::vector<LinkFrame>& frames = frame_items_[link];
  if (frames.empty()) LoadLinkBytes(link, frames);
  set.textures.assign(frames.size(), nullptr);
  set.delays.assign(frames.size(), 0.0f);
  for (size_t i = 0; i < frames.size(); ++i) {
    const std::span<const uint8_t> bytes = frames[i].bytes ? *frames[i].bytes : std::span<const uint8_t>();
    std::string message;
    LoadedPicture picture = LoadPicture(device_, bytes, {Pool::Managed, 1}, message);
    if (picture.Empty()) {
      Report("frame " + std::to_string(i) + " of " + Describe(link) + ": " + message);
    } else {
      set.textures[i] = std::move(picture.frames.front());
      set.imageWidth = picture.width;
      set.imageHeight = picture.height;
    }
    set.delays[i] = frames[i].delay;
  }
  // A set without frames, or whose first frame did not decode, has no
  // texture size: it counts as wholly used.
  const Texture* first = set.textures.empty() ? nullptr : set.textures.front().get();
  set.textureWidth = first ? first->Width() : 0;
  set.textureHeight = first ? first->Height() : 0;
  const bool sized = set.imageWidth != 0 && set.imageHeight != 0 && set.textureWidth != 0 && set.textureHeight != 0;
  set.u = set.v = set.aspect = 1;
  if (sized) {
    set.aspect = static_cast<float>(set.imageHeight) / static_cast<float>(set.imageWidth);
    if (filter == kFilterNone) {
      set.u = static_cast<float>(set.imageWidth) / static_cast<float>(set.textureWidth);
      set.v = static_cast<float>(set.imageHeight) / static_cast<float>(set.textureHeight);
    }
  }
  return set;
}

bool ResourceTable::LoadLinkBytes(const ResourceKey& link, std::vector<LinkFrame>& frames) {
  const std::u16string extension = link.Extension();
  if (extension == u".gif") return true;
  std::shared_ptr<const std::vector<uint8_t>> bytes;
  if (extension == u".dll") {
    const ResourceModule* module = FindModuleInstance(link.name);
    std::span<const uint8_t> found = ResourceOf(module, kDdsType, link.number);
    if (found.empty()) {
      for (const DS_ResBlob& blob : raw_blobs_[link]) {
        if (!blob.blob.bytes.empty()) {
          found = blob.blob.bytes;
          break;
        }
      }
    }
    if (found.empty()) found = StandInResource(link, kDdsType, module != nullptr);
    if (found.empty()) return true;
    bytes = std::make_shared<const std::vector<uint8_t>>(found.begin(), found.end());
  } else {
    std::string error;
    std::optional<std::vector<uint8_t>> file = ReadDocumentNamedFile(link.name, error);
    if (!file) {
      Report("file " + error);
      return true;
    }
    bytes = std::make_shared<const std::vector<uint8_t>>(std::move(*file));
  }
  frames.assign(1, LinkFrame{std::move(bytes), 0, link.FileName()});
  return true;
}

std::shared_ptr<const std::vector<uint8_t>> ResourceTable::LinkFileBytes(const ResourceKey& link) {
  if (const auto raw = raw_blobs_.find(link); raw != raw_blobs_.end()) {
    for (const DS_ResBlob& blob : raw->second) {
      if (!blob.blob.bytes.empty()) return std::make_shared<const std::vector<uint8_t>>(blob.blob.bytes);
    }
  }
  std::vector<LinkFrame>& frames = frame_items_[link];
  if (frames.empty()) LoadLinkBytes(link, frames);
  return frames.empty() ? nullptr : frames.front().bytes;
}

std::vector<DS_ResBlob>& ResourceTable::GetRawBlobs(const ResourceKey& key) { return raw_blobs_[key]; }

const DS_ResBlob* ResourceTable::GetModuleBlob(const ResourceKey& link) {
  std::vector<DS_ResBlob>& blobs = raw_blobs_[link];
  if (!blobs.empty()) return &blobs.front();
  if (link.Extension() != u".dll") return nullptr;
  DS_ResBlob& blob = blobs.emplace_back(DS_ResBlob{BlobIdOf(link.number), link.name, {}});
  const ResourceModule* module = FindModuleInstance(link.name);
  std::span<const uint8_t> bytes = ResourceOf(module, kDdsType, link.number);
  if (bytes.empty()) bytes = ResourceOf(module, kResourceTypeRcData, link.number);
  if (bytes.empty()) bytes = StandInResource(link, kDdsType, module != nullptr);
  if (bytes.empty()) bytes = ResourceOf(FindPackedModule(link.name), kResourceTypeRcData, link.number);
  blob.blob.bytes.assign(bytes.begin(), bytes.end());
  return &blob;
}

std::shared_ptr<Effect> ResourceTable::GetEffect(const ResourceKey& link, std::string_view asking_class) {
  std::shared_ptr<Effect>& effect = effects_[link];
  if (effect) return effect;
  std::vector<DS_ResBlob>& blobs = raw_blobs_[link];
  if (blobs.empty()) blobs.push_back({BlobIdOf(link.number), link.name, {}});

  // Each source in turn until one runs; the document's copy is never
  // replaced by the module's, so a module program that cannot run leaves
  // the copy to be tried.
  const std::string name = Describe(link);
  struct Source {
    const char* label;
    std::span<const uint8_t> bytes;
  };
  const auto text_bytes = [](std::string_view text) {
    return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  };
  std::vector<Source> sources;
  sources.push_back({"the module", ResourceOf(FindModuleInstance(link.name), kResourceTypeRcData, link.number)});
  sources.push_back({"the document", blobs.back().blob.bytes});
  sources.push_back({"the stand-in module", ResourceOf(FindPackedModule(link.name), kResourceTypeRcData, link.number)});
  if (const std::optional<uint16_t> id = ResourceIdOf(link.number)) {
    if (const BuiltinProgram* builtin = FindBuiltinProgram(*id)) {
      sources.push_back({"the built-in programs", text_bytes(builtin->text)});
    }
  }
  for (const Source& source : sources) {
    if (std::shared_ptr<Effect> made = Compile(name, source.label, source.bytes)) return effect = std::move(made);
  }
  // The class's own program is kept for the class, not the link: two
  // classes may name one link that holds nothing.
  if (const BuiltinProgram* by_class = FindClassProgram(asking_class)) {
    std::shared_ptr<Effect>& fallback = class_effects_[std::string(asking_class)];
    if (!fallback) fallback = Compile(name, "the class's built-in program", text_bytes(by_class->text));
    if (fallback) return fallback;
  }
  Report("effect program " + name + ": no source holds a program that runs");
  return nullptr;
}

std::shared_ptr<Effect> ResourceTable::Compile(const std::string& name, const char* source_label,
                                               std::span<const uint8_t> bytes) {
  // Bytes that did not run once never will: a retry skips them rather than
  // compile them again every frame.
  const std::pair<const uint8_t*, size_t> identity(bytes.data(), bytes.size());
  if (bytes.empty() || failed_programs_.contains(identity)) return nullptr;
  std::string message;
  std::shared_ptr<Effect> made = Effect::Create(device_, name, bytes, message);
  if (made) return made;
  failed_programs_.insert(identity);
  Report(message + " (from " + source_label + ")");
  return nullptr;
}

const MeshRecord* ResourceTable::GetMesh(const ResourceKey& link, uint32_t) {
  std::unique_ptr<MeshRecord>& mesh = meshes_[link];
  if (mesh) return mesh.get();
  // A module's resource for module links, the document's copy, our
  // stand-in, then the executable's own where the module file is missing.
  const ResourceModule* module = NamesModule(link) ? FindModuleInstance(link.name) : nullptr;
  std::span<const uint8_t> bytes = ResourceOf(module, kDdsType, link.number);
  if (bytes.empty()) {
    for (const DS_ResBlob& blob : raw_blobs_[link]) {
      if (!blob.blob.bytes.empty()) {
        bytes = blob.blob.bytes;
        break;
      }
    }
  }
  if (bytes.empty() && NamesModule(link)) bytes = StandInResource(link, kDdsType, module != nullptr);
  if (bytes.empty()) {
    Report("mesh " + Describe(link) + ": not found");
    return nullptr;
  }
  std::string error;
  const std::optional<XMesh> parsed = ReadXFile(bytes, error);
  if (!parsed) {
    Report("mesh " + Describe(link) + ": " + error);
    return nullptr;
  }
  auto record = std::make_unique<MeshRecord>();
  const uint32_t vertexBytes = static_cast<uint32_t>(parsed->vertices.size() * sizeof(VertexPNT));
  record->vertices = device_.CreateVertexBuffer(vertexBytes, kBufferWriteOnly, Pool::Managed);
  record->indices = device_.CreateIndexBuffer(static_cast<uint32_t>(parsed->indices.size()), kBufferWriteOnly, Pool::Managed);
  void* vertices = record->vertices ? record->vertices->Lock(0, 0) : nullptr;
  void* indices = record->indices ? record->indices->Lock(0, 0) : nullptr;
  if (!vertices || !indices) {
    Report("mesh " + Describe(link) + ": the device refused its buffers (" + device_.LastError() + ")");
    return nullptr;
  }
  std::memcpy(vertices, parsed->vertices.data(), vertexBytes);
  std::memcpy(indices, parsed->indices.data(), parsed->indices.size() * sizeof(uint16_t));
  record->vertices->Unlock();
  record->indices->Unlock();
  record->vertexCount = static_cast<uint32_t>(parsed->vertices.size());
  record->triangleCount = static_cast<uint32_t>(parsed->TriangleCount());
  record->sphereCentre = {parsed->sphereCentre[0], parsed->sphereCentre[1], parsed->sphereCentre[2]};
  record->sphereRadius = parsed->sphereRadius;
  mesh = std::move(record);
  return mesh.get();
}

ResourceKey ResourceTable::AddMeshBlob(const DS_ResBlob& blob) {
  const ResourceKey key = DS_FileLink3::BlobKey(blob);
  std::vector<DS_ResBlob>& blobs = raw_blobs_[key];
  if (blobs.empty()) blobs.push_back(blob);
  return key;
}

const TextureRecord& ResourceTable::GetMaskTexture(const GUID& guid) {
  static const TextureRecord none;
  const auto found = mask_textures_.find(guid);
  return found == mask_textures_.end() ? none : found->second;
}

TargetPair& ResourceTable::GetBrushCanvas(const GUID& guid) {
  constexpr uint32_t kCanvasSize = 512;
  if (const auto found = brush_canvases_.find(guid); found != brush_canvases_.end()) return found->second.pair;
  BrushCanvas& canvas = brush_canvases_[guid];
  canvas.width = canvas.height = kCanvasSize;
  canvas.pair.CopyFrom(device_, GetMaskTexture(guid).texture.get(), canvas.width, canvas.height);
  return canvas.pair;
}

ResourceKey ResourceTable::AddImageBlob(const DS_ResBlob& blob) {
  const ResourceKey key = DS_FileLink3::BlobKey(blob);
  std::vector<DS_ResBlob>& blobs = raw_blobs_[key];
  if (blobs.empty()) blobs.push_back(blob);
  ImageSet& set = image_sets_[key];
  set = {};
  MakeFrames(set, std::span(&blob, 1));
  return key;
}

ResourceKey ResourceTable::AddImageFrames(std::span<const DS_ResBlob> blobs, std::vector<float> delays) {
  if (blobs.empty()) return {};
  const ResourceKey key = DS_FileLink3::BlobKey(blobs.front());
  ImageSet& set = image_sets_[key];
  if (!set.textures.empty()) return key;
  MakeFrames(set, blobs);
  std::vector<DS_ResBlob>& raw = raw_blobs_[key];
  raw.insert(raw.end(), blobs.begin(), blobs.end());
  set.delays = std::move(delays);
  return key;
}

void ResourceTable::Register(const std::string& name, VRN_LosableObj* object) { losables_.Register(name, object); }

void ResourceTable::Unregister(const std::string& name) { losables_.Unregister(name); }

void ResourceTable::ForEachEffect(const std::function<void(Effect&)>& call) {
  for (const auto& [key, effect] : effects_) {
    if (effect) call(*effect);
  }
  for (const auto& [class_name, effect] : class_effects_) {
    if (effect) call(*effect);
  }
}

void ResourceTable::LoseDeviceObjects() {
  losables_.LoseAll();
  ForEachEffect([](Effect& effect) { effect.OnLostDevice(); });
  for (auto& [guid, canvas] : brush_canvases_) canvas.pair.Release();
}

void ResourceTable::RestoreDeviceObjects() {
  losables_.RestoreAll();
  ForEachEffect([](Effect& effect) { effect.OnResetDevice(); });
  for (auto& [guid, canvas] : brush_canvases_) {
    canvas.pair.CopyFrom(device_, GetMaskTexture(guid).texture.get(), canvas.width, canvas.height);
  }
}

ResourceTable* CurrentResourceTable() { return currentTable; }

void SetCurrentResourceTable(ResourceTable* table) {
  currentTable = table;
  SetCurrentLosableRegistry(table);
}

PictureMetrics& CurrentPictureMetrics() {
  static PictureMetrics fallback;
  return currentTable ? currentTable->Metrics() : fallback;
}

}  // namespace lumi
