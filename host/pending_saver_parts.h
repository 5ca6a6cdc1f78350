// The saver's parts for a build that cannot draw yet. Start-up goes through
// without windows or adapters (reporting none would show the user a
// misleading Direct3D message), and the drawing modes end with a message
// saying that playback is not available on this build.
#pragma once

#include "host/saver_parts.h"

namespace lumi {

class PendingSaverParts : public SaverParts {
 public:
  void EnumerateMonitors(CD3DScreensaver&) override {}
  HResult CreateSaverWindows(CD3DScreensaver&) override { return kSuccess; }
  HResult BuildDeviceList(CD3DScreensaver&) override { return kSuccess; }
  bool HasUsableDevice(const CD3DScreensaver&) const override { return true; }
  void CreateMediaGraph(CD3DScreensaver&, WindowHandle) override {}
  HResult RunSaverLoop(CD3DScreensaver& host) override;
  void FreeAdapters(CD3DScreensaver&) override {}
};

}  // namespace lumi
