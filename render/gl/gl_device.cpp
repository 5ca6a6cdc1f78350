#include "render/gl/gl_device.h"

#include <cstring>

#include "render/dxt_decoder.h"
#include "render/gl/gl_device_impl.h"

namespace lumi {

namespace {

void* LoadFromContext(const char* name, void* user) { return static_cast<GlContext*>(user)->GetProcAddress(name); }

}  // namespace

std::unique_ptr<GraphicsDevice> CreateGlDevice(GlContext& context, uint32_t width, uint32_t height, std::string& error,
                                               const GlDeviceOptions& options) {
  if (!context.MakeCurrent()) {
    error = "the OpenGL context could not be made current";
    return nullptr;
  }
  auto shared = std::make_shared<GlShared>();
  if (!shared->gl.Load(LoadFromContext, &context, error)) return nullptr;
  auto device = std::make_unique<GlDevice>(context, shared);
  if (!device->Initialise(width, height, error)) return nullptr;
  if (!options.compressedTextures) shared->s3tc = false;
  return device;
}

GlDevice::GlDevice(GlContext& context, std::shared_ptr<GlShared> shared)
    : context_(context), shared_(std::move(shared)), gl_(shared_->gl) {}

GlDevice::~GlDevice() {
  // Drop our references first so resources release while GL is alive.
  state_ = DeviceStateBlock{};
  render_target_.reset();
  depth_stencil_.reset();
  back_buffer_.reset();
  back_buffer_depth_.reset();
  for (auto& [key, program] : fixed_programs_) gl_.DeleteProgram(program.id);
  for (auto& [key, shader] : fixed_fragment_shaders_) gl_.DeleteShader(shader);
  for (GLuint shader : fixed_vertex_shaders_) gl_.DeleteShader(shader);
  gl_.DeleteSamplers(kMaxSamplers, sampler_objects_.data());
  gl_.DeleteFramebuffers(1, &copy_framebuffer_);
  DropPendingReadbacks();
  for (const Readback& readback : readbacks_) gl_.DeleteBuffers(1, &readback.buffer);
  gl_.DeleteVertexArrays(1, &vertex_array_);
  shared_->alive = false;
}

bool GlDevice::Initialise(uint32_t width, uint32_t height, std::string& error) {
  const auto* renderer = reinterpret_cast<const char*>(gl_.GetString(GL_RENDERER));
  const auto* version = reinterpret_cast<const char*>(gl_.GetString(GL_VERSION));
  renderer_ = std::string(renderer ? renderer : "unknown renderer") + ", OpenGL " + (version ? version : "?");
  shared_->s3tc = gl_.HasExtension("GL_EXT_texture_compression_s3tc");
  gl_.GenVertexArrays(1, &vertex_array_);
  gl_.BindVertexArray(vertex_array_);
  gl_.GenSamplers(kMaxSamplers, sampler_objects_.data());
  gl_.GenFramebuffers(1, &copy_framebuffer_);
  gl_.FrontFace(GL_CCW);
  // Values read by attributes a format does not carry.
  gl_.VertexAttrib4f(1, 1, 1, 1, 1);
  gl_.VertexAttrib4f(2, 0, 0, 0, 0);
  gl_.VertexAttrib4f(3, 0, 0, 1, 0);
  gl_.VertexAttrib4f(4, 0, 0, 0, 0);
  for (size_t variant = 0; variant < fixed_vertex_shaders_.size(); ++variant) {
    std::string log;
    fixed_vertex_shaders_[variant] =
        CompileShader(GL_VERTEX_SHADER, FixedVertexShaderSource(static_cast<VertexVariant>(variant)), log);
    if (!fixed_vertex_shaders_[variant]) {
      error = "the built-in vertex program does not compile: " + log;
      return false;
    }
  }
  if (!CreateBackBuffer(width, height)) {
    error = LastError();
    return false;
  }
  return true;
}

void GlDevice::OnReset() {
  ForgetCache();
  DropPendingReadbacks();
}

bool GlDevice::SupportsFormat(TextureFormat) const {
  // Compressed formats without S3TC are decoded on upload.
  return true;
}

std::shared_ptr<Texture> GlDevice::MakeTexture(const TextureDesc& desc) {
  return std::make_shared<GlTexture>(shared_, desc);
}

std::shared_ptr<VertexBuffer> GlDevice::MakeVertexBuffer(uint32_t bytes, uint32_t usage, Pool pool) {
  return std::make_shared<GlVertexBuffer>(shared_, bytes, usage, pool);
}

std::shared_ptr<IndexBuffer> GlDevice::MakeIndexBuffer(uint32_t count, uint32_t usage, Pool pool) {
  return std::make_shared<GlIndexBuffer>(shared_, count, usage, pool);
}

std::shared_ptr<DepthStencil> GlDevice::MakeDepthStencil(uint32_t width, uint32_t height) {
  return std::make_shared<GlDepthStencil>(shared_, width, height);
}

GLuint GlDevice::CompileShader(GLenum kind, const std::string& text, std::string& log) {
  const GLuint shader = gl_.CreateShader(kind);
  const char* source = text.c_str();
  gl_.ShaderSource(shader, 1, &source, nullptr);
  gl_.CompileShader(shader);
  GLint ok = 0;
  gl_.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return shader;
  GLint length = 0;
  gl_.GetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  log.assign(static_cast<size_t>(std::max(length, 1)), '\0');
  gl_.GetShaderInfoLog(shader, length, nullptr, log.data());
  while (!log.empty() && (log.back() == '\0' || log.back() == '\n')) log.pop_back();
  gl_.DeleteShader(shader);
  return 0;
}

std::shared_ptr<PixelProgram> GlDevice::MakePixelProgram(const PixelProgramSource& source) {
  std::string log;
  const GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, PixelProgramFragmentSource(source), log);
  if (!fragment) {
    Fail(log);
    return nullptr;
  }
  GLuint vertex = 0;
  if (!source.vertex.empty()) {
    vertex = CompileShader(GL_VERTEX_SHADER, PixelProgramVertexSource(source), log);
    if (!vertex) {
      gl_.DeleteShader(fragment);
      Fail(log);
      return nullptr;
    }
  }
  return std::make_shared<GlPixelProgram>(shared_, source, fragment, vertex);
}

bool GlDevice::BindTarget() {
  if (shared_->bindingsTouched) ForgetBindings();
  auto* target = static_cast<GlTexture*>(render_target_.get());
  if (!target || target->IsLost()) return Fail("the render target was lost");
  const GLuint framebuffer = target->Framebuffer();
  if (shared_->bindingsTouched) ForgetBindings();
  auto* depth = static_cast<GlDepthStencil*>(depth_stencil_.get());
  const GLuint depthId = depth ? depth->Id() : 0;
  if (cache_.framebuffer != framebuffer) {
    gl_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    cache_.framebuffer = framebuffer;
  }
  if (target->attachedDepth != depthId) {
    gl_.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthId);
    target->attachedDepth = depthId;
  }
  if (cache_.viewportWidth != target->Width() || cache_.viewportHeight != target->Height()) {
    gl_.Viewport(0, 0, static_cast<GLsizei>(target->Width()), static_cast<GLsizei>(target->Height()));
    cache_.viewportWidth = target->Width();
    cache_.viewportHeight = target->Height();
  }
  return true;
}

bool GlDevice::Clear(uint32_t flags, uint32_t argb, float z, uint32_t stencil) {
  if (device_state_ != DeviceState::Ok) return Fail("Clear: the device is lost");
  if (!BindTarget()) return false;
  GLbitfield mask = 0;
  if (flags & kClearTarget) {
    gl_.ClearColor(((argb >> 16) & 255) / 255.0f, ((argb >> 8) & 255) / 255.0f, (argb & 255) / 255.0f,
                   (argb >> 24) / 255.0f);
    mask |= GL_COLOR_BUFFER_BIT;
  }
  if (depth_stencil_ && (flags & kClearZBuffer)) {
    gl_.ClearDepth(z);
    // Clearing ignores the write switch, as the scene expects.
    if (cache_.depthWrite != 1) {
      gl_.DepthMask(GL_TRUE);
      cache_.depthWrite = 1;
    }
    mask |= GL_DEPTH_BUFFER_BIT;
  }
  if (depth_stencil_ && (flags & kClearStencil)) {
    gl_.ClearStencil(static_cast<GLint>(stencil));
    mask |= GL_STENCIL_BUFFER_BIT;
  }
  if (mask && probe_ != nullptr) probe_->Before(*this);
  if (mask) gl_.Clear(mask);
  if (mask && probe_ != nullptr) probe_->After(*this, "Clear", 0);
  return true;
}

bool GlDevice::Present() {
  if (device_state_ != DeviceState::Ok) return Fail("Present: the device is lost");
  auto* back = static_cast<GlTexture*>(back_buffer_.get());
  if (context_.HasWindow()) {
    // Rows are stored top first; the window's origin is at the bottom.
    const GLuint source = back->Framebuffer();
    gl_.BindFramebuffer(GL_READ_FRAMEBUFFER, source);
    gl_.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    const auto w = static_cast<GLint>(back->Width()), h = static_cast<GLint>(back->Height());
    gl_.BlitFramebuffer(0, 0, w, h, 0, static_cast<GLint>(context_.DrawableHeight()),
                        static_cast<GLint>(context_.DrawableWidth()), 0, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    cache_.framebuffer = ~0u;
    context_.SwapBuffers();
  } else {
    gl_.Flush();
  }
  return true;
}

bool GlDevice::GenerateMipmaps(Texture& texture) {
  auto& gl = static_cast<GlTexture&>(texture);
  if (texture.IsLost() || !gl.Id()) return Fail("GenerateMipmaps: the texture was lost");
  if (IsCompressed(texture.Format())) return Fail("GenerateMipmaps: compressed textures carry their own levels");
  gl_.ActiveTexture(GL_TEXTURE0);
  gl_.BindTexture(GL_TEXTURE_2D, gl.Id());
  gl_.GenerateMipmap(GL_TEXTURE_2D);
  gl.MarkMipmapsGenerated();
  cache_.activeUnit = ~0u;
  cache_.textures[0] = ~0u;
  return true;
}

bool GlDevice::CopySurface(Texture& source, Texture& destination) {
  auto& from = static_cast<GlTexture&>(source);
  auto& to = static_cast<GlTexture&>(destination);
  if (source.IsLost() || destination.IsLost() || !from.Id() || !to.Id()) return Fail("CopySurface: a texture was lost");
  if (!destination.IsRenderTarget()) return Fail("CopySurface: the destination must be a render target");
  std::shared_ptr<Texture> decoded;
  GLuint sourceId = from.Id();
  if (source.Format() == TextureFormat::V8U8 || source.Format() == TextureFormat::V16U16) {
    return Fail("CopySurface: cannot copy from signed offsets");
  }
  if (IsCompressed(source.Format())) {
    // Blits cannot read compressed storage: go through decoded pixels.
    const auto& blocks = source.LevelData(0);
    const auto rgba = DecodeDxtImage(source.Format(), source.Width(), source.Height(), blocks.data(), blocks.size());
    if (!rgba) return Fail("CopySurface: the source holds no pixels");
    std::vector<uint8_t> bgra(*rgba);
    for (size_t i = 0; i < bgra.size(); i += 4) std::swap(bgra[i], bgra[i + 2]);
    decoded = CreateTexture({source.Width(), source.Height(), 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
    if (!decoded || !decoded->WriteLevel(0, bgra.data(), bgra.size())) return false;
    sourceId = static_cast<GlTexture&>(*decoded).Id();
  }
  // Made first: making a framebuffer binds it for reading too.
  const GLuint target = to.Framebuffer();
  gl_.BindFramebuffer(GL_READ_FRAMEBUFFER, copy_framebuffer_);
  gl_.FramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sourceId, 0);
  gl_.BindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
  gl_.BlitFramebuffer(0, 0, static_cast<GLint>(source.Width()), static_cast<GLint>(source.Height()), 0, 0,
                      static_cast<GLint>(destination.Width()), static_cast<GLint>(destination.Height()),
                      GL_COLOR_BUFFER_BIT, GL_LINEAR);
  gl_.FramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
  cache_.framebuffer = ~0u;
  return true;
}

std::optional<RgbaImage> GlDevice::ReadPixels(Texture& target) {
  auto& texture = static_cast<GlTexture&>(target);
  if (!target.IsRenderTarget() || target.IsLost() || !texture.Id()) {
    Fail("ReadPixels: not a live render target");
    return std::nullopt;
  }
  RgbaImage image{target.Width(), target.Height(), {}};
  image.pixels.resize(size_t{image.width} * image.height * 4);
  gl_.BindFramebuffer(GL_READ_FRAMEBUFFER, texture.Framebuffer());
  gl_.PixelStorei(GL_PACK_ALIGNMENT, 1);
  gl_.ReadPixels(0, 0, static_cast<GLsizei>(image.width), static_cast<GLsizei>(image.height), GL_RGBA, GL_UNSIGNED_BYTE,
                 image.pixels.data());
  cache_.framebuffer = ~0u;
  return image;
}

bool GlDevice::StartReadback(Texture& target, uint32_t slot) {
  auto& texture = static_cast<GlTexture&>(target);
  if (!CheckReadbackSlot("StartReadback", slot)) return false;
  if (!target.IsRenderTarget() || target.IsLost() || !texture.Id()) return Fail("StartReadback: not a live render target");
  Readback& readback = readbacks_[slot];
  if (readback.fence != nullptr) return Fail("StartReadback: slot " + std::to_string(slot) + " is still pending");
  const size_t bytes = size_t{target.Width()} * target.Height() * 4;
  if (readback.buffer == 0) gl_.GenBuffers(1, &readback.buffer);
  gl_.BindBuffer(GL_PIXEL_PACK_BUFFER, readback.buffer);
  if (readback.capacity < bytes) {
    gl_.BufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr, GL_STREAM_READ);
    readback.capacity = bytes;
  }
  gl_.BindFramebuffer(GL_READ_FRAMEBUFFER, texture.Framebuffer());
  gl_.PixelStorei(GL_PACK_ALIGNMENT, 1);
  gl_.ReadPixels(0, 0, static_cast<GLsizei>(target.Width()), static_cast<GLsizei>(target.Height()), GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
  // Unbound again at once: a bound pack buffer would turn every other
  // ReadPixels' pointer into an offset.
  gl_.BindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  cache_.framebuffer = ~0u;
  readback.fence = gl_.FenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
  readback.width = target.Width();
  readback.height = target.Height();
  if (readback.fence == nullptr) return Fail("StartReadback: no fence could be made");
  gl_.Flush();
  return true;
}

std::optional<RgbaImage> GlDevice::FinishReadback(uint32_t slot, std::vector<uint8_t> storage) {
  if (!CheckReadbackSlot("FinishReadback", slot)) return std::nullopt;
  Readback& readback = readbacks_[slot];
  if (readback.fence == nullptr) {
    Fail("FinishReadback: nothing was started in slot " + std::to_string(slot));
    return std::nullopt;
  }
  constexpr GLuint64 kPatienceNanoseconds = 30'000'000'000;
  const GLenum waited = gl_.ClientWaitSync(readback.fence, GL_SYNC_FLUSH_COMMANDS_BIT, kPatienceNanoseconds);
  gl_.DeleteSync(readback.fence);
  readback.fence = nullptr;
  if (waited != GL_ALREADY_SIGNALED && waited != GL_CONDITION_SATISFIED) {
    Fail("FinishReadback: the copy did not arrive");
    return std::nullopt;
  }
  RgbaImage image{readback.width, readback.height, std::move(storage)};
  image.pixels.resize(size_t{image.width} * image.height * 4);
  gl_.BindBuffer(GL_PIXEL_PACK_BUFFER, readback.buffer);
  const void* mapped =
      gl_.MapBufferRange(GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(image.pixels.size()), GL_MAP_READ_BIT);
  if (mapped != nullptr) {
    std::memcpy(image.pixels.data(), mapped, image.pixels.size());
    gl_.UnmapBuffer(GL_PIXEL_PACK_BUFFER);
  }
  gl_.BindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  if (mapped == nullptr) {
    Fail("FinishReadback: the pixel buffer could not be mapped");
    return std::nullopt;
  }
  return image;
}

void GlDevice::DropPendingReadbacks() {
  for (Readback& readback : readbacks_) {
    if (readback.fence != nullptr) gl_.DeleteSync(readback.fence);
    readback.fence = nullptr;
  }
}

}  // namespace lumi
