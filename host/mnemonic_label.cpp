#include "host/mnemonic_label.h"

#include "archive/utf.h"

namespace lumi {

std::string ToUnderscoreMnemonic(std::u16string_view text) {
  std::u16string marked;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'_') {
      marked += u"__";
    } else if (text[i] == u'&' && i + 1 < text.size() && text[i + 1] == u'&') {
      marked += u'&';
      ++i;
    } else {
      marked += text[i] == u'&' ? u'_' : text[i];
    }
  }
  return ToUtf8(marked);
}

}  // namespace lumi
