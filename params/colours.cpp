#include "params/colours.h"

#include "params/param_archive.h"

namespace lumi {

SmartColorHSB::SmartColorHSB() {
  Watch();
  OnChange(nullptr);
}

SmartColorHSB::SmartColorHSB(const SmartColorHSB& other)
    : MediaControl(), hue(other.hue), saturation(other.saturation), brightness(other.brightness),
      red(other.red), green(other.green), blue(other.blue), alpha(other.alpha) {
  Watch();
}

SmartColorHSB& SmartColorHSB::operator=(const SmartColorHSB& other) {
  hue = other.hue;
  saturation = other.saturation;
  brightness = other.brightness;
  red = other.red;
  green = other.green;
  blue = other.blue;
  alpha = other.alpha;
  return *this;
}

SmartColorHSB::~SmartColorHSB() {
  hue.RemoveControl(this);
  saturation.RemoveControl(this);
  brightness.RemoveControl(this);
}

void SmartColorHSB::Watch() {
  hue.AppendControl(this);
  saturation.AppendControl(this);
  brightness.AppendControl(this);
}

void SmartColorHSB::OnChange(MediaControl*) {
  alpha = 1.0f;
  const float s = static_cast<float>(saturation.value) * 0.01f;
  const float v = static_cast<float>(brightness.value) * 0.01f;
  if (s == 0.0f) {
    red = green = blue = v;
    return;
  }
  const unsigned int sector = hue.value / 60;
  const float f = static_cast<float>(hue.value) / 60.0f - static_cast<float>(sector);
  const float p = v * (1.0f - s);
  const float q = v * (1.0f - f * s);
  const float t = v * (1.0f - (1.0f - f) * s);
  struct Rgb {
    float r, g, b;
  } rgb;
  switch (sector) {
    case 0: rgb = {v, t, p}; break;
    case 1: rgb = {q, v, p}; break;
    case 2: rgb = {p, v, t}; break;
    case 3: rgb = {p, q, v}; break;
    case 4: rgb = {t, p, v}; break;
    default: rgb = {v, p, q}; break;  // hues of 360 and more
  }
  red = rgb.r;
  green = rgb.g;
  blue = rgb.b;
}

void HsbField(Archive& ar, const char* field, SmartColorHSB& colour) {
  ar.Group(field, [&] {
    UIntField(ar, "hue", colour.hue, Apply::Direct);
    UIntField(ar, "saturation", colour.saturation, Apply::Direct);
    UIntField(ar, "brightness", colour.brightness, Apply::Direct);
    ar.Float("red", colour.red);
    ar.Float("green", colour.green);
    ar.Float("blue", colour.blue);
    ar.Float("alpha", colour.alpha);
  });
}

}  // namespace lumi
