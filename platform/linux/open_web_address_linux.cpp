#include "platform/open_web_address.h"

#include "archive/utf.h"
#include "platform/linux/child_process.h"

namespace lumi {

bool OpenWebAddress(std::u16string_view address) { return StartFromPath("xdg-open", {ToUtf8(address)}); }

}  // namespace lumi
