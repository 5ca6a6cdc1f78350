// Text set in the face the programs draw their own words with.
#include "platform/text_raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "archive/file_io.h"

namespace lumi {
namespace {

std::unique_ptr<TextFace> DejaVuSans() { return TextFace::FromBytes(ReadFileBytes(LUMI_PICTURE_FONT)); }

TEST(TextRaster, LinesBreakAtBlanksAndInsideWordsTooLongForTheRoom) {
  EXPECT_FALSE(TextFace::FromBytes({}));
  EXPECT_FALSE(TextFace::FromBytes({'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'n', 't'}));
  const std::unique_ptr<TextFace> face = DejaVuSans();
  ASSERT_TRUE(face);
  const float room = face->Width(U"lumisave document", 15);
  EXPECT_EQ(face->Wrap(U"not a  lumisave document", 15, room),
            (std::vector<std::u32string>{U"not a lumisave", U"document"}));
  const std::u32string path = U"/home/someone/scenes/a-very-long-file-name.lumi: not a lumisave document";
  const std::vector<std::u32string> lines = face->Wrap(path, 15, room);
  std::u32string joined;
  for (const std::u32string& line : lines) {
    EXPECT_LE(face->Width(line, 15), room) << lines.size();
    joined += line;
  }
  EXPECT_GT(lines.size(), 3u);
  const auto blanks_out = [](std::u32string text) {
    std::erase(text, U' ');
    return text;
  };
  EXPECT_EQ(blanks_out(joined), blanks_out(path)) << "nothing lost but blanks";
  EXPECT_EQ(CodePoints(u"a\U0001F600\xD800"), (std::u32string{U'a', U'\U0001F600', U'\uFFFD'}));
}

// Drawn where the pen and the face's metrics say: centred text is centred.
TEST(TextRaster, CentredTextInksTheMiddle) {
  const std::unique_ptr<TextFace> face = DejaVuSans();
  ASSERT_TRUE(face);
  Coverage coverage(200, 60);
  const std::u32string text = U"Loading...";
  face->Draw(text, 20, (200 - face->Width(text, 20)) / 2, (60 + face->Ascent(20) - face->Descent(20)) / 2, coverage);
  int left = 200, right = -1, top = 60, bottom = -1;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (coverage.levels[static_cast<size_t>(y) * 200 + x] < 128) continue;
      left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  ASSERT_GE(right, 0);
  EXPECT_NEAR((left + right) / 2.0, 100, 3);
  EXPECT_NEAR((top + bottom) / 2.0, 30, 5);  // no descenders: the ink sits a little low
  EXPECT_GT(right - left, 70);
  // Drawing again only darkens: coverage never shrinks.
  const std::vector<uint8_t> once = coverage.levels;
  face->Draw(text, 20, 0, 20, coverage);
  for (size_t i = 0; i < once.size(); ++i) ASSERT_GE(coverage.levels[i], once[i]) << i;
}

}  // namespace
}  // namespace lumi
