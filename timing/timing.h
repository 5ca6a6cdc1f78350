// A timeline turns the slide's global time into a state and a level (the
// object's visibility) each frame. Timelines are named by their class in
// documents and made through the timeline registry.
#pragma once

#include <memory>
#include <string_view>

#include "archive/archive.h"
#include "params/sliders.h"

namespace lumi {

class VRN_SmartTiming;

class VRN_Timing : public DS_IOF_Item {
 public:
  enum State { kOn = 0, kOff = 1, kFadingIn = 2, kFadingOut = 3 };

  // Resolves references to other objects.
  virtual void Bind() {}
  // Moves the timeline's own clock to global time t: a step of at most
  // 0.2 s, times the speed. Every timeline does this first.
  virtual double Advance(double t);
  virtual void Reset();
  virtual float GetLevel() const { return level; }
  // Position within the on phase, 0 to 1.
  virtual float GetOnPhase() const { return 0.0f; }
  virtual float GetCycleLength() const { return 0.0f; }
  virtual int GetState() const { return state; }
  // Old slides give every timeline of their objects this period, in
  // hundredths of a second.
  virtual void SetPeriod(unsigned int /*hundredths*/) {}
  // A timeline made by switching kind takes its owner's defaults.
  virtual void InitFromOwner(const VRN_SmartTiming& /*owner*/) {}

  int state = kOn;
  float level = 1.0f;
  MediaSpeedParam speed;

 protected:
  // The base-class subrecord every timeline ends with; it has no fields.
  void TimingBase(Archive& ar);
};

// A default timeline of a registered class, or none.
std::shared_ptr<VRN_Timing> CreateTimeline(std::string_view class_name);

}  // namespace lumi
