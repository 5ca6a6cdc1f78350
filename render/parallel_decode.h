// Pictures decoded on a worker per core, each handed back on the calling
// thread as soon as it is done, so that uploading one overlaps decoding
// the next: a document's photographs load in about the time the slowest
// worker needs rather than the sum of them all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "render/decoded_picture.h"

namespace lumi {

struct DecodeResult {
  std::optional<DecodedPicture> picture;  // empty on failure
  std::string error;                      // why, when empty
};

// Calls `ready` once for every input, on the calling thread, in the order
// the decodes finish; `ready` may move the picture out.
void DecodeInParallel(std::span<const std::span<const uint8_t>> inputs,
                      const std::function<void(size_t index, DecodeResult& result)>& ready);

}  // namespace lumi
