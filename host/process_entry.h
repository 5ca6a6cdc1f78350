// The process entry of the saver once its host is built: start-up, then the
// run mode's work.
#pragma once

#include "host/screensaver.h"

namespace lumi {

// The process's exit value.
int RunSaverProcess(CD3DScreensaver& host);

}  // namespace lumi
