// Comets at play: heads running along the sampled path, each with a waving
// trail drawn through the samples behind it.
#include <algorithm>
#include <cmath>

#include "params/random.h"
#include "particles/line_strip.h"
#include "particles/line_systems.h"
#include "particles/particle_look_drawing.h"
#include "particles/particle_routines.h"

namespace lumi {
namespace {

// The last sample at or before distance x (0 before the path).
size_t SampleAtOrBefore(const std::vector<SplineSample>& path, float x) {
  if (path.size() < 2) return 0;
  const auto after = std::upper_bound(path.begin(), path.end() - 1, x,
                                      [](float d, const SplineSample& s) { return d < s.length_to_next; });
  return static_cast<size_t>(after - path.begin());
}

}  // namespace

void VRN_ShootingLine::Attach() {
  samples = std::make_shared<std::vector<SplineSample>>(SampleSpline(path, VRN_LineCtrl::kResolution, false));
  length = PathLength(*samples);
}

float VRN_ShootingLine::PrerollSeconds() const {
  // A comet that never moves would make the pre-roll endless.
  return Speed() > 0 ? length / Speed() : 0.0f;
}

int VRN_ShootingLine::BackgroundPasses() const { return StripPasses(line_look) + (GlowMode() == 2 ? 1 : 0); }

void VRN_ShootingLine::Emit(ParticleList& /*born*/, float dt) {
  if (path.points.size() < 2 || samples->size() < 2) return;
  const int64_t n = Room(counter_state.Count(Rate(), timeline_level * dt));
  for (int64_t i = 0; i < n; ++i) {
    auto comet = std::make_shared<Particle>();
    comet->position = samples->front().position;
    // Its distance run; it lives until its tail has passed the path's end.
    look.InitParticle(*comet, std::make_shared<IPR_ConstDistance>(length + Trail(), Speed()));
    comet->values[kPhaseValue] = Random01() * 6.2831855f;
    comet->Update(dt);
    particles.push_back(std::move(comet));
  }
}

Vector3 VRN_ShootingLine::WavingPoint(const Particle& comet, size_t i, Vector3& direction) const {
  // Each point of the trail is a particle of a moment: the wave as the head
  // drew it when it passed there, then placed on the sample beside it.
  Particle point;
  point.path_index = static_cast<int32_t>(i);
  point.path_scale() = 1;
  const float passed = i == 0 ? 0.0f : (*samples)[i - 1].length_to_next;
  point.age() = Speed() > 0 ? passed / Speed() : 0.0f;
  IPR_Harmonic(kPathSpeedModulator, comet.values[kPhaseValue], 0, WaveFrequency(), 1).Update(0, point);
  IPR_IndexedPathPoint(samples, WaveWidth()).Update(0, point);
  direction = point.velocity;
  return point.position;
}

void VRN_ShootingLine::Advance(double time) {
  VRN_ParticleSystemCtrl::Advance(time);
  line_look.UpdateClocks(time);
  strip_quads.clear();
  if (samples->size() < 2) return;
  const float trail = Trail();
  const uint32_t rgb = line_look.VertexColour(0) & 0x00FFFFFF;
  const float opacity = static_cast<float>(line_look.colour.alpha()) / 255;
  const float half = StripWidth() / 2;
  std::vector<VertexPCT> sections;
  for (const ParticleHandle& comet : particles) {
    const float head = comet->age();
    const float tail = std::max(head - trail, 0.0f);
    const size_t first = SampleAtOrBefore(*samples, tail), last = SampleAtOrBefore(*samples, head);
    Vector3 direction;
    comet->position = WavingPoint(*comet, last, direction);
    // Past the path's end the head is gone and the tail runs out after it.
    if (head > length) comet->alpha_random() = 0;
    sections.clear();
    for (size_t i = first; i <= last; ++i) {
      const Vector3 p = WavingPoint(*comet, i, direction);
      const float x = i == 0 ? 0.0f : (*samples)[i - 1].length_to_next;
      const float along = trail > 0 ? std::clamp((head - x) / trail, 0.0f, 1.0f) : 1.0f;
      const auto alpha = static_cast<uint32_t>(opacity * (1 - along) * 255 + 0.5f);
      const uint32_t colour = (alpha << 24) | rgb;
      const Vector3 n{-direction.y, direction.x, 0};
      const Vector3 left = p - n * half, right = p + n * half;
      sections.push_back({left.x, left.y, left.z, colour, 0, along});
      sections.push_back({right.x, right.y, right.z, colour, 1, along});
    }
    for (size_t k = 0; k + 1 < sections.size() / 2; ++k) {
      VertexPCT quad[4];
      StripQuad(sections, k, quad);
      strip_quads.insert(strip_quads.end(), quad, quad + 4);
    }
  }
}

void VRN_ShootingLine::BuildStripQuads(ParticleLookDrawing& strip) const {
  strip.BuildQuads(strip_quads.size() / 4,
                   [&](size_t k, VertexPCT* out) { std::copy_n(strip_quads.begin() + static_cast<ptrdiff_t>(4 * k), 4, out); });
}

void VRN_ShootingLine::Render(ParticleLookDrawing& drawing, ParticleLookDrawing& strip,
                              DS_ABRender& backdrop) const {
  RenderInChain(drawing, strip, backdrop, [] {});
}

void VRN_ShootingLine::RenderInChain(ParticleLookDrawing& drawing, ParticleLookDrawing& strip,
                                     DS_ABRender& backdrop, const ChainTurn& turn) const {
  RenderLineStrip(line_look, strip, backdrop, turn);
  if (GlowMode() == 2) turn();
  drawing.Render(look, GlowMode(), backdrop);
}

}  // namespace lumi
