#include <algorithm>

#include "archive/registry.h"
#include "backdrop/picture_copy.h"
#include "backdrop/variants.h"
#include "render/current_context.h"
#include "scene/resource_access.h"

namespace lumi {

static const RegisterClass<DS_MatrixCodeLight> kRegisterMatrixCodeLight(Family::Backdrop);

namespace {

constexpr uint32_t kMapSide = 256;

// A COLORREF (red in the low byte) as an ARGB vertex colour.
uint32_t VertexColour(uint32_t colour, uint32_t alpha) {
  return Argb(alpha, colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

}  // namespace

// Version 1 has no glyph picture of its own: it keeps the default strip.
void DS_MatrixCodeLight::Describe(Archive& ar) {
  UIntField(ar, "cell_size", cell_size, Apply::Set);
  UIntField(ar, "density", density, Apply::Set);
  UIntField(ar, "spinner_count", spinner_count, Apply::Set);
  IntField(ar, "mutation", mutation, Apply::Set);
  IntField(ar, "picture_mode", picture_mode, Apply::Set);
  IntField(ar, "insert_mode", insert_mode, Apply::Set);
  fx::Colour(ar, "normal_colour", normal_colour);
  fx::Colour(ar, "highlight_colour", highlight_colour);
  fx::Slider(ar, "brightness", brightness);
  if (ar.version() >= 2) LinkField(ar, "glyph_image", glyph_image);
  BaseRecordOf<DS_2D_Light>(ar, this);
}

void DS_MatrixCodeLight::Load() {
  DS_2D_Light::Load();
  const ResourceAccess& resources = DocumentResourceAccess();
  const PictureFrames strip = resources.frames != nullptr ? resources.frames(glyph_image.key) : PictureFrames{};
  glyph_texture_ = strip.textures.empty() ? nullptr : strip.textures.front();
  strip_width_ = glyph_texture_ ? strip.width : 0;
  strip_height_ = glyph_texture_ ? strip.height : 0;
  Rebuild();
  BuildBrightnessMap();
}

void DS_MatrixCodeLight::Reload() {
  DS_2D_Light::Reload();
  Rebuild();
  BuildBrightnessMap();
}

void DS_MatrixCodeLight::SetPlacement(PlacementMode mode) {
  DS_2D_Light::SetPlacement(mode);
  Rebuild();
}

void DS_MatrixCodeLight::Rebuild() {
  GlyphRain::Settings settings;
  settings.cell_size = cell_size.value;
  settings.density = density.value;
  settings.spinner_count = spinner_count.value;
  settings.mutation = mutation.value != 0;
  settings.insert_mode = insert_mode.value;
  settings.glyph_count = GlyphRain::GlyphCount(strip_width_, strip_height_);
  rain_.Build(PictureWidth(), PictureHeight(), settings);
  glyphs_.clear();
  previous_count_ = 0;
  if (GraphicsDevice* device = CurrentDevice()) {
    buffers_.Resize(*device, rain_.Capacity(), kGlyphsPerBuffer);
    buffers_.SetTexture(glyph_texture_);
  }
}

// The picture reduced to 256 x 256, as luminance.
void DS_MatrixCodeLight::BuildBrightnessMap() {
  brightness_map_.clear();
  const std::shared_ptr<Texture>& picture = PictureTexture();
  if (picture_mode.value != 1 || !picture) return;
  const std::optional<std::vector<uint8_t>> reduced = ReducedCopy(*picture, kMapSide, kMapSide);
  if (!reduced) return;
  brightness_map_.resize(size_t{kMapSide} * kMapSide);
  for (size_t i = 0; i < brightness_map_.size(); ++i) {
    const uint8_t* p = &(*reduced)[i * 4];  // B, G, R, A
    brightness_map_[i] = (0.299f * p[2] + 0.587f * p[1] + 0.114f * p[0]) / 255;
  }
}

float DS_MatrixCodeLight::BrightnessAt(uint32_t column, uint32_t row) const {
  if (brightness_map_.empty() || rain_.Columns() == 0) return 1;
  const uint32_t my = std::min(kMapSide * row / rain_.Rows(), kMapSide - 1);
  const uint32_t mx = std::min(kMapSide * column / rain_.Columns(), kMapSide - 1);
  return brightness_map_[size_t{my} * kMapSide + mx];
}

void DS_MatrixCodeLight::Step() {
  rain_.Tick(previous_count_ >= rain_.Capacity(), glyphs_);
  previous_count_ = glyphs_.size();
  WriteQuads();
}

void DS_MatrixCodeLight::WriteQuads() {
  const float h = static_cast<float>(rain_.CellSize()) / 2;
  const float a = brightness.scaled();
  const bool lit_by_picture = picture_mode.value == 1;
  buffers_.WriteQuads([&](size_t i, VertexPCT* out) {
    if (i >= glyphs_.size()) {
      std::fill(out, out + 4, VertexPCT{0, 0, 0, 0, 0, 0});
      return;
    }
    const GlyphRecord& g = glyphs_[i];
    const bool glowing = g.kind == GlyphRecord::kGlowing;
    float alpha = a;
    if (lit_by_picture && !glowing) alpha = a * BrightnessAt(g.column, g.row);
    else if (g.kind == GlyphRecord::kFading) alpha = a / 2;
    const uint32_t colour = VertexColour(glowing ? highlight_colour.value : normal_colour.value,
                                         static_cast<uint32_t>(std::clamp(alpha, 0.0f, 1.0f) * 255));
    out[0] = {g.x - h, g.y + h, 0, colour, 0, g.v_high};
    out[1] = {g.x - h, g.y - h, 0, colour, 0, g.v_low};
    out[2] = {g.x + h, g.y + h, 0, colour, 1, g.v_high};
    out[3] = {g.x + h, g.y - h, 0, colour, 1, g.v_low};
  });
}

void DS_MatrixCodeLight::DrawPicture(bool keep) {
  DS_2D_Light::UpdateCamera(last_time_);
  Step();
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return;
  if (picture_mode.value == 0) {
    DS_2D_Light::DrawPicture(keep);
  } else if (picture_mode.value == 1) {
    device->Clear(kClearTarget, 0x00000000, 1, 0);
  }
  for (const ParticleGeomArray& buffer : buffers_.Batches()) DrawSpriteRange(buffer, nullptr, 0, buffer.spriteCount);
  device->SetRenderState(RenderState::AlphaBlendEnable, 0);
}

void DS_MatrixCodeLight::RestoreDevice() {
  DS_2D_Light::RestoreDevice();
  if (GraphicsDevice* device = CurrentDevice()) {
    device->SetTextureStageState(0, StageState::ColorOp, Word(TextureOp::Modulate));
    device->SetTextureStageState(0, StageState::AlphaOp, Word(TextureOp::Modulate));
  }
}

void DS_MatrixCodeLight::DrawScreenImage(const ScreenImage& image) {
  DS_2D_Light::DrawScreenImage(image);
  if (GraphicsDevice* device = CurrentDevice()) {
    device->SetTextureStageState(0, StageState::AlphaOp, Word(TextureOp::Modulate));
  }
}

}  // namespace lumi
