// What every sprite population shares: the motion clock and the view in
// pixels (which the 3D objects share too), the common birth, the colour and the glow pulse.
#include <algorithm>
#include <cmath>
#include <string>

#include "archive/utf.h"
#include "params/random.h"
#include "scene/notices.h"
#include "scene/resource_access.h"
#include "sprites/sprite_array_obj.h"
#include "sprites/sprite_constructors.h"

namespace lumi {

// More sprites than this are not made: hostile counts reach 2^32 − 1.
constexpr uint32_t kMaxSprites = 65536;

uint32_t DS_ParticleSystemCtrl::SpriteCount() const {
  if (population.value <= kMaxSprites) return population.value;
  AddNoticeOnce("sprite object \"" + ToUtf8(name) + "\" asks for " +
                std::to_string(population.value) + " sprites; " + std::to_string(kMaxSprites) + " are made");
  return kMaxSprites;
}

PictureFrames FramesOfLink(const DS_ImageFileLink& link) {
  // An empty link names no picture; it is not looked for.
  if (link.key.name.empty() && link.key.number == 0) return {};
  const ResourceAccess& access = DocumentResourceAccess();
  return access.frames != nullptr ? access.frames(link.key) : PictureFrames{};
}

PictureFrames DS_ParticleSystemCtrl::SpritePicture() { return FramesOfLink(picture); }

uint32_t DS_ParticleSystemCtrl::SheetFrames() const {
  if (!sheet_flag) return 0;
  return std::max(frame_count.value, 1u);
}

uint32_t DS_ParticleSystemCtrl::NextSheetFrame(uint32_t current) const {
  const uint32_t frames = std::max(SheetFrames(), 1u);
  return (current + 1) % frames;
}

std::unique_ptr<VRN_RenderObj> DS_ParticleSystemCtrl::CreateRenderObject() const {
  auto copy = Clone();
  return std::make_unique<DS_SpriteArrayObj>(
      std::unique_ptr<DS_ParticleSystemCtrl>(static_cast<DS_ParticleSystemCtrl*>(copy.release())));
}

void DS_ViewObjCtrl::AdvanceMotion(double t) {
  motion_step = static_cast<float>(std::min(std::fabs(t - motion_last), 0.2)) * motion_speed.scaled();
  motion_clock += motion_step;
  motion_last = t;
}

void DS_ViewObjCtrl::ResetMotion() { motion_step = motion_clock = motion_last = 0; }

ViewEdges DS_ViewObjCtrl::PixelView() const {
  // Pixel edges are whole pixels of the fractions.
  return {std::trunc(left * unit_width), std::trunc(right * unit_width), std::trunc(top * unit_height),
          std::trunc(bottom * unit_height)};
}

void DS_ViewObjCtrl::FollowUnit(float width, float height) {
  unit_width = width;
  unit_height = height;
  view_edges = PixelView();
}

Vector3 DS_ViewObjCtrl::RandomPointInView() const {
  const ViewEdges& view = view_edges;
  const float x = Uniform(view.left, view.right);
  const float y = Uniform(view.top, view.bottom);
  return {x, y, 0};
}

void DS_ParticleSystemCtrl::SizeSprite(Sprite& sprite, float d) const {
  if (sprite.aspect < 1) {
    sprite.width = d;
    sprite.height = d * sprite.aspect;
  } else {
    sprite.height = d;
    sprite.width = d / sprite.aspect;
  }
}

void DS_ParticleSystemCtrl::PulseGlow(Sprite& sprite, bool reborn) {
  sprite.glow += motion_step * sprite.pulse_rate;
  if (sprite.glow < glow_min.value) {
    if (reborn) InitSprite(sprite);
    sprite.glow = glow_min.value;
    sprite.pulse_rate = -sprite.pulse_rate;
  } else if (sprite.glow > glow_max.value) {
    sprite.glow = glow_max.value;
    sprite.pulse_rate = -sprite.pulse_rate;
  }
}

bool FiniteOr(MediaParamT<float>& setting, float fallback) {
  if (std::isfinite(setting.value)) return false;
  setting.value = fallback;
  return true;
}

bool DS_ParticleSystemCtrl::MakeFloatsFinite() {
  const bool bad = AnyFault({FiniteOr(glow_rate, 0), FiniteOr(glow_min, 0), FiniteOr(glow_max, 1), FiniteOr(scale_min, 1),
                             FiniteOr(scale_max, 1), !std::isfinite(columns_value), !std::isfinite(left),
                             !std::isfinite(right), !std::isfinite(top), !std::isfinite(bottom)});
  if (!std::isfinite(columns_value)) columns_value = 0;
  for (float* edge : {&left, &top}) {
    if (!std::isfinite(*edge)) *edge = 0;
  }
  for (float* edge : {&right, &bottom}) {
    if (!std::isfinite(*edge)) *edge = 1;
  }
  return bad;
}

void DS_ParticleSystemCtrl::BirthSprite(Sprite& sprite) {
  sprite = Sprite{};
  sprite.aspect = std::isfinite(picture_aspect) && picture_aspect > 0 ? picture_aspect : 1.0f;
  if (const uint32_t frames = SheetFrames()) sprite.aspect *= static_cast<float>(frames);
  sprite.scale = Uniform(scale_min.value, scale_max.value);
  SizeSprite(sprite, static_cast<float>(sprite_size.value) * sprite.scale / 2);
  sprite.pulse_rate = Rand() % 2 ? -glow_rate.value : glow_rate.value;
  ColourSprite(sprite);
  InitSprite(sprite);
}

}  // namespace lumi
