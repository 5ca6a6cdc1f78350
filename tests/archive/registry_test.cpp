// Class registries and object records: lookup, framing, failures.
#include <gtest/gtest.h>

#include <stdexcept>

#include "archive/binary_reader.h"
#include "archive/binary_writer.h"
#include "archive/input_error.h"
#include "archive/registry.h"
#include "tests/archive/widget.h"
#include "tests/support/byte_builder.h"

namespace lumi {
namespace {

using test::ByteBuilder;
using test::Widget;

const RegisterClass<Widget> kRegisterWidget(Family::General);

// The fields of a version-2 widget with no children, all at their defaults
// except count.
ByteBuilder& WidgetFields(ByteBuilder& b, int32_t count) {
  b.I32(count).U32(0).F32(0).U8(0).I64(0).Str(u"").Str(u"{00000000-0000-0000-0000-000000000000}");
  b.F32(0).F32(0);                    // pair
  b.U32(0).Str(u"");                  // blob
  b.I32(0).Str(u"").U32(0).Str(u"");  // resource
  b.I32(0);                           // raw
  b.I32(0);                           // samples
  b.I32(1).F32(0).U32(100);           // point
  b.I32(0);                           // children
  b.Header("TestWidgetBase", 1).I32(7);
  return b;
}

TEST(Registry, LookupIsCaseSensitiveAndANameRegistersOnce) {
  ClassRegistry& general = ClassRegistry::Get(Family::General);
  ASSERT_NE(general.Find("TestWidget"), nullptr);
  EXPECT_EQ(general.Find("testwidget"), nullptr);
  EXPECT_EQ(general.Find("TestWidge"), nullptr);
  EXPECT_EQ(ClassRegistry::Get(Family::Timeline).Find("TestWidget"), nullptr);

  // A second class under a taken name would silently win every lookup.
  const size_t before = general.Names().size();
  const ClassRegistry::Entry* first = general.Find("TestWidget");
  const auto create = first->create;
  try {
    general.Register("TestWidget", {9, nullptr});
    FAIL() << "a second registration was accepted";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "class TestWidget is registered twice");
  }
  EXPECT_EQ(general.Names().size(), before);
  EXPECT_EQ(general.Find("TestWidget")->create, create);
  EXPECT_EQ(general.Find("TestWidget")->version, 2);
#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
  // From a static initialiser the program stops, naming the class.
  EXPECT_DEATH(RegisterClass<Widget>{Family::General}, "class TestWidget is registered twice");
#endif

  auto made = CreateDefault(Family::General, "TestWidget");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->ClassName(), "TestWidget");
  EXPECT_EQ(CreateDefault(Family::General, "Missing"), nullptr);
}

TEST(ObjectRecords, NamedClassIsMadeAndDescribedWithItsStoredVersion) {
  ByteBuilder b;
  b.Header("TestWidget", 2);
  WidgetFields(b, 42);
  BinaryReader reader(b.bytes());
  auto object = reader.Object("widget", nullptr, Family::General);
  auto* widget = dynamic_cast<Widget*>(object.get());
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->count, 42);
  EXPECT_EQ(widget->base_value, 7);
  EXPECT_EQ(reader.remaining(), 0u);

  BinaryWriter writer;
  writer.Object("widget", widget, Family::General);
  EXPECT_EQ(writer.Release(), b.bytes());
}

TEST(ObjectRecords, OlderVersionIsConvertedOnLoad) {
  ByteBuilder b;
  b.Header("TestWidget", 1);
  b.I32(1).U32(0).U32(25);  // count, slider, ratio as a percentage
  b.U8(0).I64(0).Str(u"").Str(u"").F32(0).F32(0).U32(0).Str(u"").I32(0).Str(u"").U32(0).Str(u"").I32(0).I32(0);
  b.I32(0).F32(3.5f);  // point version 0 has no extra
  b.I32(0).Header("AnyNameAtAll", 1).I32(-3);
  BinaryReader reader(b.bytes());
  auto object = reader.Object("widget", nullptr, Family::General);
  auto* widget = dynamic_cast<Widget*>(object.get());
  ASSERT_NE(widget, nullptr);
  EXPECT_FLOAT_EQ(widget->ratio, 0.25f);
  EXPECT_EQ(widget->point, 3.5f);
  EXPECT_EQ(widget->point_extra, 100u);  // kept its default
  EXPECT_EQ(widget->base_value, -3);     // the base record's name is not compared
  EXPECT_EQ(reader.remaining(), 0u);
}

TEST(ObjectRecords, UnknownClassStopsTheLoadNamingClassAndOffset) {
  ByteBuilder doc;
  doc.I32(5).Header("testwidget", 1).I32(0);
  BinaryReader list_reader(doc.bytes());
  int32_t skip = 0;
  list_reader.Int("skip", skip);
  try {
    list_reader.Object("object", nullptr, Family::General);
    FAIL() << "no error";
  } catch (const InputError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("unknown class testwidget at offset 4", 0), 0u) << e.what();
  }
}

TEST(ObjectRecords, HostileNestingDepthIsRefused) {
  ByteBuilder b;
  const int depth = 200;
  for (int i = 0; i < depth; ++i) {
    b.Header("TestWidget", 2);
    b.I32(0).U32(0).F32(0).U8(0).I64(0).Str(u"").Str(u"").F32(0).F32(0).U32(0).Str(u"").I32(0).Str(u"").U32(0)
        .Str(u"").I32(0).I32(0).I32(1).F32(0).U32(0);
    b.I32(1);  // one child, which is the next record
  }
  BinaryReader reader(b.bytes());
  EXPECT_THROW(reader.Object("widget", nullptr, Family::General), InputError);
}

TEST(ObjectRecords, WritingAMissingObjectIsAnError) {
  BinaryWriter writer;
  EXPECT_THROW(writer.Object("backdrop", nullptr, Family::Backdrop), InputError);
}

}  // namespace
}  // namespace lumi
