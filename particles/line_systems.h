// Lines drawn as textured strips along a path or between two points, and
// the comets that run along a path.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "params/paths.h"
#include "params/sliders.h"
#include "particles/emission.h"
#include "particles/particle_system.h"
#include "render/vertex_formats.h"

namespace lumi {

// Draws a line's strip with its look: any blend mode but 0 multiplies it
// over the background, then its glow lies over that; `turn` comes before
// each draw that reads the background.
void RenderLineStrip(const ParticleLook& line_look, ParticleLookDrawing& strip, DS_ABRender& backdrop,
                     const ChainTurn& turn);
// How many of those draws there are: the multiplied strip and a glow
// screened over the background, one each.
int StripPasses(const ParticleLook& line_look);

// A strip along a Bézier path, drawn with its own look, with an optional
// head particle drawn with the system's look.
class VRN_LineCtrl : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_LineCtrl, 2)

 public:
  void Describe(Archive& ar) override;

  SplinePath path;
  MediaParamT<int> head_on{0};
  ParticleLook line_look;
  float head_side = 0;   // the head's offset across the line's end
  float head_ahead = 0;  // and along it

  // Behaviour. Samples the path, 100 samples a segment.
  bool HasBehaviour() const override { return true; }
  void Attach() override;
  ParticleLook* StripLook() override { return &line_look; }
  // The strip's passes, and one for a head glowing against the background.
  int BackgroundPasses() const override;
  // The head, with head_on, placed beyond the window's end.
  void BuildQuads(ParticleLookDrawing& drawing) const override;
  void BuildStripQuads(ParticleLookDrawing& strip) const override;
  void Render(ParticleLookDrawing& drawing, ParticleLookDrawing& strip, DS_ABRender& backdrop) const override;
  // The strip, then the head.
  void RenderInChain(ParticleLookDrawing& drawing, ParticleLookDrawing& strip, DS_ABRender& backdrop,
                     const ChainTurn& turn) const override;
  // Width in pixels and opacity on the 0..255 scale at a distance along
  // the path.
  virtual float WidthAt(float x) const = 0;
  virtual float AlphaAt(float x) const = 0;
  // Path pixels per repeat of the strip's texture.
  virtual float RepeatLength() const { return 1; }
  // The window [a, b] this frame draws; the strip's sections are built
  // from it in Advance.
  void SetWindow(float a, float b);

  static constexpr int kResolution = 100;

  // Run time, never stored.
  std::vector<SplineSample> samples;
  float length = 0;
  float window_start = 0, window_end = 0;
  std::vector<VertexPCT> sections;
  bool reversed = false;  // the sliding line's ping-pong
};

class VRN_StaticLineCtrl : public VRN_LineCtrl {
  LUMI_STORED_CLASS(VRN_StaticLineCtrl, 1)

 public:
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> line_width{0, 1.0f, 0.0f};  // pixels
  ScaleRamp width_ramp;                           // over the position along the line
  ScaleRamp alpha_ramp;

  // One head particle; the subclasses move it and build the strip.
  void Attach() override;
  // The head survives the reset that empties switched timelines.
  void ResetPopulation() override;
  void Advance(double time) override;
  float WidthAt(float /*x*/) const override { return line_width.scaled(); }
  float AlphaAt(float /*x*/) const override { return static_cast<float>(look.colour.alpha()); }
  // The line's width times the texture's aspect, at least 1 pixel.
  float RepeatLength() const override;

 protected:
  // The clocks, then whether the timeline has just left its off state.
  bool AdvanceClocks(double time);
  // Gives the head a new life of `seconds`.
  void RestartHead(float seconds);

  int last_state = 1;  // the timeline's state the last frame saw
};

// A line that grows along its path as its timeline fades in.
class VRN_GrovingLine : public VRN_StaticLineCtrl {
  LUMI_STORED_CLASS(VRN_GrovingLine, 2)
  LUMI_CONSTRUCTOR_CLONE(VRN_GrovingLine)

 public:
  void Describe(Archive& ar) override;

  ScaleRamp head_width_ramp;  // over the distance back from the line's end
  ScaleRamp head_alpha_ramp;
  MediaParamT<int> retract{0};

  // The line reaches level × length along the path; retracting while the
  // timeline fades out, it withdraws towards its end.
  void Advance(double time) override;
  float WidthAt(float x) const override;
  float AlphaAt(float x) const override;
};

// A piece of line that slides along the path.
class VRN_SlidingLine : public VRN_StaticLineCtrl {
  LUMI_STORED_CLASS(VRN_SlidingLine, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_SlidingLine)

 public:
  void Describe(Archive& ar) override;

  MediaParamT<unsigned int> slide_length{0};  // pixels
  MediaParamT<int> ping_pong{0};

  // A piece slide_length long runs from the path's start past its end in
  // each on phase; with ping_pong the path turns round at every start.
  void Advance(double time) override;
  // The ramps run over the piece: 0 at its tail, 1 at its head.
  float WidthAt(float x) const override;
  float AlphaAt(float x) const override;
};

// Comets sent along a path: each is a head running from the path's start
// at a fixed speed with a trail of fixed length behind it, drawn as a
// strip through the path's samples between tail and head, waving
// sideways. Its stored settings are, in stored order (value_1 … value_14
// in inspect):
//   first_floats  kept, unused
//   raws[0]       comets a second, hundredths (100: one a second)
//   raws[1]       the heads' speed, pixels a second
//   raws[2]       the trail's length, pixels
//   raws[3]       the strip's width, pixels
//   raws[4]       the wave's width either side of the path, pixels
//   raws[5]       the wave's frequency, hundredths of a radian per second
//                 the head has run (the trail keeps the wave the head drew)
//   raws[6..8], integer, last_floats  kept, unused
// The strip fades from the line look's opacity at the head to nothing at
// the tail; its texture runs 0 to 1 across and from the head (v 0) to the
// tail (v 1) along it.
class VRN_ShootingLine : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_ShootingLine, 2)
  LUMI_CONSTRUCTOR_CLONE(VRN_ShootingLine)

 public:
  void Describe(Archive& ar) override;

  SplinePath path;
  ParticleLook line_look;
  std::array<float, 2> first_floats{};
  std::array<uint32_t, 9> raws{100, 200, 150, 4, 0, 0, 0, 0, 0};
  int32_t integer = 0;
  std::array<float, 2> last_floats{};

  float Rate() const { return static_cast<float>(raws[0]) / 100; }
  float Speed() const { return static_cast<float>(raws[1]); }
  float Trail() const { return static_cast<float>(raws[2]); }
  float StripWidth() const { return static_cast<float>(raws[3]); }
  unsigned int WaveWidth() const { return raws[4]; }
  float WaveFrequency() const { return static_cast<float>(raws[5]) / 100; }

  // Behaviour. Samples the path, 100 samples a segment.
  bool HasBehaviour() const override { return true; }
  void Attach() override;
  // Long enough for a comet to cross the path; a comet that never moves
  // gives none.
  float PrerollSeconds() const override;
  // The clocks and the step, then each comet's head and strip.
  void Advance(double time) override;
  // rate × level comets a second at the path's start, nothing without a
  // path of two points; a comet dies once its tail passes the path's end.
  void Emit(ParticleList& born, float dt) override;
  ParticleLook* StripLook() override { return &line_look; }
  // The strip's passes, and one for heads glowing against the background.
  int BackgroundPasses() const override;
  void BuildStripQuads(ParticleLookDrawing& strip) const override;
  void Render(ParticleLookDrawing& drawing, ParticleLookDrawing& strip, DS_ABRender& backdrop) const override;
  // The strips, then the heads.
  void RenderInChain(ParticleLookDrawing& drawing, ParticleLookDrawing& strip, DS_ABRender& backdrop,
                     const ChainTurn& turn) const override;
  // Where the comet's wave puts sample i, and the path's direction there.
  Vector3 WavingPoint(const Particle& comet, size_t i, Vector3& direction) const;

  // A comet's wave phase rides in this float of its particle, which none of
  // a comet's routines address.
  static constexpr size_t kPhaseValue = 4;

  // Run time, never stored.
  std::shared_ptr<std::vector<SplineSample>> samples = std::make_shared<std::vector<SplineSample>>();
  float length = 0;
  EvenCounter counter_state;
  std::vector<VertexPCT> strip_quads;  // four vertices a quad
};

// The shooting line under another name, with no settings of its own. New
// tears run slower, shorter and wider than new comets, and wave.
class VRN_Tears : public VRN_ShootingLine {
  LUMI_STORED_CLASS(VRN_Tears, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_Tears)

 public:
  VRN_Tears() { raws = {50, 80, 60, 6, 4, 300, 0, 0, 0}; }
  void Describe(Archive& ar) override;
};

// A line between two points; documents hold it only as the base of the
// waving line, which draws it.
class DS_StraightLine : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_StraightLine, 1)

 public:
  void Describe(Archive& ar) override;

  std::array<Vector3, 2> ends{};
};

// The straight line waving like a rope held at both ends, drawn with a look
// of its own. Its stored settings are, in stored order (value_1 … value_10
// in inspect):
//   first_raws[0]  the strip's width, pixels
//   first_raws[1]  the wave's height either side of the line, pixels
//   first_raws[2]  the wave's length along the line, pixels (0: the whole
//                  line rises and falls as one)
//   first_raws[3]  the wave's speed, hundredths of a radian a second
//   first_raws[4], last_raws, integer, floats  kept, unused
// The height grows from nothing at the ends to full at the middle. The
// texture runs 0 to 1 across the strip and repeats along it every width ×
// the texture's aspect (at least a pixel).
class VRN_WavingLine : public DS_StraightLine {
  LUMI_STORED_CLASS(VRN_WavingLine, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_WavingLine)

 public:
  void Describe(Archive& ar) override;

  std::array<uint32_t, 5> first_raws{4, 10, 200, 300, 0};
  ParticleLook line_look;
  std::array<uint32_t, 2> last_raws{};
  int32_t integer = 0;
  std::array<float, 2> floats{};

  // Behaviour.
  bool HasBehaviour() const override { return true; }
  // The clocks, then the strip's sections at this moment of the wave.
  void Advance(double time) override;
  ParticleLook* StripLook() override { return &line_look; }
  int BackgroundPasses() const override { return StripPasses(line_look); }
  void BuildStripQuads(ParticleLookDrawing& strip) const override;
  void Render(ParticleLookDrawing& drawing, ParticleLookDrawing& strip, DS_ABRender& backdrop) const override;
  void RenderInChain(ParticleLookDrawing& drawing, ParticleLookDrawing& strip, DS_ABRender& backdrop,
                     const ChainTurn& turn) const override;

  static constexpr int kSections = 64;

  // Run time, never stored.
  std::vector<VertexPCT> sections;
};

}  // namespace lumi
