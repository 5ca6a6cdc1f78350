// The maker's website in the user's browser: through the desktop's
// xdg-open on Linux, through the browser command the shell registers for
// http on Windows.
#pragma once

#include <string_view>

namespace lumi {

// Starts the browser with the address; true when it started. No shell reads
// the address, and no part of it is taken as an option or placeholder.
bool OpenWebAddress(std::u16string_view address);

}  // namespace lumi
