#include "render/losable.h"

#include <cstdio>
#include <random>

namespace lumi {

namespace {

thread_local LosableRegistry* currentRegistry = nullptr;

}  // namespace

void LosableTable::Register(const std::string& name, VRN_LosableObj* object) {
  Unregister(name);
  objects_.emplace_back(name, object);
}

void LosableTable::Unregister(const std::string& name) {
  std::erase_if(objects_, [&](const auto& entry) { return entry.first == name; });
}

void LosableTable::LoseAll() {
  for (const auto& [name, object] : objects_) object->Lose();
}

LosableTable::~LosableTable() {
  for (const auto& [name, object] : objects_) object->registry_ = nullptr;
}

void LosableTable::RestoreAll() {
  for (const auto& [name, object] : objects_) object->Restore();
}

LosableRegistry* CurrentLosableRegistry() { return currentRegistry; }
void SetCurrentLosableRegistry(LosableRegistry* registry) { currentRegistry = registry; }

std::string NewGuidText() {
  static thread_local std::mt19937_64 generator{std::random_device{}()};
  const uint64_t high = generator(), low = generator();
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(high >> 32),
                static_cast<unsigned>((high >> 16) & 0xffff), static_cast<unsigned>((high & 0x0fff) | 0x4000),
                static_cast<unsigned>(((low >> 48) & 0x3fff) | 0x8000),
                static_cast<unsigned long long>(low & 0xffffffffffffULL));
  return text;
}

VRN_LosableObj::VRN_LosableObj() : name_(NewGuidText()), registry_(currentRegistry) {
  if (registry_) registry_->Register(name_, this);
}

VRN_LosableObj::~VRN_LosableObj() {
  if (registry_) registry_->Unregister(name_);
}

}  // namespace lumi
