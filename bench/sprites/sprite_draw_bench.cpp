// Sprites on the software rasteriser at 1280 x 720, each against the same
// slide without them in the same run:
// - the sprite sample (every population of the sample slide);
// - the sprite sample against itself without its glowing object, whose
//   layer adds a pass of the effect chain;
// - 65,536 sprites of 8 pixels drawn through the backdrop's sprite service.
// The counters print milliseconds a frame: frame_ms with the objects,
// without_ms the baseline, added_ms the difference.
#include <benchmark/benchmark.h>

#include <chrono>

#include "archive/file_io.h"
#include "backdrop/slide_player.h"
#include "bench/bench_gl_context.h"
#include "render/gl/gl_device.h"
#include "scene/slide_container.h"
#include "sprites/sprite_constructors.h"

namespace lumi {
namespace {

constexpr uint32_t kWidth = 1280, kHeight = 720;

enum class Objects { Sample, None, SmallSprites, SampleWithoutGlow };

std::unique_ptr<DS_ABObj_Constructor> SmallSprites() {
  auto sparkles = std::make_unique<DS_SparkleConstructor>();
  sparkles->left = sparkles->top = 0;
  sparkles->right = sparkles->bottom = 1;
  sparkles->population.value = 65536;
  sparkles->sprite_size.value = 8;
  return sparkles;
}

// Milliseconds a frame of the sample's first slide with the objects asked
// for, over `frames` frames at 60 a second (the first left out).
double FrameMilliseconds(GraphicsDevice& device, Objects objects, int frames) {
  Document document = LoadDocument(ReadFileBytes(LUMI_SPRITE_DOCUMENT));
  auto& list = document.show->slides.at(0)->objects;
  if (objects == Objects::SampleWithoutGlow) {
    std::erase_if(list, [](const auto& object) { return object->ClassName() == DS_DischargeFXConstructor::kClassName; });
  } else if (objects != Objects::Sample) {
    list.clear();
  }
  if (objects == Objects::SmallSprites) list.push_back(SmallSprites());
  SlidePlayer player(device, document, PlacementMode::Fit);
  std::string error;
  double total = 0;
  for (int k = 0; k < frames; ++k) {
    const auto start = std::chrono::steady_clock::now();
    player.Move(static_cast<float>(k) / 60);
    player.Draw(error);
    device.Finish();
    if (k > 0) total += Milliseconds(std::chrono::steady_clock::now() - start);
  }
  return total / (frames - 1);
}

void Measure(benchmark::State& state, Objects objects, Objects baseline) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), kWidth, kHeight, error) : nullptr;
  if (!device) {
    state.SkipWithError(("no device: " + error).c_str());
    return;
  }
  double with = 0, without = 0;
  for (auto _ : state) {
    with += FrameMilliseconds(*device, objects, 20);
    without += FrameMilliseconds(*device, baseline, 20);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["frame_ms"] = with / n;
  state.counters["without_ms"] = without / n;
  state.counters["added_ms"] = (with - without) / n;
}

void BM_SpriteSample(benchmark::State& state) { Measure(state, Objects::Sample, Objects::None); }

void BM_SpriteSampleGlow(benchmark::State& state) { Measure(state, Objects::Sample, Objects::SampleWithoutGlow); }

void BM_SixtyFiveThousandSmallSprites(benchmark::State& state) {
  Measure(state, Objects::SmallSprites, Objects::None);
}

BENCHMARK(BM_SpriteSample)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_SpriteSampleGlow)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_SixtyFiveThousandSmallSprites)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace lumi
