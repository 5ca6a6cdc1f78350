#include "scene/simulation.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

#include "archive/unknown_record.h"
#include "archive/utf.h"
#include "scene/inert_render_obj.h"

namespace lumi {

double TidyFloat(float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::stod(std::string(text, result.ptr));
}

double TidyTime(double seconds) { return std::round(seconds * 1e6) / 1e6; }

nlohmann::ordered_json TidyPair(float a, float b) { return {TidyFloat(a), TidyFloat(b)}; }

namespace {

std::vector<ObjectReport>& Reports() {
  static std::vector<ObjectReport> reports;
  return reports;
}

nlohmann::ordered_json DescribeObject(VRN_RenderObj& object, int detail) {
  const VRN_SmartTiming& timing = object.data->timing;
  const VRN_Timing& timeline = timing.current();
  nlohmann::ordered_json json;
  json["class"] = std::string(object.data->ClassName());
  if (const auto* scene_object = dynamic_cast<const DS_ABObj*>(&object)) {
    json["name"] = ToUtf8(scene_object->settings().name);
  }
  json["identity"] = ToUtf8(FormatGuid(object.data->identity));
  if (dynamic_cast<const InertRenderObject*>(&object) != nullptr) json["inert"] = true;
  if (dynamic_cast<const UnknownRecord*>(object.data) != nullptr) json["unknown"] = true;
  json["enabled"] = object.enabled;
  json["kind"] = timing.value;
  json["timeline"] = std::string(timeline.ClassName());
  json["state"] = timeline.GetState();
  json["level"] = TidyFloat(timeline.GetLevel());
  json["local_time"] = TidyTime(timing.local_time);
  for (ObjectReport report : Reports()) report(object, json, detail);
  return json;
}

nlohmann::ordered_json DescribeList(const RenderList& list, int detail) {
  nlohmann::ordered_json json = nlohmann::ordered_json::array();
  for (const auto& object : list) json.push_back(DescribeObject(*object, detail));
  return json;
}

nlohmann::ordered_json DescribeShow(const DS_SlideShow_Light& show, double time, double frame_time, int detail) {
  nlohmann::ordered_json json;
  json["time"] = time;
  json["frame_time"] = TidyTime(frame_time);
  const DS_SlideContainer* slide = show.current_slide.get();
  int index = -1;
  for (size_t i = 0; i < show.slides.size(); ++i) {
    if (show.slides[i].get() == slide) index = static_cast<int>(i);
  }
  json["slide"] = index;
  json["slide_name"] = slide != nullptr ? ToUtf8(slide->name.value) : std::string();
  json["overlay_alpha"] = show.overlay ? show.overlay->alpha() : 0;
  // The passes of the effect chain the slide draws through: one per read of
  // the picture drawn before it by an enabled object.
  int passes = 0;
  if (slide != nullptr) {
    for (const auto& object : slide->render_objects) passes += object->BackgroundPasses();
  }
  json["passes"] = passes;
  json["objects"] = slide != nullptr ? DescribeList(slide->render_objects, detail) : nlohmann::ordered_json::array();
  json["sounds"] = slide != nullptr ? DescribeList(slide->render_sounds, detail) : nlohmann::ordered_json::array();
  return json;
}

}  // namespace

FrameSchedule::FrameSchedule(std::vector<double> times, double step) : times_(std::move(times)), step_(step) {
  if (!(step > 0.0) || !std::isfinite(step)) throw std::invalid_argument("the frame step must be positive");
  double previous = 0.0;
  for (double time : times_) {
    if (!(time >= previous) || !std::isfinite(time)) {
      throw std::invalid_argument("times must be ascending and not negative");
    }
    if (time / step > kMaxSimulatedFrames) {
      throw std::invalid_argument("time " + std::to_string(time) + " needs more than " +
                                  std::to_string(static_cast<long long>(kMaxSimulatedFrames)) + " frames");
    }
    previous = time;
  }
}

void FrameSchedule::Run(const std::function<void(long long number, double time)>& frame,
                        const std::function<void(size_t index, double frame_time)>& reached) const {
  // A frame within a tenth of a millisecond of a requested time belongs to
  // it, so that times written to four places (86402.0333) name their frame.
  const double tolerance = std::min(1e-4, step_ / 4);
  long long next_frame = 0;
  double frame_time = 0.0;
  for (size_t i = 0; i < times_.size(); ++i) {
    while (static_cast<double>(next_frame) * step_ <= times_[i] + tolerance) {
      frame_time = static_cast<double>(next_frame) * step_;
      frame(next_frame, frame_time);
      ++next_frame;
    }
    reached(i, frame_time);
  }
}

void AddObjectReport(ObjectReport report) { Reports().push_back(report); }

nlohmann::ordered_json SimulateShow(DS_SlideShow_Light& show, const std::vector<double>& times, double step,
                                    int detail) {
  const FrameSchedule schedule(times, step);
  for (const auto& slide : show.slides) PrepareSlide(*slide);
  nlohmann::ordered_json report = nlohmann::ordered_json::array();
  schedule.Run([&](long long, double time) { show.FrameMove(time); },
               [&](size_t index, double frame_time) {
                 report.push_back(DescribeShow(show, times[index], frame_time, detail));
               });
  return report;
}

}  // namespace lumi
