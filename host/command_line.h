// The screen-saver command line of Windows: which run mode the process is
// started in and the window handle that goes with it.
#pragma once

#include <cstdint>
#include <string_view>

namespace lumi {

enum SaverMode : std::int32_t {
  ModeConfigure = 0,
  ModePreview = 1,
  ModeFull = 2,
  ModeTest = 3,
  ModeChangePassword = 4,
  ModeReservedR = 5,
  ModeReservedN = 6,
};

// A window handle as its number; 0 is none.
using WindowHandle = std::intptr_t;

struct ParsedCommandLine {
  SaverMode mode = ModeConfigure;
  WindowHandle parent_window = 0;
};

// The first "/" or "-" after the program name and the letter after it pick
// the mode; /a, /c and /p take the first decimal number that follows as the
// parent window. Every letter not listed means full screen.
ParsedCommandLine ParseCommandLine(std::u16string_view command_line);

}  // namespace lumi
