// Dialog texts mark their access key with "&" as Windows does; toolkits
// that mark it with "_" need it translated.
#pragma once

#include <string>
#include <string_view>

namespace lumi {

// UTF-8, "&" becoming "_", "&&" a literal "&" and a literal "_" doubled.
std::string ToUnderscoreMnemonic(std::u16string_view text);

}  // namespace lumi
