#include "archive/registry.h"
#include "backdrop/variants.h"

namespace lumi {

static const RegisterClass<DS_MatrixCodeLight> kRegisterMatrixCodeLight(Family::Backdrop);

// Version 1 has no glyph picture of its own: it keeps the default strip.
void DS_MatrixCodeLight::Describe(Archive& ar) {
  UIntField(ar, "cell_size", cell_size, Apply::Set);
  UIntField(ar, "density", density, Apply::Set);
  UIntField(ar, "spinner_count", spinner_count, Apply::Set);
  IntField(ar, "mutation", mutation, Apply::Set);
  IntField(ar, "picture_mode", picture_mode, Apply::Set);
  IntField(ar, "insert_mode", insert_mode, Apply::Set);
  fx::Colour(ar, "normal_colour", normal_colour);
  fx::Colour(ar, "highlight_colour", highlight_colour);
  fx::Slider(ar, "brightness", brightness);
  if (ar.version() >= 2) LinkField(ar, "glyph_image", glyph_image);
  BaseRecordOf<DS_2D_Light>(ar, this);
}

}  // namespace lumi
