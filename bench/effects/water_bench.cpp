// What the water effects cost on the software rasteriser. Each benchmark
// plays one slide of a 1920 x 1200 photograph through the slide player and
// times frames with the effect against frames of the same slide without it
// in the same run (a trivial textured full-screen pass), reporting both and
// their ratio. The chain frame reports its pixels per second against the
// fill bound of the plain frame.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "archive/file_io.h"
#include "backdrop/light_2d.h"
#include "backdrop/slide_player.h"
#include "bench/bench_gl_context.h"
#include "effects/water_effects.h"
#include "render/gl/gl_device.h"

namespace lumi {
namespace {

const ResourceKey kPictureKey{u"C:\\pictures\\EveningGlow.jpg", 99};
const GUID kBrush{0x5A1E0003, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 3}};

// A 512 x 512 mask painted all over, as an uncompressed 32-bit TGA, so the
// effect's program runs on every pixel of the picture.
std::vector<uint8_t> FullMask() {
  // Sized once: GCC 12 misreads growing an 18-byte vector as an overflow.
  std::vector<uint8_t> bytes(18 + 512 * 512 * 4, 255);
  std::fill_n(bytes.begin(), 18, 0);
  bytes[2] = 2;
  bytes[13] = bytes[15] = 2;  // 512 x 512
  bytes[16] = 32;
  bytes[17] = 0x28;
  return bytes;
}

std::unique_ptr<Document> MakeDocument(std::unique_ptr<DS_FX_Constructor> effect) {
  auto document = std::make_unique<Document>();
  DS_ResBlob blob{0, u"", {kPictureKey.name, ReadFileBytes(LUMI_SOURCE_DIR "/samples/demo/EveningGlow.jpg")}};
  document->resources->pictures.push_back({kPictureKey, {blob}});
  document->resources->masks.push_back({kBrush, u"all", true, {u"all.tga", FullMask()}});
  auto slide = std::make_shared<DS_SlideContainer>();
  slide->fade_in.value = slide->fade_out.value = 0;
  slide->showing.value = 1e6f;
  auto backdrop = std::make_shared<DS_2D_Light>();
  backdrop->picture.key = kPictureKey;
  slide->backdrop = backdrop;
  if (effect) {
    effect->brush_id = kBrush;
    slide->objects.push_back(std::move(effect));
  }
  document->show->slides.push_back(slide);
  return document;
}

std::unique_ptr<DS_FX_Constructor> Water(int uses_background) {
  auto water = std::make_unique<DS_WaterFX>();
  water->uses_background.Set(uses_background);
  return water;
}

std::unique_ptr<DS_FX_Constructor> WaterfallWithThreeLayers() {
  auto waterfall = std::make_unique<DS_WaterfallFX>();
  waterfall->program.key = fx::CommonResource(105);
  waterfall->noise_map.key = fx::CommonResource(62);
  waterfall->noise_amplitude.Set(100);
  waterfall->layer_count.Set(3);
  waterfall->threshold.Set(300);
  const D3DXVECTOR3 corners[4] = {{0, 0, 0}, {0, 1200, 0}, {1920, 0, 0}, {1920, 1200, 0}};
  for (size_t i = 0; i < 4; ++i) waterfall->rectangle.corners[i].value = corners[i];
  return waterfall;
}

// A document played frame by frame, each frame waited for.
struct Playing {
  Playing(GraphicsDevice& device, std::unique_ptr<Document> made)
      : device(device), document(std::move(made)), player(device, *document, PlacementMode::Fit) {}
  double FrameMilliseconds() {
    const auto start = std::chrono::steady_clock::now();
    player.Move(t);
    std::string error;
    player.Draw(error);
    device.Finish();
    t += 1.0f / 60;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  GraphicsDevice& device;
  std::unique_ptr<Document> document;
  SlidePlayer player;
  float t = 0;
};

// `layers` is how many times the effect frame fills the screen's area
// (picture and passes); the chain frame adds its large target.
void Compare(benchmark::State& state, uint32_t width, uint32_t height, std::unique_ptr<DS_FX_Constructor> effect,
             double layers, double chain_pixels = 0) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), width, height, error) : nullptr;
  if (!device) {
    state.SkipWithError(("no device: " + error).c_str());
    return;
  }
  Playing plain(*device, MakeDocument(nullptr));
  Playing effected(*device, MakeDocument(std::move(effect)));
  plain.FrameMilliseconds();
  effected.FrameMilliseconds();
  double plain_ms = 0, effect_ms = 0;
  for (auto _ : state) {
    plain_ms += plain.FrameMilliseconds();
    effect_ms += effected.FrameMilliseconds();
  }
  const auto frames = static_cast<double>(state.iterations());
  state.counters["plain_ms"] = plain_ms / frames;
  state.counters["effect_ms"] = effect_ms / frames;
  state.counters["ratio"] = effect_ms / plain_ms;
  // The plain frame's rate of filling pixels bounds what the effect frame's
  // pixels can cost.
  const double screen = static_cast<double>(width) * height;
  const double pixels_per_ms = screen / (plain_ms / frames);
  state.counters["fill_bound_ms"] = (layers * screen + chain_pixels) / pixels_per_ms;
  state.SetLabel(device->RendererName());
}

void BM_WaterPass_1080p(benchmark::State& state) { Compare(state, 1920, 1080, Water(0), 2); }
BENCHMARK(BM_WaterPass_1080p)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_WaterfallNoiseAndThreeLayers_1080p(benchmark::State& state) {
  Compare(state, 1920, 1080, WaterfallWithThreeLayers(), 5);
}
BENCHMARK(BM_WaterfallNoiseAndThreeLayers_1080p)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// A chain pass at 1280 x 720: the picture goes into a 3840 x 2160 target,
// the water reads it and writes the screen.
void BM_ChainFrame_720p(benchmark::State& state) { Compare(state, 1280, 720, Water(1), 1, 3840.0 * 2160); }
BENCHMARK(BM_ChainFrame_720p)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace
}  // namespace lumi
