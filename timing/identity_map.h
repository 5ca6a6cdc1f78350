// The process-wide map from an object's identity to the playing object, by
// which a depended timeline finds the timeline it follows. Entries are not
// owned: an object enters itself when it is made and leaves when it dies.
#pragma once

#include "archive/guid.h"

namespace lumi {

class VRN_SmartTiming;

// What the map holds: a playing object, reached for its timing.
class TimedObject {
 public:
  virtual VRN_SmartTiming& ObjectTiming() = 0;

 protected:
  ~TimedObject() = default;
};

// Replaces any earlier entry for the identity.
void EnterIdentity(const GUID& identity, TimedObject* object);
// Removes the entry for the identity, whichever object it names.
void RemoveIdentity(const GUID& identity);
// The object entered for the identity, or none.
TimedObject* FindIdentity(const GUID& identity);

}  // namespace lumi
