// The saver's windows on Windows: monitors and modes from the display
// devices, the window class "D3DSaverWndClass" whose messages reach the
// saver's window procedure as they are, an OpenGL device per window over
// WGL, and the error box painted with GDI.
//
// Implements SaverDisplay: every operation, announcing the running saver
// to the system (SPI_SCREENSAVERRUNNING) included.
// Does not: change display modes; a unit renders at the monitor's mode.
#pragma once

#include <memory>

#include "platform/saver_display.h"
#include "platform/windows/saver_platform_windows.h"

namespace lumi {

// Registers the window class; the display must outlive the saver's use of
// its windows, and the platform the display.
std::unique_ptr<SaverDisplay> CreateWin32SaverDisplay(WindowsSaverPlatform& platform);

}  // namespace lumi
