// A mesh in the device, as the document's resources make it from a .x file:
// position, normal and texture coordinate per vertex (32 bytes), three
// 16-bit indices per triangle, both in managed buffers, and the bounding
// sphere over the vertices.
#pragma once

#include <cstdint>
#include <memory>

#include "params/vector_math.h"
#include "render/device.h"

namespace lumi {

struct MeshRecord {
  std::shared_ptr<VertexBuffer> vertices;
  std::shared_ptr<IndexBuffer> indices;
  uint32_t vertexCount = 0, triangleCount = 0;
  Vector3 sphereCentre;
  float sphereRadius = 0;
};

}  // namespace lumi
