#include "render/recording_device.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace lumi {

RecordingDevice::RecordingDevice(uint32_t width, uint32_t height) {
  CreateBackBuffer(width, height);
  names_.emplace_back(back_buffer_.get(), "backbuffer");
  names_.emplace_back(back_buffer_depth_.get(), "backdepth");
}

void RecordingDevice::OnReset() {
  names_.emplace_back(back_buffer_.get(), "backbuffer");
  names_.emplace_back(back_buffer_depth_.get(), "backdepth");
  readback_sizes_ = {};
  Log("Reset");
}

void RecordingDevice::ClearLog() {
  calls_.clear();
  draws_.clear();
}

std::string RecordingDevice::Named(const DeviceResource* resource, const char* prefix) {
  std::string name = prefix + std::to_string(++counter_);
  names_.emplace_back(resource, name);
  return name;
}

std::string RecordingDevice::NameOf(const DeviceResource* resource) const {
  if (!resource) return "null";
  // The newest entry wins: addresses of destroyed resources are reused.
  for (auto it = names_.rbegin(); it != names_.rend(); ++it) {
    if (it->first == resource) return it->second;
  }
  return "?";
}

bool RecordingDevice::BeginScene() {
  Log("BeginScene");
  return GraphicsDevice::BeginScene();
}

bool RecordingDevice::EndScene() {
  Log("EndScene");
  return GraphicsDevice::EndScene();
}

bool RecordingDevice::Clear(uint32_t flags, uint32_t argb, float z, uint32_t) {
  char text[64];
  std::snprintf(text, sizeof text, "Clear %u %08x %g", flags, argb, z);
  Log(text);
  return device_state_ == DeviceState::Ok;
}

bool RecordingDevice::Present() {
  Log("Present");
  return device_state_ == DeviceState::Ok;
}

bool RecordingDevice::GenerateMipmaps(Texture& texture) {
  Log("GenerateMipmaps " + NameOf(&texture));
  return true;
}

bool RecordingDevice::CopySurface(Texture& source, Texture& destination) {
  Log("CopySurface " + NameOf(&source) + " " + NameOf(&destination));
  return !source.IsLost() && !destination.IsLost();
}

std::optional<RgbaImage> RecordingDevice::ReadPixels(Texture&) { return std::nullopt; }

bool RecordingDevice::StartReadback(Texture& target, uint32_t slot) {
  Log("StartReadback " + NameOf(&target) + " " + std::to_string(slot));
  if (!CheckReadbackSlot("StartReadback", slot)) return false;
  if (!target.IsRenderTarget() || target.IsLost()) return Fail("StartReadback: not a live render target");
  readback_sizes_[slot] = std::pair(target.Width(), target.Height());
  return true;
}

std::optional<RgbaImage> RecordingDevice::FinishReadback(uint32_t slot, std::vector<uint8_t>) {
  Log("FinishReadback " + std::to_string(slot));
  if (!CheckReadbackSlot("FinishReadback", slot)) return std::nullopt;
  if (!readback_sizes_[slot]) {
    Fail("FinishReadback: nothing was started in slot " + std::to_string(slot));
    return std::nullopt;
  }
  const auto [width, height] = *readback_sizes_[slot];
  readback_sizes_[slot].reset();
  return RgbaImage{width, height, std::vector<uint8_t>(size_t{width} * height * 4, 0)};
}

bool RecordingDevice::SetRenderTarget(std::shared_ptr<Texture> target) {
  Log("SetRenderTarget " + NameOf(target.get()));
  return GraphicsDevice::SetRenderTarget(std::move(target));
}

bool RecordingDevice::SetDepthStencilSurface(std::shared_ptr<DepthStencil> surface) {
  Log("SetDepthStencilSurface " + NameOf(surface.get()));
  return GraphicsDevice::SetDepthStencilSurface(std::move(surface));
}

void RecordingDevice::SetRenderState(RenderState state, uint32_t value) {
  Log(std::string("SetRenderState ") + RenderStateName(state) + " " + std::to_string(value));
  GraphicsDevice::SetRenderState(state, value);
}

void RecordingDevice::SetTextureStageState(uint32_t stage, StageState state, uint32_t value) {
  Log("SetTextureStageState " + std::to_string(stage) + " " + StageStateName(state) + " " + std::to_string(value));
  GraphicsDevice::SetTextureStageState(stage, state, value);
}

void RecordingDevice::SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value) {
  Log("SetSamplerState " + std::to_string(sampler) + " " + SamplerStateName(state) + " " + std::to_string(value));
  GraphicsDevice::SetSamplerState(sampler, state, value);
}

void RecordingDevice::SetTexture(uint32_t stage, std::shared_ptr<Texture> texture) {
  Log("SetTexture " + std::to_string(stage) + " " + NameOf(texture.get()));
  GraphicsDevice::SetTexture(stage, std::move(texture));
}

void RecordingDevice::SetTransform(TransformKind kind, const Matrix& matrix) {
  static const char* const kNames[] = {"World", "View", "Projection"};
  Log(std::string("SetTransform ") + kNames[static_cast<int>(kind)]);
  GraphicsDevice::SetTransform(kind, matrix);
}

void RecordingDevice::SetPixelProgram(std::shared_ptr<PixelProgram> program) {
  Log("SetPixelProgram " + (program ? program->Source().name : std::string("null")));
  GraphicsDevice::SetPixelProgram(std::move(program));
}

void RecordingDevice::SetVertexFormat(VertexFormat format) {
  Log("SetVertexFormat " + std::to_string(static_cast<int>(format)));
  GraphicsDevice::SetVertexFormat(format);
}

void RecordingDevice::SetStreamSource(std::shared_ptr<VertexBuffer> buffer) {
  Log("SetStreamSource " + NameOf(buffer.get()));
  GraphicsDevice::SetStreamSource(std::move(buffer));
}

void RecordingDevice::SetIndices(std::shared_ptr<IndexBuffer> buffer) {
  Log("SetIndices " + NameOf(buffer.get()));
  GraphicsDevice::SetIndices(std::move(buffer));
}

bool RecordingDevice::DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) {
  Log(std::string("DrawPrimitive ") + PrimitiveName(type) + " " + std::to_string(startVertex) + " " +
      std::to_string(primitiveCount));
  if (!CanDraw("DrawPrimitive") || !CheckVertexRange(type, startVertex, primitiveCount)) return false;
  Record(type, primitiveCount, false);
  return true;
}

bool RecordingDevice::DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertex, uint32_t, uint32_t,
                                           uint32_t startIndex, uint32_t primitiveCount) {
  Log(std::string("DrawIndexedPrimitive ") + PrimitiveName(type) + " " + std::to_string(baseVertex) + " " +
      std::to_string(startIndex) + " " + std::to_string(primitiveCount));
  if (!CanDraw("DrawIndexedPrimitive") || !CheckIndexRange(type, baseVertex, startIndex, primitiveCount)) {
    return false;
  }
  Record(type, primitiveCount, true);
  return true;
}

void RecordingDevice::Record(PrimitiveType type, uint32_t primitiveCount, bool indexed) {
  RecordedDraw& draw = draws_.emplace_back(RecordedDraw{type, primitiveCount, indexed, state_, render_target_, {}});
  if (const PixelProgram* program = state_.pixelProgram.get()) {
    const std::vector<ProgramConstant>& declared = program->Source().constants;
    for (size_t i = 0; i < declared.size(); ++i) draw.constants.emplace_back(declared[i].name, program->Constant(i));
  }
}

std::vector<float> RecordedDraw::Constant(std::string_view name) const {
  for (const auto& [constant, values] : constants) {
    if (constant == name) return values;
  }
  return {};
}

std::shared_ptr<Texture> RecordingDevice::MakeTexture(const TextureDesc& desc) {
  auto texture = std::make_shared<Texture>(desc);
  const std::string name = Named(texture.get(), desc.usage & kUsageRenderTarget ? "rt" : "tex");
  Log("CreateTexture " + name + " " + std::to_string(desc.width) + "x" + std::to_string(desc.height) + " " +
      FormatName(desc.format) + (desc.pool == Pool::Default ? " default" : " managed"));
  return texture;
}

std::shared_ptr<VertexBuffer> RecordingDevice::MakeVertexBuffer(uint32_t bytes, uint32_t usage, Pool pool) {
  auto buffer = std::make_shared<VertexBuffer>(bytes, usage, pool);
  Log("CreateVertexBuffer " + Named(buffer.get(), "vb") + " " + std::to_string(bytes));
  return buffer;
}

std::shared_ptr<IndexBuffer> RecordingDevice::MakeIndexBuffer(uint32_t count, uint32_t usage, Pool pool) {
  auto buffer = std::make_shared<IndexBuffer>(count, usage, pool);
  Log("CreateIndexBuffer " + Named(buffer.get(), "ib") + " " + std::to_string(count));
  return buffer;
}

std::shared_ptr<PixelProgram> RecordingDevice::MakePixelProgram(const PixelProgramSource& source) {
  if (!next_program_error_.empty()) {
    Fail(std::exchange(next_program_error_, {}));
    return nullptr;
  }
  auto program = std::make_shared<PixelProgram>(source);
  Named(program.get(), "program");
  Log("CreatePixelProgram " + source.name);
  return program;
}

std::shared_ptr<DepthStencil> RecordingDevice::MakeDepthStencil(uint32_t width, uint32_t height) {
  return std::make_shared<DepthStencil>(width, height);
}

}  // namespace lumi
