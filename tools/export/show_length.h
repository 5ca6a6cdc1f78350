// How long a slide show takes to play through once.
#pragma once

#include <cstddef>

namespace lumi {
class DS_SlideShow_Light;
}

namespace lumi::tool {

// Seconds of one pass through the first `slide_count` slides (all of them
// when larger): each slide's fade-in, showing time and fade-out in turn.
// The first starts already faded in; a slide that stays, or the only slide
// of a show, never moves on, so it ends the pass after its showing time.
// Negative or not-a-number times count as none.
double OnePassSeconds(const DS_SlideShow_Light& show, size_t slide_count);

}  // namespace lumi::tool
