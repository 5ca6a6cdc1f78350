// The whole-number sliders of scene settings: each is stored as an unsigned
// whole number and used as value × factor + offset.
#pragma once

#include "params/typed_param.h"

namespace lumi {

// Hundredths of a second used as seconds.
class TimeParam : public UINTSclaleTo<float> {
 public:
  explicit TimeParam(unsigned int hundredths = 0) : UINTSclaleTo<float>(hundredths, 0.01f, 0.0f) {}
  float seconds() const { return scaled(); }
};

// A speed factor that also carries the clock of the object it drives.
class MediaSpeedParam : public UINTSclaleTo<float> {
 public:
  explicit MediaSpeedParam(unsigned int initial = 1) : UINTSclaleTo<float>(initial, 1.0f, 0.0f) {}

  float step = 0;        // the last scaled time step
  double local_time = 0;  // the owner's own clock
  double last_time = 0;   // the last global time seen
};

// A random variation in percent, used as the share of the nominal value it
// keeps: 1 − percent / 100.
class VRN_JitterMediaPrm : public UINTSclaleTo<float> {
 public:
  explicit VRN_JitterMediaPrm(unsigned int percent = 0) : UINTSclaleTo<float>(percent, -0.01f, 1.0f) {}
};

// A nominal value with its jitter; the owner stores the two whole numbers.
class VRN_JitterParam : public UINTSclaleTo<float> {
 public:
  explicit VRN_JitterParam(unsigned int nominal = 0) : UINTSclaleTo<float>(nominal, 1.0f, 0.0f) {}
  VRN_JitterMediaPrm jitter;
};

// A rate per second with the time of its last emission.
class PerSecondCounter : public UINTSclaleTo<float> {
 public:
  explicit PerSecondCounter(unsigned int rate = 0) : UINTSclaleTo<float>(rate, 1.0f, 0.0f) {}

  // Events due at global time t. The fraction left over carries to the next
  // frame, because the emission time moves only when something is emitted.
  int CountPlain(double t);
  // Between none and twice the due number, averaging the due number; draws
  // one random number on every call.
  int CountRandom(double t);

  double last_emission = 0;
};

// Counted with the random rule by its owners.
class PerSecondCounterRnd : public PerSecondCounter {
 public:
  using PerSecondCounter::PerSecondCounter;
};

}  // namespace lumi
