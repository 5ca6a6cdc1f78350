// Textures for the blobs of the resource table: from the blob's bytes, from
// a file it names, or from the resource of a module it names.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "archive/blobs.h"
#include "render/device.h"

namespace lumi {

// A texture with the size of the picture it was made from; aspect is
// height / width, 1 until a texture is made.
struct TextureRecord {
  std::shared_ptr<Texture> texture;
  uint32_t width = 0, height = 0;
  float aspect = 1;
};

// Every texture is managed, one level, at the file's own size and format.
// Failures give an empty record and one message each.
class TextureFactory {
 public:
  explicit TextureFactory(GraphicsDevice& device) : device_(device) {}

  // 1. Named with bytes: from the bytes, not cached.
  // 2. Named without bytes: from the file of that full path (a regular
  //    file of bounded size), cached by the name.
  // 3. Unnamed, a module resource: the module file's "DDS" resource, else
  //    the blob's own bytes, else the packed stand-in's resource; an empty
  //    module name is the executable. Cached by module and id.
  TextureRecord Make(const DS_ResBlob& blob);
  // A texture from picture bytes; `what` names them in the message.
  TextureRecord FromBytes(std::span<const uint8_t> bytes, const std::string& what);

 private:
  GraphicsDevice& device_;
  std::map<std::u16string, TextureRecord> by_file_;
  // By module file name (see ModuleFileKey) and id.
  std::map<std::pair<std::u16string, int32_t>, TextureRecord> by_module_;
};

}  // namespace lumi
