// Every .x model of Debian's assimp-testmodels package, read by our parser
// and by assimp: the same triangles at the same places.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "render/x_file.h"

#ifdef LUMI_HAVE_ASSIMP
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#endif

namespace lumi {
namespace {

constexpr const char* kModelFolder = "/usr/share/assimp/models/X";

using Corner = std::array<long, 3>;
using Triangle = std::array<Corner, 3>;

// Positions rounded to 1/1000 and sorted within a triangle, so the
// comparison ignores winding. Assimp turns the left-handed file
// right-handed by negating z.
Corner Round(float x, float y, float z) { return {std::lround(x * 1000), std::lround(y * 1000), std::lround(z * 1000)}; }

Triangle Sorted(Triangle t) {
  std::sort(t.begin(), t.end());
  return t;
}

std::vector<Triangle> OurTriangles(const XMesh& mesh) {
  std::vector<Triangle> triangles;
  for (size_t i = 0; i < mesh.indices.size(); i += 3) {
    Triangle t;
    for (int k = 0; k < 3; ++k) {
      const VertexPNT& v = mesh.vertices[mesh.indices[i + k]];
      t[k] = Round(v.x, v.y, v.z);
    }
    triangles.push_back(Sorted(t));
  }
  std::sort(triangles.begin(), triangles.end());
  return triangles;
}

#ifdef LUMI_HAVE_ASSIMP
std::vector<Triangle> AssimpTriangles(const std::vector<uint8_t>& bytes, std::string& error) {
  Assimp::Importer importer;
  const aiScene* scene =
      importer.ReadFileFromMemory(bytes.data(), bytes.size(), aiProcess_Triangulate | aiProcess_PreTransformVertices, "x");
  std::vector<Triangle> triangles;
  if (!scene) {
    error = importer.GetErrorString();
    return triangles;
  }
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    const aiMesh* mesh = scene->mMeshes[m];
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      if (face.mNumIndices != 3) continue;
      Triangle t;
      for (int k = 0; k < 3; ++k) {
        const aiVector3D& p = mesh->mVertices[face.mIndices[k]];
        t[k] = Round(p.x, p.y, -p.z);
      }
      triangles.push_back(Sorted(t));
    }
  }
  std::sort(triangles.begin(), triangles.end());
  return triangles;
}
#endif

TEST(XFileAssimp, TestModelsGiveTheSameTrianglesAsAssimp) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(kModelFolder, ec)) {
    std::string extension = entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
    if (extension == ".x") files.push_back(entry.path());
  }
  if (files.empty()) GTEST_SKIP() << "no .x models in " << kModelFolder << " (Debian package assimp-testmodels)";
#ifndef LUMI_HAVE_ASSIMP
  GTEST_SKIP() << "built without assimp (Debian package libassimp-dev)";
#else
  size_t compared = 0;
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(bytes.empty());
    std::string ourError, theirError;
    const auto ours = ReadXFile(bytes, ourError);
    const std::vector<Triangle> theirs = AssimpTriangles(bytes, theirError);
    if (theirs.empty()) {
      // A file assimp cannot read proves nothing about ours; it must not crash us.
      std::cout << path.filename() << ": assimp: " << theirError << "; ours: " << (ours ? "read" : ourError) << "\n";
      continue;
    }
    ASSERT_TRUE(ours) << ourError;
    const std::vector<Triangle> mine = OurTriangles(*ours);
    EXPECT_EQ(mine.size(), theirs.size());
    EXPECT_TRUE(mine == theirs);
    std::cout << path.filename() << ": " << mine.size() << " triangles, " << ours->vertices.size()
              << " vertices, as assimp\n";
    ++compared;
  }
  EXPECT_GT(compared, 3u);
#endif
}

}  // namespace
}  // namespace lumi
