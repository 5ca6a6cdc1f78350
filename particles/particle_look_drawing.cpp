#include "particles/particle_look_drawing.h"

#include <algorithm>
#include <array>

#include "params/colours.h"
#include "params/file_link.h"
#include "params/vector_math.h"
#include "render/backdrop_services.h"
#include "render/current_context.h"
#include "render/effect.h"
#include "scene/resource_access.h"

namespace lumi {

void ParticleLookDrawing::LoadDeviceResources(ParticleLook& look) {
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return;
  const ResourceAccess& access = DocumentResourceAccess();
  const DS_NamedFileLinkData& set = look.textures.value;
  bool first = true;
  for (const DS_ImageFileLink& image : set.images) {
    if (image.key.IsEmpty() || access.frames == nullptr) continue;
    PictureFrames picture = access.frames(image.key);
    if (picture.textures.empty() || !picture.textures.front()) continue;
    if (!first) continue;
    first = false;
    frames_ = std::move(picture.textures);
    look.run.aspect = picture.aspect;
    picture_width_ = picture.width;
    picture_height_ = picture.height;
    look.run.u_extent = picture.u;
    look.run.v_extent = picture.v;
    look.run.picture_width = picture.width;
    look.run.picture_height = picture.height;
    if (frames_.size() > 1 && !picture.delays.empty()) {
      picture.delays.resize(frames_.size(), picture.delays.back());
      sequence_.SetDurations(std::move(picture.delays));
    }
  }
  current_ = frames_.empty() ? WhiteSpriteTexture(*device) : frames_.front();

  const auto program = [&](const ResourceKey& key) {
    return access.effect != nullptr ? access.effect(key) : nullptr;
  };
  const ResourceKey fallback = CommonResource(kDefaultProgram);
  if (!look.effect.key.IsEmpty()) effect_ = program(look.effect.key);
  if (!effect_) effect_ = program(fallback);
  glow_surface_ = std::make_unique<VRN_BlurSurface>(*device);
  glow_surface_->SetProgram(program(fallback));
  loaded_ = true;
}

void ParticleLookDrawing::StepTextures(const ParticleLook& look) {
  if (frames_.size() < 2) return;
  sequence_.Step(static_cast<float>(look.run.texture_total));
  const size_t frame = sequence_.Frame() % frames_.size();
  const bool reverse = look.texture_reverse.value != 0;
  current_ = frames_[reverse ? frames_.size() - 1 - frame : frame];
}

bool ParticleLookDrawing::Reserve(size_t count) {
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return false;
  if (count > batches_.Count()) {
    if (!batches_.Reserve(*device, count)) return false;
    batches_.SetMatrix(world_);
  }
  batches_.SetTexture(current_);
  return true;
}

bool ParticleLookDrawing::BuildQuads(const ParticleLook& look, const ParticleList& particles, float size_pixels) {
  return BuildQuads(particles.size(), [&](size_t i, VertexPCT* out) { look.BuildQuad(*particles[i], size_pixels, out); });
}

void ParticleLookDrawing::SetWorldTransform(const Matrix& world) {
  world_ = world;
  batches_.SetMatrix(world);
}

const char* ParticleLookDrawing::BlendTechnique(const ParticleLook& look) const {
  return look.blend_mode.value == 1 ? "BlendSum" : "BlendNormal";
}

void ParticleLookDrawing::DrawQuads(DS_ABRender& backdrop) {
  size_t left = quad_count_;
  for (const ParticleGeomArray& batch : batches_.Batches()) {
    if (left == 0) break;
    const auto n = static_cast<uint32_t>(std::min<size_t>(left, batch.spriteCount));
    backdrop.DrawSpriteRange(batch, effect_.get(), 0, n);
    left -= n;
  }
}

void ParticleLookDrawing::DrawGlow(const ParticleLook& look, int glow_mode, DS_ABRender& backdrop) {
  // The quads go into the blur surface with this look's own technique,
  // never the one another caller of the shared program left selected.
  effect_->SetTechnique(BlendTechnique(look));
  effect_->SetTexture("Texture0", current_);
  FitGlowSurface(look);
  glow_surface_->BeginDraw(backdrop);
  DrawQuads(backdrop);
  const auto passes = static_cast<uint32_t>(std::clamp(look.glow_blur.value, 0, kMostGlowPasses));
  const std::shared_ptr<Texture> blurred = glow_surface_->EndBlur(backdrop, passes);
  if (!blurred) return;
  effect_->SetTexture("Texture0", blurred);
  const std::array<float, 3> colour = ColourFloats(look.glow_colour.value);
  effect_->SetFloatArray("GlowColor", colour.data(), 3);
  effect_->SetFloat("GlowBrightness", look.glow_brightness.scaled());
  // The surface holds the picture placed over its whole texture; drawn
  // back over the picture quad, each halo lands on its particle.
  if (glow_mode >= 2) {
    // A chain pass: the whole picture goes on, screened where it glows.
    effect_->SetTexture("Background", backdrop.Background());
    effect_->SetTechnique("DrawGlowScreen");
    backdrop.DrawStripWithEffect(backdrop.PictureGeometry(), *effect_);
  } else {
    // Added light changes only what the halos reach.
    effect_->SetTechnique("DrawGlowNormal");
    if (const DS_Frame* lit = GlowQuad(backdrop.PictureGeometry(), passes)) backdrop.DrawStripWithEffect(*lit, *effect_);
  }
}

void ParticleLookDrawing::FitGlowSurface(const ParticleLook& look) {
  const SceneView* view = CurrentSceneView();
  uint32_t width = view != nullptr ? static_cast<uint32_t>(view->PictureWidth()) : 0;
  uint32_t height = view != nullptr ? static_cast<uint32_t>(view->PictureHeight()) : 0;
  if (width == 0 || height == 0) {
    const BackBufferSize size = CurrentBackBufferSize();
    width = size.width;
    height = size.height;
  }
  if (glow_surface_->baseWidth != width || glow_surface_->baseHeight != height || !glow_surface_->TextureA()) {
    glow_surface_->baseWidth = width;
    glow_surface_->baseHeight = height;
    glow_surface_->Restore();
  }
  glow_surface_->SetBlurAmount(look.glow_surface_setting.value);
}

const DS_Frame* ParticleLookDrawing::GlowQuad(const DS_Frame& picture, uint32_t iterations) {
  // The picture quad spans the picture's pixels, as the view knows them.
  const SceneView* view = CurrentSceneView();
  GraphicsDevice* device = CurrentDevice();
  const float picture_width = view != nullptr ? view->PictureWidth() : 0;
  const float picture_height = view != nullptr ? view->PictureHeight() : 0;
  const BlurSize blur = glow_surface_->Size();
  if (!bounds_.flat || !(picture_width > 0 && picture_height > 0) || blur.width == 0 || blur.height == 0 || device == nullptr ||
      !glow_quad_.CreateVertices(*device, 4)) {
    return &picture;
  }
  if (!(bounds_.right >= bounds_.left)) return nullptr;
  // Each blur pass spreads four texels each way, the filtered read one more.
  const auto reach_texels = static_cast<float>(4 * (iterations + 1) + 1);
  const float reach_x = reach_texels * picture_width / static_cast<float>(blur.width);
  const float reach_y = reach_texels * picture_height / static_cast<float>(blur.height);
  float left = std::numeric_limits<float>::max(), top = left;
  float right = std::numeric_limits<float>::lowest(), bottom = right;
  for (const float x : {bounds_.left, bounds_.right}) {
    for (const float y : {bounds_.top, bounds_.bottom}) {
      const Vector3 corner = Vec3TransformCoord({x, y, 0}, world_);
      left = std::min(left, corner.x), right = std::max(right, corner.x);
      top = std::min(top, corner.y), bottom = std::max(bottom, corner.y);
    }
  }
  left = std::max(left - reach_x, 0.0f), right = std::min(right + reach_x, picture_width);
  top = std::max(top - reach_y, 0.0f), bottom = std::min(bottom + reach_y, picture_height);
  if (!(right > left && bottom > top)) return nullptr;
  // Mapped as the picture quad maps the picture: u = x / width, v = y / height.
  const float u0 = left / picture_width, u1 = right / picture_width;
  const float v0 = top / picture_height, v1 = bottom / picture_height;
  const VertexPT strip[4] = {
      {left, bottom, 0, u0, v1}, {left, top, 0, u0, v0}, {right, bottom, 0, u1, v1}, {right, top, 0, u1, v0}};
  glow_quad_.primitiveType = PrimitiveType::TriangleStrip;
  glow_quad_.primitiveCount = 2;
  glow_quad_.matrix = picture.matrix;
  return glow_quad_.Write(strip) ? &glow_quad_ : &picture;
}

void ParticleLookDrawing::RenderMultiplied(DS_ABRender& backdrop) {
  GraphicsDevice* device = CurrentDevice();
  if (!effect_ || device == nullptr) {
    backdrop.CopyBackground();
    return;
  }
  if (!multiplied_surface_) multiplied_surface_ = std::make_unique<VRN_PrerenderSurface>(*device);
  const BackBufferSize size = CurrentBackBufferSize();
  if (multiplied_surface_->width != size.width || multiplied_surface_->height != size.height ||
      !multiplied_surface_->Target()) {
    multiplied_surface_->width = size.width;
    multiplied_surface_->height = size.height;
    multiplied_surface_->Restore();
  }
  effect_->SetTexture("Texture0", current_);
  effect_->SetTechnique("BlendNormal");
  multiplied_surface_->BeginDraw(backdrop);
  DrawQuads(backdrop);
  const std::shared_ptr<Texture> drawn = multiplied_surface_->EndDraw(backdrop);
  if (!drawn) {
    backdrop.CopyBackground();
    return;
  }
  effect_->SetTexture("Texture0", drawn);
  effect_->SetTexture("Background", backdrop.Background());
  effect_->SetTechnique("BlendMultiplay");
  backdrop.DrawStripWithEffect(backdrop.PictureGeometry(), *effect_);
}

void ParticleLookDrawing::RenderGlow(const ParticleLook& look, int glow_mode, DS_ABRender& backdrop) {
  const bool glows = glow_mode > 0 && quad_count_ > 0 && effect_ && glow_surface_;
  // A chain pass with no glow to draw still hands the picture on.
  if (glow_mode >= 2 && !glows) backdrop.CopyBackground();
  if (glows) DrawGlow(look, glow_mode, backdrop);
}

void ParticleLookDrawing::Render(const ParticleLook& look, int glow_mode, DS_ABRender& backdrop) {
  RenderGlow(look, glow_mode, backdrop);
  if (!effect_) return;
  effect_->SetTexture("Texture0", current_);
  effect_->SetTechnique(BlendTechnique(look));
  DrawQuads(backdrop);
}

}  // namespace lumi
