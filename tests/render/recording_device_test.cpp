#include "render/recording_device.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumi {
namespace {

bool Logged(const RecordingDevice& device, const std::string& line) {
  return std::find(device.Calls().begin(), device.Calls().end(), line) != device.Calls().end();
}

std::shared_ptr<VertexBuffer> Quad(GraphicsDevice& device) {
  auto buffer = device.CreateVertexBuffer(4 * sizeof(VertexPT), kBufferWriteOnly, Pool::Managed);
  EXPECT_TRUE(buffer);
  return buffer;
}

TEST(RenderRecordingDevice, StartsWithTheClassicDefaults) {
  RecordingDevice device(64, 64);
  EXPECT_EQ(device.GetRenderState(RenderState::CullMode), static_cast<uint32_t>(Cull::CCW));
  EXPECT_EQ(device.GetRenderState(RenderState::ZEnable), 1u);
  EXPECT_EQ(device.GetRenderState(RenderState::AlphaBlendEnable), 0u);
  EXPECT_EQ(device.GetRenderState(RenderState::SrcBlend), static_cast<uint32_t>(Blend::One));
  EXPECT_EQ(device.GetRenderState(RenderState::DestBlend), static_cast<uint32_t>(Blend::Zero));
  EXPECT_EQ(device.GetTextureStageState(0, StageState::ColorOp), static_cast<uint32_t>(TextureOp::Modulate));
  EXPECT_EQ(device.GetTextureStageState(1, StageState::ColorOp), static_cast<uint32_t>(TextureOp::Disable));
  EXPECT_EQ(device.GetSamplerState(3, SamplerState::AddressU), static_cast<uint32_t>(TextureAddress::Wrap));
  EXPECT_EQ(device.GetRenderTarget(), device.GetBackBuffer());
  EXPECT_EQ(device.GetRenderTarget()->Width(), 64u);
  ASSERT_TRUE(device.GetDepthStencilSurface());
}

TEST(RenderRecordingDevice, LogsCallsAndSnapshotsEachDraw) {
  RecordingDevice device(64, 64);
  auto texture = device.CreateTexture({8, 8, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
  ASSERT_TRUE(texture);
  device.ClearLog();
  ASSERT_TRUE(device.BeginScene());
  device.SetRenderState(RenderState::AlphaBlendEnable, 1);
  device.SetTexture(0, texture);
  device.SetStreamSource(Quad(device));
  EXPECT_TRUE(device.DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2));
  device.SetRenderState(RenderState::AlphaBlendEnable, 0);
  EXPECT_TRUE(device.DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2));
  EXPECT_TRUE(device.EndScene());
  EXPECT_TRUE(Logged(device, "SetRenderState AlphaBlendEnable 1"));
  EXPECT_TRUE(Logged(device, "SetTexture 0 " + device.NameOf(texture.get())));
  EXPECT_TRUE(Logged(device, "DrawPrimitive TriangleStrip 0 2"));
  ASSERT_EQ(device.Draws().size(), 2u);
  EXPECT_EQ(device.Draws()[0].state.render[static_cast<size_t>(RenderState::AlphaBlendEnable)], 1u);
  EXPECT_EQ(device.Draws()[1].state.render[static_cast<size_t>(RenderState::AlphaBlendEnable)], 0u);
  EXPECT_EQ(device.Draws()[0].state.textures[0], texture);
}

TEST(RenderRecordingDevice, AnswersReadbacksAtTheTargetsSizeOncePerStart) {
  RecordingDevice device(32, 16);
  ASSERT_TRUE(device.StartReadback(*device.GetBackBuffer(), 1));
  EXPECT_TRUE(Logged(device, "StartReadback backbuffer 1"));
  const auto image = device.FinishReadback(1);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 32u);
  EXPECT_EQ(image->pixels.size(), 32u * 16u * 4u);
  EXPECT_FALSE(device.FinishReadback(1));
  EXPECT_FALSE(device.FinishReadback(0));
  EXPECT_FALSE(device.StartReadback(*device.GetBackBuffer(), 2));
}

TEST(RenderRecordingDevice, RefusesDrawsThatReadOutsideTheirBuffers) {
  RecordingDevice device(64, 64);
  device.SetStreamSource(Quad(device));
  EXPECT_FALSE(device.DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2));  // outside a scene
  ASSERT_TRUE(device.BeginScene());
  EXPECT_FALSE(device.DrawPrimitive(PrimitiveType::TriangleStrip, 1, 2));
  EXPECT_NE(device.LastError().find("vertex buffer"), std::string::npos);
  EXPECT_FALSE(device.DrawPrimitive(PrimitiveType::TriangleList, 0, 2));
  auto indices = device.CreateIndexBuffer(6, kBufferWriteOnly, Pool::Managed);
  auto* data = static_cast<uint16_t*>(indices->Lock(0, 0));
  const uint16_t values[6] = {0, 1, 2, 2, 1, 4};
  std::copy(values, values + 6, data);
  indices->Unlock();
  device.SetIndices(indices);
  EXPECT_FALSE(device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 4, 0, 2));  // index 4 of 4 vertices
  EXPECT_TRUE(device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 4, 0, 1));
  EXPECT_FALSE(device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 4, 3, 2));  // past the indices
  EXPECT_FALSE(device.DrawIndexedPrimitive(PrimitiveType::TriangleList, -1, 0, 4, 0, 1));
  EXPECT_TRUE(device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 1, 0, 4, 0, 1));
}

TEST(RenderRecordingDevice, ChecksTextureRequests) {
  RecordingDevice device(64, 64);
  EXPECT_FALSE(device.CreateTexture({0, 8, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed}));
  EXPECT_FALSE(device.CreateTexture({8, 8, 1, TextureFormat::A8R8G8B8, kUsageRenderTarget, Pool::Managed}));
  EXPECT_FALSE(device.CreateTexture({8, 8, 1, TextureFormat::DXT1, kUsageRenderTarget, Pool::Default}));
  EXPECT_FALSE(device.CreateTexture({20000, 8, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed}));
  auto chain = device.CreateTexture({16, 4, 0, TextureFormat::DXT5, kUsageNone, Pool::Managed});
  ASSERT_TRUE(chain);
  EXPECT_EQ(chain->Levels(), 5u);
  EXPECT_EQ(chain->LevelData(0).size(), 4u * 16);  // four blocks of 16 bytes
  EXPECT_EQ(chain->LevelData(4).size(), 16u);      // a 1 x 1 level still takes a block
  const LockedRect rect = chain->LockRect(1);
  ASSERT_TRUE(rect.bits);
  EXPECT_EQ(rect.pitch, 2u * 16);
  EXPECT_FALSE(chain->LockRect(2).bits);  // one lock at a time
  EXPECT_FALSE(chain->UnlockRect(2));
  EXPECT_TRUE(chain->UnlockRect(1));
  // Whole levels: pixels of the level's size are taken, others copied as far as they fit.
  std::vector<uint8_t> level_pixels(16, 9);
  ASSERT_TRUE(chain->WriteLevel(4, std::move(level_pixels)));
  EXPECT_EQ(chain->LevelData(4), std::vector<uint8_t>(16, 9));
  ASSERT_TRUE(chain->WriteLevel(3, std::vector<uint8_t>(8, 5)));
  EXPECT_EQ(chain->LevelData(3), std::vector<uint8_t>({5, 5, 5, 5, 5, 5, 5, 5, 0, 0, 0, 0, 0, 0, 0, 0}));
  ASSERT_TRUE(chain->LockRect(0).bits);
  EXPECT_FALSE(chain->WriteLevel(4, std::vector<uint8_t>(16, 1)));  // not while another level is locked
  EXPECT_EQ(chain->LevelData(4), std::vector<uint8_t>(16, 9));
  EXPECT_TRUE(chain->UnlockRect(0));
  auto target = device.CreateTexture({8, 8, 1, TextureFormat::A8R8G8B8, kUsageRenderTarget, Pool::Default});
  ASSERT_TRUE(target);
  EXPECT_FALSE(target->LockRect(0).bits);
}

TEST(RenderRecordingDevice, LosesDefaultPoolResourcesAndResetsOnlyOnceTheyAreReleased) {
  RecordingDevice device(64, 64);
  auto target = device.CreateTexture({8, 8, 1, TextureFormat::A8R8G8B8, kUsageRenderTarget, Pool::Default});
  auto dynamic = device.CreateTexture({8, 8, 1, TextureFormat::A8R8G8B8, kUsageDynamic, Pool::Default});
  auto managed = device.CreateTexture({8, 8, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
  managed->WriteLevel(0, std::vector<uint8_t>(256, 7).data(), 256);
  device.SetRenderTarget(target);
  device.SetRenderState(RenderState::CullMode, static_cast<uint32_t>(Cull::None));

  device.LoseDevice();
  EXPECT_EQ(device.TestCooperativeLevel(), DeviceState::NotReset);
  EXPECT_TRUE(target->IsLost());
  EXPECT_TRUE(dynamic->IsLost());
  EXPECT_FALSE(dynamic->LockRect(0).bits);
  EXPECT_FALSE(managed->IsLost());
  EXPECT_FALSE(device.BeginScene());
  EXPECT_FALSE(device.CreateTexture({8, 8, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed}));

  EXPECT_FALSE(device.Reset());
  EXPECT_NE(device.LastError().find("2 default-pool resources"), std::string::npos) << device.LastError();
  target.reset();
  dynamic.reset();
  ASSERT_TRUE(device.Reset()) << device.LastError();
  EXPECT_EQ(device.TestCooperativeLevel(), DeviceState::Ok);
  EXPECT_EQ(device.GetRenderState(RenderState::CullMode), static_cast<uint32_t>(Cull::CCW));
  EXPECT_EQ(device.GetRenderTarget(), device.GetBackBuffer());
  EXPECT_FALSE(device.GetBackBuffer()->IsLost());
  EXPECT_EQ(managed->LevelData(0)[100], 7);
  EXPECT_TRUE(device.BeginScene());
}

// A window that changed size is reset with a back buffer of its new size.
TEST(RenderRecordingDevice, ResetTakesANewBackBufferSize) {
  RecordingDevice device(64, 48);
  device.LoseDevice();
  ASSERT_TRUE(device.Reset(100, 30)) << device.LastError();
  EXPECT_EQ(device.BackBufferWidth(), 100u);
  EXPECT_EQ(device.BackBufferHeight(), 30u);
  EXPECT_EQ(device.GetBackBuffer()->Width(), 100u);
  EXPECT_NE(device.GetDepthStencilSurface(), nullptr);
  device.LoseDevice();
  ASSERT_TRUE(device.Reset());
  EXPECT_EQ(device.BackBufferWidth(), 100u) << "a plain reset keeps the size";
}

}  // namespace
}  // namespace lumi
