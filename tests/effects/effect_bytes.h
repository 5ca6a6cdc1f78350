// Hand-built records of image effects: the framework subrecords every
// effect ends with, each value distinct, and the reading and writing of
// whole objects through the binary and JSON archives.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/binary_reader.h"
#include "archive/binary_writer.h"
#include "archive/input_error.h"
#include "archive/json_reader.h"
#include "archive/json_writer.h"
#include "tests/support/byte_builder.h"

namespace lumi::test {

// Any class the registry makes is taken: the tests check the class themselves.
inline constexpr auto AnyClass = [](const DS_IOF_Item&) { return true; };

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

// The object a record makes, checking that the record is consumed exactly.
inline std::unique_ptr<DS_IOF_Item> ReadRecord(const std::vector<uint8_t>& bytes, Family family) {
  BinaryReader reader(bytes);
  std::unique_ptr<DS_IOF_Item> item = reader.Object("object", nullptr, family, AnyClass);
  EXPECT_EQ(reader.remaining(), 0u) << "the record is not consumed exactly";
  return item;
}

template <class T>
std::unique_ptr<T> Read(const ByteBuilder& b, Family family = Family::General) {
  std::unique_ptr<DS_IOF_Item> item = ReadRecord(b.bytes(), family);
  T* typed = dynamic_cast<T*>(item.get());
  EXPECT_NE(typed, nullptr) << "made the wrong class";
  if (typed == nullptr) return nullptr;
  item.release();
  return std::unique_ptr<T>(typed);
}

inline std::vector<uint8_t> Write(DS_IOF_Item& item, Family family) {
  BinaryWriter writer;
  writer.Object("object", &item, family, AnyClass);
  return writer.Release();
}

// Written as inspect shows it, printed and parsed again, and packed.
inline std::vector<uint8_t> ThroughJson(DS_IOF_Item& item, Family family) {
  nlohmann::ordered_json root = nlohmann::ordered_json::object();
  JsonWriter writer(root, nullptr, std::nullopt);
  writer.Object("object", &item, family, AnyClass);
  const nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(root.dump(2));
  JsonReader reader(parsed, std::filesystem::temp_directory_path());
  std::unique_ptr<DS_IOF_Item> rebuilt = reader.Object("object", nullptr, family, AnyClass);
  return Write(*rebuilt, family);
}

// A current-version record re-written from its object, directly and through
// JSON, gives back its own bytes.
inline void ExpectRewritesExactly(const ByteBuilder& b, Family family) {
  std::unique_ptr<DS_IOF_Item> item = ReadRecord(b.bytes(), family);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(Write(*item, family), b.bytes()) << "binary rewrite differs";
  EXPECT_EQ(ThroughJson(*item, family), b.bytes()) << "JSON round trip differs";
}

// The message of the error a record fails with ("" when it loads).
inline std::string LoadError(const ByteBuilder& b, Family family = Family::General) {
  try {
    BinaryReader reader(b.bytes());
    reader.Object("object", nullptr, family, AnyClass);
  } catch (const InputError& e) {
    return e.what();
  }
  return "";
}

}  // namespace lumi::test
