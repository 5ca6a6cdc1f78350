// Feeds arbitrary text to the effect-program parser: it must either parse
// or name the fault, and a parsed program has techniques that all have
// passes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "render/effect_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  const auto source = lumi::ParseEffectSource({reinterpret_cast<const char*>(data), size}, error);
  if (!source) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (source->techniques.empty()) std::abort();
  for (const lumi::EffectTechnique& technique : source->techniques) {
    if (technique.passes.empty()) std::abort();
  }
  return 0;
}
