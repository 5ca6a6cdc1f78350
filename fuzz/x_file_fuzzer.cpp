// Feeds arbitrary bytes to the .x mesh parser: a mesh must either be read or
// be refused with a reason; one that is read has triangles, at most 65,536
// vertices, indices inside them and finite unit normals.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "render/x_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  const auto mesh = lumi::ReadXFile({data, size}, error);
  if (!mesh) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (mesh->indices.empty() || mesh->indices.size() % 3 != 0) std::abort();
  if (mesh->vertices.size() > lumi::kMaxXMeshVertices) std::abort();
  for (uint16_t index : mesh->indices) {
    if (index >= mesh->vertices.size()) std::abort();
  }
  for (const lumi::VertexPNT& v : mesh->vertices) {
    const float length = std::hypot(v.nx, v.ny, v.nz);
    if (!(std::abs(length - 1) < 1e-3f)) std::abort();
  }
  if (!std::isfinite(mesh->sphereRadius)) std::abort();
  if (!mesh->triangleMaterials.empty()) {
    if (mesh->triangleMaterials.size() != mesh->TriangleCount()) std::abort();
    for (uint32_t material : mesh->triangleMaterials) {
      if (material >= mesh->materials.size()) std::abort();
    }
  }
  return 0;
}
