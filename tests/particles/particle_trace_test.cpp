// Traces and path particles: drops evenly spaced along the path over one
// cycle, particles that track the path from its start, and nothing from a
// path of one point.
#include <gtest/gtest.h>

#include "particles/path_systems.h"

namespace lumi {
namespace {

VRN_ParticleTrace Trace(int points) {
  VRN_ParticleTrace trace;
  for (int i = 0; i < points; ++i) {
    trace.path.points.push_back(std::make_shared<DX_BSplinePnt>(Vector3{100.0f * static_cast<float>(i), 0, 0}));
  }
  trace.drop_count.Set(5);
  trace.lifetime.Set(10000);
  trace.Attach();
  trace.ResetPopulation();
  trace.timeline_cycle = 2;
  return trace;
}

TEST(ParticleTrace, DropsEvenlySpacedOverOneCycle) {
  VRN_ParticleTrace trace = Trace(2);
  for (int frame = 0; frame < 20; ++frame) trace.Step(0.1f);
  ASSERT_EQ(trace.particles.size(), 5u);
  for (size_t i = 0; i < 5; ++i) EXPECT_NEAR(trace.particles[i]->position.x, 25.0f * static_cast<float>(i), 0.05) << i;
  // The timeline goes off: the tracer waits at the start.
  trace.timeline_state = VRN_Timing::kOff;
  trace.Step(0.1f);
  EXPECT_EQ(trace.tracer, 0);
  // One control point is no path.
  VRN_ParticleTrace point = Trace(1);
  for (int frame = 0; frame < 20; ++frame) point.Step(0.1f);
  EXPECT_TRUE(point.particles.empty());
}

TEST(ParticlePath, ParticlesTrackThePathFromItsStart) {
  VRN_ParticlePath stream;
  stream.timing.value = VRN_SmartTiming::kManual;
  stream.first_raws = {50, 100, 0, 0};      // 10 a second at 100 pixels a second, no wave
  stream.last_raws = {100, 100, 20, 80, 50};  // all at the one speed
  stream.path.points = {std::make_shared<DX_BSplinePnt>(Vector3{0, 0, 0}),
                        std::make_shared<DX_BSplinePnt>(Vector3{100, 0, 0})};
  stream.Attach();
  stream.ResetPopulation();
  for (int frame = 0; frame < 5; ++frame) stream.Step(0.1f);
  ASSERT_EQ(stream.particles.size(), 5u);
  // One a frame; the first born has run four frames since, its age the
  // distance run.
  EXPECT_GT(stream.particles[0]->position.x, stream.particles[1]->position.x);
  EXPECT_NEAR(stream.particles[0]->age(), 40, 1e-3);
  EXPECT_NEAR(stream.particles[0]->position.y, 0, 1e-4);
  // At the path's end they die.
  stream.first_raws[0] = 0;
  for (int frame = 0; frame < 12; ++frame) stream.Step(0.1f);
  EXPECT_TRUE(stream.particles.empty());

  stream.path.points.resize(1);
  stream.Attach();
  stream.first_raws[0] = 50;
  for (int frame = 0; frame < 5; ++frame) stream.Step(0.1f);
  EXPECT_TRUE(stream.particles.empty());
}

TEST(SingleObjectPath, WalksRoundThePathAndStartsAgainOnReset) {
  VRN_SigleObjectPath walker;
  walker.path.points = {std::make_shared<DX_BSplinePnt>(Vector3{0, 0, 0}),
                        std::make_shared<DX_BSplinePnt>(Vector3{100, 0, 0})};
  walker.walk_speed.Set(50);  // half of kWalkSpeed: 50 pixels a second
  walker.Attach();
  walker.ResetPopulation();
  for (int frame = 1; frame <= 5; ++frame) walker.Advance(0.2f * static_cast<float>(frame));
  EXPECT_NEAR(walker.place.position.x, 50, 1e-2);
  for (int frame = 6; frame <= 15; ++frame) walker.Advance(0.2f * static_cast<float>(frame));
  EXPECT_NEAR(walker.place.position.x, 50, 1e-2);  // round once and half again
  walker.ResetPopulation();
  EXPECT_EQ(walker.place.position.x, 0);
  EXPECT_EQ(walker.walk.total, 0);
}

}  // namespace
}  // namespace lumi
