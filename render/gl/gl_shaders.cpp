#include "render/gl/gl_device_impl.h"

namespace lumi {

namespace {

const char kVertexHeader[] = R"(#version 330 core
layout(location = 0) in vec4 inPosition;
layout(location = 1) in vec4 inColor;
layout(location = 2) in vec2 inTexCoord;
layout(location = 3) in vec3 inNormal;
layout(location = 4) in vec2 inTexCoord1;
uniform mat4 lumi_WorldViewProj;
uniform mat4 lumi_World;
uniform vec2 lumi_TargetSize;
out vec4 vColor;
out vec2 vTexCoord;
out vec2 vTexCoord1;
// Clip coordinates with depth in [0, w] and y up, as the scene computes
// them, into GL's: depth in [-w, w], and rows stored top first.
void lumi_SetPosition(vec4 clip) {
  gl_Position = vec4(clip.x, -clip.y, 2.0 * clip.z - clip.w, clip.w);
}
)";

const char kLighting[] = R"(uniform vec4 lumi_MaterialDiffuse;
uniform vec4 lumi_MaterialAmbient;
uniform vec4 lumi_MaterialEmissive;
uniform vec4 lumi_Ambient;
uniform vec4 lumi_LightDiffuse[4];
uniform vec4 lumi_LightAmbient[4];
uniform vec3 lumi_LightDirection[4];
uniform int lumi_LightCount;
vec4 lumi_Light(vec3 normal) {
  vec3 n = normalize((vec4(normal, 0.0) * lumi_World).xyz);
  vec3 colour = lumi_MaterialEmissive.rgb + lumi_Ambient.rgb * lumi_MaterialAmbient.rgb;
  for (int i = 0; i < lumi_LightCount; ++i) {
    float facing = max(dot(n, -normalize(lumi_LightDirection[i])), 0.0);
    colour += lumi_LightAmbient[i].rgb * lumi_MaterialAmbient.rgb +
              facing * lumi_LightDiffuse[i].rgb * lumi_MaterialDiffuse.rgb;
  }
  return vec4(clamp(colour, 0.0, 1.0), lumi_MaterialDiffuse.a);
}
)";

enum StageOp : uint32_t { kDisable, kSelect1, kSelect2, kModulate, kAdd, kBump };

std::string Argument(uint32_t arg, const char* texture) {
  switch (arg) {
    case 0:
      return "diffuse";
    case 2:
      return texture;
    case 3:
      return "lumi_TextureFactor";
    default:
      return "previous";
  }
}

std::string Operation(uint32_t op, const std::string& a, const std::string& b, const char* swizzle) {
  const std::string x = a + swizzle, y = b + swizzle;
  switch (op) {
    case kSelect1:
      return x;
    case kSelect2:
      return y;
    case kModulate:
      return x + " * " + y;
    case kAdd:
      return "min(" + x + " + " + y + ", 1.0)";
    default:
      return std::string("previous") + swizzle;
  }
}

const char* Comparison(uint32_t func) {
  switch (func) {
    case 2:
      return "<";
    case 3:
      return "==";
    case 4:
      return "<=";
    case 5:
      return ">";
    case 6:
      return "!=";
    case 7:
      return ">=";
    default:
      return nullptr;
  }
}

}  // namespace

std::string FixedVertexShaderSource(VertexVariant variant) {
  std::string text = kVertexHeader;
  if (variant == VertexVariant::Lit) text += kLighting;
  text += "void main() {\n";
  if (variant == VertexVariant::Pretransformed) {
    // Window pixels and a reciprocal w: rebuild clip coordinates so the
    // rasteriser still interpolates with perspective.
    text += R"(  float w = inPosition.w > 0.0 ? 1.0 / inPosition.w : 1.0;
  vec2 ndc = vec2(inPosition.x / lumi_TargetSize.x * 2.0 - 1.0, 1.0 - inPosition.y / lumi_TargetSize.y * 2.0);
  lumi_SetPosition(vec4(ndc * w, inPosition.z * w, w));
)";
  } else {
    text += "  lumi_SetPosition(vec4(inPosition.xyz, 1.0) * lumi_WorldViewProj);\n";
  }
  text += variant == VertexVariant::Lit ? "  vColor = lumi_Light(inNormal);\n" : "  vColor = inColor;\n";
  text += "  vTexCoord = inTexCoord;\n  vTexCoord1 = inTexCoord1;\n}\n";
  return text;
}

// Key layout: 15 bits per stage (colour op 3, args 2 + 2, alpha op 3,
// args 2 + 2, texture bound 1), then the alpha-test function in 4 bits,
// then one bit per stage for the coordinate set it reads.
std::string FixedFragmentShaderSource(uint64_t key) {
  std::string text = R"(#version 330 core
in vec4 vColor;
in vec2 vTexCoord;
in vec2 vTexCoord1;
out vec4 fragColor;
uniform sampler2D lumi_Texture0;
uniform sampler2D lumi_Texture1;
uniform vec4 lumi_TextureFactor;
uniform mat2 lumi_BumpMatrix;
uniform float lumi_AlphaRef;
void main() {
  vec4 diffuse = vColor;
  vec4 current = diffuse;
  vec2 bump = vec2(0.0);
)";
  for (int stage = 0; stage < kMaxTextureStages; ++stage) {
    const uint32_t bits = static_cast<uint32_t>(key >> (15 * stage)) & 0x7fff;
    const uint32_t colorOp = bits & 7, colorArg1 = (bits >> 3) & 3, colorArg2 = (bits >> 5) & 3;
    const uint32_t alphaOp = (bits >> 7) & 7, alphaArg1 = (bits >> 10) & 3, alphaArg2 = (bits >> 12) & 3;
    const bool textured = (bits >> 14) & 1;
    if (colorOp == kDisable) break;
    const std::string n = std::to_string(stage);
    const bool second_set = (key >> (34 + stage)) & 1;
    text += "  {\n    vec4 previous = current;\n";
    text += std::string("    vec2 coord = ") + (second_set ? "vTexCoord1" : "vTexCoord") + " + bump;\n";
    if (textured) text += "    vec4 tex = texture(lumi_Texture" + n + ", coord);\n";
    // A stage without a texture passes on what it got wherever its
    // operation would read the texture, so untextured drawing shows the
    // vertex colour and alpha.
    const auto readsTexture = [&](uint32_t op, uint32_t arg1, uint32_t arg2) {
      return (op == kSelect1 && arg1 == 2) || (op == kSelect2 && arg2 == 2) ||
             ((op == kModulate || op == kAdd) && (arg1 == 2 || arg2 == 2)) || op == kBump;
    };
    if (colorOp == kBump) {
      // The signed sample moves the next stage's lookup.
      if (textured) text += "    bump = tex.rg * lumi_BumpMatrix;\n";
    } else if (textured || !readsTexture(colorOp, colorArg1, colorArg2)) {
      text +=
          "    current.rgb = " + Operation(colorOp, Argument(colorArg1, "tex"), Argument(colorArg2, "tex"), ".rgb") +
          ";\n";
    }
    if (alphaOp != kDisable && alphaOp != kBump && (textured || !readsTexture(alphaOp, alphaArg1, alphaArg2))) {
      text +=
          "    current.a = " + Operation(alphaOp, Argument(alphaArg1, "tex"), Argument(alphaArg2, "tex"), ".a") + ";\n";
    }
    text += "  }\n";
  }
  const uint32_t alphaFunc = static_cast<uint32_t>(key >> 30) & 15;
  if (alphaFunc == 1) {
    text += "  discard;\n";
  } else if (const char* cmp = Comparison(alphaFunc)) {
    text += std::string("  if (!(current.a ") + cmp + " lumi_AlphaRef)) discard;\n";
  }
  text += "  fragColor = current;\n}\n";
  return text;
}

static const char* GlslType(ConstantType type) {
  switch (type) {
    case ConstantType::Float:
      return "float";
    case ConstantType::Float2:
      return "vec2";
    case ConstantType::Float3:
      return "vec3";
    case ConstantType::Float4:
      return "vec4";
    case ConstantType::Float2x2:
      return "mat2";
    case ConstantType::Float4x4:
      return "mat4";
  }
  return "float";
}

static std::string Declarations(const PixelProgramSource& source) {
  std::string text;
  for (const ProgramConstant& constant : source.constants) {
    text += std::string("uniform ") + GlslType(constant.type) + " " + constant.name + ";\n";
  }
  for (const std::string& sampler : source.samplers) text += "uniform sampler2D " + sampler + ";\n";
  return text;
}

std::string PixelProgramFragmentSource(const PixelProgramSource& source) {
  return "#version 330 core\nin vec4 vColor;\nin vec2 vTexCoord;\nout vec4 fragColor;\n" + Declarations(source) +
         "#line " + std::to_string(source.fragmentFirstLine) + "\n" + source.fragment;
}

std::string PixelProgramVertexSource(const PixelProgramSource& source) {
  return kVertexHeader + Declarations(source) + "#line " + std::to_string(source.vertexFirstLine) + "\n" +
         source.vertex;
}

}  // namespace lumi
