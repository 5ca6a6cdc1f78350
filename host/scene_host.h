// What the host asks of whatever plays its document on the render units:
// one scene record per unit, selected before every call for that unit.
#pragma once

#include <string>

#include "host/result_codes.h"
#include "platform/saver_platform.h"

namespace lumi {

class GraphicsDevice;

inline constexpr int kSceneRecordCount = 10;

class SceneHost {
 public:
  virtual ~SceneHost() = default;

  // Makes record `unit` (0 to kSceneRecordCount - 1) and its device current.
  virtual void SelectUnit(int unit, GraphicsDevice* device) = 0;
  // One frame of the current unit at `app_time` seconds, not presented:
  // "Loading..." first, the document on the second frame, then the scene.
  // A failure is the code the host records.
  virtual HResult Render(double app_time) = 0;
  // After each device creation or reset; throws when the sound device
  // cannot be made.
  virtual void OnDeviceReset(PlatformWindow main_window) = 0;
  // Before a reset: sound stops and the scene lets its device objects go.
  virtual void OnDeviceLost() = 0;
  // The current unit's device is about to be destroyed.
  virtual void OnDeviceDestroyed() = 0;
  virtual void OnMediaEvent(long code) = 0;
  // What was wrong, in the user's words, after Render failed; empty when
  // the error code says it all.
  virtual std::string FailureReason() const { return {}; }
};

}  // namespace lumi
