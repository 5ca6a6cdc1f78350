#include "render/x_file.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>

#include "params/vector_math.h"
#include "render/x_tokens.h"

namespace lumi {

namespace {

using Kind = XToken::Kind;

// Deeper frame nesting than any model needs is refused rather than recursed.
constexpr int kMaxFrameDepth = 128;
// A triangle with no area still gives its corners a normal: towards the viewer.
constexpr Vector3 kFallbackNormal{0, 0, -1};
// Marks triangles of a mesh without a material list until the merge knows
// whether the file has materials at all.
constexpr uint32_t kNoMaterial = UINT32_MAX;

// Vertex element types of DeclData and their sizes in bytes.
constexpr uint32_t kDeclTypeSizes[] = {4, 8, 12, 16, 4, 4, 4, 8, 4, 4, 8, 4, 8, 4, 4, 4, 8};
constexpr uint32_t kDeclTypeFloat2 = 1, kDeclUsageTexCoord = 5;

struct MaterialList {
  std::vector<uint32_t> faceMaterials;
  std::vector<XMaterial> materials;
};

class Parser {
 public:
  explicit Parser(std::span<const uint8_t> bytes) : tokens_(bytes) {}

  XMesh Parse();

 private:
  XToken Take();
  void PutBack(XToken token) { pending_ = std::move(token); }
  void Expect(Kind kind, const char* what);
  uint32_t Whole(const char* what);
  float Float(const char* what);
  uint32_t Count(const char* what, size_t numbersPerItem);
  std::string OpenBody();
  void SkipRest();
  void SkipReference();

  void ParseObject(const std::string& type, const Matrix& parent, int depth);
  void ParseFrame(const Matrix& parent, int depth);
  void ParseMesh(const Matrix& world);
  MaterialList ParseMaterialList(size_t faceCount);
  XMaterial ParseMaterial();
  void ParseDeclData(std::vector<Vector2>& texCoords);

  XTokenStream tokens_;
  std::optional<XToken> pending_;
  std::map<std::string, XMaterial> named_materials_;

  // The merge of every mesh read so far.
  std::vector<Vector3> positions_;
  std::vector<Vector2> tex_coords_;
  std::vector<uint32_t> indices_;
  std::vector<uint32_t> triangle_materials_;
  std::vector<XMaterial> materials_;
};

XToken Parser::Take() {
  if (pending_) {
    XToken token = std::move(*pending_);
    pending_.reset();
    return token;
  }
  return tokens_.Next();
}

void Parser::Expect(Kind kind, const char* what) {
  const XToken token = Take();
  if (token.kind == Kind::End) throw XFileError(std::string(".x file ends before ") + what);
  if (token.kind != kind) throw XFileError(std::string(".x file has something else where ") + what + " belongs");
}

float Parser::Float(const char* what) {
  const XToken token = Take();
  if (token.kind != Kind::Number) throw XFileError(std::string(".x file lacks ") + what);
  if (!(std::abs(token.number) <= FLT_MAX)) {
    throw XFileError(std::string(".x file has a ") + what + " that is not a finite number");
  }
  return static_cast<float>(token.number);
}

uint32_t Parser::Whole(const char* what) {
  const XToken token = Take();
  if (token.kind != Kind::Number) throw XFileError(std::string(".x file lacks ") + what);
  const double value = token.number;
  if (!(value >= 0 && value <= double(UINT32_MAX)) || value != std::floor(value)) {
    throw XFileError(std::string(".x file has a ") + what + " that is no whole number");
  }
  return static_cast<uint32_t>(value);
}

// A count of items that each take numbersPerItem numbers: every number takes
// at least one byte, so a count the rest of the file cannot hold is a lie.
uint32_t Parser::Count(const char* what, size_t numbersPerItem) {
  const uint32_t count = Whole(what);
  if (count > tokens_.Remaining() / numbersPerItem) {
    throw XFileError(std::string(".x file has a ") + what + " of " + std::to_string(count) +
                     ", more than the file holds");
  }
  return count;
}

// After an object's type: its optional name, the opening brace and the
// optional GUID. Returns the name.
std::string Parser::OpenBody() {
  XToken token = Take();
  std::string name;
  if (token.kind == Kind::Name) {
    name = std::move(token.text);
    token = Take();
  }
  if (token.kind != Kind::Open) throw XFileError(".x file has an object without its opening brace");
  token = Take();
  if (token.kind != Kind::Guid) PutBack(std::move(token));
  return name;
}

// Skips to the brace closing the object whose opening brace was read.
void Parser::SkipRest() {
  for (size_t depth = 1; depth > 0;) {
    const XToken token = Take();
    if (token.kind == Kind::End) throw XFileError(".x file ends inside an object");
    if (token.kind == Kind::Open) ++depth;
    if (token.kind == Kind::Close) --depth;
  }
}

// "{ name }" or "{ <guid> }" naming an object defined elsewhere.
void Parser::SkipReference() { SkipRest(); }

void Parser::ParseObject(const std::string& type, const Matrix& parent, int depth) {
  if (type == "template") {
    Expect(Kind::Name, "the template's name");
    Expect(Kind::Open, "the template's body");
    SkipRest();
    return;
  }
  if (type == "Frame") return ParseFrame(parent, depth);
  const std::string name = OpenBody();
  if (type == "Mesh") return ParseMesh(parent);
  if (type == "Material") {
    named_materials_[name] = ParseMaterial();
    return;
  }
  SkipRest();
}

void Parser::ParseFrame(const Matrix& parent, int depth) {
  if (depth >= kMaxFrameDepth) throw XFileError(".x file nests frames deeper than " + std::to_string(kMaxFrameDepth));
  OpenBody();
  Matrix world = parent;
  for (;;) {
    XToken token = Take();
    switch (token.kind) {
      case Kind::End:
        throw XFileError(".x file ends inside a frame");
      case Kind::Close:
        return;
      case Kind::Open:
        SkipReference();
        break;
      case Kind::Name:
        if (token.text == "FrameTransformMatrix") {
          OpenBody();
          Matrix local;
          for (auto& row : local.m) {
            for (float& value : row) value = Float("frame matrix element");
          }
          Expect(Kind::Close, "the end of the frame matrix");
          world = local * parent;
        } else if (token.text == "Frame") {
          ParseFrame(world, depth + 1);
        } else {
          ParseObject(token.text, world, depth + 1);
        }
        break;
      default:
        throw XFileError(".x file has stray data inside a frame");
    }
  }
}

void Parser::ParseMesh(const Matrix& world) {
  const uint32_t vertexCount = Count("vertex count", 3);
  const size_t first = positions_.size();
  if (vertexCount > kMaxXMeshVertices - first) {
    throw XFileError(".x mesh has more than " + std::to_string(kMaxXMeshVertices) + " vertices");
  }
  for (uint32_t i = 0; i < vertexCount; ++i) {
    Vector3 position;
    position.x = Float("vertex position");
    position.y = Float("vertex position");
    position.z = Float("vertex position");
    position = Vec3TransformCoord(position, world);
    if (!std::isfinite(position.x) || !std::isfinite(position.y) || !std::isfinite(position.z)) {
      throw XFileError(".x mesh has a vertex that its frames move out of the finite numbers");
    }
    positions_.push_back(position);
  }

  // Faces become fans of triangles; each triangle remembers its face.
  const uint32_t faceCount = Count("face count", 1);
  std::vector<uint32_t> triangleFaces;
  for (uint32_t face = 0; face < faceCount; ++face) {
    const uint32_t corners = Count("face corner count", 1);
    std::vector<uint32_t> polygon(corners);
    for (uint32_t& index : polygon) {
      index = Whole("face index");
      if (index >= vertexCount) {
        throw XFileError(".x mesh face names vertex " + std::to_string(index) + " of " + std::to_string(vertexCount));
      }
      index += static_cast<uint32_t>(first);
    }
    for (uint32_t k = 2; k < corners; ++k) {
      indices_.insert(indices_.end(), {polygon[0], polygon[k - 1], polygon[k]});
      triangleFaces.push_back(face);
    }
  }

  std::vector<Vector2> texCoords(vertexCount);
  std::optional<MaterialList> materialList;
  for (;;) {
    XToken token = Take();
    if (token.kind == Kind::Close) break;
    if (token.kind == Kind::End) throw XFileError(".x file ends inside a mesh");
    if (token.kind == Kind::Open) {
      SkipReference();
      continue;
    }
    if (token.kind != Kind::Name) throw XFileError(".x file has stray data inside a mesh");
    OpenBody();
    if (token.text == "MeshTextureCoords") {
      const uint32_t count = Count("texture coordinate count", 2);
      for (uint32_t i = 0; i < count; ++i) {
        Vector2 uv;
        uv.x = Float("texture coordinate");
        uv.y = Float("texture coordinate");
        if (i < vertexCount) texCoords[i] = uv;
      }
      SkipRest();
    } else if (token.text == "MeshMaterialList") {
      materialList = ParseMaterialList(faceCount);
    } else if (token.text == "DeclData") {
      ParseDeclData(texCoords);
    } else {
      SkipRest();
    }
  }
  tex_coords_.insert(tex_coords_.end(), texCoords.begin(), texCoords.end());

  const uint32_t materialBase = static_cast<uint32_t>(materials_.size());
  for (size_t t = 0; t < triangleFaces.size(); ++t) {
    triangle_materials_.push_back(materialList ? materialBase + materialList->faceMaterials[triangleFaces[t]]
                                               : kNoMaterial);
  }
  if (materialList) {
    materials_.insert(materials_.end(), materialList->materials.begin(), materialList->materials.end());
  }
}

MaterialList Parser::ParseMaterialList(size_t faceCount) {
  MaterialList list;
  const uint32_t materialCount = Whole("material count");
  const uint32_t indexCount = Count("material index count", 1);
  list.faceMaterials.reserve(faceCount);
  for (uint32_t i = 0; i < indexCount; ++i) {
    const uint32_t material = Whole("material index");
    if (material >= materialCount) {
      throw XFileError(".x mesh face uses material " + std::to_string(material) + " of " +
                       std::to_string(materialCount));
    }
    if (i < faceCount) list.faceMaterials.push_back(material);
  }
  // Faces the list leaves out keep the last material named.
  list.faceMaterials.resize(faceCount, list.faceMaterials.empty() ? 0 : list.faceMaterials.back());

  for (;;) {
    XToken token = Take();
    if (token.kind == Kind::Close) break;
    if (token.kind == Kind::End) throw XFileError(".x file ends inside a material list");
    if (token.kind == Kind::Open) {
      token = Take();
      const auto named = named_materials_.find(token.text);
      list.materials.push_back(token.kind == Kind::Name && named != named_materials_.end() ? named->second
                                                                                           : XMaterial{});
      if (token.kind != Kind::Close) SkipRest();
    } else if (token.kind == Kind::Name && token.text == "Material") {
      OpenBody();
      list.materials.push_back(ParseMaterial());
    } else if (token.kind == Kind::Name) {
      OpenBody();
      SkipRest();
    } else {
      throw XFileError(".x file has stray data inside a material list");
    }
  }
  list.materials.resize(std::max<size_t>(list.materials.size(), materialCount));
  return list;
}

XMaterial Parser::ParseMaterial() {
  XMaterial material;
  for (float& value : material.diffuse) value = Float("material colour");
  material.power = Float("material power");
  for (float& value : material.specular) value = Float("material colour");
  for (float& value : material.emissive) value = Float("material colour");
  for (;;) {
    XToken token = Take();
    if (token.kind == Kind::Close) return material;
    if (token.kind == Kind::End) throw XFileError(".x file ends inside a material");
    if (token.kind == Kind::Open) {
      SkipReference();
    } else if (token.kind == Kind::Name) {
      OpenBody();
      if (token.text == "TextureFilename" || token.text == "TextureFileName") {
        XToken file = Take();
        if (file.kind != Kind::String) throw XFileError(".x material lacks its texture file name");
        material.textureFile = std::move(file.text);
      }
      SkipRest();
    } else {
      throw XFileError(".x file has stray data inside a material");
    }
  }
}

// Vertex data declared element by element; only the first texture
// coordinate pair is taken from it.
void Parser::ParseDeclData(std::vector<Vector2>& texCoords) {
  const uint32_t elementCount = Count("vertex element count", 4);
  uint32_t stride = 0;
  std::optional<uint32_t> texOffset;
  for (uint32_t i = 0; i < elementCount; ++i) {
    const uint32_t type = Whole("vertex element type");
    Whole("vertex element method");
    const uint32_t usage = Whole("vertex element usage");
    const uint32_t usageIndex = Whole("vertex element usage index");
    if (type >= std::size(kDeclTypeSizes)) throw XFileError(".x vertex element has unknown type " + std::to_string(type));
    if (type == kDeclTypeFloat2 && usage == kDeclUsageTexCoord && usageIndex == 0 && !texOffset) texOffset = stride;
    stride += kDeclTypeSizes[type];
  }
  const uint32_t dwordCount = Count("vertex data size", 1);
  std::vector<uint32_t> data(dwordCount);
  for (uint32_t& value : data) value = Whole("vertex data");
  SkipRest();
  if (!texOffset || stride == 0) return;
  const size_t strideWords = stride / 4, offsetWords = *texOffset / 4;
  const size_t count = std::min(texCoords.size(), data.size() / strideWords);
  for (size_t v = 0; v < count; ++v) {
    float uv[2];
    std::memcpy(uv, &data[v * strideWords + offsetWords], sizeof uv);
    if (!std::isfinite(uv[0]) || !std::isfinite(uv[1])) {
      throw XFileError(".x vertex data has a texture coordinate that is not a finite number");
    }
    texCoords[v] = {uv[0], uv[1]};
  }
}

// Each corner's normal is the mean of the unit normals of its triangles;
// triangles without area add nothing.
std::vector<Vector3> ComputeNormals(const std::vector<Vector3>& positions, const std::vector<uint32_t>& indices) {
  std::vector<Vector3> sums(positions.size());
  for (size_t t = 0; t + 2 < indices.size(); t += 3) {
    const Vector3 a = positions[indices[t]], b = positions[indices[t + 1]], c = positions[indices[t + 2]];
    const Vector3 normal = Cross(b - a, c - a);
    const float length = Length(normal);
    if (!(length > 0) || !std::isfinite(length)) continue;
    for (int k = 0; k < 3; ++k) sums[indices[t + k]] = sums[indices[t + k]] + normal * (1 / length);
  }
  for (Vector3& sum : sums) {
    const float length = Length(sum);
    sum = length > 1e-6f && std::isfinite(length) ? sum * (1 / length) : kFallbackNormal;
  }
  return sums;
}

XMesh Parser::Parse() {
  for (;;) {
    XToken token = Take();
    if (token.kind == Kind::End) break;
    if (token.kind == Kind::Open) {
      SkipReference();
    } else if (token.kind == Kind::Name) {
      ParseObject(token.text, Matrix::Identity(), 0);
    } else {
      throw XFileError(".x file has stray data between objects");
    }
  }
  if (indices_.empty()) throw XFileError(".x file has no triangles");

  XMesh mesh;
  const std::vector<Vector3> normals = ComputeNormals(positions_, indices_);
  mesh.vertices.resize(positions_.size());
  for (size_t i = 0; i < positions_.size(); ++i) {
    const Vector3 p = positions_[i], n = normals[i];
    mesh.vertices[i] = {p.x, p.y, p.z, n.x, n.y, n.z, tex_coords_[i].x, tex_coords_[i].y};
  }
  mesh.indices.assign(indices_.begin(), indices_.end());

  if (!materials_.empty()) {
    const auto fallback = static_cast<uint32_t>(materials_.size());
    bool fallbackUsed = false;
    for (uint32_t& material : triangle_materials_) {
      if (material == kNoMaterial) material = fallback, fallbackUsed = true;
    }
    if (fallbackUsed) materials_.emplace_back();
    mesh.triangleMaterials = std::move(triangle_materials_);
    mesh.materials = std::move(materials_);
  }

  // The sphere around the mean of the vertices, reaching the farthest one.
  double centre[3] = {0, 0, 0};
  for (const Vector3& p : positions_) centre[0] += p.x, centre[1] += p.y, centre[2] += p.z;
  for (double& c : centre) c /= double(positions_.size());
  double radius = 0;
  for (const Vector3& p : positions_) {
    radius = std::max(radius, std::hypot(p.x - centre[0], p.y - centre[1], p.z - centre[2]));
  }
  for (int k = 0; k < 3; ++k) mesh.sphereCentre[k] = static_cast<float>(centre[k]);
  mesh.sphereRadius = static_cast<float>(std::min(radius, double(FLT_MAX)));
  return mesh;
}

}  // namespace

std::optional<XMesh> ReadXFile(std::span<const uint8_t> bytes, std::string& error) {
  try {
    return Parser(bytes).Parse();
  } catch (const XFileError& fault) {
    error = fault.what();
    return std::nullopt;
  }
}

}  // namespace lumi
