#include "bench/effects/effect_bench_support.h"

#include <algorithm>
#include <chrono>

#include "archive/file_io.h"
#include "backdrop/light_2d.h"
#include "backdrop/slide_player.h"
#include "bench/bench_gl_context.h"
#include "render/gl_device.h"

namespace lumi::bench {
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

}  // namespace

std::unique_ptr<Document> MakeEffectDocument(std::unique_ptr<DS_FX_Constructor> effect) {
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

namespace {

// A document played frame by frame.
struct Playing {
  Playing(GraphicsDevice& device, std::unique_ptr<Document> made)
      : device(device), document(std::move(made)), player(device, *document, PlacementMode::Fit) {}
  // `wait`: until the device has drawn the frame.
  double FrameMilliseconds(bool wait = true) {
    const auto start = std::chrono::steady_clock::now();
    player.Move(t);
    std::string error;
    player.Draw(error);
    if (wait) device.Finish();
    t += 1.0f / 60;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  GraphicsDevice& device;
  std::unique_ptr<Document> document;
  SlidePlayer player;
  float t = 0;
};

}  // namespace

void Compare(benchmark::State& state, uint32_t width, uint32_t height, std::unique_ptr<DS_FX_Constructor> effect,
             double layers, double chain_pixels) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), width, height, error) : nullptr;
  if (!device) {
    state.SkipWithError(("no device: " + error).c_str());
    return;
  }
  Playing plain(*device, MakeEffectDocument(nullptr));
  Playing effected(*device, MakeEffectDocument(std::move(effect)));
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
  state.counters["pass_ratio"] = (effect_ms - plain_ms) / plain_ms;
  // The plain frame's rate of filling pixels bounds what the effect frame's
  // pixels can cost.
  const double screen = static_cast<double>(width) * height;
  const double pixels_per_ms = screen / (plain_ms / frames);
  state.counters["fill_bound_ms"] = (layers * screen + chain_pixels) / pixels_per_ms;
  state.SetLabel(device->RendererName());
}

void CompareProcessorTime(benchmark::State& state, std::unique_ptr<DS_FX_Constructor> effect) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), 320, 200, error) : nullptr;
  if (!device) {
    state.SkipWithError(("no device: " + error).c_str());
    return;
  }
  Playing plain(*device, MakeEffectDocument(nullptr));
  Playing effected(*device, MakeEffectDocument(std::move(effect)));
  double plain_ms = 0, effect_ms = 0;
  for (auto _ : state) {
    plain_ms += plain.FrameMilliseconds(false);
    effect_ms += effected.FrameMilliseconds(false);
    device->Finish();
  }
  const auto frames = static_cast<double>(state.iterations());
  state.counters["effect_us"] = std::max(0.0, (effect_ms - plain_ms) / frames * 1000);
}

}  // namespace lumi::bench
