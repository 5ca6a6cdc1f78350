// One still sprite at a point, turned; the discharge jumps between random
// frames of its sheet.
#include <cmath>

#include "params/random.h"
#include "sprites/sprite_constructors.h"
#include "sprites/sprite_math.h"

namespace lumi {

void DS_StatObjConstructor::PrepareRun() {
  // An object never placed by its author starts at the screen's centre.
  if (flag != 0) return;
  centre.x.value = static_cast<int>(unit_width / 2);
  centre.y.value = static_cast<int>(unit_height / 2);
  flag = 1;
}

void DS_StatObjConstructor::InitSprite(Sprite& sprite) {
  sprite.position = {static_cast<float>(centre.x.value), static_cast<float>(centre.y.value), 0};
  const float turn = -Radians(static_cast<float>(rotation.value % 360));
  sprite.axis_u = TurnZ({1, 0, 0}, turn);
  sprite.axis_v = TurnZ({0, 1, 0}, turn);
}

uint32_t DS_DischargeConstructor::NextSheetFrame(uint32_t current) const {
  // With fewer than two frames there is no other frame to jump to.
  const uint32_t frames = SheetFrames();
  if (frames < 2) return current;
  uint32_t next = current;
  while (next == current) next = static_cast<uint32_t>(Rand()) % frames;
  return next;
}

}  // namespace lumi
