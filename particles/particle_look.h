// The appearance block every emitter particle system carries: textures and
// effect, colour, size and opacity over a particle's life, rotation, glow,
// and the physics switches applied to each new particle.
#pragma once

#include <cstdint>

#include "archive/archive.h"
#include "params/colours.h"
#include "params/file_link.h"
#include "params/sliders.h"
#include "params/typed_param.h"
#include "particles/particle.h"
#include "particles/particle_fields.h"
#include "render/vertex_formats.h"

namespace lumi {

// A factor over normalised age: it rises from start_scale to 1 over
// [0, in_end], stays 1, and falls to end_scale over [out_start, 1]. The
// defaults apply no ramp.
struct ScaleRamp {
  // The factor at u, taken within [0, 1].
  float At(float u) const;

  UINTSclaleTo<float> in_end{0, 0.01f, 0.0f};
  UINTSclaleTo<float> out_start{100, 0.01f, 0.0f};
  UINTSclaleTo<float> start_scale{0, 0.01f, 0.0f};
  UINTSclaleTo<float> end_scale{0, 0.01f, 0.0f};
};

// The four whole numbers of a ramp in their own order.
void RampField(Archive& ar, const char* field, ScaleRamp& ramp);

// A wave or a noise on one modulator of a particle.
struct OscillationSetting {
  enum Mode { kOff = 0, kCosine = 1, kNoise = 2 };

  MediaParamT<int> mode{kOff};
  UINTSclaleTo<float> frequency{50, 0.1f, 0.0f};
  UINTSclaleTo<float> amplitude{100, 0.005f, 0.0f};
};

// Its value is the look's name; older documents hold a built-in shape name.
class ParticleLook : public MediaParamT<vrn_string> {
 public:
  static constexpr int kVersion = 10;
  // Older looks store their textures as an image list whose layout is not
  // known.
  static constexpr int kFirstKnownVersion = 7;

  // Bits of look_flags.
  enum Flag : int32_t {
    kPhysics = 1,
    kTexturesReversed = 2,
    kExplicitSize = 4,
    kExplicitAlpha = 8,
    kWobble = 16,
  };
  // With physics on: gravity down or up the screen; other values none.
  enum GravityMode { kGravityDown = 1, kGravityUp = 2 };

  DS_NamedFileLink textures;
  DS_HLSLEffectFile effect;
  MediaSpeedParam texture_clock = WithScale(MediaSpeedParam(1), 0.01f);
  MediaParamT<int> texture_reverse{0};
  MediaParamT<int> flip_v{0};
  MediaParamT<int> flip_u{0};
  SmartCOLORREF colour;                  // its opacity slider is the transparency
  MediaParamT<unsigned int> size{0};     // quad width in pixels before all factors
  ScaleRamp size_ramp;
  UINTSclaleTo<float> size_jitter{0, 0.01f, 0.0f};
  ScaleRamp alpha_ramp;
  UINTSclaleTo<float> alpha_jitter{0, 0.01f, 0.0f};
  MediaParamT<int> spin_direction{0};    // 0 positive, 1 negative, 2 random
  MediaSpeedParam spin_clock = WithScale(MediaSpeedParam(0), 0.05f);
  VRN_JitterMediaPrm spin_jitter;
  MediaParamT<int> blend_mode{0};
  MediaParamT<int> orientation{0};       // 0 birth rotation, 1 along the velocity, 2 spinning
  MediaParamT<unsigned int> start_angle{0};
  MediaParamT<unsigned int> start_angle_jitter{0};
  MediaParamT<int> glow_mode{0};
  MediaParamT<unsigned int> glow_surface_setting{50};
  SmartCOLORREF glow_colour{0x0000FFFF};  // yellow
  UINTSclaleTo<float> glow_brightness{100, 0.02f, 0.0f};
  MediaParamT<int> glow_blur{2};
  OscillationSetting alpha_wave;
  OscillationSetting size_wave;
  int32_t look_flags = 0;
  MediaParamT<int> gravity_mode{0};
  UINTSclaleTo<float> gravity{0, 5.0f, 0.0f};
  UINTSclaleTo<float> air_resistance{0, 0.01f, 0.0f};
  OscillationSetting wobble_forward;
  OscillationSetting wobble_sideways;

  // Behaviour. The birth set-up every system runs on a new particle: its
  // texture cell, random numbers, rotation, and the routines the settings
  // call for. `life` becomes its life routine.
  void InitParticle(Particle& p, std::shared_ptr<LifeRoutine> life) const;
  float SizeFactor(const Particle& p) const;
  float AlphaFactor(const Particle& p) const;
  // The texture and spin clocks move to global time `time`.
  void UpdateClocks(double time);
  // The four vertices of p's quad, `size_pixels` wide before the factors,
  // in the order A, B, C, D of a strip.
  void BuildQuad(const Particle& p, float size_pixels, VertexPCT out[4]) const;
  // The same quad `width` pixels wide whatever the size factor, aligned to
  // `along` for orientation 1.
  void BuildQuadOfWidth(const Particle& p, float width, Vector3 along, VertexPCT out[4]) const;
  // The look's colour as a vertex colour, its opacity times `factor`.
  uint32_t VertexColour(float factor) const;
  // Every live particle gets a new random texture cell.
  void OnGridChanged(ParticleList& particles) const;

  // What playing keeps beside the settings; never stored.
  struct RunState {
    // The texture-cell grid; sides of 0 count as 1.
    uint32_t grid_columns = 1, grid_rows = 1;
    float aspect = 1;            // height / width of the first texture
    float u_extent = 1, v_extent = 1;  // the part of the texture in use
    // The first texture's picture in pixels; 0 while it has none.
    uint32_t picture_width = 0, picture_height = 0;
    double texture_last_time = 0, spin_last_time = 0;
    // Totals in double, so that hours of play keep their steps.
    double texture_total = 0, spin_total = 0;
  };
  RunState run;

  // Stored but not used in playing; kept so that a look is written back as
  // it was read: a second effect link, and a second copy of the opacity
  // ramp's start (the ramp's end is not stored and keeps its default).
  DS_HLSLEffectFile unused_effect;
  uint32_t alpha_start_scale_copy = 0;
};

// The look's version, its name, then its fields for that version.
void LookField(Archive& ar, const char* field, ParticleLook& look);

}  // namespace lumi
