#include "host/process_entry.h"

namespace lumi {

int RunSaverProcess(CD3DScreensaver& host, ModuleInstance instance) {
  const HResult created = host.Create(instance);
  if (Failed(created)) {
    host.ShowError(created);
    return 0;
  }
  return host.Run();
}

}  // namespace lumi
