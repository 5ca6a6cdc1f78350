#include "host/show_pass.h"

#include "scene/slide_show.h"

namespace lumi {

bool ShowPass::Observe(const DS_SlideShow_Light& show) {
  const DS_SlideContainer* slide = show.current_slide.get();
  if (slide == nullptr) return false;
  if (current_ != nullptr && slide != current_) ++switches_;
  current_ = slide;
  // Slides follow one another round the list, so as many switches as
  // slides come back to the first.
  if (show.slides.size() >= 2) return switches_ >= show.slides.size();
  return slide->stay.value != 1 && show.last_frame_time - show.slide_start > slide->CycleLength();
}

}  // namespace lumi
