#include <gtest/gtest.h>

#include "effects/catalogue_effects.h"
#include "render/current_context.h"
#include "render/recording_device.h"
#include "scene/simulation.h"

namespace lumi {
namespace {

TEST(EffectSimulation, ReportsEachEffectsPhaseAndChainPassAndTheSlidesPasses) {
  RecordingDevice screen(64, 40);
  ScopedRenderContext context(&screen, nullptr);
  DS_SlideShow_Light show;
  auto slide = std::make_shared<DS_SlideContainer>();
  slide->showing.value = 100;
  slide->fade_in.value = 0;
  auto screen_light = std::make_unique<DS_LightFX_II>();
  screen_light->blend_mode.Set(1);
  auto waves = std::make_unique<DS_WavesFX>();
  auto unknown_mode = std::make_unique<DS_LightFX_II>();
  unknown_mode->blend_mode.Set(7);
  slide->objects.push_back(std::move(screen_light));
  slide->objects.push_back(std::move(waves));
  slide->objects.push_back(std::move(unknown_mode));
  show.slides.push_back(slide);
  const auto report = SimulateShow(show, {1.0}, 0.1);
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0]["passes"], 1);
  const auto& objects = report[0]["objects"];
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(objects[0]["chain_pass"], true);
  EXPECT_EQ(objects[1]["chain_pass"], false);
  EXPECT_EQ(objects[2]["chain_pass"], false) << "a blend mode outside 0 to 4 is mode 0";
  // The clock runs at the class's speed: 1 for light II, 25 for waves.
  const double light_time = objects[0]["local_time"].get<double>();
  EXPECT_NEAR(objects[0]["phase"].get<double>(), light_time, 1e-3);
  EXPECT_NEAR(objects[1]["phase"].get<double>(), 25 * light_time, 1e-2);
}

}  // namespace
}  // namespace lumi
