// The registries through which class names found in documents become
// objects. Each class registers itself once, from a static initialiser in
// the file that implements it:
//   static const lumi::RegisterClass<DS_WaterFX> kRegister(lumi::Family::General);
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive.h"

namespace lumi {

class ClassRegistry {
 public:
  struct Entry {
    int version = 0;
    std::unique_ptr<DS_IOF_Item> (*create)() = nullptr;
  };

  // Created on first use, so registration from any static initialiser works.
  static ClassRegistry& Get(Family family);

  // A name registers once: a second registration would leave documents
  // naming it to whichever came last, so it throws std::logic_error.
  void Register(std::string_view name, Entry entry);
  // Case-sensitive; no entry for an unknown name.
  const Entry* Find(std::string_view name) const;
  std::vector<std::string> Names() const;

  // The class that stands for records of classes this family does not know
  // (it derives from UnknownRecord); without one such a record fails the load.
  void SetUnknownClass(std::unique_ptr<DS_IOF_Item> (*create)()) { create_unknown_ = create; }
  std::unique_ptr<DS_IOF_Item> CreateUnknown() const { return create_unknown_ ? create_unknown_() : nullptr; }

 private:
  std::map<std::string, Entry, std::less<>> entries_;
  std::unique_ptr<DS_IOF_Item> (*create_unknown_)() = nullptr;
};

std::string_view FamilyName(Family family);

// Makes a default object of a registered class, or none (used by classes that
// build default members by name, such as a timeline for a kind).
std::unique_ptr<DS_IOF_Item> CreateDefault(Family family, std::string_view name);

// Registers from a static initialiser; a name registered twice stops the
// program at start-up with a message naming it.
void RegisterAtStartUp(Family family, std::string_view name, ClassRegistry::Entry entry);

// Sets T as the family's stand-in for unknown classes, from a static initialiser.
template <class T>
struct RegisterUnknownClass {
  explicit RegisterUnknownClass(Family family) {
    ClassRegistry::Get(family).SetUnknownClass([] { return std::unique_ptr<DS_IOF_Item>(new T()); });
  }
};

template <class T>
struct RegisterClass {
  explicit RegisterClass(Family family) {
    RegisterAtStartUp(family, T::kClassName, {T::kVersion, [] { return std::unique_ptr<DS_IOF_Item>(new T()); }});
  }
};

}  // namespace lumi
