#include "params/media_param.h"

#include <algorithm>

namespace lumi {

MediaParam::~MediaParam() {
  // Detach first, then forget: a control's Detach never calls back into us.
  for (MediaControl* control : controls_) control->Detach();
}

void MediaParam::RemoveControl(MediaControl* control) { controls_.remove(control); }

void MediaParam::Notify(MediaControl* source) {
  // A callback may attach or remove controls; walk a snapshot.
  if (controls_.size() <= 4) {
    MediaControl* snapshot[4];
    const size_t n = controls_.size();
    std::copy(controls_.begin(), controls_.end(), snapshot);
    for (size_t i = 0; i < n; ++i) snapshot[i]->OnChange(source);
    return;
  }
  const std::vector<MediaControl*> snapshot(controls_.begin(), controls_.end());
  for (MediaControl* control : snapshot) control->OnChange(source);
}

void MediaParam::Step(int, MediaControl*) {}

}  // namespace lumi
