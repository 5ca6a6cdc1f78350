// The device's cost over plain OpenGL: a full-target textured pass at
// 1920 x 1080 both ways in the same run, and the CPU cost of a draw call
// among 1000 small ones a frame.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/bench_gl_context.h"
#include "platform/gl/gl_context.h"
#include "bench/render/plain_gl_pass.h"
#include "render/gl/gl_device.h"

namespace lumi {
namespace {

constexpr uint32_t kWidth = 1920, kHeight = 1080, kTextureSize = 1024;

std::unique_ptr<GraphicsDevice> Device(benchmark::State& state) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), kWidth, kHeight, error) : nullptr;
  if (!device) state.SkipWithError(("no device: " + error).c_str());
  return device;
}

// The device's side of the comparison: one textured quad over the target.
struct DevicePass {
  explicit DevicePass(GraphicsDevice& device) : device(device) {
    target = device.CreateTexture({kWidth, kHeight, 1, TextureFormat::A8R8G8B8, kUsageRenderTarget, Pool::Default});
    picture = device.CreateTexture({kTextureSize, kTextureSize, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
    std::vector<uint8_t> pixels(size_t{kTextureSize} * kTextureSize * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7);
    picture->WriteLevel(0, pixels.data(), pixels.size());
    const float w = kWidth, h = kHeight;
    const VertexScreenPCT strip[4] = {{0, h, 0, 1, 0xffffffff, 0, 1},
                                      {0, 0, 0, 1, 0xffffffff, 0, 0},
                                      {w, h, 0, 1, 0xffffffff, 1, 1},
                                      {w, 0, 0, 1, 0xffffffff, 1, 0}};
    quad = device.CreateVertexBuffer(sizeof strip, kBufferWriteOnly, Pool::Managed);
    std::memcpy(quad->Lock(0, 0), strip, sizeof strip);
    quad->Unlock();
  }
  void Draw() {
    device.BeginScene();
    device.SetRenderTarget(target);
    device.SetDepthStencilSurface(nullptr);
    device.SetRenderState(RenderState::ZEnable, 0);
    device.SetRenderState(RenderState::CullMode, static_cast<uint32_t>(Cull::None));
    device.SetTexture(0, picture);
    device.SetSamplerState(0, SamplerState::MinFilter, static_cast<uint32_t>(TextureFilter::Linear));
    device.SetSamplerState(0, SamplerState::MagFilter, static_cast<uint32_t>(TextureFilter::Linear));
    device.SetTextureStageState(0, StageState::ColorOp, static_cast<uint32_t>(TextureOp::SelectArg1));
    device.SetVertexFormat(VertexFormat::ScreenPCT);
    device.SetStreamSource(quad);
    device.DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
    device.EndScene();
  }
  GraphicsDevice& device;
  std::shared_ptr<Texture> target, picture;
  std::shared_ptr<VertexBuffer> quad;
};

void BM_FullTargetPass_Device(benchmark::State& state) {
  auto device = Device(state);
  if (!device) return;
  DevicePass pass(*device);
  pass.Draw();
  device->Finish();
  for (auto _ : state) {
    pass.Draw();
    device->Finish();
  }
  state.SetLabel(device->RendererName());
}
BENCHMARK(BM_FullTargetPass_Device)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

void BM_FullTargetPass_PlainGl(benchmark::State& state) {
  std::string error;
  auto pass = BenchGlContext() ? CreatePlainGlPass(*BenchGlContext(), kWidth, kHeight, kTextureSize, error) : nullptr;
  if (!pass) return state.SkipWithError(("no plain pass: " + error).c_str());
  pass->Draw();
  pass->Finish();
  for (auto _ : state) {
    pass->Draw();
    pass->Finish();
  }
}
BENCHMARK(BM_FullTargetPass_PlainGl)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

// Both passes alternately in one loop, so load changes on the machine hit
// both alike; reports the device's overhead in percent.
void BM_FullTargetPass_Overhead(benchmark::State& state) {
  auto device = Device(state);
  if (!device) return;
  DevicePass devicePass(*device);
  std::string error;
  auto plain = CreatePlainGlPass(*BenchGlContext(), kWidth, kHeight, kTextureSize, error);
  if (!plain) return state.SkipWithError(error.c_str());
  using Clock = std::chrono::steady_clock;
  double deviceSeconds = 0, plainSeconds = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    devicePass.Draw();
    device->Finish();
    auto middle = Clock::now();
    plain->Draw();
    plain->Finish();
    auto end = Clock::now();
    deviceSeconds += std::chrono::duration<double>(middle - start).count();
    plainSeconds += std::chrono::duration<double>(end - middle).count();
  }
  state.counters["device_ms"] = deviceSeconds * 1000 / static_cast<double>(state.iterations());
  state.counters["plain_gl_ms"] = plainSeconds * 1000 / static_cast<double>(state.iterations());
  state.counters["overhead_percent"] = plainSeconds > 0 ? (deviceSeconds / plainSeconds - 1) * 100 : 0;
}
BENCHMARK(BM_FullTargetPass_Overhead)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

// 1000 small textured quads a frame, each with its own world transform
// and one of two textures, as sprites and particles draw.
void BM_SmallDraws(benchmark::State& state) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), 256, 256, error) : nullptr;
  if (!device) return state.SkipWithError(error.c_str());
  std::shared_ptr<Texture> textures[2];
  for (auto& texture : textures) {
    texture = device->CreateTexture({8, 8, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
  }
  const VertexPT strip[4] = {{0, 2, 0, 0, 1}, {0, 0, 0, 0, 0}, {2, 2, 0, 1, 1}, {2, 0, 0, 1, 0}};
  auto quad = device->CreateVertexBuffer(sizeof strip, kBufferWriteOnly, Pool::Managed);
  std::memcpy(quad->Lock(0, 0), strip, sizeof strip);
  quad->Unlock();
  const uint32_t draws = static_cast<uint32_t>(state.range(0));
  double issueSeconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    device->BeginScene();
    device->SetRenderState(RenderState::ZEnable, 0);
    device->SetRenderState(RenderState::AlphaBlendEnable, 1);
    device->SetRenderState(RenderState::SrcBlend, static_cast<uint32_t>(Blend::SrcAlpha));
    device->SetRenderState(RenderState::DestBlend, static_cast<uint32_t>(Blend::InvSrcAlpha));
    device->SetTransform(TransformKind::Projection, MatrixOrthoOffCenterLH(0, 256, 256, 0, -1, 1));
    device->SetVertexFormat(VertexFormat::PT);
    device->SetStreamSource(quad);
    for (uint32_t i = 0; i < draws; ++i) {
      device->SetTexture(0, textures[(i / 10) % 2]);
      device->SetTransform(TransformKind::World,
                           MatrixTranslation(static_cast<float>(i % 128) * 2, static_cast<float>(i / 128) * 2, 0));
      device->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
    }
    device->EndScene();
    issueSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    device->Finish();
  }
  state.counters["cpu_us_per_draw"] = issueSeconds * 1e6 / (static_cast<double>(state.iterations()) * draws);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * draws);
}
BENCHMARK(BM_SmallDraws)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The renderer goes at the top of the report.
const bool kRendererInContext = [] {
  if (GlContext* context = BenchGlContext()) {
    std::string error;
    if (auto device = CreateGlDevice(*context, 16, 16, error))
      benchmark::AddCustomContext("renderer", device->RendererName());
  }
  return true;
}();

}  // namespace
}  // namespace lumi

namespace lumi {
namespace {

void BM_SmallDraws_PlainGl(benchmark::State& state) {
  std::string error;
  auto pass = BenchGlContext() ? CreatePlainGlPass(*BenchGlContext(), 256, 256, 8, error) : nullptr;
  if (!pass) return state.SkipWithError(error.c_str());
  const auto draws = static_cast<uint32_t>(state.range(0));
  double issueSeconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    pass->DrawSmall(draws);
    issueSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    pass->Finish();
  }
  state.counters["cpu_us_per_draw"] = issueSeconds * 1e6 / (static_cast<double>(state.iterations()) * draws);
}
BENCHMARK(BM_SmallDraws_PlainGl)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lumi
