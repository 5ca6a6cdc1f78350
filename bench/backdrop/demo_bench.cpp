// The demo document on the software rasteriser, each figure against its
// bound measured in the same run:
// - a frame at 1280 x 720 against the full-target passes it has to fill
//   (the picture, each effect's chain pass, the fade), drawn plainly;
// - loading the document (records and every picture made a texture)
//   against TurboJPEG alone decoding its JPEG pictures.
// The counters print milliseconds and the ratio; aims: 1.3 and 1.5.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "archive/file_io.h"
#include "backdrop/slide_player.h"
#include "bench/bench_gl_context.h"
#include "platform/gl/gl_context.h"
#include "render/jpeg_decoder.h"
#include "render/gl/gl_device.h"
#include "scene/render_obj.h"

namespace lumi {
namespace {

constexpr uint32_t kWidth = 1280, kHeight = 720;

const std::vector<uint8_t>& DemoBytes() {
  static const std::vector<uint8_t> bytes = ReadFileBytes(LUMI_SAMPLE_DOCUMENT);
  return bytes;
}

// The plain fill a frame needs: full-target textured quads over a target.
struct FillPasses {
  FillPasses(GraphicsDevice& device, uint32_t picture_width, uint32_t picture_height) : device(device) {
    picture = device.CreateTexture({picture_width, picture_height, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
    std::vector<uint8_t> pixels(size_t{picture_width} * picture_height * 4, 128);
    picture->WriteLevel(0, pixels.data(), pixels.size());
    chain = device.CreateTexture({kWidth * 3, kHeight * 3, 1, TextureFormat::A8R8G8B8, kUsageRenderTarget, Pool::Default});
    quad = device.CreateVertexBuffer(4 * sizeof(VertexScreenPCT), kBufferWriteOnly | kBufferDynamic, Pool::Managed);
  }
  void Pass(const std::shared_ptr<Texture>& target, const std::shared_ptr<Texture>& texture, bool blend) {
    device.SetRenderTarget(target);
    const auto w = static_cast<float>(target->Width()), h = static_cast<float>(target->Height());
    const VertexScreenPCT strip[4] = {{0, h, 0, 1, 0x80ffffff, 0, 1}, {0, 0, 0, 1, 0x80ffffff, 0, 0},
                                      {w, h, 0, 1, 0x80ffffff, 1, 1}, {w, 0, 0, 1, 0x80ffffff, 1, 0}};
    std::memcpy(quad->Lock(0, 0, kLockDiscard), strip, sizeof strip);
    quad->Unlock();
    device.SetRenderState(RenderState::AlphaBlendEnable, blend ? 1 : 0);
    device.SetTexture(0, texture);
    device.SetVertexFormat(VertexFormat::ScreenPCT);
    device.SetStreamSource(quad);
    device.DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
  }
  // The picture, `chain_passes` passes at the chain's size, the fade.
  void Frame(int chain_passes) {
    device.BeginScene();
    device.SetRenderState(RenderState::ZEnable, 0);
    device.SetRenderState(RenderState::CullMode, static_cast<uint32_t>(Cull::None));
    device.Clear(kClearTarget, 0, 1, 0);
    for (int i = 0; i < chain_passes; ++i) Pass(chain, picture, false);
    Pass(device.GetBackBuffer(), chain_passes > 0 ? chain : picture, false);
    Pass(device.GetBackBuffer(), nullptr, true);
    device.EndScene();
    device.Present();
    device.Finish();
  }
  GraphicsDevice& device;
  std::shared_ptr<Texture> picture, chain;
  std::shared_ptr<VertexBuffer> quad;
};

void BM_DemoFrameAgainstFill(benchmark::State& state) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), kWidth, kHeight, error) : nullptr;
  if (!device) {
    state.SkipWithError(("no device: " + error).c_str());
    return;
  }
  Document document = LoadDocument(DemoBytes());
  SlidePlayer player(*device, document, PlacementMode::Fit);
  const DS_ABRender* backdrop = document.show->slides.at(0)->backdrop.get();
  FillPasses fill(*device, std::max(1u, backdrop->PictureWidth()), std::max(1u, backdrop->PictureHeight()));
  double frame_ms = 0, fill_ms = 0;
  float t = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    player.Move(t);
    player.Draw(error);
    device->Finish();
    frame_ms += Milliseconds(std::chrono::steady_clock::now() - start);
    int chain_passes = 0;
    for (const auto& object : document.show->current_slide->render_objects) chain_passes += object->BackgroundPasses();
    start = std::chrono::steady_clock::now();
    fill.Frame(chain_passes);
    fill_ms += Milliseconds(std::chrono::steady_clock::now() - start);
    t += 1.0f / 60;
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["frame_ms"] = frame_ms / n;
  state.counters["fill_ms"] = fill_ms / n;
  state.counters["ratio"] = frame_ms / fill_ms;
}
BENCHMARK(BM_DemoFrameAgainstFill)->Unit(benchmark::kMillisecond)->Iterations(120);

void BM_DocumentLoadAgainstJpegDecoding(benchmark::State& state) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), kWidth, kHeight, error) : nullptr;
  if (!device) {
    state.SkipWithError(("no device: " + error).c_str());
    return;
  }
  double load_ms = 0, decode_ms = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    Document document = LoadDocument(DemoBytes());
    ResourceTable table(*device, *document.resources);
    device->Finish();
    load_ms += Milliseconds(std::chrono::steady_clock::now() - start);
    start = std::chrono::steady_clock::now();
    for (const ResourceFrames& entry : document.resources->pictures) {
      for (const DS_ResBlob& frame : entry.frames) {
        const std::vector<uint8_t>& bytes = frame.blob.bytes;
        if (bytes.size() < 3 || bytes[0] != 0xFF || bytes[1] != 0xD8) continue;  // JPEG only
        uint32_t width = 0, height = 0;
        std::vector<uint8_t> bgra;
        benchmark::DoNotOptimize(DecodeJpegBgra(bytes.data(), bytes.size(), width, height, bgra, error));
      }
    }
    decode_ms += Milliseconds(std::chrono::steady_clock::now() - start);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["load_ms"] = load_ms / n;
  state.counters["jpeg_ms"] = decode_ms / n;
  state.counters["ratio"] = load_ms / decode_ms;
}
BENCHMARK(BM_DocumentLoadAgainstJpegDecoding)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace lumi
