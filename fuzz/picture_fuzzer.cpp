// Feeds arbitrary bytes to the picture decoders (JPEG, PNG, BMP, TGA, GIF,
// DDS). A picture must either decode or be refused with a reason; one that
// decodes must hold every level it claims, and a DXT picture must decode
// through our own block decoder.
#include <cstdint>
#include <cstdlib>

#include "render/decoded_picture.h"
#include "render/dxt_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  const auto picture = lumi::DecodePicture({data, size}, error);
  if (!picture) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (picture->frames.empty() || picture->width == 0 || picture->height == 0) std::abort();
  for (const lumi::DecodedFrame& frame : picture->frames) {
    if (frame.levels.empty()) std::abort();
    const size_t levelSize = size_t{lumi::RowPitch(picture->format, picture->width)} *
                             lumi::RowCount(picture->format, picture->height);
    if (frame.levels[0].size() < levelSize) std::abort();
    if (lumi::IsCompressed(picture->format)) {
      const auto rgba = lumi::DecodeDxtImage(picture->format, picture->width, picture->height,
                                             frame.levels[0].data(), frame.levels[0].size());
      if (!rgba || rgba->size() != size_t{picture->width} * picture->height * 4) std::abort();
    }
  }
  return 0;
}
