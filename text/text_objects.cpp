#include <memory>

#include "archive/registry.h"
#include "params/param_archive.h"
#include "scene/fresh_guid.h"
#include "sprites/record_fields.h"
#include "text/caption_particles.h"
#include "text/caption_sprites.h"
#include "timing/random_timeline.h"

namespace lumi {

static const RegisterClass<DS_StaticTextConstructor> kStaticTextConstructor(Family::General);
static const RegisterClass<DS_ScrollingTextConstructor> kScrollingTextConstructor(Family::General);
static const RegisterClass<DS_TextLinkConstructor> kTextLinkConstructor(Family::General);
static const RegisterClass<DS_StaticText> kStaticText(Family::General);
static const RegisterClass<DS_ScrollingTex> kScrollingTex(Family::General);
static const RegisterClass<DS_TextLink> kTextLink(Family::General);

void FontField(Archive& ar, const char* field, FontMediaParam& font, Apply apply) {
  ar.Group(field, [&] {
    detail::ParamField(ar, font, apply, [&](FontData& v) {
      ar.Long("value_1", v.value_1);
      ar.UInt("value_2", v.value_2);
      ar.Long("value_3", v.value_3);
      ar.WString("face_name", v.face_name);
    });
  });
}

namespace {

// Timing values of version 1 captions, in milliseconds.
struct OldCaptionTiming {
  uint32_t fade_in = 0, fade_out = 0, on = 0, off = 0;
};

// The random timeline those values describe, in hundredths of a second.
// It becomes the current timeline; the timing's kind stays as loaded.
void ConvertOldTiming(const OldCaptionTiming& old, VRN_SmartTiming& timing) {
  auto random = std::make_shared<VRN_RandomTimeLine>();
  random->off_min.Set(old.off / 10);
  random->off_max.Set(old.off / 10);
  random->on_min.Set(old.on / 10);
  random->on_max.Set(old.on / 10);
  random->fade_in.Set(old.fade_in / 10);
  random->fade_out.Set(old.fade_out / 10);
  timing.SetTimeline(std::move(random));
}

}  // namespace

DS_StaticTextConstructor::DS_StaticTextConstructor() : picture_id(NewGuid()) {
  sprite_colour.value = 0x000000FF;
  timing.flags |= 0x1;
  timing.time_mode.Set(1);
}

void DS_StaticTextConstructor::Describe(Archive& ar) {
  const int v = ar.version();
  LongField(ar, "setting1", setting1, Apply::Set);
  LongField(ar, "setting2", setting2, Apply::Set);
  StringField(ar, "text", text, Apply::Set);
  FontField(ar, "font", font, Apply::Set);
  OldCaptionTiming old;
  if (v == 1) {
    ar.UInt("fade_in", old.fade_in);
    ar.UInt("fade_out", old.fade_out);
    ar.UInt("on_time", old.on);
    ar.UInt("off_time", old.off);
  }
  if (v >= 3) {
    ar.Guid("picture_id", picture_id);
    ar.WString("picture_name", picture_name);
    ar.Bool("picture_flag", picture_flag);
  }
  BaseRecordOf<DS_StatBaseFXCtrl>(ar, this);
  // After the base record, whose timing would replace the converted one.
  if (v == 1 && old.on != 0) ConvertOldTiming(old, timing);
}

void DS_ScrollingTextConstructor::Describe(Archive& ar) {
  UIntField(ar, "period", period, Apply::Set);
  LongField(ar, "direction", direction, Apply::Set);
  if (ar.version() >= 2) {
    ar.Float("extent_a", extent_a);
    ar.Float("extent_b", extent_b);
  }
  BaseRecordOf<DS_StaticTextConstructor>(ar, this);
}

void DS_TextLinkConstructor::Describe(Archive& ar) {
  UIntField(ar, "link_value", link_value, Apply::Set);
  BaseRecordOf<DS_StaticTextConstructor>(ar, this);
}

namespace {

void StyleField(Archive& ar, const char* field, DS_TextStyle& style) {
  ar.Group(field, [&] {
    StringField(ar, "caption", style.caption, Apply::Set);
    StringField(ar, "face_name", style.face_name, Apply::Set);
    UIntField(ar, "value_1", style.value_1, Apply::Set);
    LongField(ar, "value_2", style.value_2, Apply::Set);
    LongField(ar, "value_3", style.value_3, Apply::Set);
    ColourField(ar, "value_4", style.value_4, Apply::Set);
    LongField(ar, "value_5", style.value_5, Apply::Set);
    LongField(ar, "value_6", style.value_6, Apply::Set);
    LongField(ar, "value_7", style.value_7, Apply::Set);
    ColourField(ar, "value_8", style.value_8, Apply::Set);
    UIntField(ar, "value_9", style.value_9, Apply::Set);
    UIntField(ar, "value_10", style.value_10, Apply::Set);
    LongField(ar, "value_11", style.value_11, Apply::Set);
    ColourField(ar, "value_12", style.value_12, Apply::Set);
    UIntField(ar, "value_13", style.value_13, Apply::Set);
  });
}

// A colour and its transparency, both with notification.
void ColourWithOpacityField(Archive& ar, const char* field, SmartCOLORREF& colour) {
  ar.Group(field, [&] {
    ColourField(ar, "colour", colour, Apply::Set);
    SliderField(ar, "transparency", colour.opacity, Apply::Set);
  });
}

}  // namespace

void DS_StaticText::Describe(Archive& ar) {
  StyleField(ar, "style", style);
  LongField(ar, "shadow_on", shadow_on, Apply::Set);
  ColourWithOpacityField(ar, "shadow_colour", shadow_colour);
  UIntField(ar, "shadow_distance", shadow_distance, Apply::Set);
  DirectionField(ar, "shadow_direction", shadow_direction, Apply::Set);
  ColourWithOpacityField(ar, "style_colour2", style_colour2);
  ColourWithOpacityField(ar, "style_colour3", style_colour3);
  UIntField(ar, "style_value1", style_value1, Apply::Set);
  UIntField(ar, "style_value2", style_value2, Apply::Set);
  BaseRecordOf<VRN_StaticObject>(ar, this);
}

void DS_ScrollingTex::Describe(Archive& ar) {
  LongField(ar, "direction", direction, Apply::Set);
  BaseRecordOf<DS_StaticText>(ar, this);
}

void DS_TextLink::Describe(Archive& ar) {
  UIntField(ar, "link_value", link_value, Apply::Set);
  BaseRecordOf<DS_StaticText>(ar, this);
}

}  // namespace lumi
