// What the 3D objects hand the backdrop's mesh lists, on the recording
// device: the culling of each node's draws, the second draw of blended
// entries, the leaves drawn from both sides, the states left behind, and
// objects that draw nothing.
#include <gtest/gtest.h>

#include <cstring>

#include "params/random.h"
#include "render/recording_device.h"
#include "scene/resource_access.h"
#include "sprites/leaf_drift.h"
#include "sprites/object_animations.h"
#include "sprites/object_array_3d.h"
#include "tests/render/test_backdrop.h"

namespace lumi {
namespace {

// One triangle in the device, served for every mesh link and blob.
struct TestMesh {
  explicit TestMesh(GraphicsDevice& device) {
    const VertexPNT vertices[3] = {{0, 0, 0, 0, 0, 1, 0, 0}, {10, 0, 0, 0, 0, 1, 1, 0}, {0, 10, 0, 0, 0, 1, 0, 1}};
    const uint16_t indices[3] = {0, 1, 2};
    record.vertices = device.CreateVertexBuffer(sizeof vertices, kBufferWriteOnly, Pool::Managed);
    record.indices = device.CreateIndexBuffer(3, kBufferWriteOnly, Pool::Managed);
    std::memcpy(record.vertices->Lock(0, 0), vertices, sizeof vertices);
    record.vertices->Unlock();
    std::memcpy(record.indices->Lock(0, 0), indices, sizeof indices);
    record.indices->Unlock();
    record.vertexCount = 3;
    record.triangleCount = 1;
    record.sphereRadius = 5;
    served = &record;
    ResourceAccess& access = DocumentResourceAccess();
    saved_mesh = access.mesh;
    saved_blob = access.blob_mesh;
    access.mesh = [](const ResourceKey&) { return served; };
    access.blob_mesh = [](const DS_ResBlob&) { return served; };
  }
  ~TestMesh() {
    DocumentResourceAccess().mesh = saved_mesh;
    DocumentResourceAccess().blob_mesh = saved_blob;
    served = nullptr;
  }
  MeshRecord record;
  static inline const MeshRecord* served = nullptr;
  const MeshRecord* (*saved_mesh)(const ResourceKey&);
  const MeshRecord* (*saved_blob)(const DS_ResBlob&);
};

struct ObjectStage {
  RecordingDevice device{128, 128};
  test::TestBackdrop backdrop{device, 128, 128};

  ObjectStage() { backdrop.RestoreDevice(); }  // the fixed states a slide draws with
  void Draw(VRN_RenderObj& object) {
    device.ClearLog();
    ASSERT_TRUE(device.BeginScene());
    object.Render(backdrop);
    device.EndScene();
  }
  std::vector<uint32_t> Culls() const {
    std::vector<uint32_t> culls;
    for (const RecordedDraw& draw : device.Draws()) culls.push_back(draw.state.render[Word(RenderState::CullMode)]);
    return culls;
  }
};

TEST(MeshListDrawing, NodesAreCulledByTheirSideAndBlendedEntriesDrawnTwice) {
  ObjectStage stage;
  TestMesh mesh(stage.device);
  DS_ButterflyConstructor flock;
  flock.right = flock.bottom = 1;
  flock.count.value = 2;
  SeedRand(1);
  auto object = flock.CreateRenderObject();
  auto& butterflies = static_cast<DS_3DObjArray&>(*object);
  for (const auto& instance : butterflies.Instances()) {
    auto& b = *static_cast<AC_Butterfly*>(instance->animation.get());
    b.flap = 20;
    b.flap_speed = 0;
  }
  object->FrameMove(0);
  // Lighting on and the sprites' modulated stage, as other drawing leaves them.
  stage.device.SetRenderState(RenderState::Lighting, 1);
  stage.device.SetTextureStageState(0, StageState::ColorOp, Word(TextureOp::Modulate));
  stage.Draw(*object);

  const uint32_t ccw = Word(Cull::CCW), cw = Word(Cull::CW);
  // Two bodies, front side first and once; then the four wings (first
  // wings front, second wings back), and again the other way.
  EXPECT_EQ(stage.Culls(), (std::vector<uint32_t>{ccw, ccw, ccw, cw, ccw, cw, cw, ccw, cw, ccw}));
  const auto& draws = stage.device.Draws();
  ASSERT_EQ(draws.size(), 10u);
  EXPECT_EQ(draws[0].state.render[Word(RenderState::AlphaBlendEnable)], 0u);
  EXPECT_EQ(draws[2].state.render[Word(RenderState::AlphaBlendEnable)], 1u);
  for (const RecordedDraw& draw : draws) {
    EXPECT_EQ(draw.state.render[Word(RenderState::Lighting)], 0u);
    EXPECT_EQ(draw.state.render[Word(RenderState::ZEnable)], 0u);
    EXPECT_EQ(draw.state.stage[0][Word(StageState::ColorOp)], Word(TextureOp::SelectArg1));
    EXPECT_EQ(draw.state.vertexFormat, VertexFormat::PNT);
    EXPECT_EQ(draw.primitiveCount, 1u);
  }
  // Each node with its own world: the two bodies stand apart.
  EXPECT_NE(draws[0].state.world, draws[1].state.world);
  EXPECT_EQ(stage.device.GetRenderState(RenderState::CullMode), Word(Cull::None));
  EXPECT_EQ(stage.device.GetRenderState(RenderState::AlphaBlendEnable), 0u);
}

TEST(MeshListDrawing, LeavesDrawBothSidesInTurnAndNothingWithoutCountOrExtent) {
  ObjectStage stage;
  TestMesh mesh(stage.device);
  DS_3D_in_2D_array_Constructor leaves;
  leaves.count.value = 2;
  leaves.size.value = 20;
  auto drift = leaves.CreateRenderObject();
  drift->FrameMove(0);
  stage.Draw(*drift);
  const uint32_t ccw = Word(Cull::CCW), cw = Word(Cull::CW);
  EXPECT_EQ(stage.Culls(), (std::vector<uint32_t>{ccw, cw, ccw, cw}));
  for (const RecordedDraw& draw : stage.device.Draws()) {
    EXPECT_EQ(draw.state.render[Word(RenderState::AlphaBlendEnable)], 1u);
    EXPECT_EQ(draw.state.stage[0][Word(StageState::AlphaOp)], Word(TextureOp::SelectArg1));
  }
  // The leaf's radius 5 becomes size / 2 = 10 pixels.
  const Matrix& world = stage.device.Draws()[0].state.world;
  EXPECT_NEAR(std::hypot(world.m[0][0], world.m[0][1], world.m[0][2]), 2, 1e-3);

  leaves.count.value = 0;
  auto none = leaves.CreateRenderObject();
  none->FrameMove(0);
  stage.Draw(*none);
  EXPECT_TRUE(stage.device.Draws().empty());

  // A mesh that is a single point has no extent: nothing is drawn, nothing
  // divides by its radius.
  mesh.record.sphereRadius = 0;
  leaves.count.value = 3;
  auto point = leaves.CreateRenderObject();
  point->FrameMove(0.1f);
  stage.Draw(*point);
  EXPECT_TRUE(stage.device.Draws().empty());
  const auto& leaf = static_cast<DS_3D_in_2D_array&>(*point).Entry().root.children[0]->world;
  for (const auto& row : leaf.m) {
    for (float v : row) EXPECT_TRUE(std::isfinite(v));
  }
}

TEST(MeshListDrawing, AnEntryWithoutAMeshDrawsNothing) {
  ObjectStage stage;
  DS_ClockConstructor clock;
  auto object = clock.CreateRenderObject();
  object->FrameMove(0);
  stage.Draw(*object);
  EXPECT_TRUE(stage.device.Draws().empty());
}

}  // namespace
}  // namespace lumi
