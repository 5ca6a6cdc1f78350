// UTF-16/UTF-8 conversion and SHA-256 against known values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/file_io.h"
#include "archive/sha256.h"
#include "archive/utf.h"

namespace lumi {
namespace {

std::string Sha(const std::string& text) {
  return Sha256Hex(AsBytes(text));
}

TEST(Sha256, KnownDigestsAcrossBlockBoundaries) {
  EXPECT_EQ(Sha(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Sha(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  EXPECT_EQ(Sha(std::string(64, 'x')).size(), 64u);
}

TEST(Utf, ConvertsBothWaysAndReplacesWhatIsBroken) {
  const std::u16string text = u"Lumisave \u00E9\u4E2D \U0001F30A";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(u"\U0001F30A"), "\xF0\x9F\x8C\x8A");
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t{0xDC00})), "\xEF\xBF\xBD");
  EXPECT_EQ(FromUtf8("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(FromUtf8("\xC0\x80"), u"\uFFFD\uFFFD");      // overlong
  EXPECT_EQ(FromUtf8("\xE2\x82"), u"\uFFFD\uFFFD");      // cut short
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // an encoded surrogate
}

}  // namespace
}  // namespace lumi
