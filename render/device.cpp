#include "render/device.h"

#include <algorithm>

namespace lumi {

namespace {

constexpr uint32_t kMaxTextureSize = 16384;

template <typename E>
constexpr size_t Index(E e) {
  return static_cast<size_t>(e);
}

}  // namespace

DeviceStateBlock DeviceStateBlock::Defaults() {
  DeviceStateBlock s;
  auto& r = s.render;
  r[Index(RenderState::AlphaBlendEnable)] = 0;
  r[Index(RenderState::SrcBlend)] = static_cast<uint32_t>(Blend::One);
  r[Index(RenderState::DestBlend)] = static_cast<uint32_t>(Blend::Zero);
  r[Index(RenderState::BlendOp)] = static_cast<uint32_t>(BlendOp::Add);
  r[Index(RenderState::CullMode)] = static_cast<uint32_t>(Cull::CCW);
  r[Index(RenderState::ZEnable)] = 1;
  r[Index(RenderState::ZWriteEnable)] = 1;
  r[Index(RenderState::ZFunc)] = static_cast<uint32_t>(CompareFunc::LessEqual);
  r[Index(RenderState::AlphaTestEnable)] = 0;
  r[Index(RenderState::AlphaFunc)] = static_cast<uint32_t>(CompareFunc::Always);
  r[Index(RenderState::AlphaRef)] = 0;
  r[Index(RenderState::Lighting)] = 0;
  r[Index(RenderState::Ambient)] = 0;
  r[Index(RenderState::TextureFactor)] = 0xFFFFFFFF;
  for (uint32_t i = 0; i < kMaxTextureStages; ++i) {
    auto& st = s.stage[i];
    const bool first = i == 0;
    st[Index(StageState::ColorOp)] = static_cast<uint32_t>(first ? TextureOp::Modulate : TextureOp::Disable);
    st[Index(StageState::ColorArg1)] = static_cast<uint32_t>(TextureArg::Texture);
    st[Index(StageState::ColorArg2)] = static_cast<uint32_t>(TextureArg::Current);
    st[Index(StageState::AlphaOp)] = static_cast<uint32_t>(first ? TextureOp::SelectArg1 : TextureOp::Disable);
    st[Index(StageState::AlphaArg1)] = static_cast<uint32_t>(TextureArg::Texture);
    st[Index(StageState::AlphaArg2)] = static_cast<uint32_t>(TextureArg::Current);
    st[Index(StageState::BumpEnvMat00)] = FloatBits(0);
    st[Index(StageState::BumpEnvMat01)] = FloatBits(0);
    st[Index(StageState::BumpEnvMat10)] = FloatBits(0);
    st[Index(StageState::BumpEnvMat11)] = FloatBits(0);
    st[Index(StageState::TexCoordIndex)] = i;
  }
  for (auto& sampler : s.sampler) {
    sampler[Index(SamplerState::AddressU)] = static_cast<uint32_t>(TextureAddress::Wrap);
    sampler[Index(SamplerState::AddressV)] = static_cast<uint32_t>(TextureAddress::Wrap);
    sampler[Index(SamplerState::MagFilter)] = static_cast<uint32_t>(TextureFilter::Point);
    sampler[Index(SamplerState::MinFilter)] = static_cast<uint32_t>(TextureFilter::Point);
    sampler[Index(SamplerState::MipFilter)] = static_cast<uint32_t>(TextureFilter::None);
  }
  return s;
}

void ResourceTracker::Add(const std::shared_ptr<DeviceResource>& resource) {
  std::erase_if(resources_, [](const std::weak_ptr<DeviceResource>& r) { return r.expired(); });
  resources_.push_back(resource);
}

void ResourceTracker::LoseAll() {
  for (const auto& weak : resources_) {
    if (auto resource = weak.lock()) {
      resource->ReleaseDeviceObjects();
      if (resource->GetPool() == Pool::Default) resource->lost_ = true;
    }
  }
}

size_t ResourceTracker::LiveDefaultPoolCount() {
  std::erase_if(resources_, [](const std::weak_ptr<DeviceResource>& r) { return r.expired(); });
  return std::count_if(resources_.begin(), resources_.end(), [](const std::weak_ptr<DeviceResource>& weak) {
    auto resource = weak.lock();
    return resource && resource->GetPool() == Pool::Default;
  });
}

void ResourceTracker::RestoreManaged() {
  for (const auto& weak : resources_) {
    if (auto resource = weak.lock(); resource && resource->GetPool() == Pool::Managed) {
      resource->RestoreDeviceObjects();
    }
  }
}

GraphicsDevice::GraphicsDevice() : state_(DeviceStateBlock::Defaults()) {}

bool GraphicsDevice::Fail(std::string message) {
  last_error_ = std::move(message);
  return false;
}

bool GraphicsDevice::BeginScene() {
  if (device_state_ != DeviceState::Ok) return Fail("BeginScene: the device is lost");
  if (in_scene_) return Fail("BeginScene: already inside a scene");
  in_scene_ = true;
  return true;
}

bool GraphicsDevice::EndScene() {
  if (!in_scene_) return Fail("EndScene: no scene was begun");
  in_scene_ = false;
  return true;
}

void GraphicsDevice::LoseDevice() {
  device_state_ = DeviceState::NotReset;
  in_scene_ = false;
  tracker_.LoseAll();
}

bool GraphicsDevice::Reset() { return Reset(back_buffer_width_, back_buffer_height_); }

bool GraphicsDevice::Reset(uint32_t width, uint32_t height) {
  state_ = DeviceStateBlock::Defaults();
  render_target_.reset();
  depth_stencil_.reset();
  back_buffer_.reset();
  back_buffer_depth_.reset();
  in_scene_ = false;
  readbacks_ = {};
  if (const size_t live = tracker_.LiveDefaultPoolCount(); live > 0) {
    device_state_ = DeviceState::NotReset;
    return Fail("Reset: " + std::to_string(live) + " default-pool resources are still held");
  }
  device_state_ = DeviceState::Ok;
  tracker_.RestoreManaged();
  if (!CreateBackBuffer(width, height)) {
    device_state_ = DeviceState::NotReset;
    return false;
  }
  OnReset();
  return true;
}

bool GraphicsDevice::CheckReadbackSlot(const char* operation, uint32_t slot) {
  if (slot < kReadbackSlots) return true;
  return Fail(std::string(operation) + ": there is no readback slot " + std::to_string(slot));
}

bool GraphicsDevice::StartReadback(Texture& target, uint32_t slot) {
  if (!CheckReadbackSlot("StartReadback", slot)) return false;
  readbacks_[slot] = ReadPixels(target);
  return readbacks_[slot].has_value();
}

std::optional<RgbaImage> GraphicsDevice::FinishReadback(uint32_t slot, std::vector<uint8_t>) {
  if (!CheckReadbackSlot("FinishReadback", slot)) return std::nullopt;
  if (!readbacks_[slot]) {
    Fail("FinishReadback: nothing was started in slot " + std::to_string(slot));
    return std::nullopt;
  }
  std::optional<RgbaImage> image = std::move(readbacks_[slot]);
  readbacks_[slot].reset();
  return image;
}

bool GraphicsDevice::CreateBackBuffer(uint32_t width, uint32_t height) {
  back_buffer_width_ = width;
  back_buffer_height_ = height;
  back_buffer_ = CreateTexture({width, height, 1, TextureFormat::A8R8G8B8, kUsageRenderTarget, Pool::Default});
  if (!back_buffer_) return false;
  back_buffer_depth_ = MakeDepthStencil(width, height);
  if (!back_buffer_depth_) return Fail("could not create the depth surface of the back buffer");
  tracker_.Add(back_buffer_depth_);
  render_target_ = back_buffer_;
  depth_stencil_ = back_buffer_depth_;
  return true;
}

std::shared_ptr<Texture> GraphicsDevice::CreateTexture(const TextureDesc& desc) {
  const auto fail = [this](const std::string& why) {
    Fail("CreateTexture: " + why);
    return nullptr;
  };
  if (device_state_ != DeviceState::Ok) return fail("the device is lost");
  if (desc.width == 0 || desc.height == 0) return fail("zero size");
  if (desc.width > kMaxTextureSize || desc.height > kMaxTextureSize) {
    return fail(std::to_string(desc.width) + " x " + std::to_string(desc.height) + " is larger than the device allows");
  }
  if ((desc.usage & kUsageRenderTarget) != 0) {
    if (desc.pool != Pool::Default) return fail("render targets live in the default pool");
    if (desc.format != TextureFormat::A8R8G8B8 && desc.format != TextureFormat::X8R8G8B8) {
      return fail(std::string("cannot render into ") + FormatName(desc.format));
    }
  }
  if (!SupportsFormat(desc.format)) return fail(std::string("format ") + FormatName(desc.format) + " is not supported");
  auto texture = MakeTexture(desc);
  if (!texture) return fail("the device could not make the texture");
  tracker_.Add(texture);
  return texture;
}

std::shared_ptr<VertexBuffer> GraphicsDevice::CreateVertexBuffer(uint32_t bytes, uint32_t usage, Pool pool) {
  if (device_state_ != DeviceState::Ok || bytes == 0) {
    Fail(bytes == 0 ? "CreateVertexBuffer: zero size" : "CreateVertexBuffer: the device is lost");
    return nullptr;
  }
  auto buffer = MakeVertexBuffer(bytes, usage, pool);
  if (buffer) tracker_.Add(buffer);
  return buffer;
}

std::shared_ptr<IndexBuffer> GraphicsDevice::CreateIndexBuffer(uint32_t count, uint32_t usage, Pool pool) {
  if (device_state_ != DeviceState::Ok || count == 0) {
    Fail(count == 0 ? "CreateIndexBuffer: zero size" : "CreateIndexBuffer: the device is lost");
    return nullptr;
  }
  auto buffer = MakeIndexBuffer(count, usage, pool);
  if (buffer) tracker_.Add(buffer);
  return buffer;
}

std::shared_ptr<PixelProgram> GraphicsDevice::CreatePixelProgram(const PixelProgramSource& source) {
  if (source.samplers.size() > kMaxSamplers) {
    Fail("program \"" + source.name + "\" uses more than " + std::to_string(kMaxSamplers) + " samplers");
    return nullptr;
  }
  auto program = MakePixelProgram(source);
  if (program) tracker_.Add(program);
  return program;
}

bool GraphicsDevice::SetRenderTarget(std::shared_ptr<Texture> target) {
  if (!target || !target->IsRenderTarget()) return Fail("SetRenderTarget: not a render target");
  if (target->IsLost()) return Fail("SetRenderTarget: the target was lost with the device");
  render_target_ = std::move(target);
  return true;
}

bool GraphicsDevice::SetDepthStencilSurface(std::shared_ptr<DepthStencil> surface) {
  if (surface && surface->IsLost()) return Fail("SetDepthStencilSurface: the surface was lost with the device");
  depth_stencil_ = std::move(surface);
  return true;
}

void GraphicsDevice::SetRenderState(RenderState state, uint32_t value) {
  if (state < RenderState::Count) state_.render[Index(state)] = value;
}

void GraphicsDevice::SetTextureStageState(uint32_t stage, StageState state, uint32_t value) {
  if (stage < kMaxTextureStages && state < StageState::Count) state_.stage[stage][Index(state)] = value;
}

uint32_t GraphicsDevice::GetTextureStageState(uint32_t stage, StageState state) const {
  return stage < kMaxTextureStages && state < StageState::Count ? state_.stage[stage][Index(state)] : 0;
}

void GraphicsDevice::SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value) {
  if (sampler < kMaxSamplers && state < SamplerState::Count) state_.sampler[sampler][Index(state)] = value;
}

uint32_t GraphicsDevice::GetSamplerState(uint32_t sampler, SamplerState state) const {
  return sampler < kMaxSamplers && state < SamplerState::Count ? state_.sampler[sampler][Index(state)] : 0;
}

void GraphicsDevice::SetTexture(uint32_t stage, std::shared_ptr<Texture> texture) {
  if (stage < kMaxSamplers) state_.textures[stage] = std::move(texture);
}

std::shared_ptr<Texture> GraphicsDevice::GetTexture(uint32_t stage) const {
  return stage < kMaxSamplers ? state_.textures[stage] : nullptr;
}

void GraphicsDevice::SetTransform(TransformKind kind, const Matrix& matrix) {
  switch (kind) {
    case TransformKind::World:
      state_.world = matrix;
      break;
    case TransformKind::View:
      state_.view = matrix;
      break;
    case TransformKind::Projection:
      state_.projection = matrix;
      break;
  }
}

const Matrix& GraphicsDevice::GetTransform(TransformKind kind) const {
  switch (kind) {
    case TransformKind::World:
      return state_.world;
    case TransformKind::View:
      return state_.view;
    case TransformKind::Projection:
      return state_.projection;
  }
  return state_.world;
}

void GraphicsDevice::SetMaterial(const Material& material) { state_.material = material; }

void GraphicsDevice::SetLight(uint32_t index, const Light& light) {
  if (index < kMaxLights) state_.lights[index] = light;
}

void GraphicsDevice::LightEnable(uint32_t index, bool enable) {
  if (index < kMaxLights) state_.lightEnabled[index] = enable;
}

void GraphicsDevice::SetPixelProgram(std::shared_ptr<PixelProgram> program) {
  state_.pixelProgram = std::move(program);
}

void GraphicsDevice::SetVertexFormat(VertexFormat format) { state_.vertexFormat = format; }

void GraphicsDevice::SetStreamSource(std::shared_ptr<VertexBuffer> buffer) { state_.stream = std::move(buffer); }

void GraphicsDevice::SetIndices(std::shared_ptr<IndexBuffer> buffer) { state_.indices = std::move(buffer); }

bool GraphicsDevice::CanDraw(const char* operation) {
  const char* problem = nullptr;
  if (device_state_ != DeviceState::Ok) {
    problem = ": the device is lost";
  } else if (!in_scene_) {
    problem = ": outside BeginScene/EndScene";
  } else if (!state_.stream || state_.stream->IsLost()) {
    problem = ": no vertex buffer";
  } else if (render_target_ && render_target_->IsLost()) {
    problem = ": the render target was lost";
  }
  return problem ? Fail(std::string(operation) + problem) : true;
}

bool GraphicsDevice::CheckVertexRange(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) {
  const uint64_t stride = LayoutOf(state_.vertexFormat).stride;
  const uint64_t end = (uint64_t{startVertex} + VertexCount(type, primitiveCount)) * stride;
  if (end > state_.stream->Size()) return Fail("DrawPrimitive: the draw reads past the end of the vertex buffer");
  return true;
}

bool GraphicsDevice::CheckIndexRange(PrimitiveType type, int32_t baseVertex, uint32_t startIndex,
                                     uint32_t primitiveCount) {
  if (!state_.indices || state_.indices->IsLost()) return Fail("DrawIndexedPrimitive: no index buffer");
  const uint64_t count = VertexCount(type, primitiveCount);
  if (uint64_t{startIndex} + count > state_.indices->Count()) {
    return Fail("DrawIndexedPrimitive: the draw reads past the end of the index buffer");
  }
  if (count == 0) return true;
  const auto* indices = reinterpret_cast<const uint16_t*>(state_.indices->Data().data()) + startIndex;
  const auto [lowest, highest] = std::minmax_element(indices, indices + count);
  const int64_t vertices = state_.stream->Size() / LayoutOf(state_.vertexFormat).stride;
  if (baseVertex + int64_t{*lowest} < 0 || baseVertex + int64_t{*highest} >= vertices) {
    return Fail("DrawIndexedPrimitive: an index points outside the vertex buffer");
  }
  return true;
}

uint32_t GraphicsDevice::VertexCount(PrimitiveType type, uint32_t primitiveCount) {
  if (primitiveCount == 0) return 0;
  switch (type) {
    case PrimitiveType::PointList:
      return primitiveCount;
    case PrimitiveType::LineList:
      return primitiveCount * 2;
    case PrimitiveType::LineStrip:
      return primitiveCount + 1;
    case PrimitiveType::TriangleList:
      return primitiveCount * 3;
    case PrimitiveType::TriangleStrip:
    case PrimitiveType::TriangleFan:
      return primitiveCount + 2;
  }
  return 0;
}

}  // namespace lumi
