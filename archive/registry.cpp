#include "archive/registry.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace lumi {

ClassRegistry& ClassRegistry::Get(Family family) {
  static ClassRegistry registries[4];
  return registries[static_cast<int>(family)];
}

void ClassRegistry::Register(std::string_view name, Entry entry) {
  if (!entries_.emplace(std::string(name), entry).second) {
    throw std::logic_error("class " + std::string(name) + " is registered twice");
  }
}

const ClassRegistry::Entry* ClassRegistry::Find(std::string_view name) const {
  const auto it = entries_.lower_bound(name);
  if (it == entries_.end() || it->first != name) return nullptr;
  return &it->second;
}

std::vector<std::string> ClassRegistry::Names() const {
  std::vector<std::string> names;
  for (const auto& [name, entry] : entries_) names.push_back(name);
  return names;
}

std::string_view FamilyName(Family family) {
  switch (family) {
    case Family::General: return "scene object";
    case Family::Slide: return "slide";
    case Family::Backdrop: return "backdrop";
    case Family::Timeline: return "timeline";
  }
  return "unknown";
}

void RegisterAtStartUp(Family family, std::string_view name, ClassRegistry::Entry entry) {
  try {
    ClassRegistry::Get(family).Register(name, entry);
  } catch (const std::logic_error& e) {
    std::fprintf(stderr, "lumisave: %s (%s registry)\n", e.what(), std::string(FamilyName(family)).c_str());
    std::abort();
  }
}

std::unique_ptr<DS_IOF_Item> CreateDefault(Family family, std::string_view name) {
  const ClassRegistry::Entry* entry = ClassRegistry::Get(family).Find(name);
  return entry ? entry->create() : nullptr;
}

}  // namespace lumi
