// One still sprite at a point, turned; the discharge jumps between random
// frames of its sheet, glowing or not.
#include <cmath>

#include "params/random.h"
#include "sprites/sprite_constructors.h"
#include "sprites/sprite_math.h"

namespace lumi {

void PlaceStillSprite(Sprite& sprite, const MediaRectangle& centre, unsigned int rotation) {
  sprite.position = {static_cast<float>(centre.x.value), static_cast<float>(centre.y.value), 0};
  const float turn = -Radians(static_cast<float>(rotation % 360));
  sprite.axis_u = TurnZ({1, 0, 0}, turn);
  sprite.axis_v = TurnZ({0, 1, 0}, turn);
}

uint32_t RandomOtherFrame(uint32_t frames, uint32_t current) {
  // With fewer than two frames there is no other frame to jump to.
  if (frames < 2) return current;
  uint32_t next = current;
  while (next == current) next = static_cast<uint32_t>(Rand()) % frames;
  return next;
}

bool DS_ParticleSystemCtrl::TakeFirstPlacement() {
  if (flag != 0) return false;
  flag = 1;
  return true;
}

void CentreUnplaced(DS_ParticleSystemCtrl& object, MediaRectangle& centre) {
  if (!object.TakeFirstPlacement()) return;
  centre.x.value = static_cast<int>(object.unit_width / 2);
  centre.y.value = static_cast<int>(object.unit_height / 2);
}

void DS_StatObjConstructor::PrepareRun() { CentreUnplaced(*this, centre); }

void DS_StatObjConstructor::InitSprite(Sprite& sprite) { PlaceStillSprite(sprite, centre, rotation.value); }

uint32_t DS_DischargeConstructor::NextSheetFrame(uint32_t current) const {
  return RandomOtherFrame(SheetFrames(), current);
}

void DS_DischargeFXConstructor::PrepareRun() { CentreUnplaced(*this, centre); }

void DS_DischargeFXConstructor::InitSprite(Sprite& sprite) { PlaceStillSprite(sprite, centre, rotation.value); }

uint32_t DS_DischargeFXConstructor::NextSheetFrame(uint32_t current) const {
  return RandomOtherFrame(SheetFrames(), current);
}

}  // namespace lumi
