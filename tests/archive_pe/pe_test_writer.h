// Writes small but valid Windows executables (PE32 or PE32+) whose only
// section is a resource section, for the PE reader's tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace lumi::test {

struct PeTestKey {
  std::u16string name;  // empty: use number
  std::uint16_t number = 0;
  bool operator<(const PeTestKey& other) const {
    // Named entries come first, as the format requires.
    if (name.empty() != other.name.empty()) return !name.empty();
    return name.empty() ? number < other.number : name < other.name;
  }
};

inline PeTestKey Named(std::u16string name) { return {std::move(name), 0}; }
inline PeTestKey Numbered(std::uint16_t number) { return {u"", number}; }

struct PeTestResource {
  PeTestKey type;
  PeTestKey id;
  std::uint16_t language = 0x409;
  std::vector<std::uint8_t> bytes;
};

// Where things landed, for tests that damage the file on purpose.
struct PeTestLayout {
  std::uint32_t peHeaderOffset = 0x80;
  std::uint32_t optionalHeaderOffset = 0;
  std::uint32_t sectionTableOffset = 0;
  std::uint32_t resourceFileOffset = 0x200;
  std::uint32_t resourceRva = 0x1000;
  std::vector<std::uint32_t> dataEntryOffsets;  // file offsets, in the order resources were added
};

class PeTestWriter {
 public:
  explicit PeTestWriter(bool pe32Plus = true) : pe32Plus_(pe32Plus) {}

  PeTestWriter& Add(PeTestResource resource) {
    resources_.push_back(std::move(resource));
    return *this;
  }
  // Leaves the resource data directory empty.
  PeTestWriter& WithoutResourceDirectory() {
    without_directory_ = true;
    return *this;
  }

  const PeTestLayout& Layout() const { return layout_; }

  std::vector<std::uint8_t> Write() {
    const std::vector<std::uint8_t> section = ResourceSection();
    const std::uint32_t optionalSize = pe32Plus_ ? 240 : 224;
    layout_.optionalHeaderOffset = layout_.peHeaderOffset + 24;
    layout_.sectionTableOffset = layout_.optionalHeaderOffset + optionalSize;

    out_.assign(layout_.resourceFileOffset, 0);
    Put16(0, 0x5A4D);  // "MZ"
    Put32(0x3C, layout_.peHeaderOffset);
    const std::uint32_t pe = layout_.peHeaderOffset;
    Put32(pe, 0x00004550);
    Put16(pe + 4, pe32Plus_ ? 0x8664 : 0x014C);
    Put16(pe + 6, 1);
    Put16(pe + 20, static_cast<std::uint16_t>(optionalSize));
    Put16(pe + 22, pe32Plus_ ? 0x0022 : 0x0102);

    const std::uint32_t opt = layout_.optionalHeaderOffset;
    Put16(opt, pe32Plus_ ? 0x20B : 0x10B);
    Put32(opt + 32, 0x1000);                                            // section alignment
    Put32(opt + 36, 0x200);                                             // file alignment
    Put32(opt + 56, layout_.resourceRva + AlignUp(static_cast<std::uint32_t>(section.size()), 0x1000));
    Put32(opt + 60, layout_.resourceFileOffset);                        // size of headers
    Put16(opt + 68, 2);                                                 // GUI subsystem
    const std::uint32_t directories = opt + (pe32Plus_ ? 112 : 96);
    Put32(directories - 4, 16);
    if (!without_directory_) {
      Put32(directories + 16, layout_.resourceRva);
      Put32(directories + 20, static_cast<std::uint32_t>(section.size()));
    }

    const std::uint32_t header = layout_.sectionTableOffset;
    const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    std::copy(name, name + 8, out_.begin() + header);
    Put32(header + 8, static_cast<std::uint32_t>(section.size()));
    Put32(header + 12, layout_.resourceRva);
    Put32(header + 16, static_cast<std::uint32_t>(section.size()));
    Put32(header + 20, layout_.resourceFileOffset);
    Put32(header + 36, 0x40000040);

    out_.insert(out_.end(), section.begin(), section.end());
    return out_;
  }

 private:
  using LanguageMap = std::map<std::uint16_t, const PeTestResource*>;
  using IdMap = std::map<PeTestKey, LanguageMap>;

  static std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
  }
  void Put16(std::size_t at, std::uint16_t value) { Put(out_, at, value, 2); }
  void Put32(std::size_t at, std::uint32_t value) { Put(out_, at, value, 4); }
  static void Put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, int size) {
    if (bytes.size() < at + size) bytes.resize(at + size);
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  static std::uint32_t DirectorySize(std::size_t entries) { return 16 + 8 * static_cast<std::uint32_t>(entries); }

  // Directories first (root, then each type's, then each id's), then data
  // entries, then names, then the resource bytes.
  std::vector<std::uint8_t> ResourceSection() {
    std::map<PeTestKey, IdMap> tree;
    for (const PeTestResource& r : resources_) tree[r.type][r.id][r.language] = &r;

    std::uint32_t cursor = DirectorySize(tree.size());
    std::map<const IdMap*, std::uint32_t> typeDirectories;
    for (const auto& [type, ids] : tree) {
      typeDirectories[&ids] = cursor;
      cursor += DirectorySize(ids.size());
    }
    std::map<const LanguageMap*, std::uint32_t> languageDirectories;
    for (const auto& [type, ids] : tree) {
      for (const auto& [id, languages] : ids) {
        languageDirectories[&languages] = cursor;
        cursor += DirectorySize(languages.size());
      }
    }
    std::map<const PeTestResource*, std::uint32_t> dataEntries;
    layout_.dataEntryOffsets.clear();
    for (const PeTestResource& r : resources_) {
      dataEntries[&r] = cursor;
      layout_.dataEntryOffsets.push_back(layout_.resourceFileOffset + cursor);
      cursor += 16;
    }
    std::map<std::u16string, std::uint32_t> names;
    for (const PeTestResource& r : resources_) {
      for (const PeTestKey* key : {&r.type, &r.id}) {
        if (key->name.empty() || names.count(key->name)) continue;
        names[key->name] = cursor;
        cursor += 2 + 2 * static_cast<std::uint32_t>(key->name.size());
      }
    }
    std::vector<std::uint8_t> section(cursor, 0);
    for (const auto& [name, at] : names) {
      Put(section, at, static_cast<std::uint32_t>(name.size()), 2);
      for (std::size_t i = 0; i < name.size(); ++i) Put(section, at + 2 + 2 * i, name[i], 2);
    }
    for (const PeTestResource& r : resources_) {
      const std::uint32_t dataOffset = AlignUp(static_cast<std::uint32_t>(section.size()), 8);
      section.resize(dataOffset);
      section.insert(section.end(), r.bytes.begin(), r.bytes.end());
      Put(section, dataEntries[&r], layout_.resourceRva + dataOffset, 4);
      Put(section, dataEntries[&r] + 4, static_cast<std::uint32_t>(r.bytes.size()), 4);
    }

    auto writeDirectory = [&](std::uint32_t at, const auto& children, auto childOffset) {
      std::uint16_t namedCount = 0;
      std::uint16_t idCount = 0;
      std::uint32_t entry = at + 16;
      for (const auto& [key, child] : children) {
        const std::uint32_t nameField = KeyField(key, names);
        ((nameField & 0x80000000u) ? namedCount : idCount)++;
        Put(section, entry, nameField, 4);
        Put(section, entry + 4, childOffset(child), 4);
        entry += 8;
      }
      Put(section, at + 12, namedCount, 2);
      Put(section, at + 14, idCount, 2);
    };
    writeDirectory(0, tree, [&](const IdMap& ids) { return 0x80000000u | typeDirectories[&ids]; });
    for (const auto& [type, ids] : tree) {
      writeDirectory(typeDirectories[&ids], ids,
                     [&](const LanguageMap& languages) { return 0x80000000u | languageDirectories[&languages]; });
      for (const auto& [id, languages] : ids) {
        std::map<PeTestKey, const PeTestResource*> byLanguage;
        for (const auto& [language, resource] : languages) byLanguage[Numbered(language)] = resource;
        writeDirectory(languageDirectories[&languages], byLanguage,
                       [&](const PeTestResource* resource) { return dataEntries[resource]; });
      }
    }
    return section;
  }

  static std::uint32_t KeyField(const PeTestKey& key, const std::map<std::u16string, std::uint32_t>& names) {
    return key.name.empty() ? key.number : 0x80000000u | names.at(key.name);
  }

  bool pe32Plus_;
  bool without_directory_ = false;
  std::vector<PeTestResource> resources_;
  PeTestLayout layout_;
  std::vector<std::uint8_t> out_;
};

}  // namespace lumi::test
