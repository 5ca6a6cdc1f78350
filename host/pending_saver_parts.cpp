#include "host/pending_saver_parts.h"

#include <cstdio>

#include "archive/utf.h"
#include "host/screensaver.h"

namespace lumi {

HResult PendingSaverParts::RunSaverLoop(CD3DScreensaver& host) {
  std::fprintf(stderr, "%s: playback is not yet available on this build\n", ToUtf8(host.windowTitle).c_str());
  playback_refused_ = true;
  return kSuccess;
}

}  // namespace lumi
