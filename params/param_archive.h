// How parameters appear in records. A parameter is stored as its bare value;
// a record applies it either through Set, so its controls hear of it while
// the document loads, or directly, with no notification.
#pragma once

#include <string>

#include "archive/archive.h"
#include "params/directions.h"
#include "params/typed_param.h"

namespace lumi {

enum class Apply {
  Direct,        // stored with no notification
  Set,           // through Set: notified when it changes
  SetThenNotify  // through Set, then notified once more, so derived values
                 // are current even when the stored value is the default
};

namespace detail {
template <class T, class Encode>
void ParamField(Archive& ar, MediaParamTB<T>& param, Apply apply, Encode encode) {
  T v = param.value;
  encode(v);
  if (!ar.IsReading()) return;
  if (apply == Apply::Direct) {
    param.value = v;
    return;
  }
  param.Set(v);
  if (apply == Apply::SetThenNotify) param.Notify(nullptr);
}
}  // namespace detail

inline void IntField(Archive& ar, const char* field, MediaParamTB<int>& p, Apply apply) {
  detail::ParamField(ar, p, apply, [&](int& v) {
    int32_t raw = v;
    ar.Int(field, raw);
    v = raw;
  });
}
inline void LongField(Archive& ar, const char* field, MediaParamTB<int>& p, Apply apply) {
  detail::ParamField(ar, p, apply, [&](int& v) {
    int32_t raw = v;
    ar.Long(field, raw);
    v = raw;
  });
}
inline void UIntField(Archive& ar, const char* field, MediaParamTB<unsigned int>& p, Apply apply) {
  detail::ParamField(ar, p, apply, [&](unsigned int& v) {
    uint32_t raw = v;
    ar.UInt(field, raw);
    v = raw;
  });
}
inline void FloatField(Archive& ar, const char* field, MediaParamTB<float>& p, Apply apply) {
  detail::ParamField(ar, p, apply, [&](float& v) { ar.Float(field, v); });
}
inline void StringField(Archive& ar, const char* field, MediaParamTB<std::u16string>& p, Apply apply) {
  detail::ParamField(ar, p, apply, [&](std::u16string& v) { ar.WString(field, v); });
}
inline void GuidField(Archive& ar, const char* field, MediaParamTB<GUID>& p, Apply apply) {
  detail::ParamField(ar, p, apply, [&](GUID& v) { ar.Guid(field, v); });
}

// A slider: its whole number, and beside it (for inspection) what it means.
// Stored without notification, it still brings its own scaled value up to
// date, which no owner callback depends on.
template <class T>
void SliderField(Archive& ar, const char* field, UINTSclaleTo<T>& p, Apply apply) {
  UIntField(ar, field, p, apply);
  if (ar.IsReading() && apply == Apply::Direct) p.Rescale();
  ar.Derived((std::string(field) + "_scaled").c_str(),
             static_cast<double>(static_cast<float>(p.value) * p.factor() + p.offset()));
}

// An angle in whole degrees; like a slider, its own direction vectors stay
// current even when it is stored without notification.
inline void DirectionField(Archive& ar, const char* field, MediaDirection& p, Apply apply) {
  UIntField(ar, field, p, apply);
  if (ar.IsReading() && apply == Apply::Direct) p.Recompute();
}

}  // namespace lumi
