// The waving line at play: a strip between its two points, moved sideways
// by a wave running along it.
#include <algorithm>
#include <cmath>

#include "params/random.h"
#include "particles/line_strip.h"
#include "particles/line_systems.h"
#include "particles/particle_look_drawing.h"
#include "particles/particle_routines.h"

namespace lumi {

void VRN_WavingLine::Advance(double time) {
  VRN_ParticleSystemCtrl::Advance(time);
  line_look.UpdateClocks(time);
  sections.clear();
  const Vector3 a = Finite(ends[0]), b = Finite(ends[1]);
  const Vector3 step = b - a;
  const float length = Length(step);
  if (!(length > 0)) return;
  const Vector3 d = step * (1 / length), n{-d.y, d.x, 0};
  const auto width = static_cast<float>(first_raws[0]);
  const auto height = static_cast<float>(first_raws[1]);
  const auto wave_length = static_cast<float>(first_raws[2]);
  const float wave_speed = static_cast<float>(first_raws[3]) / 100;
  const float repeat = std::max(width * line_look.run.aspect, 1.0f);
  const uint32_t colour = line_look.VertexColour(timeline_level);
  for (int i = 0; i <= kSections; ++i) {
    const float t = static_cast<float>(i) / kSections;
    const float x = t * length;
    // The wave at this point and moment, as a particle's harmonic sees it.
    Particle point;
    point.age() = static_cast<float>(total_time);
    const float phase = wave_length > 0 ? -6.2831855f * x / wave_length : 0.0f;
    IPR_Harmonic(kPathSpeedModulator, phase, 0, wave_speed, 1).Update(0, point);
    const float offset = height * point.modulators[kPathSpeedModulator] * std::sin(kPi * t);
    const Vector3 p = a + step * t + n * offset;
    const Vector3 left = p - n * (width / 2), right = p + n * (width / 2);
    sections.push_back({left.x, left.y, left.z, colour, 0, x / repeat});
    sections.push_back({right.x, right.y, right.z, colour, 1, x / repeat});
  }
}

void VRN_WavingLine::BuildStripQuads(ParticleLookDrawing& strip) const {
  const size_t quads = sections.size() < 4 ? 0 : sections.size() / 2 - 1;
  strip.BuildQuads(quads, [&](size_t k, VertexPCT* out) { StripQuad(sections, k, out); });
}

void VRN_WavingLine::Render(ParticleLookDrawing& drawing, ParticleLookDrawing& strip,
                            DS_ABRender& backdrop) const {
  RenderInChain(drawing, strip, backdrop, [] {});
}

void VRN_WavingLine::RenderInChain(ParticleLookDrawing& /*drawing*/, ParticleLookDrawing& strip,
                                   DS_ABRender& backdrop, const ChainTurn& turn) const {
  RenderLineStrip(line_look, strip, backdrop, turn);
}

}  // namespace lumi
