// The parts of the host that start-up and the run modes hand work to:
// monitors and devices, the saver windows and their loop, and the media
// graph of the background music. Each run mode calls only what it needs.
#pragma once

#include "host/command_line.h"
#include "host/result_codes.h"

namespace lumi {

class CD3DScreensaver;
class SaverSettings;

// An operation takes the host when it reads or changes it (its mode,
// windows, errors, the unit being drawn); the others work on the parts'
// own monitors, adapters and media graph alone.
class SaverParts {
 public:
  virtual ~SaverParts() = default;

  virtual void EnumerateMonitors() = 0;
  // Creates the saver windows of the host's mode and sets its main window.
  virtual HResult CreateSaverWindows(CD3DScreensaver& host) = 0;
  virtual HResult BuildDeviceList() = 0;
  // Whether any adapter has a usable hardware or software device.
  virtual bool HasUsableDevice() const = 0;
  // Each adapter takes the stored choices of its monitor's screen.
  virtual void ReadScreenSettings(SaverSettings& settings) = 0;
  virtual void CreateMediaGraph(WindowHandle notification_window) = 0;
  // One pending event of the media graph; -1 when there is none.
  virtual long GetMediaEvent() = 0;
  virtual HResult RunSaverLoop(CD3DScreensaver& host) = 0;
  // Releases every render unit's device, telling the host first.
  virtual void Cleanup3D(CD3DScreensaver& host) = 0;
  // The window's size changed: its unit is reset at the new size.
  virtual void OnWindowResized(WindowHandle window) = 0;
  // Paints the error box of the window's monitor (or black where it has none).
  virtual void PaintError(CD3DScreensaver& host, WindowHandle window) = 0;
  virtual void FreeAdapters() = 0;
};

}  // namespace lumi
