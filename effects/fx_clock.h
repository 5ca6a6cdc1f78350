// The clock every image effect runs on, and the oscillations the
// deformation effects multiply into their amplitude.
#pragma once

namespace lumi {

// The effect's own clock: local seconds times speed. Totals are doubles, so
// an effect left running overnight moves as smoothly as in its first minute
// (a float phase of a few million advances in steps of a quarter).
struct FrameClock {
  // A step of at most this many seconds: a stalled player never makes an
  // effect jump.
  static constexpr double kLongestStep = 0.2;

  // Moves to local time t; a time before the last one (a restarted
  // timeline) only resets the last time.
  void Advance(double t, double speed);
  void Restart() {
    phase = 0;
    last_time = 0;
  }

  double phase = 0;      // seconds × speed
  double last_time = 0;  // local time of the last frame
  double step = 0;       // the last step, before the speed
};

// `value` modulo `period`, in [0, period): what a program receives of a
// phase whose effect repeats with that period.
double ReducedPhase(double value, double period);

// π as the effects take it.
inline constexpr double kEffectPi = 3.1415927;
// A whole turn, the period of the effects' sines.
inline constexpr double kEffectTurn = 2 * kEffectPi;

enum OscillationMode { kOscillateTriangle = 2, kOscillateSine = 3, kOscillateNoise = 4 };

// The oscillation of `mode` at `phase`, shifted by `offset` radians; 0 for
// a mode that is none of the above.
float Oscillate(int mode, double phase, float offset);

// Smooth one-dimensional value noise: octaves of a cosine-interpolated
// lattice, each twice the frequency and `persistence` times the weight of
// the one before.
float ValueNoise1D(int octaves, double x, double wavelength, double persistence);
// The lattice value at k, in [-1, 1].
double LatticeValue(int k);

}  // namespace lumi
