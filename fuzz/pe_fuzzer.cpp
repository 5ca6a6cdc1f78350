// Feeds arbitrary bytes to the PE reader and asks it for the resources the
// player looks up: a module must either be read or be refused with
// InputError, and so must every lookup in its resource tree.
#include <cstdint>
#include <string>

#include "archive/input_error.h"
#include "archive/pe_module.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const lumi::PeModule module(std::vector<uint8_t>(data, data + size), "fuzz.dll");
    const lumi::PeResourceName types[] = {lumi::kResourceTypeRcData, lumi::kResourceTypeBitmap,
                                          lumi::kResourceTypeString, lumi::PeResourceName(u"DDS")};
    for (const auto& type : types) {
      for (uint16_t id : {1, 2, 3, 6, 62, 89, 103, 202}) {
        try {
          if (const auto resource = module.FindResource(type, id)) {
            volatile uint8_t sink = resource->bytes.empty() ? 0 : resource->bytes.back();
            (void)sink;
          }
        } catch (const lumi::InputError&) {
        }
      }
    }
  } catch (const lumi::InputError&) {
  }
  return 0;
}
