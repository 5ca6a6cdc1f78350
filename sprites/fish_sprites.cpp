// Fish wander and turn at the view's edges, looking the way they swim;
// birds keep their speed high; ghosts follow their timeline's level.
#include <cmath>

#include "params/random.h"
#include "sprites/sprite_constructors.h"

namespace lumi {

bool DS_FishConstructor::MakeFloatsFinite() {
  const bool bad = DS_ParticleSystemCtrl::MakeFloatsFinite();
  return AnyFault({FiniteOr(max_speed_x, 0), FiniteOr(max_speed_y, 0), bad});
}

void DS_FishConstructor::InitSprite(Sprite& sprite) {
  const float mx = max_speed_x.value, my = max_speed_y.value;
  sprite.velocity.x = Uniform(-mx, mx);
  sprite.velocity.y = Uniform(-my, my);
  KeepSpeed(sprite);
  sprite.position = RandomPointInView();
  SizeSprite(sprite, static_cast<float>(sprite_size.value) * sprite.scale / 2);
  ColourSprite(sprite);
  if (sprite.velocity.x < 0) sprite.width = -sprite.width;
}

void DS_FishConstructor::Swim(Sprite& sprite) {
  const float dt = motion_step;
  sprite.position.x += sprite.velocity.x * dt;
  sprite.position.y += sprite.velocity.y * dt;
  const ViewEdges& view = view_edges;
  const float x = sprite.position.x, y = sprite.position.y, w = std::fabs(sprite.width);
  if (view.left > x + w) {
    sprite.velocity.x = std::fabs(sprite.velocity.x);
    sprite.width = w;
    changed = true;
  } else if (x - w > view.right) {
    sprite.velocity.x = -std::fabs(sprite.velocity.x);
    sprite.width = -w;
    changed = true;
  }
  if (view.top > y - sprite.height) {
    sprite.velocity.y = std::fabs(sprite.velocity.y);
    changed = true;
  } else if (y + sprite.height > view.bottom) {
    sprite.velocity.y = -std::fabs(sprite.velocity.y);
    changed = true;
  }
  if (motion_clock - sprite.last_change <= 1) return;
  sprite.last_change = motion_clock;
  if (Rand() % 2 == 0) return;
  const float mx = max_speed_x.value, my = max_speed_y.value;
  sprite.velocity.x = std::copysign(std::fabs(Uniform(-mx, mx)), sprite.velocity.x);
  sprite.velocity.y = Uniform(-my, my);
  sprite.velocity.z = 0;
  KeepSpeed(sprite);
  changed = true;
}

void DS_FishConstructor::UpdateSprite(Sprite& sprite) { Swim(sprite); }

void DS_BirdConstructor::KeepSpeed(Sprite& sprite) const {
  const float mx = max_speed_x.value, my = max_speed_y.value;
  // The vertical speed keeps its sign: a bird climbing slowly climbs faster.
  if (std::fabs(sprite.velocity.y) < 0.7f * my) {
    sprite.velocity.y = std::copysign(0.3f / 0.7f * std::fabs(sprite.velocity.y) + 0.7f * my, sprite.velocity.y);
  }
  if (std::fabs(sprite.velocity.x) < 0.7f * mx) {
    sprite.velocity.x = std::copysign(Uniform(0.7f * mx, mx), sprite.velocity.x);
  }
}

void DS_GhostConstructor::UpdateSprite(Sprite& sprite) {
  // Each time the timeline comes back from off, the ghost starts anew.
  if (previous_timeline_state == 1 && timeline_state != 1) BirthSprite(sprite);
  Swim(sprite);
  sprite.glow = timeline_level;
}

}  // namespace lumi
