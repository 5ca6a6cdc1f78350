// Whether a slide show has played each of its slides once since it began,
// as the show itself moves: the saver then goes on to the next of the
// chosen documents.
#pragma once

#include <cstddef>

namespace lumi {

class DS_SlideContainer;
class DS_SlideShow_Light;

class ShowPass {
 public:
  // After each move of the show; true once it is back on the slide it began
  // with, or, for a show of one slide, once that slide has faded out. A
  // slide that stays never ends, so neither does the pass.
  bool Observe(const DS_SlideShow_Light& show);

 private:
  const DS_SlideContainer* current_ = nullptr;
  std::size_t switches_ = 0;
};

}  // namespace lumi
