// Flows of leaves or snow drift along a direction with a sideways wobble;
// four bounds handle them at the view's edges. Rain is a flow whose drops
// also pulse.
#include <cmath>

#include "params/random.h"
#include "sprites/sprite_constructors.h"
#include "sprites/sprite_math.h"

namespace lumi {

bool DS_FlowConstructor::MakeFloatsFinite() {
  const bool bad = DS_ParticleSystemCtrl::MakeFloatsFinite();
  return FiniteOr(flow_speed, 0) | bad;
}

void DS_FlowConstructor::PrepareRun() {
  const float a = Radians(static_cast<float>(flow_angle.value % 360));
  along = {std::cos(a), -std::sin(a), 0};
  across = {std::sin(a), std::cos(a), 0};
}

void DS_FlowConstructor::InitSprite(Sprite& sprite) {
  sprite.flow_sign = {1, 1, 0};
  // A drop born again by its pulse may have been faded out and held at an
  // edge: it starts afresh, visible and free.
  sprite.active_bound = -1;
  sprite.fading_in = sprite.stopped = false;
  FadeOf(sprite) = 1;
  sprite.velocity = {0, 0, Uniform(-1, 1)};
  sprite.position = RandomPointInView();
  SizeSprite(sprite, static_cast<float>(sprite_size.value) * sprite.scale / 2);
  ColourSprite(sprite);
  if (facing.value == 1) {
    sprite.axis_u = along;
    sprite.axis_v = across;
  }
}

void DS_FlowConstructor::UpdateSprite(Sprite& sprite) {
  const float dt = motion_step, w = sprite.velocity.z, sway = wobble.scaled(), speed = flow_speed.value;
  const float vx = (along.x * speed * sprite.flow_sign.x + across.x * w * sway) * sprite.scale;
  const float vy = (along.y * speed * sprite.flow_sign.y + across.y * w * sway) * sprite.scale;
  if (!sprite.stopped) {
    sprite.position.x += vx * dt;
    sprite.position.y += vy * dt;
  }
  const ViewEdges& view = view_edges;
  if (!DS_BoundControl::Clear(sprite, view)) {
    float& fade = FadeOf(sprite);
    for (const DS_BoundControl& bound : bounds) {
      if (bound.Ask(sprite, fade, view, motion_clock, dt)) break;
    }
  }
  if (sprite.stopped) changed = true;
  if (facing.value == 2) {
    sprite.axis_u = {vx < 0 ? -1.0f : 1.0f, 0, 0};
    sprite.axis_v = {0, 1, 0};
  } else if (facing.value == 3) {
    sprite.axis_u = {1, 0, 0};
    sprite.axis_v = {0, vy < 0 ? -1.0f : 1.0f, 0};
  }
  const float rate = wobble_rate.scaled();
  if (rate > 0 && motion_clock - sprite.last_change > 1 / rate) {
    sprite.last_change = motion_clock;
    if (Rand() % 2 == 0) sprite.velocity.z = Uniform(-1, 1);
  }
}

void DS_RainConstructor::UpdateSprite(Sprite& sprite) {
  DS_FlowConstructor::UpdateSprite(sprite);
  PulseGlow(sprite, true);
}

}  // namespace lumi
