// The saver's windows on Linux: SDL2 for monitors, our own windows, their
// events and OpenGL devices; Xlib for windows inside foreign ones (as
// xscreensaver hands them out), for painting the error box without a
// device, and for surviving X errors (a host destroying the window we draw
// into, a driver that cannot load) that would otherwise end the process.
//
// Implements SaverDisplay: monitors, adapters from the GL renderer, the
// saver's own windows and windows inside foreign ones, their rectangles,
// invalidation, a GL device per window, the error box.
// Does not: announce that the saver runs (xscreensaver itself knows).
#pragma once

#include <memory>
#include <string>

#include "platform/linux/saver_platform_linux.h"
#include "platform/saver_display.h"

namespace lumi {

// Connects to the X display and becomes the platform's event source for
// its life. Null with the reason in error when there is no display.
std::unique_ptr<SaverDisplay> OpenX11SaverDisplay(LinuxSaverPlatform& platform, std::string& error);

}  // namespace lumi
