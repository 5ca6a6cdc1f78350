// Resources of modules: resource modules (DLLs) read from disk as data, the
// stand-ins for them that the build packs into the executable as tables of
// byte blocks, and the executable's own resources. All are found by
// (module, id, type), the type a name such as "DDS" or a number such as
// RT_RCDATA.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/pe_module.h"

namespace lumi {

// One packed resource; `type_name` is null for a numbered type.
struct EmbeddedResource {
  const char16_t* type_name;
  std::uint16_t type_number;
  std::uint16_t id;
  const std::uint8_t* bytes;
  std::size_t size;
};

// The packed resources of one module; an empty name is the executable
// (except on Windows, where the executable's own are in its resource
// section).
struct EmbeddedResourceTable {
  const char16_t* module_name;
  const EmbeddedResource* entries;
  std::size_t count;
};

// Called by the tables the build packs, before main; the table must live
// for the whole process.
void RegisterEmbeddedResources(const EmbeddedResourceTable& table);

// Files that documents name (modules, pictures, meshes) are read only when
// they are regular files of at most this size.
inline constexpr std::uintmax_t kMaxResourceFileBytes = std::uintmax_t{64} << 20;

// The bytes of a regular file of at most kMaxResourceFileBytes; nullopt
// with the reason in error for anything else (missing, a directory, a
// device or FIFO, too large, unreadable).
std::optional<std::vector<std::uint8_t>> ReadResourceFile(const std::filesystem::path& path, std::string& error);

// A file a document names (pictures, frame files): only a full path is
// read, since a relative one would name a file in whatever directory the
// saver happens to run in; then as ReadResourceFile.
std::optional<std::vector<std::uint8_t>> ReadDocumentNamedFile(std::u16string_view path, std::string& error);

// Where messages about resources go (a module that is broken, a picture
// that does not decode). By default they are written to the standard error
// stream; tests catch them. Null restores the default.
using ResourceMessageSink = std::function<void(const std::string&)>;
void SetResourceMessageSink(ResourceMessageSink sink);
void ReportResourceMessage(const std::string& message);

// A resource id as a document stores it: ids outside 0 to 65535 name no
// resource (a 64-bit key number is never cut down to 16 bits).
std::optional<std::uint16_t> ResourceIdOf(std::int64_t number);

class ResourceModule {
 public:
  virtual ~ResourceModule() = default;
  // The resource's bytes, valid for the life of the process; nullopt when
  // the module has none. A module whose resource tree turns out broken
  // counts as having none, with one message.
  virtual std::optional<std::span<const std::uint8_t>> Find(const PeResourceName& type, std::uint16_t id) const = 0;
};

// The executable's own resources: its packed table, on Windows its resource
// section.
const ResourceModule& ExecutableModule();

// The document being played: modules are looked for beside it first.
// An empty path leaves only the other places.
void SetDocumentDirectory(const std::filesystem::path& directory);

// The places a module file is looked for, in order: beside the document,
// beside the executable, then the user's module folder
// ($XDG_DATA_HOME/lumisave/modules, %APPDATA%\lumisave\modules on Windows).
std::vector<std::filesystem::path> ModuleDirectories();

// The resource module file named by `path`, loaded on first use. Only its
// file name counts (documents carry paths from the author's disk, which are
// never read, nor is the working directory): it is looked for in
// ModuleDirectories(), and kept for the life of the process under its file
// name, compared without regard to ASCII case as Windows compares file
// names, so a later request from another directory gets the same module.
// nullptr when there is none or it is not a regular PE file of at most
// kMaxResourceFileBytes (a broken one gets one message); that is not
// remembered, so the next request tries again.
// Like the rest of the saver it is used from the one thread.
const ResourceModule* FindModuleInstance(std::u16string_view path);

// The name under which a module is known: the file name of `path`, in
// ASCII lower case.
std::u16string ModuleFileKey(std::u16string_view path);

// The packed stand-in for the module of that file name, or nullptr. Lookups
// use it after the module file and the document's own copy.
const ResourceModule* FindPackedModule(std::u16string_view path);

// Looks in `module`, or in the executable's own resources when it is null.
std::optional<std::span<const std::uint8_t>> FindModuleResource(const ResourceModule* module, const PeResourceName& type,
                                                                 std::uint16_t id);

}  // namespace lumi
