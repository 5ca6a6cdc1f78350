#include "archive/registry.h"
#include "backdrop/variants.h"

namespace lumi {

static const RegisterClass<DS_GlassBallLight> kRegisterGlassBallLight(Family::Backdrop);

void DS_GlassBallLight::Describe(Archive& ar) {
  LinkField(ar, "highlight_image_1", highlight_image_1);
  LinkField(ar, "highlight_image_2", highlight_image_2);
  LinkField(ar, "stand_image", stand_image);
  LinkField(ar, "background_image", background_image);
  fx::Slider(ar, "speed", speed);
  // Version 1 ran at another speed scale: its whole numbers are mapped onto
  // today's.
  if (ar.version() < 2) speed.Set(2 * speed.value / 3 + 33);
  IntPoint offset = ball_offset.value;
  ar.Group("ball_offset", [&] {
    ar.Int("x", offset.x);
    ar.Int("y", offset.y);
  });
  if (ar.IsReading()) ball_offset.Set(offset);
  UIntField(ar, "ball_size", ball_size, Apply::Set);
  UIntField(ar, "sway_width", sway_width, Apply::Set);
  IntField(ar, "highlight_1_on", highlight_1_on, Apply::Set);
  IntField(ar, "highlight_2_on", highlight_2_on, Apply::Set);
  IntField(ar, "stand_on", stand_on, Apply::Set);
  IntField(ar, "background_flag", background_flag, Apply::Set);
  IntField(ar, "motion_mode", motion_mode, Apply::Set);
  fx::Colour(ar, "top_colour", top_colour);
  fx::Colour(ar, "bottom_colour", bottom_colour);
  BaseRecordOf<DS_2D_Light>(ar, this);
}

}  // namespace lumi
