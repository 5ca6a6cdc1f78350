#include "host/process_entry.h"

namespace lumi {

int RunSaverProcess(CD3DScreensaver& host) {
  const HResult created = host.Create();
  if (Failed(created)) {
    host.ShowError(created);
    return 0;
  }
  return host.Run();
}

}  // namespace lumi
