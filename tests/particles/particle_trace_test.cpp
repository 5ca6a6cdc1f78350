// Traces: drops evenly spaced along the path over one cycle, and nothing
// from a path of one point.
#include <gtest/gtest.h>

#include "particles/path_systems.h"

namespace lumi {
namespace {

VRN_ParticleTrace Trace(int points) {
  VRN_ParticleTrace trace;
  for (int i = 0; i < points; ++i) {
    trace.path.points.push_back(std::make_shared<DX_BSplinePnt>(D3DXVECTOR3{100.0f * static_cast<float>(i), 0, 0}));
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

}  // namespace
}  // namespace lumi
