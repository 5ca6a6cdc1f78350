#include "render/dxt_decoder.h"
#include "render/gl/gl_device_impl.h"

namespace lumi {

namespace {

constexpr GLenum kCompressedRgbaDxt1 = 0x83F1;
constexpr GLenum kCompressedRgbaDxt3 = 0x83F2;
constexpr GLenum kCompressedRgbaDxt5 = 0x83F3;

struct GlFormat {
  GLint internal;
  GLenum format, type;
};

GlFormat UncompressedFormat(TextureFormat format) {
  switch (format) {
    case TextureFormat::V8U8:
      return {GL_RG8_SNORM, GL_RG, GL_BYTE};
    case TextureFormat::V16U16:
      return {GL_RG16_SNORM, GL_RG, GL_SHORT};
    // Decoded DXT levels arrive as R, G, B, A bytes.
    case TextureFormat::DXT1:
    case TextureFormat::DXT3:
    case TextureFormat::DXT5:
      return {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE};
    default:
      return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE};
  }
}

GLenum CompressedFormat(TextureFormat format) {
  switch (format) {
    case TextureFormat::DXT1:
      return kCompressedRgbaDxt1;
    case TextureFormat::DXT3:
      return kCompressedRgbaDxt3;
    default:
      return kCompressedRgbaDxt5;
  }
}

}  // namespace

GlTexture::GlTexture(std::shared_ptr<GlShared> shared, const TextureDesc& desc)
    : Texture(desc), shared_(std::move(shared)) {
  CreateStorage();
}

GlTexture::~GlTexture() { ReleaseDeviceObjects(); }

void GlTexture::CreateStorage() {
  const GlFunctions& gl = shared_->gl;
  shared_->bindingsTouched = true;
  gl.GenTextures(1, &id_);
  gl.ActiveTexture(GL_TEXTURE0);
  gl.BindTexture(GL_TEXTURE_2D, id_);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(Levels() - 1));
  if (Format() == TextureFormat::X8R8G8B8) gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
  if (StoresCompressed()) {
    for (uint32_t level = 0; level < Levels(); ++level) {
      const auto& data = LevelData(level);
      gl.CompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), CompressedFormat(Format()),
                              static_cast<GLsizei>(Width(level)), static_cast<GLsizei>(Height(level)), 0,
                              static_cast<GLsizei>(data.size()), data.data());
    }
  } else {
    const GlFormat f = UncompressedFormat(Format());
    for (uint32_t level = 0; level < Levels(); ++level) {
      gl.TexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), f.internal, static_cast<GLsizei>(Width(level)),
                    static_cast<GLsizei>(Height(level)), 0, f.format, f.type, nullptr);
    }
  }
}

void GlTexture::UploadLevel(uint32_t level) {
  const GlFunctions& gl = shared_->gl;
  shared_->bindingsTouched = true;
  if (!id_) return;
  gl.ActiveTexture(GL_TEXTURE0);
  gl.BindTexture(GL_TEXTURE_2D, id_);
  const auto& data = LevelData(level);
  const auto width = static_cast<GLsizei>(Width(level)), height = static_cast<GLsizei>(Height(level));
  if (StoresCompressed()) {
    gl.CompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), CompressedFormat(Format()), width, height, 0,
                            static_cast<GLsizei>(data.size()), data.data());
    return;
  }
  const GlFormat f = UncompressedFormat(Format());
  gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (IsCompressed(Format())) {
    const auto rgba = DecodeDxtImage(Format(), Width(level), Height(level), data.data(), data.size());
    if (rgba)
      gl.TexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, width, height, f.format, f.type, rgba->data());
  } else {
    gl.TexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, width, height, f.format, f.type, data.data());
  }
}

GLuint GlTexture::Framebuffer() {
  if (!framebuffer_ && id_) {
    const GlFunctions& gl = shared_->gl;
    shared_->bindingsTouched = true;
    gl.GenFramebuffers(1, &framebuffer_);
    gl.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, id_, 0);
  }
  return framebuffer_;
}

void GlTexture::ReleaseDeviceObjects() {
  // GL recycles names: the device must not trust what it thinks is bound.
  shared_->bindingsTouched = true;
  if (shared_->alive) {
    if (framebuffer_) shared_->gl.DeleteFramebuffers(1, &framebuffer_);
    if (id_) shared_->gl.DeleteTextures(1, &id_);
  }
  framebuffer_ = id_ = attachedDepth = 0;
}

void GlTexture::RestoreDeviceObjects() {
  CreateStorage();
  for (uint32_t level = 0; level < (mipmaps_generated_ ? 1 : Levels()); ++level) UploadLevel(level);
  if (mipmaps_generated_) shared_->gl.GenerateMipmap(GL_TEXTURE_2D);
}

void GlBuffer::Create(const std::vector<uint8_t>& data, bool dynamic) {
  const GlFunctions& gl = shared_->gl;
  shared_->bindingsTouched = true;
  dynamic_ = dynamic;
  gl.GenBuffers(1, &id_);
  gl.BindBuffer(target_, id_);
  gl.BufferData(target_, static_cast<GLsizeiptr>(data.size()), data.data(), dynamic ? GL_STREAM_DRAW : GL_STATIC_DRAW);
}

void GlBuffer::Upload(const std::vector<uint8_t>& data, uint32_t offset, uint32_t size) {
  if (!id_) return;
  const GlFunctions& gl = shared_->gl;
  shared_->bindingsTouched = true;
  gl.BindBuffer(target_, id_);
  if (offset == 0 && size == data.size()) {
    // Replacing everything lets the driver hand out fresh storage.
    gl.BufferData(target_, static_cast<GLsizeiptr>(size), data.data(), dynamic_ ? GL_STREAM_DRAW : GL_STATIC_DRAW);
  } else {
    gl.BufferSubData(target_, offset, size, data.data() + offset);
  }
}

void GlBuffer::Release() {
  shared_->bindingsTouched = true;
  if (id_ && shared_->alive) shared_->gl.DeleteBuffers(1, &id_);
  id_ = 0;
}

GlDepthStencil::GlDepthStencil(std::shared_ptr<GlShared> shared, uint32_t width, uint32_t height)
    : DepthStencil(width, height), shared_(std::move(shared)) {
  const GlFunctions& gl = shared_->gl;
  shared_->bindingsTouched = true;
  gl.GenRenderbuffers(1, &id_);
  gl.BindRenderbuffer(GL_RENDERBUFFER, id_);
  gl.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, static_cast<GLsizei>(width),
                         static_cast<GLsizei>(height));
}

void GlDepthStencil::ReleaseDeviceObjects() {
  if (id_ && shared_->alive) shared_->gl.DeleteRenderbuffers(1, &id_);
  id_ = 0;
}

GlPixelProgram::GlPixelProgram(std::shared_ptr<GlShared> shared, PixelProgramSource source, GLuint fragmentShader,
                               GLuint vertexShader)
    : PixelProgram(std::move(source)), shared_(std::move(shared)), fragment_(fragmentShader), vertex_(vertexShader) {}

GlPixelProgram::~GlPixelProgram() {
  if (!shared_->alive) return;
  for (const GlProgram& program : linked) {
    if (program.id) shared_->gl.DeleteProgram(program.id);
  }
  shared_->gl.DeleteShader(fragment_);
  if (vertex_) shared_->gl.DeleteShader(vertex_);
}

}  // namespace lumi
