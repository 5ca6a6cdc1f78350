// Plays a slide show without graphics, frame by frame at a fixed step from
// time 0, exactly as the saver moves it, and reports what is on at chosen
// times. The results depend only on the document, the times and the step.
#pragma once

#include <vector>

#include <nlohmann/json.hpp>

#include "scene/slide_show.h"

namespace lumi {

// Frames beyond this many are refused, so a wild time cannot run for hours.
inline constexpr double kMaxSimulatedFrames = 1.0e7;

// Prepares every slide, then runs frames k × step for k = 0, 1, ... and,
// after the last frame not later than each time, records the current slide,
// the overlay's alpha and every render object of the slide. `times` must be
// ascending and not negative, `step` positive; std::invalid_argument
// otherwise.
nlohmann::ordered_json SimulateShow(DS_SlideShow_Light& show, const std::vector<double>& times, double step);

}  // namespace lumi
