// What each catalogue effect's pass costs on the software rasteriser at
// 1920 x 1080, against the plain slide's one textured full-screen pass in
// the same run ("pass_ratio"), and the processor time each adds to a frame.
#include <functional>
#include <memory>

#include "bench/effects/effect_bench_support.h"
#include "effects/catalogue_effects.h"

namespace lumi {
namespace {

const ResourceKey kPicture{u"C:\\pictures\\EveningGlow.jpg", 99};

// Every effect with settings that make it work on every pixel.
struct Entry {
  const char* name;
  std::function<std::unique_ptr<DS_FX_Constructor>()> make;
};

template <typename T>
Entry Make(const char* name, std::function<void(T&)> set_up = {}) {
  return {name, [set_up] {
            auto effect = std::make_unique<T>();
            const Vector3 corners[4] = {{0, 0, 0}, {0, 1200, 0}, {1920, 0, 0}, {1920, 1200, 0}};
            for (size_t i = 0; i < 4; ++i) effect->rectangle.corners[i].value = corners[i];
            if (set_up) set_up(*effect);
            return std::unique_ptr<DS_FX_Constructor>(std::move(effect));
          }};
}

const std::vector<Entry>& Entries() {
  static const std::vector<Entry> entries = {
      Make<DS_PatternBrush>("PatternBrush", [](auto& e) { e.pattern_image.key = kPicture; }),
      Make<DS_BackgroundCopy>("BackgroundCopy"),
      Make<DS_WavesFX>("Waves"),
      Make<DS_LightFX>("Light"),
      Make<DS_LightFX_II>("LightII", [](auto& e) { e.intensity.Set(50); }),
      Make<DS_UnderwaterFX>("Underwater"),
      Make<DS_MoveFX>("Move"),
      Make<DS_ExpandFX>("Expand"),
      Make<DS_RadialWaveFX>("RadialWave"),
      Make<DS_RotationFX>("Rotation"),
      Make<DS_BendFX>("Bend", [](auto& e) { e.a.Set(50); }),
      Make<DS_CloudFX>("Clouds", [](auto& e) { e.cloud_image.key = kPicture; }),
      Make<DS_PerspectiveFX>("Perspective", [](auto& e) { e.amplitude_a.Set(50); }),
      Make<DS_StretchFX>("Stretch", [](auto& e) { e.a.Set(50); }),
      Make<DS_DayToNight>("DayToNight"),
      Make<DS_KestrinLinear>("BandsLinear", [](auto& e) { e.first_parameter.Set(10); }),
      Make<DS_KestrinRadial>("BandsRadial", [](auto& e) { e.amplitude.Set(10); }),
      Make<DS_KestrinVortical>("BandsVortical", [](auto& e) { e.amplitude.Set(10); }),
      Make<DS_HeatDistortion>("HeatDistortion", [](auto& e) { e.strength.Set(100); }),
      // Both passes: the flame's shape into its surface, then its colouring.
      Make<DS_FireFX>("Fire", [](auto& e) { e.pattern_image.key = kPicture; e.base_colour.Set(0x000060FF); }),
  };
  return entries;
}

const bool kRegistered = [] {
  for (const Entry& entry : Entries()) {
    benchmark::RegisterBenchmark((std::string("BM_Pass_1080p/") + entry.name).c_str(),
                                 [&entry](benchmark::State& state) { bench::Compare(state, 1920, 1080, entry.make(), 2); })
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0)
        ->UseRealTime();
    benchmark::RegisterBenchmark((std::string("BM_ProcessorTime/") + entry.name).c_str(),
                                 [&entry](benchmark::State& state) { bench::CompareProcessorTime(state, entry.make()); })
        ->MinTime(0.5);
  }
  return true;
}();

}  // namespace
}  // namespace lumi
