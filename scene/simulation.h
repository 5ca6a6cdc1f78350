// Plays a slide show without graphics, frame by frame at a fixed step from
// time 0, exactly as the saver moves it, and reports what is on at chosen
// times. The results depend only on the document, the times and the step.
#pragma once

#include <functional>
#include <vector>

#include <nlohmann/json.hpp>

#include "scene/slide_show.h"

namespace lumi {

// Frames beyond this many are refused, so a wild time cannot run for hours.
inline constexpr double kMaxSimulatedFrames = 1.0e7;

// The frames a run at a fixed step visits: frame k is at time k × step,
// from k = 0, and a requested time is reached after the last frame not later
// than it (a frame within rounding of the time counts as not later).
class FrameSchedule {
 public:
  // `times` ascending and not negative, `step` positive and finite, no
  // time further than kMaxSimulatedFrames frames; std::invalid_argument
  // otherwise, naming the fault.
  FrameSchedule(std::vector<double> times, double step);

  // Calls `frame` (number, time) for every frame up to the last requested
  // time, and `reached` (index of the time, the time of the frame just run)
  // once for each requested time, in order.
  void Run(const std::function<void(long long number, double time)>& frame,
           const std::function<void(size_t index, double frame_time)>& reached) const;

  const std::vector<double>& Times() const { return times_; }
  double Step() const { return step_; }

 private:
  std::vector<double> times_;
  double step_;
};

// The float as its shortest decimal form, so 0.1f reports as 0.1.
double TidyFloat(float value);
// A time to the microsecond, so that sums of frame steps report as 0.1.
double TidyTime(double seconds);
// Two such floats as a pair.
nlohmann::ordered_json TidyPair(float a, float b);

// Classes with run-time state worth reporting add it to their objects'
// entries; `detail` is how many of an object's parts (sprites, particles)
// to list one by one.
using ObjectReport = void (*)(const VRN_RenderObj& object, nlohmann::ordered_json& entry, int detail);
void AddObjectReport(ObjectReport report);

// Prepares every slide, then runs frames k × step for k = 0, 1, ... and,
// after the last frame not later than each time, records the current slide,
// the overlay's alpha and every render object of the slide. `times` must be
// ascending and not negative, `step` positive; std::invalid_argument
// otherwise.
nlohmann::ordered_json SimulateShow(DS_SlideShow_Light& show, const std::vector<double>& times, double step,
                                    int detail = 0);

}  // namespace lumi
