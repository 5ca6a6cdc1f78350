#include "sprites/sprite_array_obj.h"

#include <algorithm>
#include <array>

#include "archive/utf.h"
#include "params/clamped_clock.h"
#include "render/backdrop_services.h"
#include "render/current_context.h"
#include "scene/notices.h"
#include "scene/resource_access.h"
#include "sprites/sprite_constructors.h"

namespace lumi {
namespace {

// The render tool's default screen, for a population made before any
// device is current.
constexpr float kDefaultUnitWidth = 640, kDefaultUnitHeight = 400;

std::shared_ptr<Texture> TransparentTexture(GraphicsDevice& device) {
  std::shared_ptr<Texture> texture = device.CreateTexture({1, 1});
  const std::array<uint8_t, 4> clear{};
  if (texture) texture->WriteLevel(0, clear.data(), clear.size());
  return texture;
}

}  // namespace

DS_SpriteArrayObj::DS_SpriteArrayObj(std::unique_ptr<DS_ParticleSystemCtrl> settings)
    : DS_ABObj(std::move(settings)) {
  DS_ParticleSystemCtrl& population = Population();
  if (population.MakeFloatsFinite()) {
    AddNoticeOnce("sprite object \"" + ToUtf8(population.name) +
                  "\" has settings that are not numbers; their defaults are used");
  }
  FollowUnitSize();
  const PictureFrames picture = population.SpritePicture();
  population.picture_aspect = picture.textures.empty() ? 1.0f : picture.aspect;
  population.PrepareRun();
  BirthAll();
}

DS_ParticleSystemCtrl& DS_SpriteArrayObj::Population() const {
  return static_cast<DS_ParticleSystemCtrl&>(settings());
}

void DS_SpriteArrayObj::FollowUnitSize() {
  DS_ParticleSystemCtrl& population = Population();
  const BackBufferSize size = CurrentBackBufferSize();
  const bool known = size.width > 0 && size.height > 0;
  population.FollowUnit(known ? static_cast<float>(size.width) : kDefaultUnitWidth,
                        known ? static_cast<float>(size.height) : kDefaultUnitHeight);
}

void DS_SpriteArrayObj::BirthAll() {
  DS_ParticleSystemCtrl& population = Population();
  sprites_.assign(population.SpriteCount(), Sprite{});
  for (Sprite& sprite : sprites_) population.BirthSprite(sprite);
  quads_written_ = false;
}

void DS_SpriteArrayObj::Restart() {
  DS_ABObj::Restart();
  DS_ParticleSystemCtrl& population = Population();
  population.ResetMotion();
  population.animation_speed.step = population.animation_speed.local_time = 0;
  population.animation_speed.last_time = 0;
  sheet_ = {};
  sequence_.SetDurations(sequence_.Durations());
  if (!frames_.empty() && frames_.front()) texture_ = frames_.front();
  BirthAll();
}

void DS_SpriteArrayObj::FrameMove(double local_time) {
  DS_ParticleSystemCtrl& population = Population();
  population.changed = false;
  FollowUnitSize();
  population.AdvanceMotion(local_time);
  MediaSpeedParam& sheet_clock = population.animation_speed;
  sheet_clock.step = ClampedStep(sheet_clock.last_time, local_time) * sheet_clock.scaled();
  sheet_clock.local_time += sheet_clock.step;

  const VRN_Timing& timeline = data->timing.current();
  population.timeline_level = timeline.GetLevel();
  population.timeline_state = timeline.GetState();
  for (Sprite& sprite : sprites_) {
    population.UpdateSprite(sprite);
    population.ColourSprite(sprite);
  }
  population.previous_timeline_state = population.timeline_state;
  frame_changed_ = StepAnimation();
  if (CurrentDevice() != nullptr) PrepareQuads();
}

bool DS_SpriteArrayObj::StepAnimation() {
  const DS_ParticleSystemCtrl& population = Population();
  if (population.SheetFrames() > 0) {
    return sheet_.Step(population.animation_speed.local_time, population.columns_value,
                       [&] { return population.NextSheetFrame(sheet_.Frame()); });
  }
  if (!sequence_.Step(population.animation_speed.local_time)) return false;
  if (!frames_.empty()) {
    const std::shared_ptr<Texture>& frame = frames_[sequence_.Frame() % frames_.size()];
    if (frame) texture_ = frame;
  }
  return true;
}

void DS_SpriteArrayObj::LoadTextures(GraphicsDevice& device) {
  DS_ParticleSystemCtrl& population = Population();
  PictureFrames picture = population.SpritePicture();
  if (!picture.textures.empty() && picture.textures.front()) {
    frames_ = std::move(picture.textures);
    texture_ = frames_.front();
    frame_u_ = picture.u;
    frame_v_ = picture.v;
    // A still picture has no delays; frames beyond the delays take the last.
    if (frames_.size() > 1 && !picture.delays.empty()) {
      picture.delays.resize(frames_.size(), picture.delays.back());
      sequence_.SetDurations(std::move(picture.delays));
    }
  } else {
    // Never another object's texture: a missing picture draws nothing.
    texture_ = TransparentTexture(device);
  }
  const PictureFrames glow = FramesOfLink(population.second_picture);
  if (!glow.textures.empty()) glow_ = glow.textures.front();
  textures_loaded_ = true;
}

bool DS_SpriteArrayObj::PrepareQuads() {
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return false;
  if (!textures_loaded_) LoadTextures(*device);
  if (!batches_.Resize(*device, sprites_.size())) return false;
  batches_.SetTexture(texture_);
  const DS_ParticleSystemCtrl& population = Population();
  const float level = data->timing.current().GetLevel();
  bool rebuild = !quads_written_ || frame_changed_ || level != written_level_;
  if (!population.KeepsQuadsStatic()) rebuild = rebuild || population.rebuild_always.value == 0 || population.changed;
  if (!rebuild) return true;
  quads_written_ = WriteQuads();
  written_level_ = level;
  return quads_written_;
}

bool DS_SpriteArrayObj::WriteQuads() {
  const DS_ParticleSystemCtrl& population = Population();
  // The population lives in render-unit pixels; the quads are drawn in
  // picture pixels over the placed picture. Sizes follow the height so
  // that sprites stay round.
  float sx = 1, sy = 1;
  if (const ResourceAccess& access = DocumentResourceAccess(); access.metrics != nullptr) {
    const PictureMetrics& metrics = access.metrics();
    if (metrics.pictureWidth > 0 && metrics.pictureHeight > 0) {
      sx = metrics.pictureWidth / population.unit_width;
      sy = metrics.pictureHeight / population.unit_height;
    }
  }
  const float level = std::clamp(data->timing.current().GetLevel(), 0.0f, 1.0f);
  const bool flip_v = population.flip_v.value != 0, flip_u = population.flip_u.value != 0;
  const uint32_t sheet_frames = population.SheetFrames();
  float sheet_ua = 0, sheet_ub = 1;
  if (sheet_frames > 0) sheet_.URange(sheet_frames, false, sheet_ua, sheet_ub);
  const bool image_frames = sheet_frames == 0 && frames_.size() > 0;
  return batches_.WriteQuads([&](size_t i, VertexPCT* out) {
    const Sprite& s = sprites_[i];
    SpriteRecord quad;
    quad.center = {s.position.x * sx, s.position.y * sy, s.position.z};
    quad.halfWidth = s.width * sy;
    quad.halfHeight = s.height * sy;
    quad.u = s.axis_u;
    quad.v = s.axis_v;
    // A sprite's own rectangle is in units of the picture, which may use
    // only part of its texture.
    const float fu = image_frames ? frame_u_ : 1, fv = image_frames ? frame_v_ : 1;
    quad.ua = sheet_frames > 0 ? sheet_ua : s.ua * fu;
    quad.ub = sheet_frames > 0 ? sheet_ub : s.ub * fu;
    quad.va = s.va * fv;
    quad.vb = s.vb * fv;
    const auto alpha = static_cast<uint32_t>(static_cast<float>(s.colour >> 24) * level);
    BuildSpriteQuad(quad, (alpha << 24) | (s.colour & 0x00FFFFFFu), flip_v, flip_u, out);
  });
}

void DS_SpriteArrayObj::Render(DS_ABRender& backdrop) {
  if (!QuadsReady()) return;
  for (const ParticleGeomArray& batch : batches_.Batches()) {
    backdrop.DrawGlowSprites(batch, glow_, Population().mode.value);
  }
}

void DS_SpriteArrayObj::CollectBounds(std::vector<PlacedRect>& bounds) const {
  for (const Sprite& s : sprites_) {
    SpriteRecord quad;
    quad.center = s.position;
    quad.halfWidth = s.width;
    quad.halfHeight = s.height;
    quad.u = s.axis_u;
    quad.v = s.axis_v;
    VertexPCT corners[4];
    BuildSpriteQuad(quad, 0, false, false, corners);
    float x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const VertexPCT& c : corners) {
      x0 = std::min(x0, c.x);
      x1 = std::max(x1, c.x);
      y0 = std::min(y0, c.y);
      y1 = std::max(y1, c.y);
    }
    bounds.push_back({x0, y0, x1 - x0, y1 - y0});
  }
}

bool DS_SpriteArrayObj::TestPoint(int x, int y) {
  std::vector<PlacedRect> bounds;
  CollectBounds(bounds);
  const auto px = static_cast<float>(x), py = static_cast<float>(y);
  return std::any_of(bounds.begin(), bounds.end(), [&](const PlacedRect& r) {
    return px >= r.x && px <= r.x + r.width && py >= r.y && py <= r.y + r.height;
  });
}

}  // namespace lumi
