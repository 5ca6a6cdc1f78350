#include <memory>

#include "archive/registry.h"
#include "params/param_archive.h"
#include "scene/fresh_guid.h"
#include "text/caption_sprites.h"
#include "timing/random_timeline.h"

namespace lumi {

static const RegisterClass<DS_StaticTextConstructor> kStaticTextConstructor(Family::General);
static const RegisterClass<DS_ScrollingTextConstructor> kScrollingTextConstructor(Family::General);
static const RegisterClass<DS_TextLinkConstructor> kTextLinkConstructor(Family::General);

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

}  // namespace lumi
