#include "scene/slide_container.h"

#include "archive/registry.h"
#include "params/param_archive.h"

namespace lumi {

static const RegisterClass<DS_SlideContainer> kRegisterSlideContainer(Family::Slide);

namespace {

// Slides before version 5 stored their times as whole seconds.
void WholeSeconds(Archive& ar, const char* field, MediaParamT<float>& param) {
  uint32_t seconds = 0;
  ar.UInt(field, seconds);
  param.value = static_cast<float>(seconds);
}

}  // namespace

void DS_SlideContainer::Describe(Archive& ar) {
  const int v = ar.version();
  if (v >= 5) {
    LongField(ar, "stay", stay, Apply::Direct);
    FloatField(ar, "fade_in", fade_in, Apply::Direct);
    FloatField(ar, "fade_out", fade_out, Apply::Direct);
    FloatField(ar, "showing", showing, Apply::Direct);
  } else {
    WholeSeconds(ar, "fade_in", fade_in);
    WholeSeconds(ar, "fade_out", fade_out);
    WholeSeconds(ar, "showing", showing);
  }
  LongField(ar, "setting", setting, Apply::Direct);
  StringField(ar, "name", name, Apply::Direct);
  unsigned int period = kDefaultPeriod;
  if (v >= 3 && v <= 5) {
    ar.UInt("period", period);
    if (v == 3) period *= 100;  // version 3 stored whole seconds
  }
  ObjectField<DS_ABRender>(ar, "backdrop", backdrop, Family::Backdrop);
  ObjectList<DS_ABObj_Constructor>(ar, "objects", objects, Family::General);
  // Slides before version 6 gave their objects' timelines the slide's period.
  if (v <= 5) {
    for (const auto& constructor : objects) constructor->timing.current().SetPeriod(period);
  }
  if (v >= 2) ObjectList<DS_ABObj_Constructor>(ar, "sounds", sounds, Family::General);
}

}  // namespace lumi
