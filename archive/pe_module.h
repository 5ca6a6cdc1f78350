// A Windows executable or DLL (PE32 or PE32+) read as data: its headers,
// section table and resource tree, every offset checked against the file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumi {

// Standard resource type numbers.
inline constexpr std::uint16_t kResourceTypeBitmap = 2;
inline constexpr std::uint16_t kResourceTypeString = 6;
inline constexpr std::uint16_t kResourceTypeRcData = 10;

// A resource type or name: either a 16-bit number or a UTF-16 name. Names
// compare without regard to ASCII case, as the Windows resource functions do
// (resource compilers store names upper-cased and the loader upper-cases the
// name it is asked for).
class PeResourceName {
 public:
  // Implicit, so that a plain number stands for a numbered type or id.
  PeResourceName(std::uint16_t number) : number_(number) {}
  explicit PeResourceName(std::u16string_view name) : name_(name) {}

  bool IsNumber() const { return !name_.has_value(); }
  std::uint16_t Number() const { return number_; }
  const std::u16string& Name() const { return *name_; }
  bool Matches(const PeResourceName& other) const;
  // "10" or "DDS", for messages.
  std::string ToString() const;

 private:
  std::uint16_t number_ = 0;
  std::optional<std::u16string> name_;
};

struct PeResource {
  std::uint16_t language = 0;
  std::span<const std::uint8_t> bytes;
};

class PeModule {
 public:
  // Checks the DOS header, PE header, optional header and section table;
  // throws InputError naming `sourceName`, what was wrong and the offset.
  PeModule(std::vector<std::uint8_t> bytes, std::string sourceName);

  bool IsPe32Plus() const { return pe32Plus_; }

  // The first language of resource (type, id), or nullopt when the module
  // has no such resource. A broken resource tree met on the way throws
  // InputError. The bytes stay valid as long as the module.
  std::optional<PeResource> FindResource(const PeResourceName& type, const PeResourceName& id) const;
  // The ids of every resource of `type`, in the tree's order; empty when
  // the module has none. A broken tree throws InputError.
  std::vector<PeResourceName> ResourceIds(const PeResourceName& type) const;

 private:
  struct Section {
    std::uint32_t virtualAddress = 0;
    std::uint32_t virtualSize = 0;
    std::uint32_t rawOffset = 0;
    std::uint32_t rawSize = 0;
  };
  struct DirectoryEntry {
    std::uint32_t nameField = 0;
    std::uint32_t offsetField = 0;
    std::uint64_t fileOffset = 0;
  };

  [[noreturn]] void Fail(const std::string& what, std::uint64_t offset) const;
  std::uint16_t Read16(std::uint64_t offset, const char* what) const;
  std::uint32_t Read32(std::uint64_t offset, const char* what) const;
  // File offset of `size` bytes at `rva`, all inside one section's data.
  std::uint64_t RvaToOffset(std::uint32_t rva, std::uint32_t size, const char* what) const;
  std::vector<DirectoryEntry> Entries(std::uint32_t directoryOffset, const char* level) const;
  std::optional<DirectoryEntry> FindEntry(std::uint32_t directoryOffset, const PeResourceName* key,
                                          const char* level) const;
  PeResourceName EntryName(const DirectoryEntry& entry) const;
  std::uint32_t SubdirectoryOffset(const DirectoryEntry& entry, const char* level) const;

  std::vector<std::uint8_t> bytes_;
  std::string source_name_;
  bool pe32Plus_ = false;
  std::vector<Section> sections_;
  std::uint32_t resource_rva_ = 0;
  std::uint32_t resource_size_ = 0;
  std::uint64_t resource_file_offset_ = 0;
};

}  // namespace lumi
