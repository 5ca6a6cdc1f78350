// The generator effects a document can hold. Their bases' records are
// settled; their own fields, stored before the base's record, are not, so
// each class reads them through the unsettled-fields mechanism: a document
// whose own fields read otherwise keeps its bytes and plays with these
// defaults and everything its bases hold. Each layout below is ours, stable
// from now on, in the order given.
//
// Fields: UInt is an unsigned 32-bit raw, Long a signed one; times are
// hundredths of a second, speeds and factors hundredths (100: 1×) unless
// said otherwise; a list is a signed count and that many values.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "generators/frame_sequence.h"
#include "generators/particle_generators.h"
#include "generators/processes.h"
#include "particles/particle_system.h"

namespace lumi {

// A setting stored in hundredths (times, speeds, factors).
inline float Hundredths(unsigned int raw) { return static_cast<float>(raw) / 100; }

// Sparkles on placed points that flash, turn and start again.
//   sparkle_size  UInt  pixels
//   period        UInt  a sparkle's life; its pre-run spreads the starts
//   turn_speed    UInt  the second clock's speed, which turns every sparkle
//
// A sparkle lives one period: its size grows from 0 to 1 over the first
// half and shrinks back to 0 over the second; then it starts again. Placed
// sparkles start out of step by a pre-run of ten updates over a random part
// of the period. It draws two layers over the same sparkles, in the colour
// and the second colour, sparkle_size across and turned by the second
// clock.
class DS_Bling : public DS_AirBrush {
  LUMI_STORED_CLASS(DS_Bling, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_Bling)

 public:
  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  void InitPlaced(GenParticle& particle) override;
  float SpriteSize() const override { return static_cast<float>(sparkle_size.value); }
  size_t BuildArrays(GenDrawing& drawing) override;
  // Both clocks step, then every sparkle; one that ends starts again, at
  // most once a frame, so a period of 0 cannot keep a frame restarting.
  void Advance(double time) override;

  float Period() const { return static_cast<float>(period.value) / 100; }

  ClampedClock turn_clock;  // its total turns every sparkle, in radians

  MediaParamT<unsigned int> sparkle_size{32};
  MediaParamT<unsigned int> period{100};
  MediaParamT<unsigned int> turn_speed{100};
  UnreadFields unread;
};

// The air brush with its own image sequence.
//   speed            UInt  its clock's speed
//   frame_durations  list of UInt, one per texture frame
// Its clock runs at speed / 100 and steps the pictures of its image list,
// one per duration; every sprite shows the current one, 32 px across.
class DS_CustomAirBrush : public DS_AirBrush {
  LUMI_STORED_CLASS(DS_CustomAirBrush, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_CustomAirBrush)

 public:
  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  void Advance(double time) override;
  size_t BuildArrays(GenDrawing& drawing) override;

  ClampedClock frame_clock;
  FrameSequence sequence;

  MediaParamT<unsigned int> speed{100};
  std::vector<uint32_t> frame_durations;
  UnreadFields unread;
};

// Stars on placed points whose size twinkles above what was placed.
//   star_size  UInt  pixels
// Each star's opacity is drawn from 0.5 to 1 once; its size factor rests at
// what was placed and flashes up to half as large again.
class DS_TwinklingStars : public DS_AirBrush {
  LUMI_STORED_CLASS(DS_TwinklingStars, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_TwinklingStars)

 public:
  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  void InitPlaced(GenParticle& particle) override;
  float SpriteSize() const override { return static_cast<float>(star_size.value); }

  MediaParamT<unsigned int> star_size{24};
  UnreadFields unread;
};

// Bands of light through the placed points.
//   wave_speed, drift_speed, shimmer_speed  UInt  the three clocks' speeds
//   band_height                             UInt  pixels
// Each placed point holds a band band_height tall and a third as wide,
// drawn in the colour: the wave clock sways it up and down by up to kWave
// pixels (in step along x), the drift clock sideways by up to kDrift, the
// shimmer clock moves its opacity between 0.1 and 1.
class DS_Aurora : public DS_AirBrush {
  LUMI_STORED_CLASS(DS_Aurora, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_Aurora)

 public:
  static constexpr float kWave = 15, kDrift = 12;

  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  void Advance(double time) override;
  size_t BuildArrays(GenDrawing& drawing) override;

  ClampedClock wave_clock, drift_clock, shimmer_clock;

  MediaParamT<unsigned int> wave_speed{100};
  MediaParamT<unsigned int> drift_speed{100};
  MediaParamT<unsigned int> shimmer_speed{100};
  MediaParamT<unsigned int> band_height{120};
  UnreadFields unread;
};

// Letters whose particles animate by the clock.
//   text   string
//   speed  UInt
class DS_AnimatedFont : public DS_StaticGenerator {
  LUMI_STORED_CLASS(DS_AnimatedFont, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_AnimatedFont)

 public:
  void Describe(Archive& ar) override;

  MediaParamT<std::u16string> text;
  MediaParamT<unsigned int> speed{100};
  UnreadFields unread;
};

// Rays from the centre, turning or swinging.
//   mode           Long  0 turns on, 1 turns back, 2 swings
//   speed          UInt  its clock's speed
//   swing          UInt  degrees either way in mode 2
//   ray_count      UInt
//   fixed_pattern  Long  not 0: the same rays every time, from `seed`
//   seed           UInt
//
// ray_count rays (at most kMaxRays) spread round the centre, each laid
// from it outwards with a random length, width and opacity; all turn
// together by the clock at speed / 100 (radians: mode 0 the total, mode 1
// its negative, mode 2 sin(total) × swing degrees).
class DS_RadialRays : public DS_StaticGenerator {
  LUMI_STORED_CLASS(DS_RadialRays, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_RadialRays)

 public:
  static constexpr size_t kMaxRays = 1000;
  static constexpr uint32_t kBlankRayLength = 256;  // pixels, without a picture
  // A ray's length and width factors, in values the processes leave alone.
  static constexpr int kRayLength = 5, kRayWidth = 6;

  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  void Prepare(DS_ParticlesObj& /*object*/) override { BuildRays(); }
  void Advance(double time) override;
  size_t BuildArrays(GenDrawing& drawing) override;
  void BuildRays();

  ClampedClock turn_clock;
  float rotation = 0;  // radians, this frame

  MediaParamT<int> mode{0};
  MediaParamT<unsigned int> speed{100};
  MediaParamT<unsigned int> swing{30};
  MediaParamT<unsigned int> ray_count{12};
  MediaParamT<int> fixed_pattern{1};
  MediaParamT<unsigned int> seed{1};
  UnreadFields unread;
};

// A picture bending in the wind, rooted at its bottom edge.
//   frequency, wind, bending  UInt  the vertex program's three settings
//   fade_with_timeline        Long  1: the timeline's level is its opacity
//
// Its program's "Main" gets "Time" (its clock), "Frequency" (frequency /
// 100, swings a second), "WMagnitude" and "BMagnitude" (wind and bending,
// pixels at the top edge) and "color"; the picture is drawn in kRows
// strips so the bend curves.
class DS_Plant : public DS_SingleRectGN {
  LUMI_STORED_CLASS(DS_Plant, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_Plant)

 public:
  static constexpr uint32_t kRows = 8;

  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  uint32_t Rows() const override { return kRows; }
  uint32_t QuadColour() const override;
  void SetUpProgram(Effect& effect, const std::shared_ptr<Texture>& texture) const override;
  std::string_view ProgramClass() const override { return kClassName; }

  MediaParamT<unsigned int> frequency{100};
  MediaParamT<unsigned int> wind{10};
  MediaParamT<unsigned int> bending{10};
  MediaParamT<int> fade_with_timeline{1};
  UnreadFields unread;
};

// A picture (or its image sequence) tinted with the generator's colour.
//   opacity  UInt  0 to 255
// Its opacity is level × opacity / 255, on "Blend_Normal"'s "Color" or
// the vertex colour of the direct draw.
class DS_StaticAnimation : public DS_SingleRectGN {
  LUMI_STORED_CLASS(DS_StaticAnimation, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_StaticAnimation)

 public:
  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  uint32_t QuadColour() const override;
  void SetUpProgram(Effect& effect, const std::shared_ptr<Texture>& texture) const override;
  std::string_view ProgramClass() const override { return kClassName; }
  float Opacity() const { return level * static_cast<float>(std::min(opacity.value, 255u)) / 255; }

  MediaParamT<unsigned int> opacity{255};
  UnreadFields unread;
};

// Shooting stars born at random points of the area.
//   star_rate                 UInt  stars per second, on average
//   fade_in, hold, fade_out   UInt  times
//   direction                 UInt  degrees of the fall, 0 right, 90 up
//   fall_speed                UInt  pixels per second
//   spin                      UInt  hundredths of a radian per second
//
// On average star_rate stars a second are born (at most 0.2 s of births
// after a stall, and none past kMaxParticles), each at a random point of
// the area with a random turn, fading in, holding and fading out while it
// falls and spins. It draws four arrays in two layers into its private
// target with "BlendMask_Max" and adds them to the picture with "Main".
class DS_FallingStars : public DS_ParticleRctRgnGenerator {
  LUMI_STORED_CLASS(DS_FallingStars, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_FallingStars)

 public:
  // How long a streak is: the way the star falls in this time.
  static constexpr float kStreakSeconds = 0.15f;

  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  void Advance(double time) override;
  size_t BuildArrays(GenDrawing& drawing) override;
  bool NeedsBackground() const override { return false; }
  const char* MaskTechnique() const override { return "BlendMask_Max"; }
  const char* CompositeTechniqueName() const override { return "Main"; }
  std::string_view ProgramClass() const override { return kClassName; }
  // The fall's velocity in pixels per second.
  Vector3 Velocity() const;
  // How many stars the random counting rule gives at `time`.
  size_t BornAt(double time);

  PerSecondCounterRnd star_rate{2};
  MediaParamT<unsigned int> fade_in{20};
  MediaParamT<unsigned int> hold{40};
  MediaParamT<unsigned int> fade_out{40};
  MediaParamT<unsigned int> direction{225};
  MediaParamT<unsigned int> fall_speed{300};
  MediaParamT<unsigned int> spin{100};
  UnreadFields unread;
};

// Pictures wandering inside the area.
//   count              UInt  sprites
//   wander_speed       UInt
//   change_interval    UInt  time between course changes
//   acceleration_time  UInt
//   frame_durations    list of UInt
//
// `count` sprites at random points of the area wander with PBrownian at
// wander_speed / 100, changing course about every change_interval; the
// pictures step through the durations at one second a second.
class DS_BrownAnimation : public DS_ParticleRctRgnGenerator {
  LUMI_STORED_CLASS(DS_BrownAnimation, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_BrownAnimation)

 public:
  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  void Prepare(DS_ParticlesObj& /*object*/) override { PlaceWanderers(); }
  void Advance(double time) override;
  size_t CurrentPicture() const override { return sequence.index; }
  // The sprites made anew at random points of the area.
  void PlaceWanderers();

  ClampedClock frame_clock;
  FrameSequence sequence;

  MediaParamT<unsigned int> count{10};
  MediaParamT<unsigned int> wander_speed{100};
  MediaParamT<unsigned int> change_interval{200};
  MediaParamT<unsigned int> acceleration_time{50};
  std::vector<uint32_t> frame_durations;
  UnreadFields unread;

 private:
  // The area and settings as the sprites' wander reads them.
  void RefreshField();
  std::shared_ptr<BrownianField> field_;
};

// What the fireworks store of their bursts:
//   burst_count  UInt  particles per burst
//   burst_speed  UInt  pixels per second
//   gravity      Long  pixels per second², down positive
//   burst_life   UInt  time
struct FireworkBurst {
  void Describe(Archive& ar);
  // The burst of a rocket that ended, into the generator's particles: see
  // DS_FireworkSimple.
  void Burst(DS_ParticleGenerator& generator, const GenSource& rocket) const;

  MediaParamT<unsigned int> count{60};
  MediaParamT<unsigned int> speed{150};
  MediaParamT<int> gravity{60};
  MediaParamT<unsigned int> life{150};
};

// Rockets that burst: its burst fields, bursting as the simple firework's.
class DS_Firework : public DS_ParticleOriginGenerator {
  LUMI_STORED_CLASS(DS_Firework, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_Firework)

 public:
  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  void SourceEnded(const GenSource& rocket) override { burst.Burst(*this, rocket); }

  FireworkBurst burst;
  UnreadFields unread;
};

// The simple firework, also its burst fields alone. A rocket that ends
// bursts into `count` particles flying off in every direction at the burst
// speed under gravity, living until their life progress reaches 1 and
// growing by `extraFactor` a second meanwhile.
class DS_FireworkSimple : public DS_ParticleOriginGenerator {
  LUMI_STORED_CLASS(DS_FireworkSimple, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_FireworkSimple)

 public:
  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  void SourceEnded(const GenSource& rocket) override { burst.Burst(*this, rocket); }

  FireworkBurst burst;
  UnreadFields unread;
};

// Rising puffs: its origins drawn themselves.
//   puff_size  UInt  pixels
//   opacity    UInt  0 to 255
// Each origin is a puff that fades out and swells to twice its size over
// its life, drawn (after the particles it emits, with the second picture)
// puff_size × its size value across in the colour, at opacity × its
// opacity value.
class DS_Smoke : public DS_ParticleOriginGenerator {
  LUMI_STORED_CLASS(DS_Smoke, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_Smoke)

 public:
  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  bool AddOrigin() override;
  size_t BuildArrays(GenDrawing& drawing) override;

  MediaParamT<unsigned int> puff_size{64};
  MediaParamT<unsigned int> opacity{160};
  UnreadFields unread;
};

// Lightning bolts along chains of particles.
//   seed          UInt
//   random_shape  Long  not 0: a new shape every bolt
//   bolt_time     UInt  milliseconds a bolt lasts
// Records before version 2 then hold seven 32-bit integers it drops.
//
// The chain's six settings are the bolt's start (x, y) and end (x, y) in
// picture pixels, the number of links (1 to kMaxSegments) and how far the
// points between swing across the way, in pixels. Each time its timeline
// comes on a bolt is built: with the same shape every time (from `seed`)
// unless `random_shape` is set, handing the scene's random sequence back
// as one value drawn. It flashes and fades out over `bolt_time`.
class DS_LightningGN : public DS_StringGenerator {
  LUMI_STORED_CLASS(DS_LightningGN, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_LightningGN)

 public:
  enum ChainSetting : size_t { kStartX, kStartY, kEndX, kEndY, kSegments, kJag };
  static constexpr size_t kMaxSegments = 1000;
  // A link's length in pixels, in a value the processes leave alone.
  static constexpr int kLinkLength = 5;

  DS_LightningGN() { chain_settings = {0, 0, 0, 300, 12, 20}; }
  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  void Advance(double time) override;
  size_t BuildArrays(GenDrawing& drawing) override;
  // A slide that starts again starts with a bolt.
  void Restart() override {
    DS_StringGenerator::Restart();
    seen_state = 1;
  }
  void BuildBolt();

  float timer_ms = 0;  // since the last bolt
  int seen_state = 1;  // the timeline's state at the last frame (starts off)

  MediaParamT<unsigned int> seed{1};
  MediaParamT<int> random_shape{0};
  MediaParamT<unsigned int> bolt_time{400};
  UnreadFields unread;
};

// Pictures moving along the path.
//   speed            UInt  the first clock's speed (pixels per second)
//   frame_durations  list of UInt
//
// One sprite every kSpacing pixels of the path (one at least), all moving
// along it at `speed` and wrapping round at its end; the pictures step
// through the durations at one second a second.
class DS_PathAnimtion : public DS_PathGenerator {
  LUMI_STORED_CLASS(DS_PathAnimtion, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_PathAnimtion)

 public:
  static constexpr float kSpacing = 120;
  static constexpr int kResolution = 20;

  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  void Prepare(DS_ParticlesObj& /*object*/) override { PlaceWalkers(); }
  void Advance(double time) override;
  size_t CurrentPicture() const override { return sequence.index; }
  // The path sampled and the sprites made anew at its start.
  void PlaceWalkers();
  // The point `distance` pixels along the sampled path, its end beyond.
  Vector3 PointAt(float distance) const;

  ClampedClock move_clock, frame_clock;
  FrameSequence sequence;

  MediaParamT<unsigned int> speed{100};
  std::vector<uint32_t> frame_durations;
  UnreadFields unread;

 private:
  std::vector<SplineSample> samples_;
  float length_ = 0;
};

// A fixed swarm wandering inside its region.
//   region             MediaQuad
//   count              UInt
//   wander_speed       UInt
//   change_rate        UInt  course changes per second
//   acceleration_time  UInt
// The swarm is `count` particles at random points of the region, each
// wandering with IPR_Brownian at wander_speed / 100, changing course
// change_rate / 100 times a second, taking acceleration_time / 100 s to
// turn, and steering back when the region moves away. It emits nothing.
class VRN_BrownAnimation : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_BrownAnimation, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_BrownAnimation)

 public:
  void Describe(Archive& ar) override;
  bool HasBehaviour() const override { return true; }
  void ResetPopulation() override;

  MediaQuad region;
  MediaParamT<unsigned int> count{20};
  MediaParamT<unsigned int> wander_speed{100};
  MediaParamT<unsigned int> change_rate{50};
  MediaParamT<unsigned int> acceleration_time{50};
  UnreadFields unread;
};

// The swarm with a light behind each firefly.
//   light_lifetime  UInt  time
//   light_spread    UInt  pixels
// Every firefly leaves kLightsPerSecond lights a second, drawn added in
// the firefly's look kLightScale times as large: each lives light_lifetime
// (none at 0) and drifts off in a random direction, at most light_spread
// pixels over its life.
class VRN_Firefly : public VRN_BrownAnimation {
  LUMI_STORED_CLASS(VRN_Firefly, 2)
  LUMI_CONSTRUCTOR_CLONE(VRN_Firefly)

 public:
  static constexpr float kLightsPerSecond = 6;
  static constexpr unsigned int kLightScale = 3;

  void Describe(Archive& ar) override;
  void Attach() override;
  void Advance(double time) override;
  ParticleLook* StripLook() override { return &light_look; }
  void BuildStripQuads(ParticleLookDrawing& strip) const override;
  void Render(ParticleLookDrawing& drawing, ParticleLookDrawing& strip, DS_ABRender& backdrop) const override;
  // A new light where the firefly is; false when none is made.
  bool AddLight(const Particle& firefly);

  ParticleLook light_look;  // run time: the firefly's look, larger and added
  ParticleList lights;
  float light_due = 0;

  MediaParamT<unsigned int> light_lifetime{100};
  MediaParamT<unsigned int> light_spread{20};
  UnreadFields light_unread;  // the swarm's own fields keep theirs
};

}  // namespace lumi
