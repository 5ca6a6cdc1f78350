// One-slide documents for effect tests and benchmarks: a photograph of the
// demo, shown without fades, with a painted mask and one effect over it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/file_io.h"
#include "backdrop/light_2d.h"
#include "effects/fx_constructor.h"

namespace lumi::test {

// How much of the picture a mask paints.
enum class Painted { Everything, LeftHalf, Nothing };

// A 512 x 512 mask as an uncompressed 32-bit TGA, top row first, white with
// the painted part's alpha at 255.
inline std::vector<uint8_t> MaskTga(Painted painted) {
  constexpr int kSize = 512;
  // Sized once: GCC 12 misreads growing an 18-byte vector as an overflow.
  std::vector<uint8_t> bytes(18 + kSize * kSize * 4, 255);
  std::fill_n(bytes.begin(), 18, 0);
  bytes[2] = 2;  // true colour, uncompressed
  bytes[13] = bytes[15] = kSize >> 8;
  bytes[16] = 32;
  bytes[17] = 0x28;  // top row first, 8 bits of alpha
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const bool inside = painted == Painted::Everything || (painted == Painted::LeftHalf && x < kSize / 2);
      bytes[18 + (static_cast<size_t>(y) * kSize + x) * 4 + 3] = inside ? 255 : 0;
    }
  }
  return bytes;
}

// The slide's picture, which effects may also name for their own pictures.
inline const ResourceKey kSlidePicture{u"C:\\pictures\\photo.jpg", 4321};

// The brush every effect of these documents paints with.
inline const GUID kMaskBrush{0x5A1E0002, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 2}};

// One slide of `photo` (a file of samples/demo/), shown for `showing`
// seconds, with `effect` (none for the plain picture) over the mask, drawn
// by `backdrop` (the plain one by default).
inline std::unique_ptr<Document> MaskedSlide(const std::string& photo, Painted painted,
                                             std::unique_ptr<DS_FX_Constructor> effect, float showing = 100,
                                             std::shared_ptr<DS_2D_Light> backdrop = nullptr) {
  const ResourceKey& picture = kSlidePicture;
  auto document = std::make_unique<Document>();
  DS_ResBlob blob{0, u"", {picture.name, ReadFileBytes(LUMI_SOURCE_DIR "/samples/demo/" + photo)}};
  document->resources->pictures.push_back({picture, {blob}});
  document->resources->masks.push_back({kMaskBrush, u"mask", true, {u"mask.tga", MaskTga(painted)}});
  auto slide = std::make_shared<DS_SlideContainer>();
  slide->fade_in.value = slide->fade_out.value = 0;
  slide->showing.value = showing;
  if (!backdrop) backdrop = std::make_shared<DS_2D_Light>();
  backdrop->picture.key = picture;
  slide->backdrop = backdrop;
  if (effect) {
    effect->brush_id = kMaskBrush;
    slide->objects.push_back(std::move(effect));
  }
  document->show->slides.push_back(slide);
  return document;
}

}  // namespace lumi::test
