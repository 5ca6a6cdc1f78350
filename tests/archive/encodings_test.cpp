// Value encodings, byte for byte, in both directions.
#include <gtest/gtest.h>

#include "archive/binary_reader.h"
#include "archive/binary_writer.h"
#include "archive/input_error.h"
#include "tests/support/byte_builder.h"

namespace lumi {
namespace {

using test::ByteBuilder;

TEST(StringEncoding, LengthEscapesConsumeTheirPrefixes) {
  ByteBuilder b;
  b.U8(0x11).U8(0x22).U8(0x33);  // marker bytes are not examined
  b.U8(0xFF).U16(0x0100);
  for (int i = 0; i < 256; ++i) b.U16(u'a' + i % 26);
  b.U8(0x5A);
  BinaryReader reader(b.bytes());
  std::u16string s;
  reader.WString("text", s);
  EXPECT_EQ(s.size(), 256u);
  EXPECT_EQ(s[1], u'b');
  EXPECT_EQ(reader.offset(), 6u + 512u);
}

TEST(StringEncoding, ZeroLengthKeepsTheOldValueAndTakesFourBytes) {
  ByteBuilder b;
  b.Str(u"").U8(7);
  BinaryReader reader(b.bytes());
  std::u16string s = u"abc";
  reader.WString("text", s);
  EXPECT_EQ(s, u"abc");
  EXPECT_EQ(reader.offset(), 4u);
}

class StringRoundTrip : public testing::TestWithParam<size_t> {};

TEST_P(StringRoundTrip, WriterUsesTheShortestPrefixAndReaderAgrees) {
  const size_t n = GetParam();
  std::u16string text(n, u'x');
  if (n > 0) text[n - 1] = u'\u00E9';
  BinaryWriter writer;
  writer.WString("text", text);
  const std::vector<uint8_t> bytes = writer.Release();
  const size_t prefix = n < 0xFF ? 4 : n < 0xFFFF ? 6 : 10;
  ASSERT_EQ(bytes.size(), prefix + 2 * n);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  EXPECT_EQ(bytes[2], 0xFF);
  EXPECT_EQ(bytes, ByteBuilder().Str(text).bytes());
  BinaryReader reader(bytes);
  std::u16string back = u"old";
  reader.WString("text", back);
  EXPECT_EQ(back, n == 0 ? u"old" : text);
  EXPECT_EQ(reader.remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, StringRoundTrip, testing::Values(0, 1, 254, 255, 256, 65534, 65535, 70000));

TEST(BlobEncoding, EmptyBlobStillCarriesItsName) {
  ByteBuilder b;
  b.U32(0).Str(u"mask.png").U8(1);
  BinaryReader reader(b.bytes());
  DS_MemBlob blob;
  reader.MemBlob("file", blob);
  EXPECT_TRUE(blob.bytes.empty());
  EXPECT_EQ(blob.name, u"mask.png");
  EXPECT_EQ(reader.offset(), 4u + 4u + 16u);
}

TEST(BlobEncoding, ResBlobIsIdModuleThenNamedBlock) {
  ByteBuilder b;
  b.I32(-89).Str(u"common_res.dll").U32(3).U8(1).U8(2).U8(3).Str(u"");
  BinaryReader reader(b.bytes());
  DS_ResBlob blob;
  reader.ResBlob("frame", blob);
  EXPECT_EQ(blob.id, -89);
  EXPECT_EQ(blob.module, u"common_res.dll");
  EXPECT_EQ(blob.blob.bytes, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(reader.remaining(), 0u);

  BinaryWriter writer;
  writer.ResBlob("frame", blob);
  EXPECT_EQ(writer.Release(), b.bytes());
}

TEST(ScalarEncoding, LittleEndianValuesAndBooleans) {
  ByteBuilder b;
  b.I32(-2).U32(0xFFFFFFF0u).F32(0.75f).I64(-5'000'000'000LL).U8(0).U8(9);
  BinaryReader reader(b.bytes());
  int32_t i = 0;
  uint32_t u = 0;
  float f = 0;
  int64_t q = 0;
  bool no = true, yes = false;
  reader.Int("i", i);
  reader.UInt("u", u);
  reader.Float("f", f);
  reader.Int64("q", q);
  reader.Bool("no", no);
  reader.Bool("yes", yes);
  EXPECT_EQ(i, -2);
  EXPECT_EQ(u, 0xFFFFFFF0u);
  EXPECT_EQ(f, 0.75f);
  EXPECT_EQ(q, -5'000'000'000LL);
  EXPECT_FALSE(no);
  EXPECT_TRUE(yes);  // any non-zero byte is true
}

TEST(GuidEncoding, BracedTextBothWays) {
  const auto guid = ParseGuid(u"{0B18E5F6-C061-474D-A2C7-93A80D502FE8}");
  ASSERT_TRUE(guid);
  EXPECT_EQ(guid->data1, 0x0B18E5F6u);
  EXPECT_EQ(guid->data2, 0xC061);
  EXPECT_EQ(guid->data3, 0x474D);
  EXPECT_EQ(guid->data4[0], 0xA2);
  EXPECT_EQ(guid->data4[7], 0xE8);
  EXPECT_EQ(FormatGuid(*guid), u"{0B18E5F6-C061-474D-A2C7-93A80D502FE8}");
  EXPECT_EQ(ParseGuid(u"{0b18e5f6-c061-474d-a2c7-93a80d502fe8}"), guid);
  EXPECT_FALSE(ParseGuid(u"0B18E5F6-C061-474D-A2C7-93A80D502FE8"));
  EXPECT_FALSE(ParseGuid(u"{0B18E5F6-C061-474D-A2C7-93A80D502FEG}"));
  EXPECT_FALSE(ParseGuid(u"{0B18E5F6C-061-474D-A2C7-93A80D502FE8}"));

  ByteBuilder b;
  b.Str(u"not a guid");
  BinaryReader reader(b.bytes());
  GUID read = *guid;
  reader.Guid("identity", read);
  EXPECT_TRUE(read.IsZero());
}

TEST(BoundedReads, RunningShortNamesFieldAndOffset) {
  ByteBuilder b;
  b.U8(1).U8(2);
  BinaryReader reader(b.bytes());
  int32_t v = 0;
  try {
    reader.Int("fade_in", v);
    FAIL() << "no error";
  } catch (const InputError& e) {
    const std::string text = e.what();
    EXPECT_NE(text.find("fade_in"), std::string::npos) << text;
    EXPECT_NE(text.find("offset 0"), std::string::npos) << text;
    EXPECT_NE(text.find("expected 4 bytes"), std::string::npos) << text;
  }
}

TEST(BoundedReads, AbsurdLengthsFailBeforeAllocating) {
  {
    ByteBuilder b;
    b.U8(0xFF).U8(0xFE).U8(0xFF).U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFFu);
    BinaryReader reader(b.bytes());
    std::u16string s;
    EXPECT_THROW(reader.WString("name", s), InputError);
  }
  {
    ByteBuilder b;
    b.U32(0xFFFFFFF0u).U8(1);
    BinaryReader reader(b.bytes());
    DS_MemBlob blob;
    EXPECT_THROW(reader.MemBlob("file", blob), InputError);
  }
  for (int32_t count : {-1, 1000}) {
    ByteBuilder b;
    b.I32(count).U32(0);
    BinaryReader reader(b.bytes());
    size_t n = 0;
    int visits = 0;
    EXPECT_THROW(reader.List("slides", n, [&](size_t) { ++visits; }), InputError) << count;
    EXPECT_EQ(visits, 0);
  }
}

}  // namespace
}  // namespace lumi
