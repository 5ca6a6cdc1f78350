#include <unistd.h>

#include "platform/terminal.h"

namespace lumi {

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace lumi
