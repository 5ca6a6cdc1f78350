#include "tools/export/show_length.h"

#include <algorithm>

#include "scene/slide_show.h"

namespace lumi::tool {
namespace {

double PositiveSeconds(float value) { return value > 0.0f ? static_cast<double>(value) : 0.0; }

}  // namespace

double OnePassSeconds(const DS_SlideShow_Light& show, size_t slide_count) {
  const size_t count = std::min(slide_count, show.slides.size());
  double total = 0;
  for (size_t i = 0; i < count; ++i) {
    const DS_SlideContainer& slide = *show.slides[i];
    if (i > 0) total += PositiveSeconds(slide.fade_in.value);
    total += PositiveSeconds(slide.showing.value);
    if (slide.stay.value == 1 || show.slides.size() < 2) break;
    total += PositiveSeconds(slide.fade_out.value);
  }
  return total;
}

}  // namespace lumi::tool
