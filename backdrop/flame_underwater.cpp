#include <algorithm>

#include "archive/registry.h"
#include "backdrop/variants.h"
#include "render/current_context.h"
#include "render/effect.h"
#include "scene/resource_access.h"

namespace lumi {

bool ReportWholePicture(const DS_2D_Light& variant, std::vector<PlacedRect>& areas) {
  areas.push_back({0, 0, static_cast<float>(variant.PictureWidth()), static_cast<float>(variant.PictureHeight())});
  return true;
}

namespace {

// An embedded effect works on the whole scene, where a painted one works
// inside its brush: one opaque texel covers everything.
std::shared_ptr<Texture> WholeSceneMask() {
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return nullptr;
  std::shared_ptr<Texture> mask = device->CreateTexture({1, 1, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
  const uint8_t white[4] = {255, 255, 255, 255};
  if (mask) mask->WriteLevel(0, white, sizeof white);
  return mask;
}

}  // namespace

static const RegisterClass<FakeUndervater> kRegisterUnderwater(Family::Backdrop);
static const RegisterClass<DS_FlameLight> kRegisterFlame(Family::Backdrop);

// Version 1 kept only the distortion's speed, at twice today's scale.
void FakeUndervater::Describe(Archive& ar) {
  if (ar.version() >= 2) {
    Member(ar, "underwater", underwater);
  } else {
    uint32_t speed = 0;
    ar.UInt("speed", speed);
    underwater.speed.Set(speed / 2);
  }
  BaseRecordOf<DS_2D_Light>(ar, this);
}

void FakeUndervater::Load() {
  DS_2D_Light::Load();
  underwater.LoadEffect(WholeSceneMask());
}

void FakeUndervater::UpdateCamera(double time) {
  DS_2D_Light::UpdateCamera(time);
  underwater.Advance(time);
}

void FakeUndervater::DrawBorders(bool keep) {
  // Without a chain the scene went straight to the screen, undistorted.
  if (std::shared_ptr<Texture> scene = EndOffscreen(false)) {
    // A record naming a program without the effect's technique would leave
    // the screen empty: the scene is then shown as it is.
    const std::shared_ptr<Effect>& program = underwater.Program();
    if (program && program->SetTechnique(underwater.UsesBackground() ? "MainFX" : "Main")) {
      SetBackground(std::move(scene));
      underwater.Draw(*this);
    } else {
      DrawPictureTexture(scene, true);
    }
  }
  DS_2D_Light::DrawBorders(keep);
}

DS_FlameLight::DS_FlameLight() {
  fire.pattern_image.key = CommonResource(7);
  fire.noise_image.key = CommonResource(8);
}

// Version 1 stored the fire's speed here and two picture links that are no
// longer used, instead of the fire's own record.
void DS_FlameLight::Describe(Archive& ar) {
  const int v = ar.version();
  IntField(ar, "fire_on", fire_on, Apply::Set);
  IntField(ar, "shimmer_on", shimmer_on, Apply::Set);
  UIntField(ar, "band_position", band_position, Apply::Set);
  if (v < 2) UIntField(ar, "fire_speed", fire.speed, Apply::Set);
  LinkField(ar, "bump_image", bump_image);
  LinkField(ar, "program", program);
  fx::Slider(ar, "shimmer_speed", shimmer_speed);
  fx::Slider(ar, "shimmer_strength", shimmer_strength);
  fx::Slider(ar, "bump_size", bump_size);
  if (v >= 2) {
    Member(ar, "fire", fire);
  } else {
    DS_ImageFileLink dropped;
    LinkField(ar, "old_image_1", dropped);
    LinkField(ar, "old_image_2", dropped);
  }
  BaseRecordOf<DS_2D_Light>(ar, this);
}

void DS_FlameLight::Load() {
  DS_2D_Light::Load();
  const ResourceAccess& resources = DocumentResourceAccess();
  // A fire painted in the authoring tool keeps its brush; otherwise its
  // rectangle alone bounds it.
  std::shared_ptr<Texture> mask = resources.mask != nullptr ? resources.mask(fire.brush_id) : nullptr;
  fire.LoadEffect(mask ? std::move(mask) : WholeSceneMask());
  bump_texture_ = resources.picture != nullptr ? resources.picture(bump_image.key).texture : nullptr;
  band_program_ = resources.class_effect != nullptr ? resources.class_effect(program.key, ClassName()) : nullptr;
  if (GraphicsDevice* device = CurrentDevice()) {
    band_.primitiveType = PrimitiveType::TriangleStrip;
    band_.primitiveCount = 2;
    band_.CreateVertices(*device, 4);
  }
  WriteBand();
}

void DS_FlameLight::Reload() {
  DS_2D_Light::Reload();
  WriteBand();
}

std::array<float, 2> DS_FlameLight::BandSpan() const {
  const auto h = static_cast<float>(PictureHeight());
  const float bottom = h * (1 + 0.005f * static_cast<float>(band_position.value));
  return {bottom - 0.65f * h, bottom};
}

void DS_FlameLight::WriteBand() {
  const auto w = static_cast<float>(PictureWidth());
  band_aspect_ = PictureWidth() > 0 ? static_cast<float>(PictureHeight()) / w : 1;
  const auto [top, bottom] = BandSpan();
  // The bump texture lies turned by a quarter turn across the band.
  const VertexPT strip[4] = {{0, top, 0, 0, 1}, {w, top, 0, 0, 0}, {0, bottom, 0, 1, 1}, {w, bottom, 0, 1, 0}};
  band_.Write(strip);
}

DS_FlameLight::ShimmerParameters DS_FlameLight::Shimmer() const {
  const auto phase = static_cast<float>(band_clock.phase);
  const float k = bump_size.scaled();
  return {shimmer_strength.scaled() * 0.05f, {phase, -phase}, {k, k * band_aspect_}};
}

void DS_FlameLight::UpdateCamera(double time) {
  fire.Advance(time);
  DS_2D_Light::UpdateCamera(time);
  if (band_program_) band_clock.Advance(time, shimmer_speed.scaled());
}

void DS_FlameLight::DrawPicture(bool keep) {
  DS_2D_Light::DrawPicture(keep);
  if (fire_on.value == 0) return;
  SetBackground(PictureTexture());
  fire.Draw(*this);
}

void DS_FlameLight::DrawBorders(bool keep) {
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return;
  if (shimmer_on.value == 1) {
    const std::shared_ptr<Texture> scene = EndOffscreen(false);
    // Outside the band the finished scene is shown as it is.
    device->SetRenderState(RenderState::AlphaBlendEnable, 0);
    if (scene) DrawPictureTexture(scene, true);
    if (scene && band_program_ && band_.vertexBuffer && PictureWidth() > 0 && PictureHeight() > 0) {
      Effect& band = *band_program_;
      const ShimmerParameters shimmer = Shimmer();
      const float picture_size[2] = {static_cast<float>(PictureWidth()), static_cast<float>(PictureHeight())};
      band.SetFloat("stenght", shimmer.strength);
      band.SetFloatArray("Offset", shimmer.offset.data(), 2);
      band.SetFloatArray("bump_scale", shimmer.bump_scale.data(), 2);
      band.SetFloatArray("picture_size", picture_size, 2);
      band.SetTexture("Background", scene);
      band.SetTexture("Bumpmap", bump_texture_);
      band.SetTechnique(kShimmerTechnique);
      DrawStripWithEffect(band_, band);
    }
  }
  device->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(Cull::None));
  DS_2D_Light::DrawBorders(keep);
  device->SetRenderState(RenderState::AlphaBlendEnable, 1);
}

void DS_FlameLight::RestoreDevice() {
  DS_2D_Light::RestoreDevice();
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return;
  const auto word = [](auto value) { return static_cast<uint32_t>(value); };
  device->SetRenderState(RenderState::CullMode, word(Cull::None));
  device->SetTransform(TransformKind::World, Matrix::Identity());
  for (uint32_t sampler = 0; sampler < 4; ++sampler) {
    device->SetSamplerState(sampler, SamplerState::MinFilter, word(TextureFilter::Linear));
    device->SetSamplerState(sampler, SamplerState::MagFilter, word(TextureFilter::Linear));
  }
  device->SetSamplerState(0, SamplerState::AddressU, word(TextureAddress::Clamp));
  device->SetSamplerState(0, SamplerState::AddressV, word(TextureAddress::Clamp));
  device->SetRenderState(RenderState::AlphaBlendEnable, 1);
  SetTargetQuad(CurrentTargetQuad());
}

}  // namespace lumi
