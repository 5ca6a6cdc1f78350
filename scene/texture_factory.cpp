#include "scene/texture_factory.h"

#include "archive/utf.h"
#include "platform/resource_lookup.h"
#include "render/picture_loader.h"

namespace lumi {
namespace {

const PeResourceName kDdsResourceType{std::u16string_view(u"DDS")};

std::string ModuleResourceName(const DS_ResBlob& blob) {
  return (blob.module.empty() ? std::string("the executable") : ToUtf8(blob.module)) + " resource " +
         std::to_string(blob.id);
}

}  // namespace

TextureRecord TextureFactory::FromBytes(std::span<const uint8_t> bytes, const std::string& what) {
  std::string message;
  LoadedPicture picture = LoadPicture(device_, bytes, {Pool::Managed, 1}, message);
  if (picture.Empty()) {
    ReportResourceMessage(what + ": " + message);
    return {};
  }
  TextureRecord record;
  record.texture = std::move(picture.frames.front());
  record.width = picture.width;
  record.height = picture.height;
  if (picture.width != 0) record.aspect = static_cast<float>(picture.height) / static_cast<float>(picture.width);
  return record;
}

TextureRecord TextureFactory::Make(const DS_ResBlob& blob) {
  const std::u16string& name = blob.blob.name;
  if (!name.empty() && !blob.blob.bytes.empty()) return FromBytes(blob.blob.bytes, "picture " + ToUtf8(name));
  if (!name.empty()) {
    if (const auto found = by_file_.find(name); found != by_file_.end()) return found->second;
    std::string error;
    const auto bytes = ReadDocumentNamedFile(name, error);
    TextureRecord record = bytes ? FromBytes(*bytes, "picture " + ToUtf8(name)) : TextureRecord{};
    if (!bytes) ReportResourceMessage("picture " + error);
    return by_file_.emplace(name, std::move(record)).first->second;
  }

  const auto cacheKey = std::make_pair(ModuleFileKey(blob.module), blob.id);
  if (const auto found = by_module_.find(cacheKey); found != by_module_.end()) return found->second;
  const std::optional<uint16_t> id = ResourceIdOf(blob.id);
  auto resourceOf = [&](const ResourceModule* module) -> std::span<const uint8_t> {
    if (!module || !id) return {};
    const auto found = module->Find(kDdsResourceType, *id);
    return found ? *found : std::span<const uint8_t>();
  };
  // The executable for an empty module name; otherwise the module file, the
  // document's copy, then our stand-in: the first that decodes.
  const std::span<const uint8_t> sources[] = {
      blob.module.empty() ? resourceOf(&ExecutableModule()) : resourceOf(FindModuleInstance(blob.module)),
      blob.blob.bytes,
      blob.module.empty() ? std::span<const uint8_t>() : resourceOf(FindPackedModule(blob.module))};
  TextureRecord record;
  bool any = false;
  for (const std::span<const uint8_t> bytes : sources) {
    if (bytes.empty()) continue;
    any = true;
    record = FromBytes(bytes, ModuleResourceName(blob));
    if (record.texture) break;
  }
  if (!any) ReportResourceMessage(ModuleResourceName(blob) + ": not found");
  return by_module_.emplace(cacheKey, std::move(record)).first->second;
}

}  // namespace lumi
