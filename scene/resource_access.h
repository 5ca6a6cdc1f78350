// How the scene reaches the thread's document resources for the slide
// picture, the picture metrics and device loss. The run-time resource
// table needs the graphics build; linked in, it fills these in from a
// static initialiser. A build without it plays slides with no picture.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "archive/blobs.h"
#include "archive/guid.h"
#include "params/file_link.h"
#include "render/mesh_record.h"
#include "render/scene_view.h"

namespace lumi {

class Effect;

// A picture as the backdrop keeps it; aspect is height / width.
struct SlidePicture {
  std::shared_ptr<Texture> texture;
  uint32_t width = 0, height = 0;
  float aspect = 1;
};

// Every frame of a picture with its delays in seconds (empty for a still
// picture), and the part of each texture the picture covers.
struct PictureFrames {
  std::vector<std::shared_ptr<Texture>> textures;
  std::vector<float> delays;
  uint32_t width = 0, height = 0;
  float aspect = 1;
  float u = 1, v = 1;
};

struct ResourceAccess {
  // The picture a link names in the current document; empty when none.
  SlidePicture (*picture)(const ResourceKey& key) = nullptr;
  // Every frame of the picture a link names: a picture the document
  // carries, else the link's own frames (a module resource or an image
  // file); empty when none.
  PictureFrames (*frames)(const ResourceKey& key) = nullptr;
  // The current document's picture metrics, or a default record.
  PictureMetrics& (*metrics)() = nullptr;
  // The effect program a link names; null when none runs.
  std::shared_ptr<Effect> (*effect)(const ResourceKey& key) = nullptr;
  // As effect, falling back last to the built-in program of the asking
  // class when no source holds the link's.
  std::shared_ptr<Effect> (*class_effect)(const ResourceKey& key, std::string_view asking_class) = nullptr;
  // The brush mask of an image effect; null when the document has none.
  std::shared_ptr<Texture> (*mask)(const GUID& brush) = nullptr;
  // The current document's device objects: lost once per device loss,
  // made again after the reset.
  void (*lose)() = nullptr;
  void (*restore)() = nullptr;
  // The mesh a link names, null when none reads; the table keeps it.
  const MeshRecord* (*mesh)(const ResourceKey& key) = nullptr;
  // The mesh and the picture a record carries as blobs; null when they do
  // not read or decode.
  const MeshRecord* (*blob_mesh)(const DS_ResBlob& blob) = nullptr;
  std::shared_ptr<Texture> (*blob_texture)(const DS_ResBlob& blob) = nullptr;
  // The bytes of a file a link names in the current document (a sound);
  // null when there are none.
  std::shared_ptr<const std::vector<uint8_t>> (*file_bytes)(const ResourceKey& key) = nullptr;
};

ResourceAccess& DocumentResourceAccess();

}  // namespace lumi
