#include "timing/identity_map.h"

#include <map>

namespace lumi {
namespace {

std::map<GUID, TimedObject*>& Map() {
  static std::map<GUID, TimedObject*> map;
  return map;
}

}  // namespace

void EnterIdentity(const GUID& identity, TimedObject* object) { Map()[identity] = object; }

void RemoveIdentity(const GUID& identity) { Map().erase(identity); }

TimedObject* FindIdentity(const GUID& identity) {
  const auto it = Map().find(identity);
  return it == Map().end() ? nullptr : it->second;
}

}  // namespace lumi
