// Grass blades and flowers sway about their feet.
#include <cmath>

#include "params/random.h"
#include "sprites/sprite_constructors.h"
#include "sprites/sprite_math.h"

namespace lumi {
namespace {

// Leans the sprite's upright axis from `rest` by `degrees`, moving the
// centre so that the foot stays at the anchor.
void Lean(Sprite& sprite, Vector3 rest, float degrees) {
  sprite.axis_v = TurnZ(rest, Radians(degrees));
  sprite.position = sprite.anchor - sprite.axis_v * sprite.height;
}

}  // namespace

bool DS_GrassConstructor::MakeFloatsFinite() {
  const bool bad = DS_ParticleSystemCtrl::MakeFloatsFinite();
  return FiniteOr(sway_amplitude, 0) | bad;
}

void DS_GrassConstructor::InitSprite(Sprite& sprite) {
  sprite.position = RandomPointInView();
  sprite.phase = Uniform(0, 2 * kPi);
  sprite.anchor = sprite.position + sprite.axis_v * sprite.height;
}

void DS_GrassConstructor::UpdateSprite(Sprite& sprite) {
  const float wave = std::sin(motion_clock + sprite.phase + 2 * kPi * sprite.anchor.x / unit_width);
  Lean(sprite, {0, 1, 0}, wave * sway_amplitude.value);
}

bool DS_FlowerConstructor::MakeFloatsFinite() {
  const bool bad = DS_StatObjConstructor::MakeFloatsFinite();
  return FiniteOr(sway_amplitude, 0) | bad;
}

void DS_FlowerConstructor::InitSprite(Sprite& sprite) {
  DS_StatObjConstructor::InitSprite(sprite);
  sprite.phase = Uniform(0, 2 * kPi);
  sprite.anchor = sprite.position + sprite.axis_v * sprite.height;
}

void DS_FlowerConstructor::UpdateSprite(Sprite& sprite) {
  const Vector3 rest = TurnZ({0, 1, 0}, -Radians(static_cast<float>(rotation.value % 360)));
  Lean(sprite, rest, std::sin(motion_clock + sprite.phase) * sway_amplitude.value);
}

}  // namespace lumi
