// Sprites that live by their glow: slanted god rays, sparkles, drifting
// fog banks and flashes of lightning.
#include <algorithm>
#include <cmath>

#include "params/random.h"
#include "sprites/sprite_constructors.h"
#include "sprites/sprite_math.h"

namespace lumi {
namespace {

void Move(Sprite& sprite, float dt) {
  sprite.position.x += sprite.velocity.x * dt;
  sprite.position.y += sprite.velocity.y * dt;
}

}  // namespace

void DS_GodRayConstructor::InitSprite(Sprite& sprite) {
  const ViewEdges& view = view_edges;
  sprite.position = {Uniform(view.left, view.right), (top + bottom) * unit_height / 2, 0};
  sprite.velocity = {Uniform(-10, 10), 0, 0};
  sprite.width = static_cast<float>(sprite_size.value) / 2;
  sprite.height = unit_height / 2;
  // A ray lies at most 89° from the vertical: 0 or 180 would lay it flat.
  const unsigned int angle = ray_angle.value % 360;
  const float phi = std::clamp(static_cast<float>(angle < 180 ? 180 - angle : 360 - angle), 1.0f, 179.0f);
  sprite.axis_v = {1 / std::tan(Radians(phi)), 1, 0};
  sprite.glow = Random01();
}

void DS_GodRayConstructor::UpdateSprite(Sprite& sprite) {
  Move(sprite, motion_step);
  if (motion_clock - sprite.last_change >= 0.25f) {
    sprite.last_change = motion_clock;
    if (Rand() % 2) sprite.velocity.x = Uniform(-10, 10);
  }
  PulseGlow(sprite, true);
}

void DS_SparkleConstructor::InitSprite(Sprite& sprite) {
  const float vx = Uniform(-25, 25);
  const float vy = Uniform(-25, 25);
  sprite.velocity = {vx, vy, 0};
  sprite.position = RandomPointInView();
  sprite.glow = Random01();
}

void DS_SparkleConstructor::UpdateSprite(Sprite& sprite) {
  Move(sprite, motion_step);
  PulseGlow(sprite, true);
  const float d = static_cast<float>(sprite_size.value) * sprite.scale / 4;
  sprite.width = d * sprite.glow + d;
  sprite.height = (d * sprite.glow + d) * sprite.glow / 2 + d;
}

bool DS_FogConstructor::MakeFloatsFinite() {
  const bool bad = DS_ParticleSystemCtrl::MakeFloatsFinite();
  return AnyFault({FiniteOr(max_speed_x, 40), FiniteOr(max_speed_y, 40), bad});
}

void DS_FogConstructor::InitSprite(Sprite& sprite) {
  sprite.position = RandomPointInView();
  const float vx = Uniform(-max_speed_x.value, max_speed_x.value);
  const float vy = Uniform(-max_speed_y.value, max_speed_y.value);
  sprite.velocity = {vx, vy, 0};
  sprite.glow = Random01();
  sprite.turn = Uniform(-0.004f, 0.004f);
}

void DS_FogConstructor::UpdateSprite(Sprite& sprite) {
  Move(sprite, motion_step);
  PulseGlow(sprite, false);
  const ViewEdges& view = view_edges;
  if (sprite.position.y > view.bottom) sprite.velocity.y = -std::fabs(sprite.velocity.y);
  if (sprite.position.y < view.top) sprite.velocity.y = std::fabs(sprite.velocity.y);
  if (sprite.position.x < view.left) sprite.velocity.x = std::fabs(sprite.velocity.x);
  if (sprite.position.x > view.right) sprite.velocity.x = -std::fabs(sprite.velocity.x);
  // The turn is per 1/60 s of motion, whatever the frame rate.
  const float angle = sprite.turn * motion_step * 60;
  sprite.axis_u = TurnZ(sprite.axis_u, angle);
  sprite.axis_v = TurnZ(sprite.axis_v, angle);
}

void DS_LightingConstructor::InitSprite(Sprite& sprite) { sprite.position = RandomPointInView(); }

void DS_LightingConstructor::UpdateSprite(Sprite& sprite) {
  if (sprite.stopped) {
    // Dark: waiting for the pause to end, then a new flash elsewhere.
    if (motion_clock < sprite.resume_time) return;
    BirthSprite(sprite);
    sprite.glow = 1;
    sprite.last_change = motion_clock;
    return;
  }
  sprite.glow -= 6 * motion_step;
  if (motion_clock - sprite.last_change >= 0.15f) {
    sprite.last_change = motion_clock;
    if (Rand() % 2) sprite.glow = 1;
  }
  if (sprite.glow <= 0) {
    sprite.glow = 0;
    sprite.stopped = true;
    sprite.resume_time = motion_clock + RandomHundredths(pause_min.value, pause_max.value);
  }
}

}  // namespace lumi
