#include "scene/camera.h"

#include "params/param_archive.h"

namespace lumi {

void DSM_Camera::Describe(Archive& ar) {
  if (ar.version() >= 3) {
    IntField(ar, "mode", mode, Apply::Set);
    UIntField(ar, "path_width", path_width, Apply::Set);
    UIntField(ar, "path_height", path_height, Apply::Set);
    PointList(ar, "path", path);
  } else {
    // Older cameras only knew still or wandering.
    int32_t wanders = 0;
    ar.Int("wanders", wanders);
    mode.Set(wanders != 0 ? kRandom : kStill);
  }
  SliderField(ar, "zoom", zoom, Apply::Set);
  SliderField(ar, "speed", speed, Apply::Set);
  if (ar.version() >= 2) LinkField(ar, "image", image);
}

}  // namespace lumi
