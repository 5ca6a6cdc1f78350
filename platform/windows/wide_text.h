// Our UTF-16 text as the wide strings Windows calls take: the same code
// units, wchar_t being 16 bits there.
#pragma once

#include <string>
#include <string_view>

namespace lumi {

inline std::wstring ToWide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace lumi
