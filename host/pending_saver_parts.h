// The saver's parts for a build that cannot draw yet. Start-up goes through
// without windows or adapters (reporting none would show the user a
// misleading Direct3D message), and the drawing modes end with a message
// saying that playback is not available on this build. The process then
// exits with kPlaybackUnavailableExit, so that a host starting us (a
// screen-saver daemon, a session manager, a script) sees the failure.
#pragma once

#include "host/saver_parts.h"

namespace lumi {

class PendingSaverParts : public SaverParts {
 public:
  void EnumerateMonitors(CD3DScreensaver&) override {}
  HResult CreateSaverWindows(CD3DScreensaver&) override { return kSuccess; }
  HResult BuildDeviceList(CD3DScreensaver&) override { return kSuccess; }
  bool HasUsableDevice(const CD3DScreensaver&) const override { return true; }
  void ReadScreenSettings(SaverSettings&) override {}
  void CreateMediaGraph(CD3DScreensaver&, WindowHandle) override {}
  long GetMediaEvent() override { return -1; }
  HResult RunSaverLoop(CD3DScreensaver& host) override;
  void Cleanup3D(CD3DScreensaver&) override {}
  void OnWindowResized(CD3DScreensaver&, WindowHandle) override {}
  void PaintError(CD3DScreensaver&, WindowHandle) override {}
  void FreeAdapters(CD3DScreensaver&) override {}

  // The process's exit code: `host_result` unless a drawing mode was refused.
  int ExitCode(int host_result) const { return playback_refused_ ? kPlaybackUnavailableExit : host_result; }

  static constexpr int kPlaybackUnavailableExit = 1;

 private:
  bool playback_refused_ = false;
};

}  // namespace lumi
