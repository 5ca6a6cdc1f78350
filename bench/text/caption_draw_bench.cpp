// Captions on the software rasteriser at 1920 x 1080: a slide with twenty
// shadowed captions (384 x 96 pixels each) against the same slide without
// them, and against the same captions without their shadows. Counters
// print milliseconds a frame, the slide's ratio, and what one shadowed
// caption costs in unshadowed captions (quad draws): about two.
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <vector>

#include "bench/bench_gl_context.h"
#include "particles/particle_system_obj.h"
#include "render/gl/gl_device.h"
#include "scene/resource_access.h"
#include "tests/particles/builtin_program_access.h"
#include "tests/render/test_backdrop.h"
#include "text/caption_particles.h"

namespace lumi {
namespace {

constexpr uint32_t kWidth = 1920, kHeight = 1080;
constexpr int kCaptions = 20, kFrames = 12;
constexpr uint32_t kPictureWidth = 256, kPictureHeight = 64;

std::shared_ptr<Texture> picture;

// Text-like coverage: bars of opaque white over transparency.
std::shared_ptr<Texture> CaptionPicture(GraphicsDevice& device) {
  std::vector<uint8_t> pixels(kPictureWidth * kPictureHeight * 4, 0);
  for (uint32_t y = 8; y < kPictureHeight - 8; ++y) {
    for (uint32_t x = 8; x < kPictureWidth - 8; ++x) {
      if ((x / 6) % 2 == 0) std::fill_n(&pixels[(y * kPictureWidth + x) * 4], 4, uint8_t{0xFF});
    }
  }
  auto texture = device.CreateTexture({kPictureWidth, kPictureHeight});
  texture->WriteLevel(0, pixels.data(), pixels.size());
  return texture;
}

std::vector<std::unique_ptr<VRN_RenderObj>> Captions(bool shadow) {
  std::vector<std::unique_ptr<VRN_RenderObj>> captions;
  for (int i = 0; i < kCaptions; ++i) {
    DS_StaticText caption;
    caption.look.textures.value.images.resize(1);
    caption.look.textures.value.images[0].key = {u"caption", 0};
    caption.look.colour.Set(0x00FFFFFF);
    const float x = static_cast<float>(40 + (i % 4) * 460), y = static_cast<float>(40 + (i / 4) * 200);
    const Vector3 corners[4] = {{x, y, 0}, {x, y + 96, 0}, {x + 384, y, 0}, {x + 384, y + 96, 0}};
    for (int c = 0; c < 4; ++c) caption.area.corners[c].value = corners[c];
    caption.shadow_on.Set(shadow ? 1 : 0);
    caption.shadow_distance.Set(4);
    caption.shadow_direction.Set(315);
    caption.shadow_colour.Set(0x00000000);
    captions.push_back(caption.CreateRenderObject());
    captions.back()->FrameMove(0.01f);
  }
  return captions;
}

void BM_TwentyShadowedCaptions(benchmark::State& state) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), kWidth, kHeight, error) : nullptr;
  if (!device) {
    state.SkipWithError(("no device: " + error).c_str());
    return;
  }
  test::TestBackdrop backdrop(*device, kWidth, kHeight);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  picture = CaptionPicture(*device);
  DocumentResourceAccess().frames = [](const ResourceKey&) {
    return PictureFrames{{picture}, {}, kPictureWidth, kPictureHeight, 0.25f, 1, 1};
  };
  const auto shadowed = Captions(true);
  const auto plain = Captions(false);
  const auto slide = [&](const std::vector<std::unique_ptr<VRN_RenderObj>>* captions) {
    return [&backdrop, captions] {
      backdrop.DrawPicture(false);
      if (captions == nullptr) return;
      for (const auto& caption : *captions) caption->Render(backdrop);
    };
  };
  double bare = 0, with_shadows = 0, without_shadows = 0;
  for (auto _ : state) {
    bare += ClearedFrameMilliseconds(*device, kFrames, slide(nullptr));
    with_shadows += ClearedFrameMilliseconds(*device, kFrames, slide(&shadowed));
    without_shadows += ClearedFrameMilliseconds(*device, kFrames, slide(&plain));
  }
  const auto n = static_cast<double>(state.iterations());
  bare /= n, with_shadows /= n, without_shadows /= n;
  state.counters["slide_ms"] = bare;
  state.counters["with_20_shadowed_ms"] = with_shadows;
  state.counters["with_20_plain_ms"] = without_shadows;
  state.counters["slide_ratio"] = with_shadows / bare;
  state.counters["shadowed_caption_ms"] = (with_shadows - bare) / kCaptions;
  state.counters["shadowed_in_quad_draws"] = (with_shadows - bare) / (without_shadows - bare);
  picture.reset();
}

BENCHMARK(BM_TwentyShadowedCaptions)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace lumi
