// Hand-built records of image effects: the framework subrecords every
// effect ends with, each value distinct.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/byte_builder.h"
#include "tests/support/record_io.h"

namespace lumi::test {

inline constexpr std::u16string_view kBrushGuid = u"{0B18E5F6-C061-474D-A2C7-93A80D502FE8}";
inline constexpr std::u16string_view kObjectGuid = u"{11111111-2222-3333-4444-555555555555}";

// The constructor's subrecord, with its render data and a continuous timeline.
inline ByteBuilder& ConstructorBase(ByteBuilder& b) {
  b.Header("DS_ABObj_Constructor", 4).Str(u"Stream brush").U32(250);
  b.Header("VRN_RenderObjData", 1).Str(kObjectGuid);
  return b.Header("VRN_SmartTiming", 1).I32(0).I32(0).I32(0).Header("VRN_ContinuesTimeLine", 1).Header("VRN_Timing", 1);
}

// The framework's subrecord: speed 61, uses background 1, brush flag 2,
// program ("common_res.dll", 105), pattern scale 35, corners 100 … 111,
// oscillation 3, phase offset 25.
inline ByteBuilder& FxBase(ByteBuilder& b, int version = 4) {
  b.Header("DS_FX_Constructor", version).U32(61).I32(1).Str(kBrushGuid).Str(u"brush label").U8(2);
  b.Str(u"common_res.dll").I64(105);
  if (version >= 2) b.U32(35);
  if (version >= 3) {
    for (int i = 0; i < 12; ++i) b.F32(100.0f + static_cast<float>(i));
    b.I32(3);
  }
  if (version >= 4) b.U32(25);
  return ConstructorBase(b);
}

// First parameter 45, angle 90.
inline ByteBuilder& DirectionBase(ByteBuilder& b) {
  b.Header("DS_DirectionBased", 1).U32(45).U32(90);
  return FxBase(b);
}
// Centre (320, 240, 7).
inline ByteBuilder& CentralBase(ByteBuilder& b) {
  b.Header("DS_CentralBased", 1).F32(320).F32(240).F32(7);
  return FxBase(b);
}
// Line direction 30, centre (320, 240, 7).
inline ByteBuilder& LineBase(ByteBuilder& b) {
  b.Header("DS_LineBased", 1).U32(30).F32(320).F32(240).F32(7);
  return FxBase(b);
}

}  // namespace lumi::test
