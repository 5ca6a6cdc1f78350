#include <algorithm>
#include <cmath>

#include "archive/registry.h"
#include "backdrop/picture_copy.h"
#include "backdrop/variants.h"
#include "render/current_context.h"
#include "scene/fresh_guid.h"
#include "scene/resource_access.h"

namespace lumi {

static const RegisterClass<FakeLake2D> kRegisterLake2D(Family::Backdrop);

namespace {

void SetSampler(GraphicsDevice& device, uint32_t sampler, TextureAddress address) {
  device.SetSamplerState(sampler, SamplerState::MinFilter, Word(TextureFilter::Linear));
  device.SetSamplerState(sampler, SamplerState::MagFilter, Word(TextureFilter::Linear));
  device.SetSamplerState(sampler, SamplerState::AddressU, Word(address));
  device.SetSamplerState(sampler, SamplerState::AddressV, Word(address));
}

uint32_t AlphaByte(float value) { return static_cast<uint32_t>(std::clamp(value, 0.0f, 1.0f) * 255); }

}  // namespace

FakeLake2D::FakeLake2D() : bump_id(NewGuid()) { fx::ResetSlider(speed, 50, 0.02f); }

// Version 1 keeps the defaults of every setting but the bump texture's key.
void FakeLake2D::Describe(Archive& ar) {
  if (ar.version() >= 2) {
    fx::Slider(ar, "ripple_extent", ripple_extent);
    fx::Slider(ar, "speed", speed);
    fx::Slider(ar, "lake_height", lake_height);
    fx::Slider(ar, "bump_flattening", bump_flattening);
    fx::Slider(ar, "haze_opacity", haze_opacity);
    fx::Slider(ar, "haze_fade", haze_fade);
    UIntField(ar, "normal_amplitude", normal_amplitude, Apply::Set);
    UIntField(ar, "feather_height", feather_height, Apply::Set);
    IntField(ar, "reflection_size_exponent", reflection_size_exponent, Apply::Set);
    fx::Colour(ar, "haze_colour", haze_colour);
  }
  ar.Guid("bump_id", bump_id);
  ar.WString("bump_label", bump_label);
  ar.Byte("bump_flag", bump_flag);
  BaseRecordOf<DS_2D_Light>(ar, this);
}

std::array<VertexPT2, 6> FakeLake2D::SurfaceVertices() const {
  const auto w = static_cast<float>(PictureWidth()), h = static_cast<float>(PictureHeight());
  const float c = lake_height.scaled(), b = ripple_extent.scaled();
  const float horizon = h * (1 - c);
  // A point d below the horizon shows the picture d above it.
  const VertexPT2 horizon_left{0, horizon, 0, 0.01f, 0.01f, 0, 1 - c};
  const VertexPT2 bottom_left{0, h, 0, 0.01f, b, 0, 1 - 2 * c};
  const VertexPT2 bottom_right{w, h, 0, b, b, 1, 1 - 2 * c};
  const VertexPT2 horizon_right{w, horizon, 0, b, 0.01f, 1, 1 - c};
  return {horizon_left, bottom_left, bottom_right, horizon_left, bottom_right, horizon_right};
}

std::array<uint32_t, 2> FakeLake2D::HazeAlphas() const {
  const float opacity = haze_opacity.scaled();
  return {AlphaByte(opacity), AlphaByte((1 - haze_fade.scaled()) * opacity)};
}

uint32_t FakeLake2D::ReflectionSide() const {
  // A stored exponent of 31 would overflow the shift, 20 ask for a side of
  // 134 million pixels.
  return 128u << std::clamp(reflection_size_exponent.value, 0, kLargestExponent);
}

void FakeLake2D::WriteLake() {
  surface_.Write(SurfaceVertices());
  const auto w = static_cast<float>(PictureWidth()), h = static_cast<float>(PictureHeight());
  const float c = lake_height.scaled(), horizon = h * (1 - c);
  const VertexPT land[4] = {{0, horizon, 0, 0, 1 - c}, {0, 0, 0, 0, 0}, {w, horizon, 0, 1, 1 - c}, {w, 0, 0, 1, 0}};
  land_.Write(land);
  const float top = horizon - static_cast<float>(feather_height.value);
  const uint32_t rgb = haze_colour.value;
  const auto colour = [&](uint32_t alpha) { return Argb(alpha, rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF); };
  const auto [bottom_alpha, horizon_alpha] = HazeAlphas();
  const VertexPC haze[4] = {{0, h, 0, colour(bottom_alpha)},
                            {0, horizon, 0, colour(horizon_alpha)},
                            {w, h, 0, colour(bottom_alpha)},
                            {w, horizon, 0, colour(horizon_alpha)}};
  const VertexPC feather[4] = {{0, horizon, 0, colour(horizon_alpha)},
                               {0, top, 0, colour(0)},
                               {w, horizon, 0, colour(horizon_alpha)},
                               {w, top, 0, colour(0)}};
  haze_.Write(haze);
  feather_.Write(feather);
}

// A reduced, slightly blurred copy of the whole picture with its levels.
void FakeLake2D::MakeReflection() {
  reflection_.reset();
  GraphicsDevice* device = CurrentDevice();
  const std::shared_ptr<Texture>& picture = PictureTexture();
  if (device == nullptr || !picture) return;
  const uint32_t side = ReflectionSide();
  const std::optional<std::vector<uint8_t>> copy = ReducedCopy(*picture, side, side);
  if (!copy) return;
  reflection_ = device->CreateTexture({side, side, 0, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
  if (!reflection_ || !reflection_->WriteLevel(0, copy->data(), copy->size())) {
    reflection_.reset();
    return;
  }
  device->GenerateMipmaps(*reflection_);
}

void FakeLake2D::Load() {
  DS_2D_Light::Load();
  if (GraphicsDevice* device = CurrentDevice()) {
    surface_.primitiveType = PrimitiveType::TriangleList;
    surface_.primitiveCount = 2;
    surface_.CreateVertices(*device, 6);
    land_.primitiveType = PrimitiveType::TriangleStrip;
    land_.primitiveCount = 2;
    land_.CreateVertices(*device, 4);
    for (DS_SimpleMesh<VertexPC>* quad : {&haze_, &feather_}) {
      quad->primitiveType = PrimitiveType::TriangleStrip;
      quad->primitiveCount = 2;
      quad->CreateVertices(*device, 4);
    }
  }
  WriteLake();
  MakeReflection();
  // Without a stored bump texture the lake mirrors without ripples.
  const ResourceAccess& resources = DocumentResourceAccess();
  bump_texture_ = resources.mask != nullptr ? resources.mask(bump_id) : nullptr;
}

void FakeLake2D::Reload() {
  DS_2D_Light::Reload();
  WriteLake();
  MakeReflection();
}

void FakeLake2D::UpdateCamera(double time) {
  DS_2D_Light::UpdateCamera(time);
  lake_clock.Advance(time, speed.scaled());
  const double theta = 4.5 * lake_clock.phase;
  const auto c = static_cast<float>(0.04 * std::cos(theta)), s = static_cast<float>(0.04 * std::sin(theta));
  bump_rotation_ = {c, -s, s, c};
}

void FakeLake2D::DrawHaze(GraphicsDevice& device, const DS_SimpleMesh<VertexPC>& quad) {
  device.SetStreamSource(quad.vertexBuffer);
  device.DrawPrimitive(quad.primitiveType, 0, quad.primitiveCount);
}

void FakeLake2D::DrawPicture(bool keep) {
  GraphicsDevice* device = CurrentDevice();
  SceneView* view = CurrentSceneView();
  if (device == nullptr || view == nullptr) return;
  device->Clear(kClearZBuffer, 0, 1, 0);
  // The lake covers the picture below the horizon: only the land above it
  // is drawn.
  DrawPictureTexture(PictureTexture(), keep, &land_);
  if (!surface_.vertexBuffer || !haze_.vertexBuffer || !feather_.vertexBuffer || PictureWidth() == 0) return;
  SetTransforms(*device, *view, surface_.matrix);
  device->SetPixelProgram(nullptr);
  // The reflection is looked up where the bump texture moves it.
  device->SetTexture(0, bump_texture_);
  SetSampler(*device, 0, TextureAddress::Clamp);
  device->SetTextureStageState(0, StageState::ColorOp, Word(TextureOp::BumpEnvMap));
  device->SetTextureStageState(0, StageState::TexCoordIndex, 0);
  const StageState matrix[4] = {StageState::BumpEnvMat00, StageState::BumpEnvMat01, StageState::BumpEnvMat10,
                                StageState::BumpEnvMat11};
  for (int i = 0; i < 4; ++i) device->SetTextureStageState(0, matrix[i], FloatBits(bump_rotation_[i]));
  device->SetTexture(1, reflection_);
  SetSampler(*device, 1, TextureAddress::Mirror);
  device->SetTextureStageState(1, StageState::ColorOp, Word(TextureOp::SelectArg1));
  device->SetTextureStageState(1, StageState::ColorArg1, Word(TextureArg::Texture));
  device->SetTextureStageState(1, StageState::TexCoordIndex, kTexCoordSet1);
  device->SetVertexFormat(VertexFormat::PT2);
  device->SetStreamSource(surface_.vertexBuffer);
  device->DrawPrimitive(surface_.primitiveType, 0, surface_.primitiveCount);
  device->SetTexture(1, nullptr);
  device->SetTextureStageState(1, StageState::ColorOp, Word(TextureOp::Disable));
  device->SetTextureStageState(0, StageState::ColorOp, Word(TextureOp::SelectArg1));
  SetSampler(*device, 0, TextureAddress::Mirror);
  // The haze, thickening towards the viewer, and its soft start above the
  // horizon.
  device->SetRenderState(RenderState::AlphaBlendEnable, 1);
  device->SetRenderState(RenderState::SrcBlend, Word(Blend::SrcAlpha));
  device->SetRenderState(RenderState::DestBlend, Word(Blend::InvSrcAlpha));
  device->SetTexture(0, nullptr);
  device->SetTextureStageState(0, StageState::ColorArg2, Word(TextureArg::Diffuse));
  device->SetTextureStageState(0, StageState::AlphaArg2, Word(TextureArg::Diffuse));
  device->SetTextureStageState(0, StageState::ColorOp, Word(TextureOp::SelectArg2));
  device->SetTextureStageState(0, StageState::AlphaOp, Word(TextureOp::SelectArg2));
  device->SetVertexFormat(VertexFormat::PC);
  DrawHaze(*device, haze_);
  DrawHaze(*device, feather_);
  device->SetTextureStageState(0, StageState::ColorOp, Word(TextureOp::SelectArg1));
  device->SetTextureStageState(0, StageState::AlphaOp, Word(TextureOp::SelectArg1));
  device->SetRenderState(RenderState::AlphaBlendEnable, 0);
}

void FakeLake2D::RestoreDevice() {
  DS_2D_Light::RestoreDevice();
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return;
  device->SetRenderState(RenderState::CullMode, Word(Cull::None));
  device->SetTransform(TransformKind::World, Matrix::Identity());
  device->SetRenderState(RenderState::Ambient, 0xFFFFFFFF);
  device->SetTextureStageState(0, StageState::ColorOp, Word(TextureOp::Modulate));
  SetSampler(*device, 1, TextureAddress::Mirror);
  device->SetTextureStageState(0, StageState::TexCoordIndex, 0);
  device->SetTextureStageState(1, StageState::TexCoordIndex, kTexCoordSet1);
}

void FakeLake2D::DrawMirrored(MirroredObject& object, int argument) {
  DS_2D_Light::DrawMirrored(object, argument);
  if (GraphicsDevice* device = CurrentDevice()) {
    device->SetSamplerState(0, SamplerState::AddressU, Word(TextureAddress::Clamp));
    device->SetSamplerState(0, SamplerState::AddressV, Word(TextureAddress::Clamp));
  }
}

}  // namespace lumi
