// Meshes in the DirectX .x format, read from bytes in memory into system
// memory: text and binary files and their MSZIP-compressed forms ("tzip",
// "bzip"). Every mesh of the file is taken, moved by the transforms of the
// frames around it, and merged into one. Vertices come out as position,
// normal and one texture-coordinate pair; the normals are recomputed from
// the triangles (the file's own normals are not used), faces of more than
// three corners are split into fans.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "render/vertex_formats.h"

namespace lumi {

// 16-bit indices address at most this many vertices.
inline constexpr size_t kMaxXMeshVertices = 65536;
// A compressed file may not inflate to more than this.
inline constexpr size_t kMaxXFileInflatedBytes = size_t{64} << 20;

struct XMaterial {
  float diffuse[4] = {1, 1, 1, 1};  // r, g, b, a
  float power = 0;
  float specular[3] = {0, 0, 0};
  float emissive[3] = {0, 0, 0};
  std::string textureFile;  // as written in the file; empty when none
};

struct XMesh {
  std::vector<VertexPNT> vertices;
  std::vector<uint16_t> indices;  // three per triangle
  // The material of each triangle, an index into materials; empty when the
  // file names no materials.
  std::vector<uint32_t> triangleMaterials;
  std::vector<XMaterial> materials;
  float sphereCentre[3] = {0, 0, 0};
  float sphereRadius = 0;

  size_t TriangleCount() const { return indices.size() / 3; }
};

// Empty with the reason in error when the bytes are no .x file this player
// reads, or the mesh has no triangles or more than kMaxXMeshVertices
// vertices.
std::optional<XMesh> ReadXFile(std::span<const uint8_t> bytes, std::string& error);

}  // namespace lumi
