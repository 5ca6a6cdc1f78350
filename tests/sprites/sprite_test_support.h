// Helpers of the sprite behaviour and drawing tests: the scene generator's
// recurrence written out again, so births can be checked against numbers
// the test computes itself, and populations made and moved frame by frame.
#pragma once

#include <cstdint>
#include <memory>

#include "params/random.h"
#include "sprites/sprite_array_obj.h"
#include "sprites/sprite_constructors.h"

namespace lumi::test {

// The C library's generator, independent of the scene's copy.
class ExpectedRandom {
 public:
  explicit ExpectedRandom(uint32_t seed) : state_(seed) {}
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }
  float Uniform(float a, float b) { return a + static_cast<float>(Next()) / 32767.0f * (b - a); }

 private:
  uint32_t state_;
};

// Whole-screen view, sprites of `size` pixels, full opacity, white.
template <typename Constructor>
Constructor Population(uint32_t count, uint32_t size = 16) {
  Constructor c;
  c.left = 0;
  c.right = 1;
  c.top = 0;
  c.bottom = 1;
  c.population.value = count;
  c.sprite_size.value = size;
  c.transparency.Set(0);
  return c;
}

// The render object of a copy of `constructor`, born with `seed`.
inline std::unique_ptr<DS_SpriteArrayObj> Play(const DS_ParticleSystemCtrl& constructor, uint32_t seed = 1) {
  SeedRand(seed);
  return std::unique_ptr<DS_SpriteArrayObj>(static_cast<DS_SpriteArrayObj*>(constructor.CreateRenderObject().release()));
}

// Frames at `fps` from `from` to `to` seconds of local time; `each` sees
// the object after every frame.
template <typename Each>
void PlayFrames(DS_SpriteArrayObj& object, float from, float to, float fps, Each&& each) {
  const auto frames = static_cast<int>((to - from) * fps + 0.5f);
  for (int k = 0; k <= frames; ++k) {
    object.FrameMove(from + static_cast<float>(k) / fps);
    each(object);
  }
}

}  // namespace lumi::test
