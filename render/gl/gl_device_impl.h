// Internals of the OpenGL device: its resource classes, the shader
// programs that stand in for the fixed-function pipeline, and the cache of
// what is currently set in GL so unchanged state is never sent again.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/gl/gl_context.h"
#include "platform/gl/gl_functions.h"
#include "render/device.h"

namespace lumi {

// Shared by the device and its resources, which may outlive it.
struct GlShared {
  GlFunctions gl;
  bool alive = true;
  bool s3tc = false;
  // Set when a resource bound objects behind the device's back, so the
  // device forgets what it believes is bound.
  bool bindingsTouched = false;
};

class GlTexture : public Texture {
 public:
  GlTexture(std::shared_ptr<GlShared> shared, const TextureDesc& desc);
  ~GlTexture() override;
  GLuint Id() const { return id_; }
  // The framebuffer drawing into this texture, made on first use.
  GLuint Framebuffer();
  GLuint attachedDepth = 0;
  void MarkMipmapsGenerated() { mipmaps_generated_ = true; }
  // True when GL holds the blocks themselves rather than decoded pixels.
  bool StoresCompressed() const { return IsCompressed(Format()) && shared_->s3tc; }

 protected:
  void UploadLevel(uint32_t level) override;
  void ReleaseDeviceObjects() override;
  void RestoreDeviceObjects() override;

 private:
  void CreateStorage();
  std::shared_ptr<GlShared> shared_;
  GLuint id_ = 0;
  GLuint framebuffer_ = 0;
  bool mipmaps_generated_ = false;
};

class GlBuffer {
 public:
  GlBuffer(std::shared_ptr<GlShared> shared, GLenum target) : shared_(std::move(shared)), target_(target) {}
  ~GlBuffer() { Release(); }
  void Create(const std::vector<uint8_t>& data, bool dynamic);
  void Upload(const std::vector<uint8_t>& data, uint32_t offset, uint32_t size);
  void Release();
  GLuint Id() const { return id_; }

 private:
  std::shared_ptr<GlShared> shared_;
  GLenum target_;
  GLuint id_ = 0;
  bool dynamic_ = false;
};

// A vertex or index buffer: the system-memory copy the device keeps, and
// the GL buffer object it is uploaded to.
template <class Base, GLenum kTarget>
class GlBufferResource : public Base {
 public:
  GlBufferResource(std::shared_ptr<GlShared> shared, uint32_t size, uint32_t usage, Pool pool)
      : Base(size, usage, pool), buffer_(std::move(shared), kTarget) {
    buffer_.Create(this->Data(), usage & kBufferDynamic);
  }
  GLuint Id() const { return buffer_.Id(); }

 protected:
  void Upload(uint32_t offset, uint32_t size) override { buffer_.Upload(this->Data(), offset, size); }
  void ReleaseDeviceObjects() override { buffer_.Release(); }
  void RestoreDeviceObjects() override { buffer_.Create(this->Data(), this->Usage() & kBufferDynamic); }

 private:
  GlBuffer buffer_;
};

using GlVertexBuffer = GlBufferResource<VertexBuffer, GL_ARRAY_BUFFER>;
// Sized in indices.
using GlIndexBuffer = GlBufferResource<IndexBuffer, GL_ELEMENT_ARRAY_BUFFER>;

class GlDepthStencil : public DepthStencil {
 public:
  GlDepthStencil(std::shared_ptr<GlShared> shared, uint32_t width, uint32_t height);
  ~GlDepthStencil() override { ReleaseDeviceObjects(); }
  GLuint Id() const { return id_; }

 protected:
  void ReleaseDeviceObjects() override;

 private:
  std::shared_ptr<GlShared> shared_;
  GLuint id_ = 0;
};

// Which vertex program a draw needs.
enum class VertexVariant : uint32_t { Transformed = 0, Pretransformed = 1, Lit = 2, Count = 3 };

// A linked program with the locations of the uniforms the device feeds.
struct GlProgram {
  GLuint id = 0;
  GLint worldViewProj = -1, world = -1, targetSize = -1;
  GLint textureFactor = -1, bumpMatrix = -1, alphaRef = -1;
  GLint materialDiffuse = -1, materialAmbient = -1, materialEmissive = -1, ambient = -1;
  GLint lightDiffuse = -1, lightAmbient = -1, lightDirection = -1, lightCount = -1;
  std::vector<GLint> constants;  // of a pixel program, in declaration order
  // Generations of the values last uploaded, to skip repeats.
  uint64_t transformGeneration = 0, fixedGeneration = 0, lightGeneration = 0, constantsVersion = 0;
};

class GlPixelProgram : public PixelProgram {
 public:
  GlPixelProgram(std::shared_ptr<GlShared> shared, PixelProgramSource source, GLuint fragmentShader,
                 GLuint vertexShader);
  ~GlPixelProgram() override;
  GLuint FragmentShader() const { return fragment_; }
  GLuint VertexShader() const { return vertex_; }
  std::array<GlProgram, static_cast<size_t>(VertexVariant::Count)> linked{};

 private:
  std::shared_ptr<GlShared> shared_;
  GLuint fragment_, vertex_;
};

// The GLSL texts standing in for fixed-function vertex and pixel work.
std::string FixedVertexShaderSource(VertexVariant variant);
// key packs the texture-stage operations, the alpha test and the stages'
// coordinate sets; see FixedFunctionKey.
std::string FixedFragmentShaderSource(uint64_t key);
std::string PixelProgramFragmentSource(const PixelProgramSource& source);
std::string PixelProgramVertexSource(const PixelProgramSource& source);

class GlDevice : public GraphicsDevice {
 public:
  GlDevice(GlContext& context, std::shared_ptr<GlShared> shared);
  ~GlDevice() override;
  bool Initialise(uint32_t width, uint32_t height, std::string& error);

  bool Clear(uint32_t flags, uint32_t argb, float z, uint32_t stencil) override;
  bool Present() override;
  bool SupportsFormat(TextureFormat format) const override;
  bool GenerateMipmaps(Texture& texture) override;
  bool CopySurface(Texture& source, Texture& destination) override;
  std::optional<RgbaImage> ReadPixels(Texture& target) override;
  // Through pixel-pack buffers and a fence each, so reading waits only
  // when the copy has not arrived yet.
  bool StartReadback(Texture& target, uint32_t slot) override;
  std::optional<RgbaImage> FinishReadback(uint32_t slot, std::vector<uint8_t> storage = {}) override;
  std::string RendererName() const override { return renderer_; }
  void Finish() override { gl_.Finish(); }
  bool DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) override;
  bool DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertex, uint32_t minIndex, uint32_t numVertices,
                            uint32_t startIndex, uint32_t primitiveCount) override;

 protected:
  std::shared_ptr<Texture> MakeTexture(const TextureDesc& desc) override;
  std::shared_ptr<VertexBuffer> MakeVertexBuffer(uint32_t bytes, uint32_t usage, Pool pool) override;
  std::shared_ptr<IndexBuffer> MakeIndexBuffer(uint32_t count, uint32_t usage, Pool pool) override;
  std::shared_ptr<PixelProgram> MakePixelProgram(const PixelProgramSource& source) override;
  std::shared_ptr<DepthStencil> MakeDepthStencil(uint32_t width, uint32_t height) override;
  void OnReset() override;

 private:
  // What GL currently has; a value of ~0 means unknown.
  struct Cache {
    GLuint framebuffer = ~0u, depthAttachedTo = ~0u;
    GLuint program = ~0u;
    int blend = -1;
    GLenum srcBlend = 0, destBlend = 0, blendEquation = 0;
    int cull = -1;
    GLenum cullFace = 0;
    int depthTest = -1, depthWrite = -1;
    GLenum depthFunc = 0;
    GLuint activeUnit = ~0u;
    std::array<GLuint, kMaxSamplers> textures{};
    // wrap s, wrap t, magnification, minification; 0 when unknown
    std::array<std::array<GLenum, 4>, kMaxSamplers> samplers{};
    GLuint vertexBuffer = ~0u, indexBuffer = ~0u;
    int vertexFormat = -1;
    uint32_t viewportWidth = 0, viewportHeight = 0;
    uint32_t targetWidth = 0, targetHeight = 0;  // as last given to programs
  };

  bool BindTarget();
  bool PrepareDraw(const char* operation);
  GlProgram* ProgramForDraw();
  bool Link(GlProgram& program, GLuint vertexShader, GLuint fragmentShader, const PixelProgramSource* source);
  GLuint CompileShader(GLenum kind, const std::string& text, std::string& log);
  void UploadUniforms(GlProgram& program);
  void ApplyRenderStates();
  void ApplyTextures(uint32_t units);
  void ApplySampler(uint32_t unit, const Texture* texture);
  void ForgetBindings();
  void ApplyVertexStream();
  uint64_t FixedFunctionKey() const;
  VertexVariant CurrentVertexVariant() const;
  void ForgetCache() { cache_ = Cache{}; }
  void DropPendingReadbacks();

  // One readback slot: its pixel-pack buffer and the fence of the copy
  // still on its way into it.
  struct Readback {
    GLuint buffer = 0;
    size_t capacity = 0;
    GLsync fence = nullptr;
    uint32_t width = 0, height = 0;
  };

  GlContext& context_;
  std::shared_ptr<GlShared> shared_;
  const GlFunctions& gl_;
  std::string renderer_;
  Cache cache_;
  GLuint vertex_array_ = 0;
  std::array<GLuint, kMaxSamplers> sampler_objects_{};
  GLuint copy_framebuffer_ = 0;
  std::array<Readback, kReadbackSlots> readbacks_{};
  std::array<GLuint, static_cast<size_t>(VertexVariant::Count)> fixed_vertex_shaders_{};
  std::unordered_map<uint64_t, GlProgram> fixed_programs_;  // key: fragment key << 2 | variant
  std::unordered_map<uint64_t, GLuint> fixed_fragment_shaders_;
  // Last values seen, to know when derived uniforms must be rebuilt.
  Matrix seen_world_, seen_view_, seen_projection_;
  Matrix view_projection_, world_view_proj_;
  uint64_t transform_generation_ = 1, fixed_generation_ = 1, light_generation_ = 1;
  std::array<uint32_t, 6> seen_fixed_{};
  Material seen_material_;
  std::array<Light, kMaxLights> seen_lights_{};
  std::array<bool, kMaxLights> seen_light_enabled_{};
  uint32_t seen_ambient_ = 0;
};

}  // namespace lumi
