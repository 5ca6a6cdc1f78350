#include "host/document_choice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/input_error.h"
#include "host/configuration_model.h"
#include "host/screensaver.h"
#include "tests/support/memory_settings_store.h"
#include "tests/support/scratch_directory.h"

namespace lumi {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::vector<std::uint8_t> kSignature = {0xFF, 0xFE, 0xFF, 0x01, 'K', 0};

class DocumentChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"b.lumi", "a.lumi", "c.scr", ".hidden.lumi"}) folder_.Write(name, kSignature);
    folder_.Write("c.scr", {'M', 'Z', 0});
    folder_.Write("notes.txt", {'h', 'i'});
  }
  std::vector<std::string> Names(const std::vector<std::filesystem::path>& paths) {
    std::vector<std::string> names;
    for (const auto& path : paths) names.push_back(path.filename().string());
    return names;
  }
  DocumentChoice Folder(bool shuffle) { return {folder_.path().u16string(), shuffle}; }

  test::ScratchDirectory folder_;
};

// A folder's documents (a .scr too, not other files) in turn by name,
// going on after the one played last.
TEST_F(DocumentChoiceTest, AFolderPlaysItsDocumentsInTurn) {
  EXPECT_THAT(Names(DocumentsToTry(Folder(false), {}, 0)), ElementsAre("a.lumi", "b.lumi", "c.scr"));
  EXPECT_THAT(Names(DocumentsToTry(Folder(false), folder_ / "b.lumi", 0)), ElementsAre("c.scr", "a.lumi", "b.lumi"));
  EXPECT_THAT(Names(DocumentsToTry(Folder(false), folder_ / "c.scr", 0)), ElementsAre("a.lumi", "b.lumi", "c.scr"));
  const DocumentChoice file{(folder_ / "notes.txt").u16string(), false};
  EXPECT_THAT(Names(DocumentsToTry(file, {}, 0)), ElementsAre("notes.txt")) << "a chosen file is tried as it is";
  EXPECT_TRUE(DocumentsToTry({}, {}, 0).empty());
}

TEST_F(DocumentChoiceTest, ShuffledNeverRepeatsTheLastOne) {
  for (std::uint32_t random = 0; random < 6; ++random) {
    const auto order = DocumentsToTry(Folder(true), folder_ / "b.lumi", random);
    ASSERT_EQ(order.size(), 3u);
    EXPECT_NE(order.front().filename(), "b.lumi") << random;
  }
  EXPECT_NE(DocumentsToTry(Folder(true), {}, 1).front(), DocumentsToTry(Folder(true), {}, 2).front());
}

// Documents that do not open are passed over; the one that opens is
// remembered for the next run; when none opens the caller is told why.
TEST_F(DocumentChoiceTest, TheFirstThatOpensIsPlayedAndRemembered) {
  test::MemorySettingsStore store;
  SaverSettings settings(store, kSettingsKeyPath);
  std::vector<std::string> tried;
  const auto open = [&](const std::filesystem::path& path) {
    tried.push_back(path.filename().string());
    if (path.filename() != "c.scr") throw InputError("not a lumisave document");
  };
  std::string error;
  EXPECT_EQ(OpenChosenDocument(settings, Folder(false), 0, open, error), folder_ / "c.scr");
  EXPECT_THAT(tried, ElementsAre("a.lumi", "b.lumi", "c.scr"));
  EXPECT_EQ(settings.LastDocument(), (folder_ / "c.scr").u16string());

  const auto refuse = [](const std::filesystem::path&) { throw InputError("broken"); };
  error.clear();
  EXPECT_FALSE(OpenChosenDocument(settings, Folder(false), 0, refuse, error));
  EXPECT_EQ(error, (folder_ / "a.lumi").string() + ": broken");
  error.clear();
  EXPECT_FALSE(OpenChosenDocument(settings, {(folder_ / "empty").u16string(), false}, 0, refuse, error));
  EXPECT_THAT(error, HasSubstr("empty: broken"));
}

// One run goes through the folder round by round, past a document that
// does not open; every unit asking for a round opens that round's document.
TEST_F(DocumentChoiceTest, EachRoundOfARunPlaysTheNextDocument) {
  test::MemorySettingsStore store;
  SaverSettings settings(store, kSettingsKeyPath);
  std::vector<std::string> opened;
  const auto open = [&](const std::filesystem::path& path) {
    opened.push_back(path.filename().string());
    if (path.filename() == "b.lumi") throw InputError("broken");
  };
  DocumentRounds rounds(settings, Folder(false), [] { return 0u; });
  EXPECT_TRUE(rounds.Advances());
  std::string error;
  for (const std::size_t round : {0u, 0u, 1u, 1u, 2u}) rounds.Open(round, open, error);
  EXPECT_THAT(opened, ElementsAre("a.lumi", "a.lumi", "b.lumi", "c.scr", "c.scr", "a.lumi"));
  EXPECT_EQ(settings.LastDocument(), (folder_ / "a.lumi").u16string());

  DocumentRounds shuffled(settings, Folder(true), [n = 0u]() mutable { return n++ * 7u; });
  std::filesystem::path previous;
  for (std::size_t round = 0; round < 6; ++round) {
    const auto played = shuffled.Open(round, [](const std::filesystem::path&) {}, error);
    ASSERT_TRUE(played);
    EXPECT_NE(*played, previous) << round;
    previous = *played;
  }
  EXPECT_FALSE(DocumentRounds(settings, {(folder_ / "a.lumi").u16string(), false}, [] { return 0u; }).Advances());
}

// The settings dialog's list and pick, through its model's OK, are what
// the saver plays; a pick that does not fit the entry plays the demo.
TEST_F(DocumentChoiceTest, TheDialogsChoiceIsWhatTheSaverPlays) {
  const std::filesystem::path a = folder_ / "a.lumi";
  struct Case {
    DocumentKind kind;
    std::filesystem::path picked;
    DocumentChoice stored;
    std::string first_played;  // empty: the demo
  };
  const std::vector<Case> cases = {
      {DocumentKind::Document, a, {a.u16string(), false}, "a.lumi"},
      {DocumentKind::FolderInOrder, folder_.path(), Folder(false), "a.lumi"},
      {DocumentKind::FolderShuffled, folder_.path(), Folder(true), "?"},
      {DocumentKind::Demo, a, {}, ""},
      {DocumentKind::Document, folder_.path(), {}, ""},
      {DocumentKind::FolderInOrder, a, {u"", false}, ""},
      {DocumentKind::FolderShuffled, {}, {u"", true}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picked.string() + " as " + std::to_string(static_cast<int>(c.kind)));
    test::MemorySettingsStore store;
    SaverSettings dialog_settings(store, kSettingsKeyPath);
    ConfigurationModel model(dialog_settings, {}, -1);
    model.ChooseDocuments(ChoiceOfControls(c.kind, c.picked));
    model.Ok();

    SaverSettings saver_settings(store, kSettingsKeyPath);
    const DocumentChoice read = saver_settings.Documents();
    EXPECT_EQ(read, c.stored);
    if (!c.stored.path.empty()) {
      EXPECT_EQ(KindOfChoice(read), c.kind) << "the dialog opens showing it again";
    }
    DocumentRounds rounds(saver_settings, read, [] { return 1u; });
    std::string error;
    const auto played = rounds.Open(0, [](const std::filesystem::path&) {}, error);
    if (c.first_played.empty()) {
      EXPECT_FALSE(played);
    } else if (c.first_played != "?") {
      ASSERT_TRUE(played);
      EXPECT_EQ(played->filename(), c.first_played);
    } else {
      EXPECT_TRUE(played);
    }
  }
}

// The choice the dialog and the tool store is the one the saver reads.
TEST_F(DocumentChoiceTest, TheChoiceIsStoredAsText) {
  test::MemorySettingsStore store;
  SaverSettings settings(store, kSettingsKeyPath);
  EXPECT_EQ(settings.Documents(), DocumentChoice{});
  settings.WriteDocuments(Folder(true));
  EXPECT_EQ(store.values.at({kSettingsKeyPath, kValueDocument}).type, SettingType::String);
  EXPECT_EQ(SaverSettings(store, kSettingsKeyPath).Documents(), Folder(true));
}

}  // namespace
}  // namespace lumi
