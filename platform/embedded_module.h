// The resources the build packed into the executable under one module name,
// as tables of byte blocks: the stand-in for a resource module, and on Linux
// (the empty name) the executable's own resources.
#pragma once

#include <string>

#include "platform/resource_lookup.h"

namespace lumi {

class EmbeddedModule : public ResourceModule {
 public:
  // `folded_name` is the module's file name in ASCII lower case
  // (ModuleFileKey); empty for the executable.
  explicit EmbeddedModule(std::u16string folded_name);

  // Whether any packed table has that module name.
  bool Exists() const;
  std::optional<std::span<const std::uint8_t>> Find(const PeResourceName& type, std::uint16_t id) const override;

 private:
  std::u16string folded_name_;
};

}  // namespace lumi
