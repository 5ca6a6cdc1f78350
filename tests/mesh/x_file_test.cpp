#include "render/x_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <string>

#include "render/x_tokens.h"

namespace lumi {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes TextFile(std::string_view body) {
  std::string file = "xof 0303txt 0032\n";
  file += body;
  return Bytes(file.begin(), file.end());
}

std::optional<XMesh> Read(const Bytes& bytes, std::string* errorOut = nullptr) {
  std::string error;
  auto mesh = ReadXFile(bytes, error);
  if (errorOut) *errorOut = error;
  if (!mesh) {
    EXPECT_FALSE(error.empty());
  }
  return mesh;
}

std::string ErrorOf(const Bytes& bytes) {
  std::string error;
  EXPECT_FALSE(Read(bytes, &error).has_value());
  return error;
}

// A unit square in z = 0 as one four-corner face, moved by (10, 0, 0) by its
// frame and by (0, 5, 0) by the frame around that, with texture coordinates
// and two materials, one of them referenced by name.
constexpr std::string_view kSquare = R"(
template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
// a comment { with a brace
Material Red { 1.0;0.0;0.0;1.0;; 5.0; 0.1;0.1;0.1;; 0;0;0;; TextureFilename { "red.png"; } }
Frame Outer {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,5,0,1;; }
  Frame Inner {
    FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,0,0,1;; }
    Mesh Square {
      5;
      0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;, 7;7;7;;
      2;
      4;0,1,2,3;,
      3;0,1,4;;
      MeshNormals { 1; 0;0;1;; 1; 3;0,0,0;; }
      MeshTextureCoords { 5; 0;1;, 0;0;, 1;0;, 1;1;, 0.5;0.5;; }
      MeshMaterialList {
        2; 2; 1, 0;;
        { Red }
        Material { 0;1;0;1;; 2; 0;0;0;; 0;0;0;; }
      }
    }
  }
}
)";

TEST(XFileText, SquareIsFannedMovedByItsFramesAndKeepsUvAndMaterials) {
  const auto mesh = Read(TextFile(kSquare));
  ASSERT_TRUE(mesh);
  ASSERT_EQ(mesh->vertices.size(), 5u);
  ASSERT_EQ(mesh->TriangleCount(), 3u);
  EXPECT_EQ(mesh->indices, (std::vector<uint16_t>{0, 1, 2, 0, 2, 3, 0, 1, 4}));
  // Inner frame first, then the outer one.
  EXPECT_FLOAT_EQ(mesh->vertices[2].x, 11);
  EXPECT_FLOAT_EQ(mesh->vertices[2].y, 6);
  EXPECT_FLOAT_EQ(mesh->vertices[4].z, 7);
  EXPECT_FLOAT_EQ(mesh->vertices[1].u, 0);
  EXPECT_FLOAT_EQ(mesh->vertices[3].v, 1);
  EXPECT_FLOAT_EQ(mesh->vertices[4].u, 0.5f);
  // Clockwise seen from -z: the square faces the viewer.
  EXPECT_FLOAT_EQ(mesh->vertices[2].nz, -1);
  EXPECT_FLOAT_EQ(mesh->vertices[3].nz, -1);
  for (const VertexPNT& v : mesh->vertices) {
    EXPECT_NEAR(std::hypot(v.nx, v.ny, v.nz), 1, 1e-5);
  }
  // The first face (two triangles) uses material 1, the second material 0 (Red).
  EXPECT_EQ(mesh->triangleMaterials, (std::vector<uint32_t>{1, 1, 0}));
  ASSERT_EQ(mesh->materials.size(), 2u);
  EXPECT_EQ(mesh->materials[0].textureFile, "red.png");
  EXPECT_FLOAT_EQ(mesh->materials[0].power, 5);
  EXPECT_FLOAT_EQ(mesh->materials[1].diffuse[1], 1);
  EXPECT_TRUE(mesh->materials[1].textureFile.empty());
}

TEST(XFileText, MeshesMergeWithOffsetIndicesAndOneBoundingSphere) {
  const auto mesh = Read(TextFile(R"(
    Mesh A { 3; -1;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; }
    Mesh B { 3; -1;0;4;, 0;1;4;, 1;0;4;; 1; 3;2,1,0;; MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }
  )"));
  ASSERT_TRUE(mesh);
  EXPECT_EQ(mesh->indices, (std::vector<uint16_t>{0, 1, 2, 5, 4, 3}));
  // Mesh A has no material list: it gets a plain material of its own.
  EXPECT_EQ(mesh->triangleMaterials, (std::vector<uint32_t>{1, 0}));
  EXPECT_EQ(mesh->materials.size(), 2u);
  // Mean of the six vertices, radius to the farthest.
  EXPECT_NEAR(mesh->sphereCentre[0], 0, 1e-6);
  EXPECT_NEAR(mesh->sphereCentre[1], 1.0 / 3, 1e-6);
  EXPECT_NEAR(mesh->sphereCentre[2], 2, 1e-6);
  EXPECT_NEAR(mesh->sphereRadius, std::sqrt(1 + 1.0 / 9 + 4), 1e-5);
  // Opposite windings, opposite normals.
  EXPECT_FLOAT_EQ(mesh->vertices[0].nz, -1);
  EXPECT_FLOAT_EQ(mesh->vertices[3].nz, 1);
}

TEST(XFileText, TextureCoordinatesFromDeclaredVertexData) {
  uint32_t half, one;
  const float halfValue = 0.5f, oneValue = 1.0f;
  std::memcpy(&half, &halfValue, 4);
  std::memcpy(&one, &oneValue, 4);
  // Elements: a float3 normal, then float2 texture coordinates.
  const std::string body = "Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; DeclData { 2; 2;0;3;0;, 1;0;5;0;; 15; " +
                           std::string("0,0,0,") + std::to_string(half) + ",0," + "0,0,0,0," + std::to_string(one) +
                           "," + "0,0,0," + std::to_string(one) + "," + std::to_string(half) + ";; } }";
  const auto mesh = Read(TextFile(body));
  ASSERT_TRUE(mesh);
  EXPECT_FLOAT_EQ(mesh->vertices[0].u, 0.5f);
  EXPECT_FLOAT_EQ(mesh->vertices[1].v, 1);
  EXPECT_FLOAT_EQ(mesh->vertices[2].u, 1);
  EXPECT_FLOAT_EQ(mesh->vertices[2].v, 0.5f);
}

TEST(XFileText, NamesMayStartWithDigitsAndTopLevelMaterialsAreFoundByThem) {
  const auto mesh = Read(TextFile(R"(
    Material 1st_Mat { 0.5;0.5;0.5;1;; 1; 0;0;0;; 0;0;0;; }
    Frame 2nd-Frame { Mesh 3d.mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 0;; { 1st_Mat } } } }
  )"));
  ASSERT_TRUE(mesh);
  ASSERT_EQ(mesh->materials.size(), 1u);
  EXPECT_FLOAT_EQ(mesh->materials[0].diffuse[0], 0.5f);
}

TEST(XFileText, TrianglesWithoutAreaStillGiveFiniteUnitNormals) {
  const auto mesh = Read(TextFile("Mesh { 4; 2;2;2;, 2;2;2;, 2;2;2;, 5;5;5;; 2; 3;0,1,2;, 3;0,1,3;; }"));
  ASSERT_TRUE(mesh);
  for (const VertexPNT& v : mesh->vertices) {
    ASSERT_TRUE(std::isfinite(v.nx) && std::isfinite(v.ny) && std::isfinite(v.nz));
    EXPECT_NEAR(std::hypot(v.nx, v.ny, v.nz), 1, 1e-5);
  }
  // Huge but finite coordinates overflow the cross product: still finite.
  const auto huge = Read(TextFile("Mesh { 3; -3e38;0;0;, 0;3e38;0;, 3e38;-3e38;0;; 1; 3;0,1,2;; }"));
  ASSERT_TRUE(huge);
  EXPECT_TRUE(std::isfinite(huge->vertices[0].nz));
  EXPECT_TRUE(std::isfinite(huge->sphereRadius));
}

TEST(XFileFaults, MeshesThePlayerCannotDrawAreRefusedWithAReason) {
  EXPECT_NE(ErrorOf(TextFile("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2;0,1;; }")).find("no triangles"),
            std::string::npos);
  EXPECT_NE(ErrorOf(TextFile("Header { 1; 0; 1; }")).find("no triangles"), std::string::npos);
  EXPECT_NE(ErrorOf(TextFile("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }")).find("vertex 3 of 3"),
            std::string::npos);
  EXPECT_NE(ErrorOf(TextFile("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 4;; } }"))
                .find("material 4 of 1"),
            std::string::npos);
  EXPECT_NE(ErrorOf(TextFile("Mesh { 1000000000; 0;0;0;; 0;; }")).find("more than the file holds"),
            std::string::npos);
  EXPECT_NE(ErrorOf(TextFile("Mesh { 3; 0;0;x;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }")).find("vertex position"),
            std::string::npos);
  EXPECT_NE(ErrorOf(TextFile("Mesh { 3; 0;0;1e39;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }")).find("finite"),
            std::string::npos);
  EXPECT_NE(ErrorOf(TextFile("Mesh { 2.5; 0;0;0;, 1;0;0;; 0;; }")).find("no whole number"), std::string::npos);
  EXPECT_NE(ErrorOf(Bytes{'x', 'o', 'f'}).find("not a .x file"), std::string::npos);
  const std::string header = "xof 0303zip 0032";
  EXPECT_NE(ErrorOf(Bytes(header.begin(), header.end())).find("unknown format"), std::string::npos);
}

// A mesh file with n vertices on a line and n - 2 triangles.
std::string StripMesh(size_t n) {
  std::string text = "Mesh { " + std::to_string(n) + ";";
  for (size_t i = 0; i < n; ++i) text += std::to_string(i % 2) + ";" + std::to_string(i) + ";0;,";
  text += "; " + std::to_string(n - 2) + ";";
  for (size_t i = 0; i + 2 < n; ++i) {
    text += "3;" + std::to_string(i) + "," + std::to_string(i + 1) + "," + std::to_string(i + 2) + ";,";
  }
  return text + "; }\n";
}

TEST(XFileFaults, VertexLimitCountsEveryMeshOfTheFile) {
  const auto full = Read(TextFile(StripMesh(kMaxXMeshVertices)));
  ASSERT_TRUE(full);
  EXPECT_EQ(full->indices.back(), 65535);
  const std::string error = ErrorOf(TextFile(StripMesh(40000) + StripMesh(30000)));
  EXPECT_NE(error.find("more than 65536 vertices"), std::string::npos) << error;
}

TEST(XFileFaults, EveryTruncationFailsCleanlyAndDeepNestingIsRefused) {
  const Bytes whole = TextFile(kSquare);
  const size_t lastBrace = std::string(whole.begin(), whole.end()).rfind('}');
  for (size_t size = 0; size <= lastBrace; ++size) {
    std::string error;
    EXPECT_FALSE(ReadXFile(std::span(whole).first(size), error)) << size;
  }
  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "Frame {";
  EXPECT_NE(ErrorOf(TextFile(nested)).find("deeper"), std::string::npos);
}

// The binary encoding, written token by token.
class BinaryWriter {
 public:
  BinaryWriter() { Append("xof 0303bin 0032"); }
  BinaryWriter& Name(std::string_view name) {
    Word(1).Dword(static_cast<uint32_t>(name.size()));
    Append(name);
    return *this;
  }
  BinaryWriter& String(std::string_view text) {
    Word(2).Dword(static_cast<uint32_t>(text.size()));
    Append(text);
    return Word(20);
  }
  BinaryWriter& Open() { return Word(10); }
  BinaryWriter& Close() { return Word(11); }
  BinaryWriter& Guid() {
    Word(5);
    bytes.insert(bytes.end(), 16, 0xab);
    return *this;
  }
  BinaryWriter& Ints(std::initializer_list<uint32_t> values) {
    Word(6).Dword(static_cast<uint32_t>(values.size()));
    for (uint32_t v : values) Dword(v);
    return Word(20);
  }
  BinaryWriter& Floats(std::initializer_list<float> values) {
    Word(7).Dword(static_cast<uint32_t>(values.size()));
    for (float v : values) {
      uint32_t bits;
      std::memcpy(&bits, &v, 4);
      Dword(bits);
    }
    return Word(20);
  }
  BinaryWriter& Word(uint16_t value) {
    bytes.insert(bytes.end(), {uint8_t(value), uint8_t(value >> 8)});
    return *this;
  }
  BinaryWriter& Dword(uint32_t value) {
    for (int k = 0; k < 4; ++k) bytes.push_back(uint8_t(value >> (8 * k)));
    return *this;
  }
  void Append(std::string_view text) { bytes.insert(bytes.end(), text.begin(), text.end()); }

  Bytes bytes;
};

Bytes BinaryTriangle() {
  BinaryWriter w;
  w.Name("template").Name("Mesh").Open().Guid().Word(41).Name("nVertices").Word(20).Close();
  w.Name("Frame").Name("F").Open();
  w.Name("FrameTransformMatrix").Open().Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 3, 1}).Close();
  w.Name("Mesh").Open().Guid().Ints({3}).Floats({0, 0, 0, 0, 1, 0, 1, 0, 0}).Ints({1, 3, 0, 1, 2});
  w.Name("MeshTextureCoords").Open().Ints({3}).Floats({0.25f, 0.75f, 0, 0, 1, 1}).Close();
  w.Name("MeshMaterialList").Open().Ints({1, 1, 0});
  w.Name("Material").Open().Floats({1, 1, 1, 1, 8, 0, 0, 0, 0, 0, 0});
  w.Name("TextureFilename").Open().String("leaf.dds").Close().Close();
  w.Close().Close().Close();
  return w.bytes;
}

void ExpectBinaryTriangle(const std::optional<XMesh>& mesh) {
  ASSERT_TRUE(mesh);
  ASSERT_EQ(mesh->vertices.size(), 3u);
  EXPECT_EQ(mesh->indices, (std::vector<uint16_t>{0, 1, 2}));
  EXPECT_FLOAT_EQ(mesh->vertices[1].y, 1);
  EXPECT_FLOAT_EQ(mesh->vertices[1].z, 3);
  EXPECT_FLOAT_EQ(mesh->vertices[0].u, 0.25f);
  EXPECT_FLOAT_EQ(mesh->vertices[0].v, 0.75f);
  ASSERT_EQ(mesh->materials.size(), 1u);
  EXPECT_EQ(mesh->materials[0].textureFile, "leaf.dds");
  EXPECT_FLOAT_EQ(mesh->materials[0].power, 8);
}

TEST(XFileBinary, ListsNamesAndStringsReadAsInText) {
  ExpectBinaryTriangle(Read(BinaryTriangle()));
  // Numbers may also come one integer token at a time.
  BinaryWriter w;
  w.Name("Mesh").Open().Word(3).Dword(3).Floats({0, 0, 0, 0, 1, 0, 1, 0, 0}).Word(3).Dword(1);
  w.Word(3).Dword(3).Word(19).Word(3).Dword(0).Word(3).Dword(1).Word(3).Dword(2).Close();
  const auto single = Read(w.bytes);
  ASSERT_TRUE(single);
  EXPECT_EQ(single->TriangleCount(), 1u);
}

TEST(XFileBinary, ListsLongerThanTheFileAndUnknownTokensAreRefused) {
  BinaryWriter w;
  w.Name("Mesh").Open().Word(7).Dword(0x40000000).Dword(0);
  EXPECT_NE(ErrorOf(w.bytes).find("longer than the file"), std::string::npos);
  BinaryWriter unknown;
  unknown.Word(99);
  EXPECT_NE(ErrorOf(unknown.bytes).find("unknown binary token 99"), std::string::npos);
  const Bytes whole = BinaryTriangle();
  for (size_t size = 16; size < whole.size() - 2; ++size) {
    std::string error;
    EXPECT_FALSE(ReadXFile(std::span(whole).first(size), error)) << size;
  }
}

// MSZIP: the header with "bzip", the inflated size, then blocks of at most
// blockSize bytes, each deflated with the block before as dictionary.
Bytes Compress(const Bytes& file, size_t blockSize) {
  Bytes out(file.begin(), file.begin() + 16);
  std::memcpy(&out[8], "bzip", 4);
  const uint32_t whole = static_cast<uint32_t>(file.size());
  for (int k = 0; k < 4; ++k) out.push_back(uint8_t(whole >> (8 * k)));
  for (size_t at = 16; at < file.size(); at += blockSize) {
    const size_t size = std::min(blockSize, file.size() - at);
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    if (at > 16) deflateSetDictionary(&stream, &file[at - std::min<size_t>(at - 16, 32768)], uInt(std::min<size_t>(at - 16, 32768)));
    Bytes block(deflateBound(&stream, uLong(size)) + 2);
    block[0] = 'C', block[1] = 'K';
    stream.next_in = const_cast<Bytef*>(&file[at]);
    stream.avail_in = uInt(size);
    stream.next_out = &block[2];
    stream.avail_out = uInt(block.size() - 2);
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    block.resize(2 + stream.total_out);
    deflateEnd(&stream);
    for (size_t v : {size, block.size()}) out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)});
    out.insert(out.end(), block.begin(), block.end());
  }
  return out;
}

TEST(XFileCompressed, BlocksInflateWithTheirPredecessorAsDictionary) {
  ExpectBinaryTriangle(Read(Compress(BinaryTriangle(), 40)));
  Bytes text = Compress(TextFile(kSquare), 64);
  std::memcpy(&text[8], "tzip", 4);
  const auto square = Read(text);
  ASSERT_TRUE(square);
  EXPECT_EQ(square->TriangleCount(), 3u);
}

TEST(XFileCompressed, DamagedOrOversizedStreamsAreRefused) {
  const Bytes good = Compress(BinaryTriangle(), 40);
  Bytes noMark = good;
  noMark[24] = 'X';
  EXPECT_NE(ErrorOf(noMark).find("\"CK\""), std::string::npos);
  Bytes broken = good;
  for (size_t i = 26; i < 34; ++i) broken[i] ^= 0x5a;
  EXPECT_FALSE(Read(broken));
  Bytes huge = good;
  const uint32_t claimed = uint32_t(kMaxXFileInflatedBytes + 17);
  std::memcpy(&huge[16], &claimed, 4);
  EXPECT_NE(ErrorOf(huge).find("more than"), std::string::npos);
  Bytes overstated = good;
  const uint32_t more = static_cast<uint32_t>(BinaryTriangle().size() + 100);
  std::memcpy(&overstated[16], &more, 4);
  EXPECT_NE(ErrorOf(overstated).find("fewer bytes"), std::string::npos);
  for (size_t size = 16; size < good.size(); ++size) {
    std::string error;
    EXPECT_FALSE(ReadXFile(std::span(good).first(size), error)) << size;
  }
}

}  // namespace
}  // namespace lumi
