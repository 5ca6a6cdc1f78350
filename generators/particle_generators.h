// The texture-particle generators: the stored settings of the generator
// base and of the intermediate classes that fix where particles come from.
// Documents never name these classes; they are the bases of the generator
// effects, whose records end with one of theirs.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "generators/gen_particle.h"
#include "params/clamped_clock.h"
#include "params/colours.h"
#include "params/file_link.h"
#include "params/paths.h"
#include "params/quad_rect.h"
#include "params/sliders.h"
#include "scene/render_obj_data.h"

namespace lumi {

class DS_ABRender;
class DS_ParticlesObj;
class GenDrawing;

// A point particles are emitted from: where it is now and where it was at
// the last emission, so that births spread along its path between frames.
// Sources carry processes of their own (a rocket flies, a puff fades).
struct GenSource {
  GenParticle point;
  Vector3 previous;
};

class DS_ParticleGenerator : public DS_ABObj_Constructor {
  LUMI_STORED_CLASS(DS_ParticleGenerator, 3)

 public:
  // However fast a document asks for them, a generator holds no more than
  // these; beyond, births wait for room.
  static constexpr size_t kMaxParticles = 100000;
  static constexpr size_t kMaxSources = 1000;

  // From version 2 the source list, from version 3 the particle settings,
  // then the constructor's record. A stored source is its position (x, y, z)
  // and its opacity value, all floats; its previous position starts there.
  void Describe(Archive& ar) override;
  std::unique_ptr<VRN_RenderObj> CreateRenderObject() const override;

  // The generator's behaviour; classes without one play inert.
  virtual bool HasBehaviour() const { return false; }
  // What the run-time object's copy sets up once it exists (placed
  // sprites); device resources follow on the first draw.
  virtual void Prepare(DS_ParticlesObj& /*object*/) {}
  // One frame at time t: the clock steps (at most 0.2 s, times the speed)
  // and every source and particle runs its processes; the dead go.
  virtual void Advance(double time);
  virtual void Draw(DS_ABRender& /*backdrop*/, DS_ParticlesObj& /*object*/) {}
  virtual bool NeedsBackground() const { return false; }
  // A new particle takes the source's opacity, lives `lifetime` seconds
  // fading from opaque to clear, and flies off at up to `launchSpeed`.
  virtual void InitParticle(GenParticle& particle, const GenSource& source);
  // Back to the start of the slide: no particles and no moving origins.
  virtual void Restart();
  // A source whose processes ended, just before it goes (a rocket bursts).
  virtual void SourceEnded(const GenSource& /*source*/) {}

  // Births due at time t from every source, spread along each source's
  // motion since the last emission; returns how many were born.
  size_t EmitFromSources(double time);
  // A new source at `at`; none once the generator holds kMaxSources.
  GenSource* AddSource(Vector3 at);

  // The step the last Advance took, after the speed.
  float step() const { return step_; }

  // What documents before version 3 keep.
  MediaFloat<unsigned int> lifetime{20};  // seconds
  PerSecondCounter rate{30};              // particles per second per source
  MediaFloat<unsigned int> extra_factor{0};
  MediaFloat<unsigned int> launch_speed{0};  // pixels per second, upper bound
  MediaParamT<int> emitting{0};              // 0: no emission

  UINTSclaleTo<float> time_speed{50, 0.02f, 0.0f};  // 1.0
  ClampedClock clock;
  std::vector<GenSource> sources;
  std::vector<GenParticle> generated;
  float level = 1;  // the timeline's level this frame
  int timeline_state = 0;  // and its state (VRN_Timing::State)

 private:
  float step_ = 0;
};

class DS_TexParticleGenerator : public DS_ParticleGenerator {
  LUMI_STORED_CLASS(DS_TexParticleGenerator, 3)

 public:
  // The pictures as one named link (the form the particle look stores its
  // textures in), the effect link, the two colours as their 4-byte values,
  // the blend mode and three settings whose meaning is not known, then the
  // generator's record.
  void Describe(Archive& ar) override;

  // Modes 1 and 2 compose with the picture drawn so far.
  bool NeedsBackground() const override;
  // Loads the pictures and program on first use, fills the sprite arrays
  // and draws them: through the private target and the composite of
  // `blend_mode` with a program, directly without one.
  void Draw(DS_ABRender& backdrop, DS_ParticlesObj& object) override;
  // Fills the drawing's sprite arrays for this frame; returns how many are
  // used. The base: one array of every generated particle, each at its
  // picture's size (kBlankSide square without one) in `colour`.
  virtual size_t BuildArrays(GenDrawing& drawing);
  // The technique that draws the sprites into the private target, and the
  // one that composes the target (by default that of `blend_mode`).
  virtual const char* MaskTechnique() const { return "BlendMask"; }
  virtual const char* CompositeTechniqueName() const;
  // The picture the base's array draws with.
  virtual size_t CurrentPicture() const { return 0; }
  // The class whose built-in program stands in for a link none holds.
  virtual std::string_view ProgramClass() const { return kClassName; }

  DS_NamedFileLink images;
  DS_HLSLEffectFile effect;
  SmartCOLORREF colour;
  SmartCOLORREF second_colour;
  MediaParamT<int> blend_mode{0};  // 0 plain, 1 screen, 2 colour dodge, 3 sum
  MediaParamT<int> value_1{0};     // from version 2
  MediaParamT<int> value_2{0};     // from version 2
  MediaParamT<int> value_3{0};     // from version 3
};

class DS_StaticGenerator : public DS_TexParticleGenerator {
  LUMI_STORED_CLASS(DS_StaticGenerator, 1)

 public:
  void Describe(Archive& ar) override;

  Vector3 centre{};
};

// Origins (rockets, smoke sources) are sources that start at the centre,
// fly off along the launch sector at 100 px/s and live their life; the
// generator's particles are emitted from them as they move.
class DS_ParticleOriginGenerator : public DS_StaticGenerator {
  LUMI_STORED_CLASS(DS_ParticleOriginGenerator, 2)

 public:
  // Which of the six stored settings is which.
  enum OriginSetting : size_t {
    kOriginRate,       // hundredths of an origin per second at full level
    kOriginLife,       // hundredths of a second
    kLaunchDirection,  // degrees, 0 right and 90 up
    kLaunchSpread,     // degrees either side
    kOriginSpeed,      // the origin clock's speed, hundredths (100: 1×)
    kOriginSize,       // the origin's size value, hundredths (100: 1×)
  };

  // Six origin settings, then the static generator's record; the layout of
  // version 1 is not known and is refused.
  void Describe(Archive& ar) override;
  // The base step, then new origins as the origin clock runs (none at a
  // level or rate of 0, and none past kMaxSources), then emission.
  void Advance(double time) override;
  // False when the generator holds as many sources as it may.
  virtual bool AddOrigin();

  float Setting(OriginSetting which) const { return static_cast<float>(origin_settings[which].value); }

  std::array<MediaParamT<unsigned int>, 6> origin_settings;
  ClampedClock origin_clock;
  float origin_time = 0;  // the origin clock's time not yet spent on origins
};

class DS_ParticleRctRgnGenerator : public DS_TexParticleGenerator {
  LUMI_STORED_CLASS(DS_ParticleRctRgnGenerator, 1)

 public:
  void Describe(Archive& ar) override;

  MediaQuad area;
};

class Effect;
class Texture;

// One picture over its quad, drawn directly with its program's technique
// (no private target), or alpha blended without one.
class DS_SingleRectGN : public DS_StaticGenerator {
  LUMI_STORED_CLASS(DS_SingleRectGN, 2)

 public:
  // Its quad, then the static generator's record; version 1 is refused.
  void Describe(Archive& ar) override;
  void Draw(DS_ABRender& backdrop, DS_ParticlesObj& object) override;
  // The quad in Rows() strips, top to bottom, in QuadColour().
  size_t BuildArrays(GenDrawing& drawing) override;
  virtual uint32_t Rows() const { return 1; }
  // 0xAARRGGBB, the vertex colour of the direct draw.
  virtual uint32_t QuadColour() const { return 0xFFFFFFFF; }
  // Technique and parameters before the program draws the quad.
  virtual void SetUpProgram(Effect& /*effect*/, const std::shared_ptr<Texture>& /*texture*/) const {}

  MediaQuad quad;
};

class DS_PathGenerator : public DS_TexParticleGenerator {
  LUMI_STORED_CLASS(DS_PathGenerator, 1)

 public:
  // The path as a count and Bézier point records, as particle paths store
  // theirs, with no smoothing switch.
  void Describe(Archive& ar) override;

  SplinePath path;
};

class DS_StringGenerator : public DS_TexParticleGenerator {
  LUMI_STORED_CLASS(DS_StringGenerator, 1)

 public:
  void Describe(Archive& ar) override;

  std::array<float, 6> chain_settings{};
};

// A sprite the author placed: its position and five pairs of values. The
// count stored before the pairs is kept as read, though five always follow.
struct AirBrushSprite {
  static constexpr uint32_t kPairs = 5;

  Vector3 position{};
  uint32_t pair_count = kPairs;
  std::array<std::array<float, 2>, kPairs> pairs{};
};

class DS_AirBrush : public DS_TexParticleGenerator {
  LUMI_STORED_CLASS(DS_AirBrush, 3)

 public:
  // One setting, the placed sprites, then the texture generator's record;
  // versions before 3 are refused.
  void Describe(Archive& ar) override;

  // The placed sprites become the generated particles, each set up by
  // InitPlaced; what was generated before goes.
  void PlaceSprites();
  virtual void InitPlaced(GenParticle& /*particle*/) {}
  void Prepare(DS_ParticlesObj& object) override;
  // One array per picture, sprite i in array i mod pictures, each quad
  // `SpriteSize()` wide and as high as its picture's aspect makes it.
  size_t BuildArrays(GenDrawing& drawing) override;
  const char* MaskTechnique() const override { return "JoinMask"; }
  // The quad width in pixels before a sprite's size factor.
  virtual float SpriteSize() const { return 32; }

  MediaParamT<unsigned int> value_1{0};
  std::vector<AirBrushSprite> sprites;
};

}  // namespace lumi
