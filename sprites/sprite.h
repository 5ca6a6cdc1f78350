// One sprite of a population: where it is, how it moves and how it looks.
// The population's constructor births and moves it; its render object
// turns it into a quad.
#pragma once

#include <cstdint>

#include "params/vector_math.h"

namespace lumi {

struct Sprite {
  // Per-axis direction multipliers of the flows.
  Vector3 flow_sign;
  // Pixels per second; the flows keep their wobble value in z.
  Vector3 velocity;
  Vector3 position;  // the centre, in render-unit pixels
  float scale = 1;
  // The fog's turn of its axes per 1/60 s of motion clock, in radians.
  float turn = 0;
  float ua = 0, ub = 1, va = 0, vb = 1;  // texture rectangle
  // Half-sizes; a negative width mirrors the picture.
  float width = 0, height = 0;
  float aspect = 1;  // picture height / width
  Vector3 axis_u{1, 0, 0}, axis_v{0, 1, 0};
  float glow = 1;          // opacity factor
  float last_change = 0;   // motion-clock time of the last random change
  float phase = 0;         // sway phase of grass and flowers
  Vector3 anchor;          // the foot a swaying sprite keeps in place
  int32_t active_bound = -1;
  bool fading_in = false;
  float resume_time = 0;
  float bound_timer = 0;
  bool stopped = false;
  uint32_t colour = 0;     // ARGB
  float pulse_rate = 0;    // signed glow-pulse speed
  // The bounds' fade of a rain drop, kept apart from its pulsing glow.
  float fade = 1;
};

}  // namespace lumi
