// Lines at play: the strip along the sampled path, the head beyond its
// end, and the windows of the growing and sliding lines.
#include <algorithm>
#include <cmath>

#include "params/clamped_clock.h"
#include "particles/line_strip.h"
#include "particles/line_systems.h"
#include "particles/particle_look_drawing.h"
#include "particles/particle_routines.h"
#include "render/backdrop_services.h"

namespace lumi {

void VRN_LineCtrl::Attach() {
  samples = SampleSpline(path, kResolution, reversed);
  length = PathLength(samples);
}

int StripPasses(const ParticleLook& line_look) {
  return (line_look.blend_mode.value != 0 ? 1 : 0) + (std::clamp(line_look.glow_mode.value, 0, 2) == 2 ? 1 : 0);
}

void RenderLineStrip(const ParticleLook& line_look, ParticleLookDrawing& strip, DS_ABRender& backdrop,
                     const ChainTurn& turn) {
  const int glow = std::clamp(line_look.glow_mode.value, 0, 2);
  if (line_look.blend_mode.value == 0) {
    if (glow == 2) turn();
    strip.Render(line_look, glow, backdrop);
    return;
  }
  // The multiplied strip covers the whole picture, so its glow comes after
  // it, screened over the darkened background in a pass of its own.
  turn();
  strip.RenderMultiplied(backdrop);
  if (glow == 2) turn();
  strip.RenderGlow(line_look, glow, backdrop);
}

int VRN_LineCtrl::BackgroundPasses() const {
  return StripPasses(line_look) + (head_on.value != 0 && GlowMode() == 2 ? 1 : 0);
}

void VRN_LineCtrl::SetWindow(float a, float b) {
  window_start = a;
  window_end = b;
  StripStyle style;
  style.width = [this](float x) { return WidthAt(x); };
  style.alpha = [this](float x) { return AlphaAt(x); };
  style.rgb = line_look.VertexColour(0);
  style.repeat = RepeatLength();
  BuildStripSections(samples, a, b, style, sections);
  if (particles.empty()) return;
  // The head sits beyond the window's end, across and along the line.
  const PathPlace end = PlaceOnPath(samples, b);
  const Vector3 n{-end.direction.y, end.direction.x, 0};
  particles[0]->position = end.position + n * head_side + end.direction * head_ahead;
}

void VRN_LineCtrl::BuildQuads(ParticleLookDrawing& drawing) const {
  if (head_on.value != 0 && !sections.empty()) {
    VRN_ParticleSystemCtrl::BuildQuads(drawing);
  } else {
    drawing.BuildQuads(0, [](size_t, VertexPCT*) {});
  }
}

void VRN_LineCtrl::BuildStripQuads(ParticleLookDrawing& strip) const {
  const size_t quads = sections.size() < 4 ? 0 : sections.size() / 2 - 1;
  strip.BuildQuads(quads, [&](size_t k, VertexPCT* out) { StripQuad(sections, k, out); });
}

void VRN_LineCtrl::Render(ParticleLookDrawing& drawing, ParticleLookDrawing& strip, DS_ABRender& backdrop) const {
  RenderInChain(drawing, strip, backdrop, [] {});
}

void VRN_LineCtrl::RenderInChain(ParticleLookDrawing& drawing, ParticleLookDrawing& strip, DS_ABRender& backdrop,
                                 const ChainTurn& turn) const {
  RenderLineStrip(line_look, strip, backdrop, turn);
  if (head_on.value == 0) return;
  if (GlowMode() == 2) turn();
  drawing.Render(look, GlowMode(), backdrop);
}

void VRN_StaticLineCtrl::Attach() {
  VRN_LineCtrl::Attach();
  line_look.look_flags |= ParticleLook::kTexturesReversed;
}

void VRN_StaticLineCtrl::ResetPopulation() {
  particles.clear();
  auto head = std::make_shared<Particle>();
  head->position = {500, 500, 0};
  look.InitParticle(*head, nullptr);
  particles.push_back(std::move(head));
}

float VRN_StaticLineCtrl::RepeatLength() const {
  // A line of no width would repeat its texture endlessly often.
  return std::max(line_width.scaled() * line_look.run.aspect, 1.0f);
}

bool VRN_StaticLineCtrl::AdvanceClocks(double time) {
  frame_delta = ClampedStep(last_time, time) * speed.scaled();
  total_time += frame_delta;
  look.UpdateClocks(time);
  line_look.UpdateClocks(time);
  const bool left_off = last_state == VRN_Timing::kOff && timeline_state != VRN_Timing::kOff;
  last_state = timeline_state;
  return left_off;
}

void VRN_StaticLineCtrl::RestartHead(float seconds) {
  if (particles.empty()) return;
  Particle& head = *particles[0];
  head.life = std::make_shared<IPR_HeadAge>(seconds);
  head.age() = 0;
}

void VRN_StaticLineCtrl::Advance(double time) {
  AdvanceClocks(time);
  SetWindow(0, length);
}

void VRN_GrovingLine::Advance(double time) {
  const bool left_off = AdvanceClocks(time);
  if ((timeline_cycle == 0 && timeline_state != VRN_Timing::kOff) || left_off) RestartHead(timeline_cycle);
  for (const ParticleHandle& p : particles) p->Update(frame_delta);
  const float reach = timeline_level * length;
  if (retract.value != 0 && timeline_state == VRN_Timing::kFadingOut) {
    SetWindow(length - reach, length);
  } else {
    SetWindow(0, reach);
  }
}

float VRN_GrovingLine::WidthAt(float x) const {
  if (!(length > 0)) return 0;
  return line_width.scaled() * width_ramp.At(x / length) * head_width_ramp.At((window_end - x) / length);
}

float VRN_GrovingLine::AlphaAt(float x) const {
  if (!(length > 0)) return 0;
  return static_cast<float>(line_look.colour.alpha()) * alpha_ramp.At(x / length) *
         head_alpha_ramp.At((window_end - x) / length);
}

void VRN_SlidingLine::Advance(double time) {
  const bool turned_on = last_state != VRN_Timing::kOn && timeline_state == VRN_Timing::kOn;
  AdvanceClocks(time);
  const auto piece = static_cast<float>(slide_length.value);
  if (turned_on) {
    const float run = length + piece;
    RestartHead(run > 0 ? timeline_cycle * length / run : 0);
    // Ping-pong turns the path round at every start; without it a turned
    // path is set back.
    const bool want_reversed = ping_pong.value == 1 ? !reversed : false;
    if (want_reversed != reversed) {
      reversed = want_reversed;
      VRN_LineCtrl::Attach();
    }
  }
  for (const ParticleHandle& p : particles) p->Update(frame_delta);
  const float end = timeline_on_phase * (length + piece);
  // A piece of no length is an empty window.
  if (piece > 0) {
    SetWindow(std::max(0.0f, end - piece), end);
  } else {
    SetWindow(end, end);
  }
  if (end > length && !particles.empty()) particles[0]->alpha_random() = 0;
}

float VRN_SlidingLine::WidthAt(float x) const {
  const auto piece = static_cast<float>(slide_length.value);
  if (!(piece > 0)) return 0;
  return line_width.scaled() * width_ramp.At(1 - (window_end - x) / piece);
}

float VRN_SlidingLine::AlphaAt(float x) const {
  const auto piece = static_cast<float>(slide_length.value);
  if (!(piece > 0)) return 0;
  return static_cast<float>(line_look.colour.alpha()) *
         alpha_ramp.At(1 - (window_end - x) / piece);
}

}  // namespace lumi
