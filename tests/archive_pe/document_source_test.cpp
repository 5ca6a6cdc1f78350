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
  // One byte cannot be an executable's "MZ".
  EXPECT_EQ(ReadDocumentFile(Write("m.lumi", {'M'})), std::vector<std::uint8_t>{'M'});
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
}

}  // namespace
}  // namespace lumi
