// Sprites drawn through effect programs: which render object each class
// plays as, the still effect sprite the captions and the explosion build
// on, and the explosion's noise.
#include <array>
#include <cmath>

#include "params/colours.h"
#include "params/random.h"
#include "render/effect.h"
#include "sprites/effect_sprite_objs.h"
#include "sprites/sprite_constructors.h"

namespace lumi {

std::unique_ptr<VRN_RenderObj> DS_FXParticleSystemCtrl::CreateRenderObject() const {
  if (!HasEffectDrawing()) return DS_ABObj_Constructor::CreateRenderObject();
  auto copy = Clone();
  return std::make_unique<DS_FXObj>(
      std::unique_ptr<DS_FXParticleSystemCtrl>(static_cast<DS_FXParticleSystemCtrl*>(copy.release())));
}

std::unique_ptr<VRN_RenderObj> DS_GlowEffectCtrl::CreateRenderObject() const {
  auto copy = Clone();
  return std::make_unique<DS_GlowingObj>(
      std::unique_ptr<DS_GlowEffectCtrl>(static_cast<DS_GlowEffectCtrl*>(copy.release())));
}

bool DS_StatBaseFXCtrl::MakeFloatsFinite() {
  const bool base = DS_ParticleSystemCtrl::MakeFloatsFinite();
  Vector3& point = position.value;
  const bool bad = !std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z);
  if (bad) point = {};
  return base || bad;
}

void DS_StatBaseFXCtrl::PrepareRun() {
  if (!TakeFirstPlacement()) return;
  position.value = {unit_width / 2, unit_height / 2, 0};
}

void DS_StatBaseFXCtrl::InitSprite(Sprite& sprite) {
  sprite.position = position.value;
  sprite.width = static_cast<float>(width.value) / 2;
  sprite.height = static_cast<float>(height.value) / 2;
}

void DS_ExplosionConstructor::InitSprite(Sprite& sprite) {
  DS_StatBaseFXCtrl::InitSprite(sprite);
  old_offset = new_offset = {};
  noise_moves = 0;
  noise_whole = 0;
}

void DS_ExplosionConstructor::MoveNoiseOn() {
  old_offset = new_offset;
  // The x of a pair is drawn first (braced lists evaluate in order).
  const auto next_pair = [] { return std::array<float, 2>{Random01(), Random01()}; };
  if (free_noise.value != 0) {
    new_offset = next_pair();
  } else {
    // The same sequence on every run: the n-th move on is the n-th pair
    // after seeding, and the first keeps the offsets as they were.
    SeedRand(noise_seed.value);
    for (uint32_t i = 0; i < noise_moves; ++i) new_offset = next_pair();
  }
  ++noise_moves;
}

void DS_ExplosionConstructor::UpdateSprite(Sprite& /*sprite*/) {
  const float whole = std::floor(motion_clock);
  if (whole <= noise_whole) return;
  noise_whole = whole;
  MoveNoiseOn();
}

bool DS_ExplosionConstructor::SetUpEffect(Effect& program, const SpriteTextures& textures) const {
  const std::array<float, 3> colour1 = ColourFloats(sprite_colour.value);
  const std::array<float, 3> colour2 = ColourFloats(second_colour.value);
  const std::array<float, 3> noise_params = {static_cast<float>(noise[0].value) * 0.01f,
                                             static_cast<float>(noise[1].value) * 0.01f,
                                             static_cast<float>(noise[2].value) * 0.01f};
  const float f = motion_clock - std::floor(motion_clock);
  const std::array<float, 2> time = {f, 1 - f};
  // Both pairs drift against the direction as the clock runs.
  const std::array<float, 4>& direction = drift.direction();
  const float dx = -direction[0] * motion_clock, dy = -direction[1] * motion_clock;
  const std::array<float, 4> noise_shift = {old_offset[0] + dx, old_offset[1] + dy, new_offset[0] + dx,
                                            new_offset[1] + dy};
  // Growing while fading in, dissolving while fading out; whole otherwise.
  const float level = timeline_level;
  const float phase_1st = timeline_state == 2 ? 2 * (1 - level) : 0;
  const std::array<float, 2> phase_3rd = timeline_state == 3 ? std::array<float, 2>{1 - level, level}
                                                             : std::array<float, 2>{0, 1};
  program.SetTechnique("Main");
  program.SetTexture("GradientTex", textures.picture);
  program.SetTexture("NoiseTex", textures.second);
  program.SetFloatArray("color1", colour1.data(), 3);
  program.SetFloatArray("color2", colour2.data(), 3);
  program.SetFloatArray("noise_params", noise_params.data(), 3);
  program.SetFloatArray("time", time.data(), 2);
  program.SetFloatArray("noise_shift", noise_shift.data(), 4);
  program.SetFloat("phase_1st", phase_1st);
  program.SetFloatArray("phase_3rd", phase_3rd.data(), 2);
  return true;
}

}  // namespace lumi
