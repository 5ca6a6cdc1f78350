#include "archive/pe_module.h"

#include <cstdio>

#include "archive/input_error.h"
#include "archive/utf.h"

namespace lumi {
namespace {

constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kCoffHeaderSize = 20;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kResourceDirectoryHeaderSize = 16;
constexpr std::uint32_t kResourceEntrySize = 8;
constexpr std::uint32_t kResourceDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;

char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace

bool PeResourceName::Matches(const PeResourceName& other) const {
  if (IsNumber() || other.IsNumber()) return IsNumber() == other.IsNumber() && number_ == other.number_;
  const std::u16string& a = *name_;
  const std::u16string& b = *other.name_;
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

std::string PeResourceName::ToString() const {
  if (IsNumber()) return std::to_string(number_);
  // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) about
  // "\"" + std::string&&.
  std::string quoted = "\"";
  quoted += ToUtf8(*name_);
  quoted += '"';
  return quoted;
}

PeModule::PeModule(std::vector<std::uint8_t> bytes, std::string sourceName)
    : bytes_(std::move(bytes)), source_name_(std::move(sourceName)) {
  if (bytes_.size() < 2 || bytes_[0] != 'M' || bytes_[1] != 'Z') Fail("no \"MZ\" signature", 0);
  const std::uint32_t peOffset = Read32(0x3C, "DOS header (offset of the PE header)");
  if (Read32(peOffset, "PE signature") != kPeSignature) Fail("no \"PE\" signature", peOffset);

  const std::uint64_t coff = std::uint64_t{peOffset} + 4;
  const std::uint16_t sectionCount = Read16(coff + 2, "COFF header");
  const std::uint16_t optionalSize = Read16(coff + 16, "COFF header");
  const std::uint64_t optional = coff + kCoffHeaderSize;

  const std::uint16_t magic = Read16(optional, "optional header");
  if (magic != kMagicPe32 && magic != kMagicPe32Plus) {
    Fail("unknown optional header magic " + Hex(magic), optional);
  }
  pe32Plus_ = magic == kMagicPe32Plus;
  const std::uint32_t directoryCountField = pe32Plus_ ? 108 : 92;
  const std::uint32_t directoriesField = directoryCountField + 4;
  if (optionalSize < directoriesField) {
    Fail("optional header too small (" + std::to_string(optionalSize) + " bytes)", optional);
  }
  const std::uint32_t directoryCount = Read32(optional + directoryCountField, "optional header");
  const std::uint64_t directoryRoom = (optionalSize - directoriesField) / 8;
  if (directoryCount > kResourceDirectoryIndex && directoryRoom > kResourceDirectoryIndex) {
    const std::uint64_t entry = optional + directoriesField + 8 * kResourceDirectoryIndex;
    resource_rva_ = Read32(entry, "resource data directory");
    resource_size_ = Read32(entry + 4, "resource data directory");
  }

  const std::uint64_t table = optional + optionalSize;
  if (table + std::uint64_t{sectionCount} * kSectionHeaderSize > bytes_.size()) {
    Fail("section table of " + std::to_string(sectionCount) + " sections runs past the end of the file", table);
  }
  sections_.reserve(sectionCount);
  for (std::uint32_t i = 0; i < sectionCount; ++i) {
    const std::uint64_t header = table + std::uint64_t{i} * kSectionHeaderSize;
    sections_.push_back(Section{Read32(header + 12, "section header"), Read32(header + 8, "section header"),
                                Read32(header + 20, "section header"), Read32(header + 16, "section header")});
  }

  if (resource_rva_ != 0 && resource_size_ != 0) {
    resource_file_offset_ = RvaToOffset(resource_rva_, kResourceDirectoryHeaderSize, "resource directory");
  }
}

void PeModule::Fail(const std::string& what, std::uint64_t offset) const {
  throw InputError(source_name_ + ": broken Windows executable: " + what + " at offset " + Hex(offset));
}

std::uint16_t PeModule::Read16(std::uint64_t offset, const char* what) const {
  if (offset + 2 > bytes_.size()) Fail(std::string(what) + " runs past the end of the file", offset);
  return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
}

std::uint32_t PeModule::Read32(std::uint64_t offset, const char* what) const {
  if (offset + 4 > bytes_.size()) Fail(std::string(what) + " runs past the end of the file", offset);
  return std::uint32_t{bytes_[offset]} | std::uint32_t{bytes_[offset + 1]} << 8 |
         std::uint32_t{bytes_[offset + 2]} << 16 | std::uint32_t{bytes_[offset + 3]} << 24;
}

std::uint64_t PeModule::RvaToOffset(std::uint32_t rva, std::uint32_t size, const char* what) const {
  for (const Section& section : sections_) {
    const std::uint64_t start = section.virtualAddress;
    const std::uint64_t end = start + section.rawSize;
    // An empty block may sit right at the end of a section's data.
    if (rva < start || rva > end || (rva == end && size != 0)) continue;
    const std::uint64_t inSection = rva - start;
    if (inSection + size > section.rawSize) {
      Fail(std::string(what) + " of " + std::to_string(size) + " bytes at RVA " + Hex(rva) +
               " runs past its section's data",
           std::uint64_t{section.rawOffset} + inSection);
    }
    const std::uint64_t offset = std::uint64_t{section.rawOffset} + inSection;
    if (offset + size > bytes_.size()) {
      Fail(std::string(what) + " of " + std::to_string(size) + " bytes at RVA " + Hex(rva) +
               " runs past the end of the file",
           offset);
    }
    return offset;
  }
  throw InputError(source_name_ + ": broken Windows executable: " + what + " at RVA " + Hex(rva) +
                   " lies in no section's data");
}

// Directory offsets inside the resource tree count from its start and may
// point anywhere in the section that holds it.
std::vector<PeModule::DirectoryEntry> PeModule::Entries(std::uint32_t directoryOffset, const char* level) const {
  const std::uint64_t directory = resource_file_offset_ + directoryOffset;
  const std::string where = std::string(level) + " directory";
  RvaToOffset(resource_rva_ + directoryOffset, kResourceDirectoryHeaderSize, where.c_str());
  const std::uint32_t count =
      std::uint32_t{Read16(directory + 12, where.c_str())} + Read16(directory + 14, where.c_str());
  std::vector<DirectoryEntry> entries;
  if (count == 0) return entries;
  RvaToOffset(resource_rva_ + directoryOffset + kResourceDirectoryHeaderSize, count * kResourceEntrySize,
              (where + " entries").c_str());
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t entryOffset = directory + kResourceDirectoryHeaderSize + i * kResourceEntrySize;
    entries.push_back({Read32(entryOffset, level), Read32(entryOffset + 4, level), entryOffset});
  }
  return entries;
}

std::optional<PeModule::DirectoryEntry> PeModule::FindEntry(std::uint32_t directoryOffset, const PeResourceName* key,
                                                            const char* level) const {
  for (const DirectoryEntry& entry : Entries(directoryOffset, level)) {
    if (key == nullptr || EntryName(entry).Matches(*key)) return entry;
  }
  return std::nullopt;
}

PeResourceName PeModule::EntryName(const DirectoryEntry& entry) const {
  if ((entry.nameField & kHighBit) == 0) return PeResourceName(static_cast<std::uint16_t>(entry.nameField));
  const std::uint32_t nameOffset = entry.nameField & ~kHighBit;
  const std::uint64_t at = RvaToOffset(resource_rva_ + nameOffset, 2, "resource name");
  const std::uint16_t length = Read16(at, "resource name");
  RvaToOffset(resource_rva_ + nameOffset, 2 + 2u * length, "resource name");
  std::u16string name(length, u'\0');
  for (std::uint16_t i = 0; i < length; ++i) name[i] = static_cast<char16_t>(Read16(at + 2 + 2u * i, "resource name"));
  return PeResourceName(std::u16string_view(name));
}

std::uint32_t PeModule::SubdirectoryOffset(const DirectoryEntry& entry, const char* level) const {
  if ((entry.offsetField & kHighBit) == 0) {
    Fail(std::string(level) + " entry points to data where a directory belongs", entry.fileOffset);
  }
  return entry.offsetField & ~kHighBit;
}

// The tree has exactly three levels (type, id, language), so an entry that
// points back at an ancestor directory cannot make the walk loop.
std::optional<PeResource> PeModule::FindResource(const PeResourceName& type, const PeResourceName& id) const {
  if (resource_file_offset_ == 0) return std::nullopt;
  const auto typeEntry = FindEntry(0, &type, "resource type");
  if (!typeEntry) return std::nullopt;
  const auto idEntry = FindEntry(SubdirectoryOffset(*typeEntry, "resource type"), &id, "resource id");
  if (!idEntry) return std::nullopt;
  const auto languageEntry = FindEntry(SubdirectoryOffset(*idEntry, "resource id"), nullptr, "resource language");
  if (!languageEntry) return std::nullopt;
  if (languageEntry->offsetField & kHighBit) {
    Fail("resource language entry of " + type.ToString() + " " + id.ToString() + " points to a directory",
         languageEntry->fileOffset);
  }
  const std::uint64_t dataEntry =
      RvaToOffset(resource_rva_ + languageEntry->offsetField, kResourceDataEntrySize, "resource data entry");
  const std::uint32_t dataRva = Read32(dataEntry, "resource data entry");
  const std::uint32_t dataSize = Read32(dataEntry + 4, "resource data entry");
  const std::string what = "resource " + type.ToString() + " " + id.ToString();
  const std::uint64_t data = RvaToOffset(dataRva, dataSize, what.c_str());
  return PeResource{static_cast<std::uint16_t>(languageEntry->nameField),
                    std::span<const std::uint8_t>(bytes_.data() + data, dataSize)};
}

std::vector<PeResourceName> PeModule::ResourceIds(const PeResourceName& type) const {
  std::vector<PeResourceName> ids;
  if (resource_file_offset_ == 0) return ids;
  const auto typeEntry = FindEntry(0, &type, "resource type");
  if (!typeEntry) return ids;
  for (const DirectoryEntry& entry : Entries(SubdirectoryOffset(*typeEntry, "resource type"), "resource id")) {
    ids.push_back(EntryName(entry));
  }
  return ids;
}

}  // namespace lumi
