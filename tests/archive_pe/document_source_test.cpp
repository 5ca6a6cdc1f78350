#include "archive/document_source.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "archive/input_error.h"
#include "tests/archive_pe/pe_test_writer.h"
#include "tests/support/scratch_directory.h"

namespace lumi {
namespace {

using test::Named;
using test::Numbered;
using ::testing::HasSubstr;

class DocumentSource : public ::testing::Test {
 protected:
  std::filesystem::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    return scratch_.Write(name, bytes);
  }

  void ExpectError(const std::filesystem::path& path, const std::string& message) {
    try {
      ReadDocumentFile(path);
      ADD_FAILURE() << path << ": no error";
    } catch (const InputError& error) {
      EXPECT_THAT(error.what(), HasSubstr(path.string())) << message;
      EXPECT_THAT(error.what(), HasSubstr(message));
    }
  }

  test::ScratchDirectory scratch_;
  const std::filesystem::path directory_ = scratch_.path();
};

const std::vector<std::uint8_t> kDocument = {0xFF, 0xFE, 0xFF, 0x01, 'K', 0};

TEST_F(DocumentSource, BareDocumentIsReadAsItIs) {
  EXPECT_EQ(ReadDocumentFile(Write("scene.lumi", kDocument)), kDocument);
}

TEST_F(DocumentSource, ScreenSaverGivesItsDocumentResource) {
  test::PeTestWriter writer;
  writer.Add({Named(u"DDS"), Numbered(5), 0x409, {9, 9}})
      .Add({Named(u"DDS"), Numbered(107), 0x409, kDocument})
      .Add({Numbered(10), Numbered(107), 0x409, {8}});
  EXPECT_EQ(ReadDocumentFile(Write("saver.scr", writer.Write())), kDocument);
}

TEST_F(DocumentSource, UnusableFilesAreClearErrors) {
  ExpectError(directory_ / "absent.lumi", "cannot open the file");
  ExpectError(directory_, "is a directory");
  ExpectError(Write("empty.lumi", {}), "the file is empty");
  ExpectError(Write("garbage.scr", {'M', 'Z', 1, 2, 3}), "broken Windows executable");

  test::PeTestWriter without;
  without.Add({Numbered(10), Numbered(107), 0x409, {1}}).Add({Named(u"DDS"), Numbered(106), 0x409, {1}});
  ExpectError(Write("without.scr", without.Write()), "without a scene document (no resource \"DDS\" 107)");

  test::PeTestWriter empty;
  empty.Add({Named(u"DDS"), Numbered(107), 0x409, {}});
  ExpectError(Write("empty.scr", empty.Write()), "the scene document (resource \"DDS\" 107) is empty");

  test::PeTestWriter picture;
  picture.Add({Named(u"DDS"), Numbered(107), 0x409, {0x89, 'P', 'N', 'G'}});
  ExpectError(Write("picture.scr", picture.Write()), "107 is not a lumisave document");
}

// Files that are no document are refused from their first bytes, whatever
// their size; a document too large to hold is refused before it is read.
TEST_F(DocumentSource, OtherFilesAreNoDocuments) {
  const std::vector<std::vector<std::uint8_t>> others = {
      {'M'},
      {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 0x0D, 'I', 'H', 'D', 'R'},
      std::vector<std::uint8_t>(4096, 0),
      {0xFF, 0xFE, 0xFF, 0x00},           // a signature names something
      {0xFF, 0xFE, 0xFF, 0x02, 'K', 0},   // cut short
      {0xFF, 0xFE, 0xFF, 0x01, 0x07, 0},  // not text
  };
  for (const auto& bytes : others) ExpectError(Write("other.lumi", bytes), "not a lumisave document");

  const auto sparse = [&](const std::string& name, const std::vector<std::uint8_t>& start) {
    const std::filesystem::path path = Write(name, start);
    std::filesystem::resize_file(path, 1ull << 30);
    return path;
  };
  ExpectError(sparse("zeros.lumi", {0}), "not a lumisave document");
  ExpectError(sparse("large.lumi", kDocument), "more than the 536870912 accepted");
}

}  // namespace
}  // namespace lumi
