#include "archive/pe_module.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>

#include "archive/input_error.h"
#include "tests/archive_pe/pe_test_writer.h"

namespace lumi {
namespace {

using test::Named;
using test::Numbered;
using test::PeTestWriter;
using ::testing::HasSubstr;

const PeResourceName kDds{std::u16string_view(u"DDS")};
const std::vector<std::uint8_t> kCarriedDocument = {'K', 'S', 'V', 0, 1, 2, 3, 4, 5};
const std::vector<std::uint8_t> kRcData = {0xAA, 0xBB, 0xCC};

PeTestWriter SampleWriter(bool pe32Plus) {
  PeTestWriter writer(pe32Plus);
  writer.Add({Named(u"DDS"), Numbered(107), 0x409, kCarriedDocument})
      .Add({Named(u"DDS"), Numbered(2), 0x409, {1, 2}})
      .Add({Numbered(kResourceTypeRcData), Numbered(62), 0x409, kRcData})
      .Add({Numbered(kResourceTypeRcData), Named(u"NAMED"), 0x409, {7}});
  return writer;
}

std::vector<std::uint8_t> Bytes(std::span<const std::uint8_t> span) { return {span.begin(), span.end()}; }

class PeModuleFormats : public ::testing::TestWithParam<bool> {};

TEST_P(PeModuleFormats, FindsResourcesByNameOrNumber) {
  PeModule module(SampleWriter(GetParam()).Write(), "sample.scr");
  EXPECT_EQ(module.IsPe32Plus(), GetParam());

  const auto document = module.FindResource(kDds, 107);
  ASSERT_TRUE(document);
  EXPECT_EQ(Bytes(document->bytes), kCarriedDocument);
  EXPECT_EQ(document->language, 0x409);

  const auto rcData = module.FindResource(kResourceTypeRcData, 62);
  ASSERT_TRUE(rcData);
  EXPECT_EQ(Bytes(rcData->bytes), kRcData);

  const auto named = module.FindResource(kResourceTypeRcData, PeResourceName(std::u16string_view(u"named")));
  ASSERT_TRUE(named);
  EXPECT_EQ(Bytes(named->bytes), std::vector<std::uint8_t>{7});
}

TEST_P(PeModuleFormats, MissingResourcesAreNotErrors) {
  PeModule module(SampleWriter(GetParam()).Write(), "sample.scr");
  EXPECT_FALSE(module.FindResource(kDds, 108));
  EXPECT_FALSE(module.FindResource(kResourceTypeRcData, 107));
  EXPECT_FALSE(module.FindResource(PeResourceName(std::u16string_view(u"DDX")), 107));
  EXPECT_FALSE(module.FindResource(PeResourceName(std::u16string_view(u"DD")), 107));
  // A name is never the number with the same digits.
  EXPECT_FALSE(module.FindResource(PeResourceName(std::u16string_view(u"10")), 62));

  PeModule bare(PeTestWriter(GetParam()).WithoutResourceDirectory().Write(), "bare.exe");
  EXPECT_FALSE(bare.FindResource(kDds, 107));
}

TEST_P(PeModuleFormats, ListsTheIdsOfAType) {
  PeModule module(SampleWriter(GetParam()).Write(), "sample.scr");
  std::vector<std::string> ids;
  for (const PeResourceName& id : module.ResourceIds(kDds)) ids.push_back(id.ToString());
  EXPECT_THAT(ids, ::testing::UnorderedElementsAre("2", "107"));
  ids.clear();
  for (const PeResourceName& id : module.ResourceIds(kResourceTypeRcData)) ids.push_back(id.ToString());
  EXPECT_THAT(ids, ::testing::UnorderedElementsAre("62", "\"NAMED\""));
  EXPECT_TRUE(module.ResourceIds(PeResourceName(std::u16string_view(u"DDX"))).empty());
  PeModule bare(PeTestWriter(GetParam()).WithoutResourceDirectory().Write(), "bare.exe");
  EXPECT_TRUE(bare.ResourceIds(kDds).empty());
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe32Plus, PeModuleFormats, ::testing::Bool());

TEST(PeModule, NamesCompareWithoutAsciiCase) {
  PeTestWriter writer;
  writer.Add({Named(u"dds"), Numbered(107), 0x409, kCarriedDocument});
  PeModule module(writer.Write(), "lower.scr");
  EXPECT_TRUE(module.FindResource(kDds, 107));
  EXPECT_TRUE(module.FindResource(PeResourceName(std::u16string_view(u"dDs")), 107));
  EXPECT_TRUE(kDds.Matches(PeResourceName(std::u16string_view(u"dds"))));
  EXPECT_FALSE(kDds.Matches(PeResourceName(std::u16string_view(u"DDT"))));
}

TEST(PeModule, TakesTheFirstLanguage) {
  PeTestWriter writer;
  writer.Add({Named(u"DDS"), Numbered(107), 0x409, {1}}).Add({Named(u"DDS"), Numbered(107), 0x407, {2}});
  PeModule module(writer.Write(), "two-languages.scr");
  const auto resource = module.FindResource(kDds, 107);
  ASSERT_TRUE(resource);
  EXPECT_EQ(resource->language, 0x407);
  EXPECT_EQ(Bytes(resource->bytes), std::vector<std::uint8_t>{2});
}

TEST(PeModule, EmptyResourceIsFoundEmpty) {
  PeTestWriter writer;
  writer.Add({Named(u"DDS"), Numbered(107), 0x409, {}});
  PeModule module(writer.Write(), "empty.scr");
  const auto resource = module.FindResource(kDds, 107);
  ASSERT_TRUE(resource);
  EXPECT_TRUE(resource->bytes.empty());
}

// Every resource byte lies at the end of the file, so each shorter prefix
// must fail, in the headers or in the lookup, and never read past its end.
TEST(PeModule, EveryTruncationFailsCleanly) {
  for (bool pe32Plus : {false, true}) {
    const std::vector<std::uint8_t> whole = SampleWriter(pe32Plus).Write();
    for (std::size_t size = 0; size < whole.size(); ++size) {
      std::vector<std::uint8_t> prefix(whole.begin(), whole.begin() + size);
      EXPECT_THROW(
          {
            PeModule module(std::move(prefix), "cut.scr");
            module.FindResource(kDds, 107);
            module.FindResource(kDds, 2);
            module.FindResource(kResourceTypeRcData, 62);
            module.FindResource(kResourceTypeRcData, PeResourceName(std::u16string_view(u"NAMED")));
            module.ResourceIds(kResourceTypeRcData);
          },
          InputError)
          << "prefix of " << size << " bytes";
    }
  }
}

// Whatever a single damaged byte does, a lookup either answers or throws
// InputError; the sanitizer builds check that it never reads out of bounds.
TEST(PeModule, EveryDamagedByteFailsCleanlyOrReads) {
  const std::vector<std::uint8_t> whole = SampleWriter(true).Write();
  int failures = 0;
  for (std::size_t at = 0; at < whole.size(); ++at) {
    for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0x80}, std::uint8_t{0xFF}}) {
      std::vector<std::uint8_t> damaged = whole;
      damaged[at] = value;
      try {
        PeModule module(std::move(damaged), "damaged.scr");
        for (std::uint16_t id : {2, 107}) module.FindResource(kDds, id);
        module.FindResource(kResourceTypeRcData, 62);
        module.FindResource(kResourceTypeRcData, PeResourceName(std::u16string_view(u"NAMED")));
        module.ResourceIds(kDds);
        module.ResourceIds(kResourceTypeRcData);
      } catch (const InputError&) {
        ++failures;
      }
    }
  }
  EXPECT_GT(failures, 0);
}

struct Damage {
  const char* description;
  std::function<void(std::vector<std::uint8_t>&, const test::PeTestLayout&)> apply;
  const char* expectedMessage;
};

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// The sample's resource tree: the root holds "DDS" then 10; the "DDS"
// directory follows the root (16 + 2 * 8 bytes).
constexpr std::uint32_t kRootEntries = 16;
constexpr std::uint32_t kDdsDirectory = 32;

TEST(PeModule, HostileFilesNameWhatIsWrong) {
  const std::vector<Damage> damages = {
      {"no MZ", [](auto& b, auto&) { b[0] = 'Z'; }, "no \"MZ\" signature at offset 0x0"},
      {"PE header beyond the file", [](auto& b, auto&) { Put32(b, 0x3C, 0xFFFFFFF0u); },
       "PE signature runs past the end of the file at offset 0xfffffff0"},
      {"no PE signature", [](auto& b, auto& l) { b[l.peHeaderOffset] = 'X'; }, "no \"PE\" signature at offset 0x80"},
      {"unknown magic", [](auto& b, auto& l) { Put16(b, l.optionalHeaderOffset, 0x107); },
       "unknown optional header magic 0x107"},
      {"optional header too small", [](auto& b, auto& l) { Put16(b, l.peHeaderOffset + 20, 8); },
       "optional header too small (8 bytes)"},
      {"too many sections", [](auto& b, auto& l) { Put16(b, l.peHeaderOffset + 6, 0xFFFF); },
       "section table of 65535 sections runs past the end of the file"},
      {"resource directory outside every section",
       [](auto& b, auto& l) { Put32(b, l.optionalHeaderOffset + 112 + 16, 0x9000); },
       "resource directory at RVA 0x9000 lies in no section's data"},
      {"section data beyond the file", [](auto& b, auto& l) { Put32(b, l.sectionTableOffset + 20, 0x7FFFFF00); },
       "resource directory of 16 bytes at RVA 0x1000 runs past the end of the file"},
      {"huge entry count", [](auto& b, auto& l) { Put16(b, l.resourceFileOffset + 14, 0xFFFF); },
       "resource type directory entries of"},
      {"type entry points to data",
       [](auto& b, auto& l) { Put32(b, l.resourceFileOffset + kRootEntries + 4, 0x40); },
       "resource type entry points to data where a directory belongs"},
      {"name outside the section",
       [](auto& b, auto& l) { Put32(b, l.resourceFileOffset + kRootEntries, 0x80000000u | 0x7FFFF); },
       "resource name at RVA"},
      {"language entry is a directory",
       [](auto& b, auto& l) {
         // Point the "DDS" 2 entry's language directory back at the root:
         // the walk ends at the third level instead of looping.
         Put32(b, l.resourceFileOffset + kDdsDirectory + 16 + 4, 0x80000000u);
       },
       "resource language entry of \"DDS\" 2 points to a directory"},
  };
  for (const Damage& damage : damages) {
    PeTestWriter writer = SampleWriter(true);
    std::vector<std::uint8_t> bytes = writer.Write();
    damage.apply(bytes, writer.Layout());
    try {
      PeModule module(std::move(bytes), "hostile.scr");
      module.FindResource(kDds, 2);
      module.FindResource(kDds, 107);
      ADD_FAILURE() << damage.description << ": no error";
    } catch (const InputError& error) {
      EXPECT_THAT(error.what(), HasSubstr("hostile.scr: broken Windows executable: ")) << damage.description;
      EXPECT_THAT(error.what(), HasSubstr(damage.expectedMessage)) << damage.description;
    }
  }
}

TEST(PeModule, ResourceDataMustLieInsideItsSection) {
  PeTestWriter writer = SampleWriter(true);
  std::vector<std::uint8_t> bytes = writer.Write();
  // The size field of "DDS" 107's data entry, the first resource added.
  Put32(bytes, writer.Layout().dataEntryOffsets.at(0) + 4, 0x10000);
  PeModule damaged(std::move(bytes), "hostile.scr");
  EXPECT_TRUE(damaged.FindResource(kDds, 2));
  try {
    damaged.FindResource(kDds, 107);
    ADD_FAILURE() << "no error";
  } catch (const InputError& error) {
    EXPECT_THAT(error.what(), HasSubstr("resource \"DDS\" 107 of 65536 bytes at RVA"));
    EXPECT_THAT(error.what(), HasSubstr("runs past its section's data"));
  }
}

// A real Windows executable from Debian's nsis-common package: the
// installer stubs carry bitmaps, icons and dialogs, and no scene document.
std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class RealExecutable : public ::testing::TestWithParam<std::pair<const char*, bool>> {};

TEST_P(RealExecutable, ReadsItsResources) {
  const std::filesystem::path path = GetParam().first;
  if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is missing (Debian package nsis-common)";
  PeModule module(ReadFile(path), path.string());
  EXPECT_EQ(module.IsPe32Plus(), GetParam().second);

  const auto bitmap = module.FindResource(kResourceTypeBitmap, 110);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->language, 0x409);
  ASSERT_EQ(bitmap->bytes.size(), 0x368u);
  EXPECT_EQ(bitmap->bytes[0], 40);  // a BITMAPINFOHEADER starts with its own size
  constexpr std::uint16_t kResourceTypeDialog = 5;
  EXPECT_TRUE(module.FindResource(kResourceTypeDialog, 102));
  EXPECT_FALSE(module.FindResource(kDds, 107));
}

INSTANTIATE_TEST_SUITE_P(NsisStubs, RealExecutable,
                         ::testing::Values(std::pair{"/usr/share/nsis/Stubs/zlib-amd64-unicode", true},
                                           std::pair{"/usr/share/nsis/Stubs/zlib-x86-unicode", false}));

}  // namespace
}  // namespace lumi
