// A device without a GPU: it keeps every state like the real one, logs each
// call as a line of text and keeps a snapshot of the state at every draw, so
// tests can check what was drawn, in which order and how.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "render/device.h"
#include "render/state_names.h"

namespace lumi {

struct RecordedDraw {
  PrimitiveType type;
  uint32_t primitiveCount;
  bool indexed;
  DeviceStateBlock state;
  std::shared_ptr<Texture> renderTarget;
  // The pixel program's constants as this draw used them: the program is
  // shared, so its own values are the next draw's.
  std::vector<std::pair<std::string, std::vector<float>>> constants;

  // The values of constant `name` at this draw; empty when it had none.
  std::vector<float> Constant(std::string_view name) const;
};

class RecordingDevice : public GraphicsDevice {
 public:
  RecordingDevice(uint32_t width, uint32_t height);

  const std::vector<std::string>& Calls() const { return calls_; }
  const std::vector<RecordedDraw>& Draws() const { return draws_; }
  void ClearLog();
  // Makes the next pixel program fail to compile with this message.
  void FailNextProgram(std::string message) { next_program_error_ = std::move(message); }

  bool BeginScene() override;
  bool EndScene() override;
  bool Clear(uint32_t flags, uint32_t argb, float z, uint32_t stencil) override;
  bool Present() override;
  bool SupportsFormat(TextureFormat) const override { return true; }
  std::string RendererName() const override { return "recording device"; }
  bool GenerateMipmaps(Texture& texture) override;
  bool CopySurface(Texture& source, Texture& destination) override;
  std::optional<RgbaImage> ReadPixels(Texture& target) override;
  // Logged; the pixels handed over are transparent black at the target's
  // size, so what reads frames back runs without a GPU.
  bool StartReadback(Texture& target, uint32_t slot) override;
  std::optional<RgbaImage> FinishReadback(uint32_t slot, std::vector<uint8_t> storage = {}) override;

  bool SetRenderTarget(std::shared_ptr<Texture> target) override;
  bool SetDepthStencilSurface(std::shared_ptr<DepthStencil> surface) override;
  void SetRenderState(RenderState state, uint32_t value) override;
  void SetTextureStageState(uint32_t stage, StageState state, uint32_t value) override;
  void SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value) override;
  void SetTexture(uint32_t stage, std::shared_ptr<Texture> texture) override;
  void SetTransform(TransformKind kind, const Matrix& matrix) override;
  void SetPixelProgram(std::shared_ptr<PixelProgram> program) override;
  void SetVertexFormat(VertexFormat format) override;
  void SetStreamSource(std::shared_ptr<VertexBuffer> buffer) override;
  void SetIndices(std::shared_ptr<IndexBuffer> buffer) override;
  bool DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) override;
  bool DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertex, uint32_t minIndex, uint32_t numVertices,
                            uint32_t startIndex, uint32_t primitiveCount) override;

  // A short name for a resource in the log: "tex3", "vb1", "backbuffer".
  std::string NameOf(const DeviceResource* resource) const;

 protected:
  std::shared_ptr<Texture> MakeTexture(const TextureDesc& desc) override;
  std::shared_ptr<VertexBuffer> MakeVertexBuffer(uint32_t bytes, uint32_t usage, Pool pool) override;
  std::shared_ptr<IndexBuffer> MakeIndexBuffer(uint32_t count, uint32_t usage, Pool pool) override;
  std::shared_ptr<PixelProgram> MakePixelProgram(const PixelProgramSource& source) override;
  std::shared_ptr<DepthStencil> MakeDepthStencil(uint32_t width, uint32_t height) override;
  void OnReset() override;

 private:
  void Log(std::string line) { calls_.push_back(std::move(line)); }
  std::string Named(const DeviceResource* resource, const char* prefix);
  void Record(PrimitiveType type, uint32_t primitiveCount, bool indexed);

  std::vector<std::string> calls_;
  std::vector<RecordedDraw> draws_;
  std::vector<std::pair<const DeviceResource*, std::string>> names_;
  std::string next_program_error_;
  std::array<std::optional<std::pair<uint32_t, uint32_t>>, kReadbackSlots> readback_sizes_;
  int counter_ = 0;
};

}  // namespace lumi
