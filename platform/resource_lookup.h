// Resources of modules: the executable's own, packed into it at build time
// as tables of byte blocks, and resource modules (DLLs) read from disk as
// data. Both are found by (module, id, type), the type a name such as "DDS"
// or a number such as RT_RCDATA.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "archive/pe_module.h"

namespace lumi {

// One packed resource; `typeName` is null for a numbered type.
struct EmbeddedResource {
  const char16_t* typeName;
  std::uint16_t typeNumber;
  std::uint16_t id;
  const std::uint8_t* bytes;
  std::size_t size;
};

// The packed resources of one module; an empty name is the executable.
struct EmbeddedResourceTable {
  const char16_t* moduleName;
  const EmbeddedResource* entries;
  std::size_t count;
};

// Called by the tables the build packs, before main; the table must live
// for the whole process.
void RegisterEmbeddedResources(const EmbeddedResourceTable& table);

class ResourceModule {
 public:
  virtual ~ResourceModule() = default;
  // The resource's bytes, valid for the life of the process; nullopt when
  // the module has none. A module file whose resource tree turns out broken
  // throws InputError.
  virtual std::optional<std::span<const std::uint8_t>> Find(const PeResourceName& type, std::uint16_t id) const = 0;
};

// The executable's own resources.
const ResourceModule& ExecutableModule();

// The resource module named by `path`, loaded on first use and kept for the
// life of the process under its file name (the last component of the path,
// compared without regard to ASCII case, as Windows compares file names), so
// a later request from another directory gets the same module. The file at
// `path` is read as a PE module; when there is none (or it is not a valid
// one), a packed table of that file name stands in for it. nullptr when
// neither exists; that is not remembered, so the next request tries again.
// Like the rest of the saver it is used from the one thread.
const ResourceModule* FindModuleInstance(std::u16string_view path);

// Looks in `module`, or in the executable's own resources when it is null.
std::optional<std::span<const std::uint8_t>> FindModuleResource(const ResourceModule* module, const PeResourceName& type,
                                                                 std::uint16_t id);

}  // namespace lumi
