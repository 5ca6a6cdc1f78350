// Fixed-function states against pixels computed by hand.
#include <gtest/gtest.h>

#include "tests/render/gl_test_support.h"

namespace lumi {
namespace {

using test::ColorNear;
using test::DrawScreenRect;
using test::MakeImage;
using test::PixelAt;

constexpr uint32_t kTarget = 0xff804020;
constexpr uint32_t kSource = 0x80ff8040;

class RenderGlStates : public ::testing::Test {
 protected:
  void SetUp() override {
    device_ = test::MakeGlDevice(32, 32);
    if (!device_) GTEST_SKIP() << "no headless OpenGL on this machine";
    ASSERT_TRUE(device_->BeginScene());
    device_->SetRenderState(RenderState::ZEnable, 0);
  }
  void TearDown() override {
    if (device_) device_->EndScene();
  }
  // Clears to the target colour, draws a full rectangle of the source
  // colour and returns the centre pixel.
  uint32_t DrawOver(uint32_t target, uint32_t source) {
    device_->Clear(kClearTarget | kClearZBuffer, target, 1, 0);
    DrawScreenRect(*device_, 0, 0, 32, 32, source);
    return PixelAt(test::ReadBack(*device_), 16, 16);
  }
  void Blend(Blend src, lumi::Blend dest, BlendOp op = BlendOp::Add) {
    device_->SetRenderState(RenderState::AlphaBlendEnable, 1);
    device_->SetRenderState(RenderState::SrcBlend, static_cast<uint32_t>(src));
    device_->SetRenderState(RenderState::DestBlend, static_cast<uint32_t>(dest));
    device_->SetRenderState(RenderState::BlendOp, static_cast<uint32_t>(op));
  }
  void Stage(uint32_t stage, StageState state, uint32_t value) { device_->SetTextureStageState(stage, state, value); }
  template <typename E>
  void Stage(uint32_t stage, StageState state, E value) {
    Stage(stage, state, static_cast<uint32_t>(value));
  }
  std::shared_ptr<Texture> Solid(uint32_t argb, uint32_t width = 2, uint32_t height = 2) {
    return test::MakeTexture(*device_, MakeImage(width, height, [argb](uint32_t, uint32_t) { return argb; }));
  }
  std::unique_ptr<GraphicsDevice> device_;
};

TEST_F(RenderGlStates, BlendFactorsAndOperations) {
  EXPECT_TRUE(ColorNear(DrawOver(kTarget, kSource), kSource));  // blending off
  Blend(Blend::SrcAlpha, Blend::InvSrcAlpha);
  EXPECT_TRUE(ColorNear(DrawOver(kTarget, kSource), 0xbfc06030));
  Blend(Blend::One, Blend::One);
  EXPECT_TRUE(ColorNear(DrawOver(kTarget, kSource), 0xffffc060));
  Blend(Blend::Zero, Blend::SrcColor);
  EXPECT_TRUE(ColorNear(DrawOver(kTarget, kSource), 0x80802008));
  Blend(Blend::DestColor, Blend::Zero);
  EXPECT_TRUE(ColorNear(DrawOver(kTarget, kSource), 0x80802008));
  Blend(Blend::One, Blend::One, BlendOp::Max);
  EXPECT_TRUE(ColorNear(DrawOver(kTarget, kSource), 0xffff8040));
  Blend(Blend::One, Blend::One, BlendOp::RevSubtract);
  EXPECT_TRUE(ColorNear(DrawOver(kTarget, kSource), 0x7f000000));
  Blend(Blend::InvDestAlpha, Blend::DestAlpha);
  EXPECT_TRUE(ColorNear(DrawOver(kTarget, kSource), kTarget));
}

TEST_F(RenderGlStates, TextureStageOperations) {
  constexpr uint32_t kDiffuse = 0xc0808080;
  // Untextured drawing shows the vertex colour.
  EXPECT_TRUE(ColorNear(DrawOver(0, kDiffuse), kDiffuse));
  device_->SetTexture(0, Solid(0xff4080c0));
  EXPECT_TRUE(ColorNear(DrawOver(0, kDiffuse), 0xff204060));  // texture x diffuse, texture alpha
  Stage(0, StageState::ColorOp, TextureOp::SelectArg2);
  Stage(0, StageState::AlphaOp, TextureOp::SelectArg2);
  EXPECT_TRUE(ColorNear(DrawOver(0, kDiffuse), kDiffuse));
  Stage(0, StageState::ColorOp, TextureOp::Add);
  Stage(0, StageState::AlphaOp, TextureOp::Modulate);
  EXPECT_TRUE(ColorNear(DrawOver(0, kDiffuse), 0xc0c0ffff));
  device_->SetRenderState(RenderState::TextureFactor, 0x40102030);
  Stage(0, StageState::ColorOp, TextureOp::SelectArg1);
  Stage(0, StageState::ColorArg1, TextureArg::TFactor);
  Stage(0, StageState::AlphaOp, TextureOp::SelectArg1);
  Stage(0, StageState::AlphaArg1, TextureArg::TFactor);
  EXPECT_TRUE(ColorNear(DrawOver(0, kDiffuse), 0x40102030));
  Stage(0, StageState::ColorOp, TextureOp::Disable);
  EXPECT_TRUE(ColorNear(DrawOver(0, kDiffuse), kDiffuse));
  // Two stages: the texture, then modulated by a second texture.
  Stage(0, StageState::ColorOp, TextureOp::SelectArg1);
  Stage(0, StageState::ColorArg1, TextureArg::Texture);
  Stage(0, StageState::AlphaOp, TextureOp::SelectArg1);
  Stage(0, StageState::AlphaArg1, TextureArg::Texture);
  device_->SetTexture(1, Solid(0x80808080));
  Stage(1, StageState::ColorOp, TextureOp::Modulate);
  Stage(1, StageState::AlphaOp, TextureOp::Modulate);
  EXPECT_TRUE(ColorNear(DrawOver(0, kDiffuse), 0x80204060));
}

TEST_F(RenderGlStates, BumpEnvironmentMappingShiftsTheNextStage) {
  // Four stripes: red, green, blue, white.
  const uint32_t stripes[4] = {0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffffff};
  device_->SetTexture(1,
                      test::MakeTexture(*device_, MakeImage(4, 1, [&](uint32_t x, uint32_t) { return stripes[x]; })));
  // (du, dv) = (0, 1) everywhere: only the matrix's second row moves u.
  auto bump = device_->CreateTexture({2, 2, 1, TextureFormat::V8U8, kUsageNone, Pool::Managed});
  ASSERT_TRUE(bump);
  const int8_t dudv[8] = {0, 127, 0, 127, 0, 127, 0, 127};
  ASSERT_TRUE(bump->WriteLevel(0, dudv, sizeof dudv));
  device_->SetTexture(0, bump);
  Stage(0, StageState::ColorOp, TextureOp::BumpEnvMap);
  device_->SetTextureStageState(0, StageState::BumpEnvMat00, FloatBits(0));
  device_->SetTextureStageState(0, StageState::BumpEnvMat01, FloatBits(0.5f));
  device_->SetTextureStageState(0, StageState::BumpEnvMat10, FloatBits(0.25f));
  device_->SetTextureStageState(0, StageState::BumpEnvMat11, FloatBits(0));
  Stage(1, StageState::ColorOp, TextureOp::SelectArg1);
  Stage(1, StageState::ColorArg1, TextureArg::Texture);
  device_->Clear(kClearTarget, 0, 1, 0);
  DrawScreenRect(*device_, 0, 0, 32, 32, 0xffffffff);
  const RgbaImage image = test::ReadBack(*device_);
  EXPECT_TRUE(ColorNear(PixelAt(image, 4, 16) | 0xff000000, stripes[1]));
  EXPECT_TRUE(ColorNear(PixelAt(image, 12, 16) | 0xff000000, stripes[2]));
  EXPECT_TRUE(ColorNear(PixelAt(image, 28, 16) | 0xff000000, stripes[0]));
}

TEST_F(RenderGlStates, CullingFollowsTheWindingSeenOnTheTarget) {
  const VertexScreenPC clockwise[3] = {{0, 0, 0, 1, 0xffff0000}, {32, 0, 0, 1, 0xffff0000}, {0, 32, 0, 1, 0xffff0000}};
  const VertexScreenPC counter[3] = {{32, 32, 0, 1, 0xff00ff00}, {32, 0, 0, 1, 0xff00ff00}, {0, 32, 0, 1, 0xff00ff00}};
  auto buffer = device_->CreateVertexBuffer(sizeof clockwise * 2, kBufferWriteOnly, Pool::Managed);
  auto* data = static_cast<uint8_t*>(buffer->Lock(0, 0));
  std::memcpy(data, clockwise, sizeof clockwise);
  std::memcpy(data + sizeof clockwise, counter, sizeof counter);
  buffer->Unlock();
  device_->SetVertexFormat(VertexFormat::ScreenPC);
  device_->SetStreamSource(buffer);
  const auto drawBoth = [&](Cull cull) {
    device_->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(cull));
    device_->Clear(kClearTarget, 0xff000000, 1, 0);
    EXPECT_TRUE(device_->DrawPrimitive(PrimitiveType::TriangleList, 0, 2));
    const RgbaImage image = test::ReadBack(*device_);
    return std::make_pair(PixelAt(image, 4, 4), PixelAt(image, 28, 28));
  };
  EXPECT_EQ(drawBoth(Cull::CCW), std::make_pair(0xffff0000u, 0xff000000u));
  EXPECT_EQ(drawBoth(Cull::CW), std::make_pair(0xff000000u, 0xff00ff00u));
  EXPECT_EQ(drawBoth(Cull::None), std::make_pair(0xffff0000u, 0xff00ff00u));
}

TEST_F(RenderGlStates, DepthTestWritesAndAlphaTest) {
  device_->SetRenderState(RenderState::ZEnable, 1);
  const auto rect = [&](float z, uint32_t color) {
    const VertexScreenPC quad[4] = {
        {0, 32, z, 1, color}, {0, 0, z, 1, color}, {32, 32, z, 1, color}, {32, 0, z, 1, color}};
    auto buffer = device_->CreateVertexBuffer(sizeof quad, kBufferWriteOnly, Pool::Managed);
    std::memcpy(buffer->Lock(0, 0), quad, sizeof quad);
    buffer->Unlock();
    device_->SetVertexFormat(VertexFormat::ScreenPC);
    device_->SetStreamSource(buffer);
    device_->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
  };
  device_->Clear(kClearTarget | kClearZBuffer, 0, 1, 0);
  rect(0.2f, 0xffff0000);
  rect(0.8f, 0xff00ff00);
  EXPECT_EQ(PixelAt(test::ReadBack(*device_), 16, 16), 0xffff0000u);
  device_->SetRenderState(RenderState::ZWriteEnable, 0);
  device_->Clear(kClearTarget | kClearZBuffer, 0, 1, 0);  // clears depth even with writes off
  rect(0.2f, 0xffff0000);
  rect(0.8f, 0xff00ff00);
  EXPECT_EQ(PixelAt(test::ReadBack(*device_), 16, 16), 0xff00ff00u);

  device_->SetRenderState(RenderState::ZEnable, 0);
  device_->SetRenderState(RenderState::AlphaTestEnable, 1);
  device_->SetRenderState(RenderState::AlphaFunc, static_cast<uint32_t>(CompareFunc::Greater));
  device_->SetRenderState(RenderState::AlphaRef, 128);
  EXPECT_EQ(DrawOver(0xff000000, 0x80ffffff), 0xff000000u);
  EXPECT_EQ(DrawOver(0xff000000, 0x81ffffff), 0x81ffffffu);
}

TEST_F(RenderGlStates, SamplerAddressingAndFiltering) {
  const uint32_t red = 0xffff0000, green = 0xff00ff00;
  device_->SetTexture(
      0, test::MakeTexture(*device_, MakeImage(2, 1, [&](uint32_t x, uint32_t) { return x ? green : red; })));
  Stage(0, StageState::ColorOp, TextureOp::SelectArg1);
  const VertexScreenPCT quad[4] = {{0, 32, 0, 1, 0xffffffff, 0, 1},
                                   {0, 0, 0, 1, 0xffffffff, 0, 0},
                                   {32, 32, 0, 1, 0xffffffff, 2, 1},
                                   {32, 0, 0, 1, 0xffffffff, 2, 0}};
  auto buffer = device_->CreateVertexBuffer(sizeof quad, kBufferWriteOnly, Pool::Managed);
  std::memcpy(buffer->Lock(0, 0), quad, sizeof quad);
  buffer->Unlock();
  device_->SetVertexFormat(VertexFormat::ScreenPCT);
  device_->SetStreamSource(buffer);
  const auto row = [&](TextureAddress address) {
    device_->SetSamplerState(0, SamplerState::AddressU, static_cast<uint32_t>(address));
    device_->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
    const RgbaImage image = test::ReadBack(*device_);
    return std::vector<uint32_t>{PixelAt(image, 4, 4), PixelAt(image, 12, 4), PixelAt(image, 20, 4),
                                 PixelAt(image, 28, 4)};
  };
  EXPECT_EQ(row(TextureAddress::Wrap), (std::vector<uint32_t>{red, green, red, green}));
  EXPECT_EQ(row(TextureAddress::Mirror), (std::vector<uint32_t>{red, green, green, red}));
  EXPECT_EQ(row(TextureAddress::Clamp), (std::vector<uint32_t>{red, green, green, green}));

  device_->SetTexture(
      0,
      test::MakeTexture(*device_, MakeImage(2, 1, [](uint32_t x, uint32_t) { return x ? 0xffffffffu : 0xff000000u; })));
  device_->SetSamplerState(0, SamplerState::AddressU, static_cast<uint32_t>(TextureAddress::Clamp));
  device_->SetSamplerState(0, SamplerState::MagFilter, static_cast<uint32_t>(TextureFilter::Linear));
  DrawScreenRect(*device_, 0, 0, 32, 32, 0xffffffff);
  const RgbaImage image = test::ReadBack(*device_);
  EXPECT_TRUE(ColorNear(PixelAt(image, 15, 4), 0xff787878, 10));
  EXPECT_EQ(PixelAt(image, 0, 4), 0xff000000u);
  EXPECT_EQ(PixelAt(image, 31, 4), 0xffffffffu);
}

TEST_F(RenderGlStates, FormatsWithoutAlphaReadOpaque) {
  auto texture = device_->CreateTexture({2, 2, 1, TextureFormat::X8R8G8B8, kUsageNone, Pool::Managed});
  ASSERT_TRUE(texture);
  const uint8_t bgrx[16] = {0x30, 0x20, 0x10, 0, 0x30, 0x20, 0x10, 0, 0x30, 0x20, 0x10, 0, 0x30, 0x20, 0x10, 0};
  texture->WriteLevel(0, bgrx, sizeof bgrx);
  device_->SetTexture(0, texture);
  EXPECT_EQ(DrawOver(0, 0xffffffff), 0xff102030u);
}

}  // namespace
}  // namespace lumi

namespace lumi {
namespace {

TEST_F(RenderGlStates, LightingShadesNormalsWithTheMaterial) {
  // A quad facing the viewer (normal -z) lit by a light shining along +z
  // at 60 degrees: facing = cos 60 = 0.5.
  const float n[3] = {0, 0, -1};
  const VertexPNT quad[4] = {{0, 32, 0.5f, n[0], n[1], n[2], 0, 1},
                             {0, 0, 0.5f, n[0], n[1], n[2], 0, 0},
                             {32, 32, 0.5f, n[0], n[1], n[2], 1, 1},
                             {32, 0, 0.5f, n[0], n[1], n[2], 1, 0}};
  auto buffer = device_->CreateVertexBuffer(sizeof quad, kBufferWriteOnly, Pool::Managed);
  std::memcpy(buffer->Lock(0, 0), quad, sizeof quad);
  buffer->Unlock();
  device_->SetTransform(TransformKind::Projection, MatrixOrthoOffCenterLH(0, 32, 32, 0, 0, 1));
  device_->SetVertexFormat(VertexFormat::PNT);
  device_->SetStreamSource(buffer);
  device_->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(Cull::None));
  device_->SetRenderState(RenderState::Lighting, 1);
  device_->SetRenderState(RenderState::Ambient, 0xff404040);
  Material material;
  material.diffuse = {1, 0.5f, 0, 0.5f};
  material.ambient = {1, 1, 1, 1};
  device_->SetMaterial(material);
  Light light;
  light.direction[0] = 0.8660254f;
  light.direction[2] = 0.5f;
  device_->SetLight(0, light);
  device_->LightEnable(0, true);
  device_->Clear(kClearTarget, 0xff000000, 1, 0);
  ASSERT_TRUE(device_->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2));
  // ambient 0.25 + 0.5 x diffuse, alpha from the material.
  EXPECT_TRUE(ColorNear(PixelAt(test::ReadBack(*device_), 16, 16), 0x80bf7f40, 2));
  device_->LightEnable(0, false);
  device_->Clear(kClearTarget, 0xff000000, 1, 0);
  ASSERT_TRUE(device_->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2));
  EXPECT_TRUE(ColorNear(PixelAt(test::ReadBack(*device_), 16, 16), 0x80404040, 2));
}

TEST_F(RenderGlStates, MipmapsAverageWhenMinifying) {
  auto checker = test::MakeTexture(
      *device_, MakeImage(16, 16, [](uint32_t x, uint32_t y) { return (x + y) % 2 ? 0xffffffffu : 0xff000000u; }));
  auto mipmapped = device_->CreateTexture({16, 16, 0, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
  ASSERT_TRUE(mipmapped);
  mipmapped->WriteLevel(0, checker->LevelData(0).data(), checker->LevelData(0).size());
  ASSERT_TRUE(device_->GenerateMipmaps(*mipmapped));
  device_->SetTexture(0, mipmapped);
  device_->SetSamplerState(0, SamplerState::MinFilter, static_cast<uint32_t>(TextureFilter::Linear));
  device_->SetSamplerState(0, SamplerState::MipFilter, static_cast<uint32_t>(TextureFilter::Linear));
  device_->Clear(kClearTarget, 0xffff0000, 1, 0);
  DrawScreenRect(*device_, 0, 0, 2, 2, 0xffffffff);
  EXPECT_TRUE(ColorNear(PixelAt(test::ReadBack(*device_), 1, 1), 0xff808080, 3));
}

}  // namespace
}  // namespace lumi
