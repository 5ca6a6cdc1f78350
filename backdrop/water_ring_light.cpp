#include <algorithm>
#include <cmath>

#include "archive/registry.h"
#include "backdrop/variants.h"
#include "render/current_context.h"
#include "render/sprite_quads.h"

namespace lumi {

static const RegisterClass<DS_WaterRingLight> kRegisterWaterRingLight(Family::Backdrop);

// Version 1 stored only the scene mode.
void DS_WaterRingLight::Describe(Archive& ar) {
  if (ar.version() >= 2) {
    UIntField(ar, "wave_speed", wave_speed, Apply::Set);
    UIntField(ar, "row_density", row_density, Apply::Set);
    UIntField(ar, "column_density", column_density, Apply::Set);
    UIntField(ar, "drop_depth", drop_depth, Apply::Set);
    UIntField(ar, "damping", damping, Apply::Set);
    UIntField(ar, "refraction_depth", refraction_depth, Apply::Set);
    fx::Slider(ar, "drop_rate", drop_rate);
    fx::Slider(ar, "specular_level", specular_level);
    fx::Slider(ar, "specular_power", specular_power);
  }
  IntField(ar, "scene_mode", scene_mode, Apply::Set);
  BaseRecordOf<DS_2D_Light>(ar, this);
}

RippleSettings DS_WaterRingLight::Settings() const {
  // Beyond 100 the surface only grows without bound.
  const auto raw = [](const MediaParamT<unsigned int>& p) { return static_cast<float>(std::min(p.value, 100u)); };
  RippleSettings s;
  s.speed_factor = raw(wave_speed) * 0.02f + 1;
  s.drop_depth = raw(drop_depth) * 0.01f * 0.7f + 0.1f;
  s.damping = RippleGrid::Damping(damping.value);
  s.refraction_depth = raw(refraction_depth) * 0.01f;
  s.specular_level = specular_level.scaled();
  s.specular_power = specular_power.scaled();
  return s;
}

void DS_WaterRingLight::BuildGrid() {
  const RippleGrid::Size size = RippleGrid::SizeFor(Aspect(), row_density.value, column_density.value);
  grid_.Build(Aspect(), size, Settings());
  grid_.Drop();
  if (GraphicsDevice* device = CurrentDevice()) {
    mesh_.CreateVertices(*device, size.columns * size.rows);
    mesh_.CreateIndices(*device, GridIndices(size.columns - 1, size.rows - 1));
  }
  RebuildVertices();
}

void DS_WaterRingLight::Load() {
  DS_2D_Light::Load();
  BuildGrid();
}

void DS_WaterRingLight::RestoreDevice() {
  DS_2D_Light::RestoreDevice();
  BuildGrid();
}

bool DS_WaterRingLight::DropDue(double time) {
  if (time < last_drop_) last_drop_ = time;
  // Compared without dividing: a rate of 0 never drops.
  if ((time - last_drop_) * drop_rate.scaled() <= 1) return false;
  last_drop_ = time;
  return true;
}

void DS_WaterRingLight::UpdateCamera(double time) {
  DS_2D_Light::UpdateCamera(time);
  if (DropDue(time)) grid_.Drop();
  grid_.Step();
  RebuildVertices();
}

// Vertices in picture pixels: seen from straight above through the
// placement, the grid covers the picture one pixel to one pixel.
void DS_WaterRingLight::RebuildVertices() {
  grid_.Vertices(vertices_);
  VertexPCT* out = mesh_.Lock();
  if (out == nullptr) return;
  const auto w = static_cast<float>(PictureWidth()), h = static_cast<float>(PictureHeight());
  const size_t count = std::min<size_t>(vertices_.size(), mesh_.vertexCount);
  for (size_t i = 0; i < count; ++i) {
    const RippleVertex& v = vertices_[i];
    const auto grey = static_cast<uint32_t>(std::clamp(v.highlight, 0.0f, 1.0f) * 255);
    out[i] = {v.x * w, v.y * h, 0, Argb(255, grey, grey, grey), v.u, v.v};
  }
  mesh_.Unlock();
}

void DS_WaterRingLight::DrawGrid(const std::shared_ptr<Texture>& texture) {
  GraphicsDevice* device = CurrentDevice();
  SceneView* view = CurrentSceneView();
  if (device == nullptr || view == nullptr || !mesh_.vertexBuffer || !mesh_.indexBuffer || PictureWidth() == 0) return;
  view->SetParallax({});
  SetTransforms(*device, *view, mesh_.matrix);
  device->SetPixelProgram(nullptr);
  device->SetTexture(0, texture);
  device->SetTextureStageState(0, StageState::ColorArg1, Word(TextureArg::Texture));
  device->SetTextureStageState(0, StageState::ColorOp, Word(TextureOp::SelectArg1));
  device->SetTextureStageState(0, StageState::AlphaOp, Word(TextureOp::SelectArg1));
  // The highlight, carried in the vertex colour, is added after texturing.
  device->SetTextureStageState(1, StageState::ColorArg1, Word(TextureArg::Current));
  device->SetTextureStageState(1, StageState::ColorArg2, Word(TextureArg::Diffuse));
  device->SetTextureStageState(1, StageState::ColorOp, Word(TextureOp::Add));
  device->SetVertexFormat(VertexFormat::PCT);
  device->SetStreamSource(mesh_.vertexBuffer);
  device->SetIndices(mesh_.indexBuffer);
  device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, mesh_.vertexCount, 0, mesh_.primitiveCount);
  device->SetTextureStageState(1, StageState::ColorArg1, Word(TextureArg::Texture));
  device->SetTextureStageState(1, StageState::ColorOp, Word(TextureOp::Disable));
}

void DS_WaterRingLight::DrawPicture(bool keep) {
  if (scene_mode.value == 1) {
    DS_2D_Light::DrawPicture(keep);
    return;
  }
  if (GraphicsDevice* device = CurrentDevice(); device != nullptr && !keep) {
    device->Clear(kClearTarget | kClearZBuffer, 0x00000000, 1, 0);
  }
  DrawGrid(PictureTexture());
}

void DS_WaterRingLight::DrawBorders(bool keep) {
  if (scene_mode.value == 1) {
    if (const std::shared_ptr<Texture> scene = EndOffscreen(true)) DrawGrid(scene);
  }
  DS_2D_Light::DrawBorders(keep);
}

}  // namespace lumi
