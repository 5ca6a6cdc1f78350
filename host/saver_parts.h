// The parts of the host that start-up and the run modes hand work to:
// monitors and devices, the saver windows and their loop, and the media
// graph of the background music. Each run mode calls only what it needs.
#pragma once

#include "host/command_line.h"
#include "host/result_codes.h"

namespace lumi {

class CD3DScreensaver;

class SaverParts {
 public:
  virtual ~SaverParts() = default;

  virtual void EnumerateMonitors(CD3DScreensaver& host) = 0;
  // Creates the saver windows of the host's mode and sets its main window.
  virtual HResult CreateSaverWindows(CD3DScreensaver& host) = 0;
  virtual HResult BuildDeviceList(CD3DScreensaver& host) = 0;
  // Whether any adapter has a usable hardware or software device.
  virtual bool HasUsableDevice(const CD3DScreensaver& host) const = 0;
  virtual void CreateMediaGraph(CD3DScreensaver& host, WindowHandle notificationWindow) = 0;
  virtual HResult RunSaverLoop(CD3DScreensaver& host) = 0;
  virtual void FreeAdapters(CD3DScreensaver& host) = 0;
};

}  // namespace lumi
