// The maker's website in the user's browser, through the desktop's
// xdg-open.
#pragma once

#include <string_view>

namespace lumi {

// Starts xdg-open from PATH with the address as its one argument (no shell
// reads it). True when it started.
bool OpenWebAddress(std::u16string_view address);

}  // namespace lumi
