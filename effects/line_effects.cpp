// Effects about a line through a centre: a tilt into depth and a stretch
// away from the line.
#include <algorithm>
#include <cmath>

#include "effects/catalogue_effects.h"
#include "render/effect.h"
#include "scene/ab_render.h"

namespace lumi {

void DS_LineBased::SetLineParameters(DS_ABRender& backdrop) {
  SetCommonParameters(backdrop);
  effect_->SetFloatArray("Center", lines.centre.data(), 2);
  effect_->SetFloatArray("Ln", lines.first.data(), 3);
  effect_->SetFloatArray("Lt", lines.second.data(), 3);
  effect_->SetFloatArray("t", lines.along.data(), 2);
  effect_->SetFloatArray("n", lines.across.data(), 2);
}

void DS_PerspectiveFX::LoadEffect(std::shared_ptr<Texture> mask) {
  DS_LineBased::LoadEffect(std::move(mask));
  MakeRectMesh();
}

std::array<float, 2> DS_PerspectiveFX::Tilt() const {
  float a = amplitude_a.scaled(), b = amplitude_b.scaled(), d = 1;
  if (mode.value >= 2) {
    d = Oscillate(mode.value, clock.phase, phase_offset.scaled());
  } else if (mode.value == 1) {
    a = 0;
    d = -1;
  } else {
    b = 0;
  }
  const float m = std::max(a, b);
  if (m > 0) {
    a /= m;
    b /= m;
  }
  const float g = TimelineFactor() * ((a + b) / 2 * d + (a - b) / 2);
  return {(std::abs(std::cos(g)) - 1) * m, std::sin(g) * static_cast<float>(depth_factor.value) * m * 10};
}

void DS_PerspectiveFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop, true)) return;
  SetLineParameters(backdrop);
  const std::array<float, 2> tilt = Tilt();
  effect_->SetFloat("amplitude", tilt[0]);
  effect_->SetFloat("p_amplitude", tilt[1]);
  DrawTechnique(backdrop);
}

void DS_StretchFX::LoadEffect(std::shared_ptr<Texture> mask) {
  DS_LineBased::LoadEffect(std::move(mask));
  MakeRectMesh();
}

void DS_StretchFX::Advance(double local_time) {
  DS_FX_Constructor::Advance(local_time);
  signed_amplitude = SignedAmplitude(mode.value, -b.scaled(), a.scaled(), a.scaled(), b.scaled()) * TimelineFactor();
}

void DS_StretchFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop, true)) return;
  SetLineParameters(backdrop);
  effect_->SetFloat("amplitude", signed_amplitude);
  DrawTechnique(backdrop);
}

}  // namespace lumi
