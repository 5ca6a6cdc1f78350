// The vocabulary of the graphics device: pools, formats, fixed-function
// states and their values. Numeric values follow the classic fixed-function
// pipeline so states can be stored and compared as plain 32-bit words; the
// state enums come from the tables of render/state_tables.h.
#pragma once

#include <cstdint>
#include <cstring>

#include "render/state_tables.h"

namespace lumi {

// A state value as the plain 32-bit word the device stores.
constexpr uint32_t Word(auto value) { return static_cast<uint32_t>(value); }

// Default-pool resources are gone when the device is lost; managed ones
// keep a copy in system memory and come back by themselves.
enum class Pool { Default, Managed };

// V8U8 and V16U16 hold signed offsets, U in the low half.
enum class TextureFormat { A8R8G8B8, X8R8G8B8, V8U8, DXT1, DXT3, DXT5, V16U16 };

bool IsCompressed(TextureFormat format);
// Bytes of one row of blocks (compressed) or pixels, and the row count.
uint32_t RowPitch(TextureFormat format, uint32_t width);
uint32_t RowCount(TextureFormat format, uint32_t height);
const char* FormatName(TextureFormat format);

enum TextureUsage : uint32_t {
  kUsageNone = 0,
  kUsageRenderTarget = 1,
  kUsageDynamic = 2,
};

enum BufferUsage : uint32_t {
  kBufferWriteOnly = 1,
  kBufferDynamic = 2,
};

enum LockFlags : uint32_t {
  kLockNone = 0,
  kLockDiscard = 1,
};

enum ClearFlags : uint32_t {
  kClearTarget = 1,
  kClearZBuffer = 2,
  kClearStencil = 4,
};

enum class PrimitiveType { LUMI_PRIMITIVE_TABLE(LUMI_ENUMERATOR_VALUE) };

enum class TransformKind { World, View, Projection };

enum class RenderState { LUMI_RENDER_STATE_TABLE(LUMI_STATE_ENUMERATOR) Count };

enum class Blend : uint32_t { LUMI_BLEND_TABLE(LUMI_ENUMERATOR_VALUE) };

enum class BlendOp : uint32_t { LUMI_BLEND_OP_TABLE(LUMI_ENUMERATOR_VALUE) };

// Which winding is culled, as seen on the target (y pointing down).
enum class Cull : uint32_t { LUMI_CULL_TABLE(LUMI_ENUMERATOR_VALUE) };

enum class CompareFunc : uint32_t { LUMI_COMPARE_TABLE(LUMI_ENUMERATOR_VALUE) };

// BumpEnvMat00 to 11: the 2 x 2 matrix applied to a signed (du, dv) bump
// sample; stored as float bits like every other state word. TexCoordIndex:
// the vertex's texture coordinate set the stage reads (kTexCoordSet), or
// kTexCoordCameraPosition for coordinates made from the camera-space
// position by the stage's texture transform.
enum class StageState { LUMI_STAGE_STATE_TABLE(LUMI_STATE_ENUMERATOR) Count };

// BumpEnvMap perturbs the next stage's texture coordinates by this stage's
// (du, dv) sample multiplied by the bump matrix.
enum class TextureOp : uint32_t { LUMI_TEXTURE_OP_TABLE(LUMI_ENUMERATOR_VALUE) };

enum class TextureArg : uint32_t { LUMI_TEXTURE_ARG_TABLE(LUMI_ENUMERATOR_VALUE) };

constexpr uint32_t kTexCoordSet1 = 1;
constexpr uint32_t kTexCoordCameraPosition = 0x20000;

enum class SamplerState { LUMI_SAMPLER_STATE_TABLE(LUMI_STATE_ENUMERATOR) Count };

enum class TextureAddress : uint32_t { LUMI_TEXTURE_ADDRESS_TABLE(LUMI_ENUMERATOR_VALUE) };

enum class TextureFilter : uint32_t { LUMI_TEXTURE_FILTER_TABLE(LUMI_ENUMERATOR_VALUE) };

enum class DeviceState { Ok, Lost, NotReset };

constexpr int kMaxTextureStages = 2;
constexpr int kMaxSamplers = 8;
constexpr int kMaxLights = 4;

struct ColorValue {
  float r = 0, g = 0, b = 0, a = 0;
  bool operator==(const ColorValue&) const = default;
};

struct Material {
  ColorValue diffuse{1, 1, 1, 1};
  ColorValue ambient{0, 0, 0, 0};
  ColorValue emissive{0, 0, 0, 0};
  bool operator==(const Material&) const = default;
};

// A directional light; direction points from the light into the scene.
struct Light {
  ColorValue diffuse{1, 1, 1, 1};
  ColorValue ambient{0, 0, 0, 0};
  float direction[3] = {0, 0, 1};
  bool operator==(const Light&) const = default;
};

inline uint32_t FloatBits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

inline float BitsFloat(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

}  // namespace lumi
