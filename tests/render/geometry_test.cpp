#include "render/geometry.h"

#include <gtest/gtest.h>

#include "render/recording_device.h"
#include "tests/render/gl_test_support.h"

namespace lumi {
namespace {

SpriteRecord Sprite() {
  SpriteRecord sprite;
  sprite.center = {10, 10, 0};
  sprite.halfWidth = 2;
  sprite.halfHeight = 3;
  sprite.ua = 0.1f;
  sprite.ub = 0.9f;
  sprite.va = 0.2f;
  sprite.vb = 0.8f;
  return sprite;
}

TEST(RenderSpriteQuads, CornersAndTextureCoordinates) {
  VertexPCT v[4];
  BuildSpriteQuad(Sprite(), 0xff112233, false, false, v);
  const float corners[4][2] = {{8, 13}, {8, 7}, {12, 13}, {12, 7}};
  const float texture[4][2] = {{0.1f, 0.8f}, {0.1f, 0.2f}, {0.9f, 0.8f}, {0.9f, 0.2f}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(v[i].x, corners[i][0]) << i;
    EXPECT_FLOAT_EQ(v[i].y, corners[i][1]) << i;
    EXPECT_FLOAT_EQ(v[i].u, texture[i][0]) << i;
    EXPECT_FLOAT_EQ(v[i].v, texture[i][1]) << i;
    EXPECT_EQ(v[i].color, 0xff112233u);
  }
  BuildSpriteQuad(Sprite(), 0, true, true, v);
  const float flipped[4][2] = {{0.9f, 0.2f}, {0.9f, 0.8f}, {0.1f, 0.2f}, {0.1f, 0.8f}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(v[i].u, flipped[i][0]) << i;
    EXPECT_FLOAT_EQ(v[i].v, flipped[i][1]) << i;
  }
  // A sprite plane turned about z: the axes, not x and y, span it.
  SpriteRecord turned = Sprite();
  turned.u = {0, 1, 0};
  turned.v = {-1, 0, 0};
  BuildSpriteQuad(turned, 0, false, false, v);
  EXPECT_FLOAT_EQ(v[1].x, 13);
  EXPECT_FLOAT_EQ(v[1].y, 8);
}

TEST(RenderSpriteQuads, IndexOrders) {
  EXPECT_EQ(SpriteIndices(2), (std::vector<uint16_t>{0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7}));
  EXPECT_EQ(GridIndices(2, 1), (std::vector<uint16_t>{0, 1, 3, 3, 1, 4, 1, 2, 4, 4, 2, 5}));
}

TEST(RenderSpriteQuads, GridCornersInterpolate) {
  const auto v = GridVertices(2, 2, {0, 0, 0, 0, 0}, {100, 0, 0, 1, 0}, {0, 100, 0, 0, 1}, {100, 100, 0, 1, 1});
  ASSERT_EQ(v.size(), 9u);
  EXPECT_FLOAT_EQ(v[4].x, 50);
  EXPECT_FLOAT_EQ(v[4].y, 50);
  EXPECT_FLOAT_EQ(v[4].u, 0.5f);
  EXPECT_FLOAT_EQ(v[5].x, 100);
  EXPECT_FLOAT_EQ(v[5].y, 50);
  EXPECT_FLOAT_EQ(v[6].v, 1);
  // A skewed quad: the bottom edge runs from (0, 100) to (200, 120).
  const auto skew = GridVertices(2, 2, {0, 0, 0, 0, 0}, {100, 0, 0, 1, 0}, {0, 100, 0, 0, 1}, {200, 120, 0, 1, 1});
  EXPECT_FLOAT_EQ(skew[7].x, 100);
  EXPECT_FLOAT_EQ(skew[7].y, 110);
}

TEST(RenderTextureAnimation, SheetAdvancesOncePerFrameTimeAndNeverSkips) {
  SpriteSheetAnimation sheet;
  uint32_t supplied = 0;
  const auto next = [&] { return ++supplied % 4; };
  int changes = 0;
  for (int step = 1; step <= 100; ++step) changes += sheet.Step(step * 0.01f, 10, next);  // one second
  EXPECT_GE(changes, 9);
  EXPECT_LE(changes, 10);
  const uint32_t before = sheet.Frame();
  EXPECT_TRUE(sheet.Step(50, 10, next));  // a long pause moves one frame
  EXPECT_EQ(sheet.Frame(), (before + 1) % 4);
  EXPECT_FALSE(sheet.Step(50.05f, 10, next));
  EXPECT_FALSE(sheet.Step(1, 10, next));  // the clock went back
  EXPECT_EQ(sheet.SwitchTime(), 0);
  float ua = 0, ub = 0;
  sheet.URange(4, false, ua, ub);
  EXPECT_FLOAT_EQ(ub - ua, 0.25f);
  float fa = 0, fb = 0;
  sheet.URange(4, true, fa, fb);
  EXPECT_EQ(fa, ub);
}

TEST(RenderTextureAnimation, ImageSequenceHonoursEachDuration) {
  ImageSequenceAnimation sequence;
  sequence.SetDurations({0.5f, 0.1f, 1.0f});
  EXPECT_FALSE(sequence.Step(0.4f));
  EXPECT_TRUE(sequence.Step(0.5f));
  EXPECT_EQ(sequence.Frame(), 1u);
  EXPECT_FALSE(sequence.Step(0.55f));
  EXPECT_TRUE(sequence.Step(0.6f));
  EXPECT_TRUE(sequence.Step(1.6f));
  EXPECT_EQ(sequence.Frame(), 0u);  // wraps around
}

class TestSource : public SpriteSource {
 public:
  size_t ParticleCount() const override { return count; }
  uint32_t ColorOf(uint32_t index) const override { return index == 0 ? 0xff00ff00 : 0xffff0000; }
  bool FlipVertical() const override { return false; }
  bool FlipHorizontal() const override { return false; }
  uint32_t SheetFrames() const override { return frames; }
  float SheetFramesPerSecond() const override { return 10; }
  float Clock() const override { return clock; }
  size_t count = 1;
  uint32_t frames = 0;
  float clock = 0;
};

TEST(RenderSpriteArrays, BuffersAreMadeOncePerSizeAndRebuiltUnderOneLock) {
  RecordingDevice device(32, 32);
  ParticleGeomArray array;
  ASSERT_TRUE(array.CreateSprites(device, 3));
  const auto buffer = array.vertexBuffer;
  ASSERT_TRUE(array.CreateSprites(device, 3));
  EXPECT_EQ(array.vertexBuffer, buffer);
  EXPECT_EQ(array.indexCount, 18u);
  EXPECT_EQ(array.primitiveCount, 6u);
  EXPECT_EQ(array.indexBuffer->GetPool(), Pool::Managed);
  TestSource source;
  source.count = 3;
  array.records.assign(2, Sprite());
  EXPECT_FALSE(array.BuildSprites(source));  // one record per particle
  array.records.assign(3, Sprite());
  source.frames = 4;
  source.clock = 0.15f;
  EXPECT_TRUE(array.StepSheet(source));
  EXPECT_TRUE(array.BuildSprites(source));
  const auto* v = reinterpret_cast<const VertexPCT*>(array.vertexBuffer->Data().data());
  EXPECT_FLOAT_EQ(v[8].u, 0.25f);  // sheet frame 1 of 4
  EXPECT_FLOAT_EQ(v[10].u, 0.5f);
  EXPECT_FLOAT_EQ(v[8].v, 0.8f);  // v keeps the sprite's range
  EXPECT_FALSE(array.CreateSprites(device, 0));
}

TEST(RenderSpriteArrays, GridMeshCreatesAndInterpolates) {
  RecordingDevice device(32, 32);
  GridMesh grid;
  EXPECT_FALSE(grid.SetCorners({}, {}, {}, {}));
  ASSERT_TRUE(grid.Create(device, 8, 8));
  EXPECT_EQ(grid.vertexCount, 81u);
  EXPECT_EQ(grid.indexCount, 8u * 8 * 6);
  ASSERT_TRUE(grid.SetCorners({0, 0, 0, 0, 0}, {80, 0, 0, 1, 0}, {0, 80, 0, 0, 1}, {80, 80, 0, 1, 1}));
  const auto* v = reinterpret_cast<const VertexPT*>(grid.vertexBuffer->Data().data());
  EXPECT_FLOAT_EQ(v[10].x, 10);
  EXPECT_FLOAT_EQ(v[10].y, 10);
  EXPECT_FALSE(grid.Create(device, 300, 300));  // beyond 16-bit indices
}

TEST(RenderSpriteArrays, DrawsSpritesAtTheirCoordinates) {
  LUMI_REQUIRE_GL(device, 32, 32);
  ParticleGeomArray array;
  ASSERT_TRUE(array.CreateSprites(*device, 1));
  array.records.assign(1, Sprite());
  TestSource source;
  ASSERT_TRUE(array.BuildSprites(source));
  ASSERT_TRUE(device->BeginScene());
  device->Clear(kClearTarget | kClearZBuffer, 0xff000000, 1, 0);
  device->SetRenderState(RenderState::ZEnable, 0);
  device->SetTransform(TransformKind::Projection, MatrixOrthoOffCenterLH(0, 32, 32, 0, -1, 1));
  device->SetVertexFormat(VertexFormat::PCT);
  device->SetStreamSource(array.vertexBuffer);
  device->SetIndices(array.indexBuffer);
  EXPECT_TRUE(device->DrawIndexedPrimitive(array.primitiveType, 0, 0, array.vertexCount, 0, array.primitiveCount));
  device->EndScene();
  const RgbaImage expected = test::MakeImage(
      32, 32, [](uint32_t x, uint32_t y) { return x >= 8 && x < 12 && y >= 7 && y < 13 ? 0xff00ff00u : 0xff000000u; });
  EXPECT_TRUE(test::ImagesMatch("sprite-quad", test::ReadBack(*device), expected, 0));
}

}  // namespace
}  // namespace lumi
