// The graphics device every drawing part of the player talks to. It keeps
// the fixed-function state (readable back, as the scene code expects) and
// the resources it made, so that it can lose and restore them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/device_types.h"
#include "params/vector_math.h"
#include "render/resources.h"
#include "render/vertex_formats.h"

namespace lumi {

// Rows top first, four bytes R, G, B, A per pixel.
struct RgbaImage {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> pixels;
};

// Everything a draw depends on besides the resources' contents.
struct DeviceStateBlock {
  std::array<uint32_t, static_cast<size_t>(RenderState::Count)> render{};
  std::array<std::array<uint32_t, static_cast<size_t>(StageState::Count)>, kMaxTextureStages> stage{};
  std::array<std::array<uint32_t, static_cast<size_t>(SamplerState::Count)>, kMaxSamplers> sampler{};
  std::array<std::shared_ptr<Texture>, kMaxSamplers> textures;
  Matrix world, view, projection;
  Material material;
  std::array<Light, kMaxLights> lights{};
  std::array<bool, kMaxLights> lightEnabled{};
  VertexFormat vertexFormat = VertexFormat::PT;
  std::shared_ptr<VertexBuffer> stream;
  std::shared_ptr<IndexBuffer> indices;
  std::shared_ptr<PixelProgram> pixelProgram;

  // The state of a freshly created or reset device.
  static DeviceStateBlock Defaults();
};

// Remembers every resource a device made, to lose and restore them.
class ResourceTracker {
 public:
  void Add(const std::shared_ptr<DeviceResource>& resource);
  // Default-pool resources become lost; managed ones drop their device
  // objects until Restore.
  void LoseAll();
  // Number of default-pool resources somebody still holds.
  size_t LiveDefaultPoolCount();
  void RestoreManaged();

 private:
  std::vector<std::weak_ptr<DeviceResource>> resources_;
};

class GraphicsDevice;

// How much the scene may draw for its looks, chosen per screen: automatic
// decides by what renders (a software rasteriser gets the fastest).
enum class RenderQuality : uint32_t { Automatic = 0, Best = 1, Fastest = 2 };
inline constexpr uint32_t kMaxRenderQuality = 2;

// Watches every draw and clear one at a time, for measurements that split a
// frame into its passes: Before runs ahead of the device's work, After once
// it has been sent.
class DrawProbe {
 public:
  virtual ~DrawProbe() = default;
  virtual void Before(GraphicsDevice& device) = 0;
  // `operation` is "Clear" or "Draw"; `primitives` 0 for a clear.
  virtual void After(GraphicsDevice& device, const char* operation, uint32_t primitives) = 0;
};

class GraphicsDevice {
 public:
  GraphicsDevice();
  virtual ~GraphicsDevice() = default;
  GraphicsDevice(const GraphicsDevice&) = delete;
  GraphicsDevice& operator=(const GraphicsDevice&) = delete;

  // Frame.
  virtual bool BeginScene();
  virtual bool EndScene();
  virtual bool Clear(uint32_t flags, uint32_t argb, float z, uint32_t stencil) = 0;
  virtual bool Present() = 0;
  DeviceState TestCooperativeLevel() const { return device_state_; }
  // Only succeeds once nobody holds a default-pool resource any more; then
  // rebuilds the back buffer, puts managed resources back and resets state.
  bool Reset();
  // The same with a back buffer of a new size, as when a window was resized.
  bool Reset(uint32_t width, uint32_t height);
  // Test hook: behaves as if the device had been taken away.
  void LoseDevice();
  uint32_t BackBufferWidth() const { return back_buffer_width_; }
  uint32_t BackBufferHeight() const { return back_buffer_height_; }

  // Resources; null on failure, with the reason in LastError.
  std::shared_ptr<Texture> CreateTexture(const TextureDesc& desc);
  std::shared_ptr<VertexBuffer> CreateVertexBuffer(uint32_t bytes, uint32_t usage, Pool pool);
  std::shared_ptr<IndexBuffer> CreateIndexBuffer(uint32_t count, uint32_t usage, Pool pool);
  std::shared_ptr<PixelProgram> CreatePixelProgram(const PixelProgramSource& source);
  virtual bool SupportsFormat(TextureFormat format) const = 0;
  // Fills levels 1 and up of a texture from level 0.
  virtual bool GenerateMipmaps(Texture& texture) = 0;
  // Copies level 0 of one texture into level 0 of another with linear
  // filtering, scaling to the destination's size.
  virtual bool CopySurface(Texture& source, Texture& destination) = 0;
  virtual std::optional<RgbaImage> ReadPixels(Texture& target) = 0;
  // Reading frames back without waiting for the GPU: StartReadback queues a
  // copy of a render target into slot `slot` (below kReadbackSlots) and
  // returns at once; FinishReadback waits for that copy and hands its pixels
  // over. Two slots taken in turn let the GPU draw the next frame while the
  // last one travels. This default reads at once; a reset drops what is
  // pending. `storage` may bring a spent frame's pixels back to be filled
  // again: a frame a few megabytes large, allocated anew each time, costs
  // its pages' first touch every frame.
  static constexpr uint32_t kReadbackSlots = 2;
  virtual bool StartReadback(Texture& target, uint32_t slot);
  virtual std::optional<RgbaImage> FinishReadback(uint32_t slot, std::vector<uint8_t> storage = {});
  // Waits until everything sent has been drawn, for measurements.
  virtual void Finish() {}
  const std::string& LastError() const { return last_error_; }
  // What draws: the OpenGL renderer string, or the kind of test device.
  virtual std::string RendererName() const = 0;
  RenderQuality Quality() const { return quality_; }
  void SetQuality(RenderQuality quality) { quality_ = quality; }
  // Null for none; the probe must outlive its use.
  void SetDrawProbe(DrawProbe* probe) { probe_ = probe; }

  // Render target and depth surface: the back buffer and its depth surface
  // are objects too; a null depth surface means none.
  std::shared_ptr<Texture> GetBackBuffer() const { return back_buffer_; }
  std::shared_ptr<Texture> GetRenderTarget() const { return render_target_; }
  virtual bool SetRenderTarget(std::shared_ptr<Texture> target);
  std::shared_ptr<DepthStencil> GetDepthStencilSurface() const { return depth_stencil_; }
  virtual bool SetDepthStencilSurface(std::shared_ptr<DepthStencil> surface);

  // Fixed-function state.
  virtual void SetRenderState(RenderState state, uint32_t value);
  uint32_t GetRenderState(RenderState state) const { return state_.render[static_cast<size_t>(state)]; }
  virtual void SetTextureStageState(uint32_t stage, StageState state, uint32_t value);
  uint32_t GetTextureStageState(uint32_t stage, StageState state) const;
  virtual void SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value);
  uint32_t GetSamplerState(uint32_t sampler, SamplerState state) const;
  virtual void SetTexture(uint32_t stage, std::shared_ptr<Texture> texture);
  std::shared_ptr<Texture> GetTexture(uint32_t stage) const;
  virtual void SetTransform(TransformKind kind, const Matrix& matrix);
  const Matrix& GetTransform(TransformKind kind) const;
  virtual void SetMaterial(const Material& material);
  virtual void SetLight(uint32_t index, const Light& light);
  virtual void LightEnable(uint32_t index, bool enable);
  // A program in place of the fixed texture stages; null returns to them.
  virtual void SetPixelProgram(std::shared_ptr<PixelProgram> program);
  const std::shared_ptr<PixelProgram>& GetPixelProgram() const { return state_.pixelProgram; }

  // Drawing.
  virtual void SetVertexFormat(VertexFormat format);
  virtual void SetStreamSource(std::shared_ptr<VertexBuffer> buffer);
  virtual void SetIndices(std::shared_ptr<IndexBuffer> buffer);
  virtual bool DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) = 0;
  virtual bool DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertex, uint32_t minIndex, uint32_t numVertices,
                                    uint32_t startIndex, uint32_t primitiveCount) = 0;

  const DeviceStateBlock& State() const { return state_; }

 protected:
  virtual std::shared_ptr<Texture> MakeTexture(const TextureDesc& desc) = 0;
  virtual std::shared_ptr<VertexBuffer> MakeVertexBuffer(uint32_t bytes, uint32_t usage, Pool pool) = 0;
  virtual std::shared_ptr<IndexBuffer> MakeIndexBuffer(uint32_t count, uint32_t usage, Pool pool) = 0;
  virtual std::shared_ptr<PixelProgram> MakePixelProgram(const PixelProgramSource& source) = 0;
  virtual std::shared_ptr<DepthStencil> MakeDepthStencil(uint32_t width, uint32_t height) = 0;
  // Called by Reset once the old objects are gone and state is default.
  virtual void OnReset() {}
  // Makes the back buffer and its depth surface at the given size.
  bool CreateBackBuffer(uint32_t width, uint32_t height);
  bool Fail(std::string message);
  // Checks a draw's preconditions: in a scene, not lost, a stream bound.
  bool CanDraw(const char* operation);
  // Fails unless `slot` names a readback slot.
  bool CheckReadbackSlot(const char* operation, uint32_t slot);
  // Check that the vertices (and indices) a draw reads lie inside the bound
  // buffers, so hostile counts never read past them.
  bool CheckVertexRange(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount);
  bool CheckIndexRange(PrimitiveType type, int32_t baseVertex, uint32_t startIndex, uint32_t primitiveCount);
  static uint32_t VertexCount(PrimitiveType type, uint32_t primitiveCount);

  DeviceStateBlock state_;
  std::shared_ptr<Texture> back_buffer_;
  std::shared_ptr<Texture> render_target_;
  std::shared_ptr<DepthStencil> back_buffer_depth_;
  std::shared_ptr<DepthStencil> depth_stencil_;
  DeviceState device_state_ = DeviceState::Ok;
  bool in_scene_ = false;
  DrawProbe* probe_ = nullptr;
  RenderQuality quality_ = RenderQuality::Automatic;

 private:
  ResourceTracker tracker_;
  std::array<std::optional<RgbaImage>, kReadbackSlots> readbacks_;
  uint32_t back_buffer_width_ = 0, back_buffer_height_ = 0;
  std::string last_error_;
};

}  // namespace lumi
