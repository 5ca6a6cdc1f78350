#include "render/gl/gl_device_impl.h"

namespace lumi {

namespace {

template <typename E>
constexpr size_t Index(E e) {
  return static_cast<size_t>(e);
}

#define LUMI_GL_CASE(e, name, value, gl) \
  case value:                            \
    return gl;

// Values outside the tables fall back to what the fixed pipeline does by
// default.
GLenum GlBlend(uint32_t blend) {
  switch (blend) { LUMI_BLEND_TABLE(LUMI_GL_CASE) }
  return GL_ONE;
}

GLenum GlBlendEquation(uint32_t op) {
  switch (op) { LUMI_BLEND_OP_TABLE(LUMI_GL_CASE) }
  return GL_FUNC_ADD;
}

GLenum GlCompare(uint32_t func) {
  switch (func) { LUMI_COMPARE_TABLE(LUMI_GL_CASE) }
  return GL_ALWAYS;
}

GLenum GlWrap(uint32_t address) {
  switch (address) { LUMI_TEXTURE_ADDRESS_TABLE(LUMI_GL_CASE) }
  return GL_REPEAT;
}

GLenum GlFilter(uint32_t filter) {
  switch (filter) { LUMI_TEXTURE_FILTER_TABLE(LUMI_GL_CASE) }
  return GL_NEAREST;
}

GLenum GlPrimitive(PrimitiveType type) {
  switch (static_cast<uint32_t>(type)) { LUMI_PRIMITIVE_TABLE(LUMI_GL_CASE) }
  return GL_TRIANGLES;
}

// Stage operations in the compact numbering of the fragment key.
uint32_t CompactOp(uint32_t op) {
  switch (static_cast<TextureOp>(op)) {
    case TextureOp::SelectArg1:
      return 1;
    case TextureOp::SelectArg2:
      return 2;
    case TextureOp::Modulate:
      return 3;
    case TextureOp::Add:
      return 4;
    case TextureOp::BumpEnvMap:
      return 5;
    default:
      return 0;
  }
}

ColorValue Unpack(uint32_t argb) {
  return {((argb >> 16) & 255) / 255.0f, ((argb >> 8) & 255) / 255.0f, (argb & 255) / 255.0f, (argb >> 24) / 255.0f};
}

}  // namespace

void GlDevice::ForgetBindings() {
  shared_->bindingsTouched = false;
  cache_.framebuffer = cache_.indexBuffer = cache_.vertexBuffer = cache_.activeUnit = ~0u;
  cache_.vertexFormat = -1;
  cache_.textures.fill(~0u);
}

VertexVariant GlDevice::CurrentVertexVariant() const {
  const VertexLayout layout = LayoutOf(state_.vertexFormat);
  if (layout.pretransformed) return VertexVariant::Pretransformed;
  if (GetRenderState(RenderState::Lighting) && layout.normalOffset >= 0) return VertexVariant::Lit;
  return VertexVariant::Transformed;
}

uint64_t GlDevice::FixedFunctionKey() const {
  uint64_t key = 0;
  for (uint32_t stage = 0; stage < kMaxTextureStages; ++stage) {
    const auto& s = state_.stage[stage];
    const uint64_t bits = CompactOp(s[Index(StageState::ColorOp)]) | (s[Index(StageState::ColorArg1)] & 3) << 3 |
                          (s[Index(StageState::ColorArg2)] & 3) << 5 | CompactOp(s[Index(StageState::AlphaOp)]) << 7 |
                          (s[Index(StageState::AlphaArg1)] & 3) << 10 | (s[Index(StageState::AlphaArg2)] & 3) << 12 |
                          uint64_t{state_.textures[stage] != nullptr} << 14;
    key |= bits << (15 * stage);
  }
  if (GetRenderState(RenderState::AlphaTestEnable)) {
    key |= uint64_t{GetRenderState(RenderState::AlphaFunc) & 15} << 30;
  }
  for (uint32_t stage = 0; stage < kMaxTextureStages; ++stage) {
    key |= uint64_t{(state_.stage[stage][Index(StageState::TexCoordIndex)] & kTexCoordSet1) != 0} << (34 + stage);
  }
  return key;
}

bool GlDevice::Link(GlProgram& program, GLuint vertexShader, GLuint fragmentShader, const PixelProgramSource* source) {
  const GLuint id = gl_.CreateProgram();
  gl_.AttachShader(id, vertexShader);
  gl_.AttachShader(id, fragmentShader);
  gl_.BindFragDataLocation(id, 0, "fragColor");
  gl_.LinkProgram(id);
  GLint ok = 0;
  gl_.GetProgramiv(id, GL_LINK_STATUS, &ok);
  if (!ok) {
    std::string log(1024, '\0');
    gl_.GetProgramInfoLog(id, static_cast<GLsizei>(log.size()), nullptr, log.data());
    gl_.DeleteProgram(id);
    return Fail("linking program \"" + (source ? source->name : std::string("fixed")) + "\": " + log.c_str());
  }
  program = GlProgram{};
  program.id = id;
  const auto at = [&](const char* name) { return gl_.GetUniformLocation(id, name); };
  program.worldViewProj = at("lumi_WorldViewProj");
  program.world = at("lumi_World");
  program.targetSize = at("lumi_TargetSize");
  program.textureFactor = at("lumi_TextureFactor");
  program.bumpMatrix = at("lumi_BumpMatrix");
  program.alphaRef = at("lumi_AlphaRef");
  program.materialDiffuse = at("lumi_MaterialDiffuse");
  program.materialAmbient = at("lumi_MaterialAmbient");
  program.materialEmissive = at("lumi_MaterialEmissive");
  program.ambient = at("lumi_Ambient");
  program.lightDiffuse = at("lumi_LightDiffuse");
  program.lightAmbient = at("lumi_LightAmbient");
  program.lightDirection = at("lumi_LightDirection");
  program.lightCount = at("lumi_LightCount");
  gl_.UseProgram(id);
  cache_.program = id;
  if (source) {
    for (const ProgramConstant& constant : source->constants) program.constants.push_back(at(constant.name.c_str()));
    for (size_t unit = 0; unit < source->samplers.size(); ++unit) {
      gl_.Uniform1i(at(source->samplers[unit].c_str()), static_cast<GLint>(unit));
    }
  } else {
    gl_.Uniform1i(at("lumi_Texture0"), 0);
    gl_.Uniform1i(at("lumi_Texture1"), 1);
  }
  return true;
}

GlProgram* GlDevice::ProgramForDraw() {
  const VertexVariant variant = CurrentVertexVariant();
  if (auto* custom = static_cast<GlPixelProgram*>(state_.pixelProgram.get())) {
    GlProgram& program = custom->linked[Index(variant)];
    if (!program.id) {
      const GLuint vertex = custom->VertexShader() ? custom->VertexShader() : fixed_vertex_shaders_[Index(variant)];
      if (!Link(program, vertex, custom->FragmentShader(), &custom->Source())) return nullptr;
    }
    return &program;
  }
  const uint64_t key = FixedFunctionKey();
  const uint64_t programKey = key << 2 | Index(variant);
  auto found = fixed_programs_.find(programKey);
  if (found != fixed_programs_.end()) return &found->second;
  GLuint& fragment = fixed_fragment_shaders_[key];
  if (!fragment) {
    std::string log;
    fragment = CompileShader(GL_FRAGMENT_SHADER, FixedFragmentShaderSource(key), log);
    if (!fragment) {
      fixed_fragment_shaders_.erase(key);
      Fail("the fixed-function stand-in does not compile: " + log);
      return nullptr;
    }
  }
  GlProgram program;
  if (!Link(program, fixed_vertex_shaders_[Index(variant)], fragment, nullptr)) return nullptr;
  return &fixed_programs_.emplace(programKey, program).first->second;
}

void GlDevice::UploadUniforms(GlProgram& program) {
  if (!(state_.world == seen_world_ && state_.view == seen_view_ && state_.projection == seen_projection_ &&
        cache_.targetWidth == render_target_->Width() && cache_.targetHeight == render_target_->Height())) {
    seen_world_ = state_.world;
    cache_.targetWidth = render_target_->Width();
    cache_.targetHeight = render_target_->Height();
    // Sprites change the world matrix draw after draw; the rest stays.
    if (!(state_.view == seen_view_ && state_.projection == seen_projection_)) {
      seen_view_ = state_.view;
      seen_projection_ = state_.projection;
      view_projection_ = state_.view * state_.projection;
    }
    world_view_proj_ = state_.world * view_projection_;
    ++transform_generation_;
  }
  if (program.transformGeneration != transform_generation_) {
    program.transformGeneration = transform_generation_;
    // Row-major storage read as GLSL's row-vector product v * M.
    if (program.worldViewProj >= 0) gl_.UniformMatrix4fv(program.worldViewProj, 1, GL_TRUE, &world_view_proj_.m[0][0]);
    if (program.world >= 0) gl_.UniformMatrix4fv(program.world, 1, GL_TRUE, &state_.world.m[0][0]);
    if (program.targetSize >= 0) {
      const float size[2] = {static_cast<float>(cache_.targetWidth), static_cast<float>(cache_.targetHeight)};
      gl_.Uniform2fv(program.targetSize, 1, size);
    }
  }
  const auto& stage0 = state_.stage[0];
  const std::array<uint32_t, 6> fixed = {
      GetRenderState(RenderState::TextureFactor), GetRenderState(RenderState::AlphaRef),
      stage0[Index(StageState::BumpEnvMat00)],    stage0[Index(StageState::BumpEnvMat01)],
      stage0[Index(StageState::BumpEnvMat10)],    stage0[Index(StageState::BumpEnvMat11)]};
  if (fixed != seen_fixed_) {
    seen_fixed_ = fixed;
    ++fixed_generation_;
  }
  if (program.fixedGeneration != fixed_generation_) {
    program.fixedGeneration = fixed_generation_;
    const ColorValue factor = Unpack(fixed[0]);
    if (program.textureFactor >= 0) gl_.Uniform4fv(program.textureFactor, 1, &factor.r);
    const float ref = static_cast<float>(fixed[1] & 255) / 255.0f;
    if (program.alphaRef >= 0) gl_.Uniform1fv(program.alphaRef, 1, &ref);
    const float bump[4] = {BitsFloat(fixed[2]), BitsFloat(fixed[3]), BitsFloat(fixed[4]), BitsFloat(fixed[5])};
    if (program.bumpMatrix >= 0) gl_.UniformMatrix2fv(program.bumpMatrix, 1, GL_TRUE, bump);
  }
  if (program.lightCount >= 0) {
    if (!(state_.material == seen_material_ && state_.lights == seen_lights_ &&
          state_.lightEnabled == seen_light_enabled_ && GetRenderState(RenderState::Ambient) == seen_ambient_)) {
      seen_material_ = state_.material;
      seen_lights_ = state_.lights;
      seen_light_enabled_ = state_.lightEnabled;
      seen_ambient_ = GetRenderState(RenderState::Ambient);
      ++light_generation_;
    }
    if (program.lightGeneration != light_generation_) {
      program.lightGeneration = light_generation_;
      gl_.Uniform4fv(program.materialDiffuse, 1, &state_.material.diffuse.r);
      gl_.Uniform4fv(program.materialAmbient, 1, &state_.material.ambient.r);
      gl_.Uniform4fv(program.materialEmissive, 1, &state_.material.emissive.r);
      const ColorValue ambient = Unpack(seen_ambient_);
      gl_.Uniform4fv(program.ambient, 1, &ambient.r);
      float diffuse[kMaxLights * 4] = {}, lightAmbient[kMaxLights * 4] = {}, direction[kMaxLights * 3] = {};
      GLint count = 0;
      for (int i = 0; i < kMaxLights; ++i) {
        if (!state_.lightEnabled[i]) continue;
        const Light& light = state_.lights[i];
        std::copy(&light.diffuse.r, &light.diffuse.r + 4, diffuse + 4 * count);
        std::copy(&light.ambient.r, &light.ambient.r + 4, lightAmbient + 4 * count);
        std::copy(light.direction, light.direction + 3, direction + 3 * count);
        ++count;
      }
      gl_.Uniform4fv(program.lightDiffuse, kMaxLights, diffuse);
      gl_.Uniform4fv(program.lightAmbient, kMaxLights, lightAmbient);
      gl_.Uniform3fv(program.lightDirection, kMaxLights, direction);
      gl_.Uniform1i(program.lightCount, count);
    }
  }
  if (auto* custom = state_.pixelProgram.get(); custom && program.constantsVersion != custom->Version()) {
    program.constantsVersion = custom->Version();
    const auto& constants = custom->Source().constants;
    for (size_t i = 0; i < constants.size(); ++i) {
      const float* v = custom->Constant(i).data();
      const GLint location = program.constants[i];
      switch (constants[i].type) {
        case ConstantType::Float:
          gl_.Uniform1fv(location, 1, v);
          break;
        case ConstantType::Float2:
          gl_.Uniform2fv(location, 1, v);
          break;
        case ConstantType::Float3:
          gl_.Uniform3fv(location, 1, v);
          break;
        case ConstantType::Float4:
          gl_.Uniform4fv(location, 1, v);
          break;
        case ConstantType::Float2x2:
          gl_.UniformMatrix2fv(location, 1, GL_TRUE, v);
          break;
        case ConstantType::Float4x4:
          gl_.UniformMatrix4fv(location, 1, GL_TRUE, v);
          break;
      }
    }
  }
}

void GlDevice::ApplyRenderStates() {
  const int blend = GetRenderState(RenderState::AlphaBlendEnable) ? 1 : 0;
  if (cache_.blend != blend) {
    blend ? gl_.Enable(GL_BLEND) : gl_.Disable(GL_BLEND);
    cache_.blend = blend;
  }
  if (blend) {
    const GLenum src = GlBlend(GetRenderState(RenderState::SrcBlend));
    const GLenum dest = GlBlend(GetRenderState(RenderState::DestBlend));
    if (cache_.srcBlend != src || cache_.destBlend != dest) {
      gl_.BlendFunc(src, dest);
      cache_.srcBlend = src;
      cache_.destBlend = dest;
    }
    const GLenum equation = GlBlendEquation(GetRenderState(RenderState::BlendOp));
    if (cache_.blendEquation != equation) {
      gl_.BlendEquation(equation);
      cache_.blendEquation = equation;
    }
  }
  // Rows are stored top first, which mirrors the winding: what the target
  // shows clockwise GL sees counter-clockwise, its front face.
  const auto cullMode = static_cast<Cull>(GetRenderState(RenderState::CullMode));
  const int cull = cullMode == Cull::CW || cullMode == Cull::CCW ? 1 : 0;
  if (cache_.cull != cull) {
    cull ? gl_.Enable(GL_CULL_FACE) : gl_.Disable(GL_CULL_FACE);
    cache_.cull = cull;
  }
  if (cull) {
    const GLenum face = cullMode == Cull::CCW ? GL_BACK : GL_FRONT;
    if (cache_.cullFace != face) {
      gl_.CullFace(face);
      cache_.cullFace = face;
    }
  }
  const int depthTest = GetRenderState(RenderState::ZEnable) && depth_stencil_ ? 1 : 0;
  if (cache_.depthTest != depthTest) {
    depthTest ? gl_.Enable(GL_DEPTH_TEST) : gl_.Disable(GL_DEPTH_TEST);
    cache_.depthTest = depthTest;
  }
  if (depthTest) {
    const GLenum func = GlCompare(GetRenderState(RenderState::ZFunc));
    if (cache_.depthFunc != func) {
      gl_.DepthFunc(func);
      cache_.depthFunc = func;
    }
  }
  const int depthWrite = GetRenderState(RenderState::ZWriteEnable) ? 1 : 0;
  if (cache_.depthWrite != depthWrite) {
    gl_.DepthMask(depthWrite ? GL_TRUE : GL_FALSE);
    cache_.depthWrite = depthWrite;
  }
}

void GlDevice::ApplySampler(uint32_t unit, const Texture* texture) {
  const auto& s = state_.sampler[unit];
  const bool linearMin = s[Index(SamplerState::MinFilter)] == static_cast<uint32_t>(TextureFilter::Linear);
  const uint32_t mip = s[Index(SamplerState::MipFilter)];
  GLenum minFilter = GlFilter(s[Index(SamplerState::MinFilter)]);
  if (texture && texture->Levels() > 1 && mip != static_cast<uint32_t>(TextureFilter::None)) {
    const bool linearMip = mip == static_cast<uint32_t>(TextureFilter::Linear);
    minFilter = linearMin ? (linearMip ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST)
                          : (linearMip ? GL_NEAREST_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST);
  }
  const std::array<GLenum, 4> wanted = {
      GlWrap(s[Index(SamplerState::AddressU)]), GlWrap(s[Index(SamplerState::AddressV)]),
      GlFilter(s[Index(SamplerState::MagFilter)]), minFilter};
  auto& seen = cache_.samplers[unit];
  const GLuint sampler = sampler_objects_[unit];
  if (seen[0] != wanted[0]) gl_.SamplerParameteri(sampler, GL_TEXTURE_WRAP_S, static_cast<GLint>(wanted[0]));
  if (seen[1] != wanted[1]) gl_.SamplerParameteri(sampler, GL_TEXTURE_WRAP_T, static_cast<GLint>(wanted[1]));
  if (seen[2] != wanted[2]) gl_.SamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(wanted[2]));
  if (seen[3] != wanted[3]) gl_.SamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(wanted[3]));
  if (seen[0] == 0) gl_.BindSampler(unit, sampler);
  seen = wanted;
}

void GlDevice::ApplyTextures(uint32_t units) {
  for (uint32_t unit = 0; unit < units; ++unit) {
    const Texture* texture = state_.textures[unit].get();
    // Never sample the texture being drawn into.
    if (texture && (texture->IsLost() || texture == render_target_.get())) texture = nullptr;
    const GLuint id = texture ? static_cast<const GlTexture*>(texture)->Id() : 0;
    if (cache_.textures[unit] != id) {
      if (cache_.activeUnit != unit) {
        gl_.ActiveTexture(GL_TEXTURE0 + unit);
        cache_.activeUnit = unit;
      }
      gl_.BindTexture(GL_TEXTURE_2D, id);
      cache_.textures[unit] = id;
    }
    if (texture) ApplySampler(unit, texture);
  }
}

void GlDevice::ApplyVertexStream() {
  const auto* buffer = static_cast<const GlVertexBuffer*>(state_.stream.get());
  const int format = static_cast<int>(state_.vertexFormat);
  if (cache_.vertexBuffer == buffer->Id() && cache_.vertexFormat == format) return;
  cache_.vertexBuffer = buffer->Id();
  cache_.vertexFormat = format;
  const VertexLayout layout = LayoutOf(state_.vertexFormat);
  const auto stride = static_cast<GLsizei>(layout.stride);
  const auto offset = [](int bytes) { return reinterpret_cast<const void*>(static_cast<uintptr_t>(bytes)); };
  gl_.BindBuffer(GL_ARRAY_BUFFER, buffer->Id());
  gl_.EnableVertexAttribArray(0);
  gl_.VertexAttribPointer(0, layout.positionComponents, GL_FLOAT, GL_FALSE, stride, offset(0));
  const auto attribute = [&](GLuint location, int at, GLint size, GLenum type, GLboolean normalised) {
    if (at < 0) {
      gl_.DisableVertexAttribArray(location);
      return;
    }
    gl_.EnableVertexAttribArray(location);
    gl_.VertexAttribPointer(location, size, type, normalised, stride, offset(at));
  };
  // ARGB words are B, G, R, A in memory.
  attribute(1, layout.colorOffset, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE);
  attribute(2, layout.texCoordOffset, 2, GL_FLOAT, GL_FALSE);
  attribute(3, layout.normalOffset, 3, GL_FLOAT, GL_FALSE);
  attribute(4, layout.texCoord1Offset >= 0 ? layout.texCoord1Offset : layout.texCoordOffset, 2, GL_FLOAT, GL_FALSE);
}

bool GlDevice::PrepareDraw(const char* operation) {
  if (!CanDraw(operation) || !BindTarget()) return false;
  ApplyRenderStates();
  GlProgram* program = ProgramForDraw();
  if (!program) return false;
  if (cache_.program != program->id) {
    gl_.UseProgram(program->id);
    cache_.program = program->id;
  }
  const uint32_t units =
      state_.pixelProgram ? static_cast<uint32_t>(state_.pixelProgram->Source().samplers.size()) : kMaxTextureStages;
  ApplyTextures(units);
  UploadUniforms(*program);
  ApplyVertexStream();
  return true;
}

bool GlDevice::DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) {
  if (primitiveCount == 0) return true;
  if (!PrepareDraw("DrawPrimitive") || !CheckVertexRange(type, startVertex, primitiveCount)) return false;
  if (probe_ != nullptr) probe_->Before(*this);
  gl_.DrawArrays(GlPrimitive(type), static_cast<GLint>(startVertex),
                 static_cast<GLsizei>(VertexCount(type, primitiveCount)));
  if (probe_ != nullptr) probe_->After(*this, "Draw", primitiveCount);
  return true;
}

bool GlDevice::DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertex, uint32_t, uint32_t, uint32_t startIndex,
                                    uint32_t primitiveCount) {
  if (primitiveCount == 0) return true;
  if (!PrepareDraw("DrawIndexedPrimitive") || !CheckIndexRange(type, baseVertex, startIndex, primitiveCount)) {
    return false;
  }
  const auto* indices = static_cast<const GlIndexBuffer*>(state_.indices.get());
  if (cache_.indexBuffer != indices->Id()) {
    gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices->Id());
    cache_.indexBuffer = indices->Id();
  }
  if (probe_ != nullptr) probe_->Before(*this);
  gl_.DrawElementsBaseVertex(GlPrimitive(type), static_cast<GLsizei>(VertexCount(type, primitiveCount)),
                             GL_UNSIGNED_SHORT, reinterpret_cast<const void*>(uintptr_t{startIndex} * 2), baseVertex);
  if (probe_ != nullptr) probe_->After(*this, "Draw", primitiveCount);
  return true;
}

}  // namespace lumi
