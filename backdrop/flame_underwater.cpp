#include "archive/registry.h"
#include "backdrop/variants.h"
#include "scene/notices.h"

namespace lumi {

void LoadAsPlainBackdrop(DS_2D_Light& variant) {
  variant.DS_2D_Light::Load();
  AddNoticeOnce(std::string(variant.ClassName()) + " draws as the plain backdrop");
}

static const RegisterClass<FakeUndervater> kRegisterUnderwater(Family::Backdrop);
static const RegisterClass<DS_FlameLight> kRegisterFlame(Family::Backdrop);

// Version 1 kept only the distortion's speed, at twice today's scale.
void FakeUndervater::Describe(Archive& ar) {
  if (ar.version() >= 2) {
    Member(ar, "underwater", underwater);
  } else {
    uint32_t speed = 0;
    ar.UInt("speed", speed);
    underwater.speed.Set(speed / 2);
  }
  BaseRecordOf<DS_2D_Light>(ar, this);
}

DS_FlameLight::DS_FlameLight() {
  fire.pattern_image.key = fx::CommonResource(7);
  fire.noise_image.key = fx::CommonResource(8);
}

// Version 1 stored the fire's speed here and two picture links that are no
// longer used, instead of the fire's own record.
void DS_FlameLight::Describe(Archive& ar) {
  const int v = ar.version();
  IntField(ar, "fire_on", fire_on, Apply::Set);
  IntField(ar, "shimmer_on", shimmer_on, Apply::Set);
  UIntField(ar, "band_position", band_position, Apply::Set);
  if (v < 2) UIntField(ar, "fire_speed", fire.speed, Apply::Set);
  LinkField(ar, "bump_image", bump_image);
  LinkField(ar, "program", program);
  fx::Slider(ar, "shimmer_speed", shimmer_speed);
  fx::Slider(ar, "shimmer_strength", shimmer_strength);
  fx::Slider(ar, "bump_size", bump_size);
  if (v >= 2) {
    Member(ar, "fire", fire);
  } else {
    DS_ImageFileLink dropped;
    LinkField(ar, "old_image_1", dropped);
    LinkField(ar, "old_image_2", dropped);
  }
  BaseRecordOf<DS_2D_Light>(ar, this);
}

}  // namespace lumi
