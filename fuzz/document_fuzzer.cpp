// Feeds arbitrary bytes to the document reader. A document must either load
// or fail with InputError; one that loads must save and load again to the
// same bytes.
#include <cstdint>
#include <cstdlib>

#include "archive/input_error.h"
#include "scene/document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    lumi::Document document = lumi::LoadDocument({data, size});
    const std::vector<uint8_t> saved = lumi::SaveDocument(document);
    lumi::Document again = lumi::LoadDocument(saved);
    if (lumi::SaveDocument(again) != saved) std::abort();
  } catch (const lumi::InputError&) {
  }
  return 0;
}
