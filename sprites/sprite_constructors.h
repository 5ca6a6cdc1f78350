// Sprite populations: the constructors whose run-time object is an array of
// picture sprites (fish, birds, ghosts, flows of leaves and rain, fog, god
// rays, sparkles, lightning, grass, flowers, static objects) and the
// effect-drawn sprite classes the text captions and the explosion build on.
//
// Each class stores its own fields and then its base's record, except
// DS_BaseSpriteProp, which stores the view record first.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>

#include "archive/archive.h"
#include "params/directions.h"
#include "params/file_link.h"
#include "params/quad_rect.h"
#include "params/sliders.h"
#include "params/typed_param.h"
#include "params/vector_math.h"
#include "scene/render_obj_data.h"
#include "scene/resource_access.h"
#include "sprites/sprite.h"

namespace lumi {

class Effect;
class Texture;

// The view's pixel edges on the render unit.
struct ViewEdges {
  float left = 0, right = 0, top = 0, bottom = 0;
};

// The view rectangle a population lives in, and its motion clock.
class DS_ViewObjCtrl : public DS_ABObj_Constructor {
  LUMI_STORED_CLASS(DS_ViewObjCtrl, 2)

 public:
  void Describe(Archive& ar) override;

  // Pixel edges, recomputed from the fractions whenever the screen size is
  // known.
  MediaRectangle view_rectangle;
  // The edges as fractions of the screen: what positions the population.
  float left = 0, right = 0, top = 0, bottom = 0;
  uint8_t flag = 0;  // one byte, kept as stored
  // The motion clock runs at raw × 0.02: 50 is real speed.
  UINTSclaleTo<float> motion_speed{50, 0.02f, 0.0f};

  // The motion clock moves to local time t: a step of |t − last| at most
  // 0.2 s, times the motion speed.
  void AdvanceMotion(double t);
  void ResetMotion();
  // The view's pixel edges on the render unit now; `view_edges` keeps
  // them for the frame.
  ViewEdges PixelView() const;
  void FollowUnit(float width, float height);
  Vector3 RandomPointInView() const;

  float motion_step = 0;
  double motion_clock = 0;
  double motion_last = 0;
  // The render unit in pixels.
  float unit_width = 640, unit_height = 400;
  ViewEdges view_edges{0, 640, 0, 400};
};

// The sprite properties every population shares.
class DS_BaseSpriteProp : public DS_ViewObjCtrl {
  LUMI_STORED_CLASS(DS_BaseSpriteProp, 7)

 public:
  void Describe(Archive& ar) override;

  MediaParamT<unsigned int> population{0};
  MediaParamT<unsigned int> sprite_size{0};  // pixels
  // Transparency percent, giving the opacity byte.
  UINTSclaleTo<unsigned char> transparency{0, -2.55f, 255.0f};
  MediaParamT<int> mode{0};
  // The tint as a Windows colour value; its opacity is `transparency`.
  MediaParamT<uint32_t> sprite_colour{0x00FFFFFF};
  MediaParamT<float> glow_rate{0.0f};
  MediaParamT<float> glow_min{0.0f};
  MediaParamT<float> glow_max{1.0f};
  MediaParamT<float> scale_min{1.0f};
  MediaParamT<float> scale_max{1.0f};
  DS_ImageFileLink picture;
  DS_ImageFileLink second_picture;
  // Sprite-sheet layout. The floats beside the two counts belong to the
  // sheet animation; the byte says whether the picture is a sheet.
  MediaParamT<unsigned int> frame_columns{0};
  float columns_value = 0;
  MediaParamT<unsigned int> frame_count{0};
  float count_value = 0;
  uint8_t sheet_flag = 0;
  MediaParamT<int> sheet_mode{0};
  MediaParamT<int> flip_v{0};
  MediaParamT<int> flip_u{0};
  MediaParamT<int> rebuild_always{0};
  MediaSpeedParam animation_speed;
};

// Replaces a setting that is not a finite number; true when it did.
bool FiniteOr(MediaParamT<float>& setting, float fallback);
// Whether any of the checks found a fault. Every check in the braces runs,
// in order, before this looks at them: none is skipped after a first fault.
inline bool AnyFault(std::initializer_list<bool> checks) {
  return std::find(checks.begin(), checks.end(), true) != checks.end();
}

// The base of constructors that birth and move sprites one by one. It
// stores nothing of its own: its subclasses store DS_BaseSpriteProp as
// their base record. The members below are run-time state its render
// object drives.
class DS_ParticleSystemCtrl : public DS_BaseSpriteProp {
 public:
  // The class's own birth, after the common set-up.
  virtual void InitSprite(Sprite& /*sprite*/) {}
  // One frame of motion; `motion_step` and `motion_clock` are current.
  virtual void UpdateSprite(Sprite& /*sprite*/) {}
  // Once, when the render object is made, before any birth.
  virtual void PrepareRun() {}
  // Settings that are not finite numbers take their defaults; true when
  // one did. Classes with float settings of their own add theirs.
  virtual bool MakeFloatsFinite();
  virtual uint32_t SpriteCount() const;
  // Static objects rebuild their quad only when their sheet frame changes.
  virtual bool KeepsQuadsStatic() const { return false; }
  virtual uint32_t NextSheetFrame(uint32_t current) const;
  // The picture the sprites draw with: the one `picture` names; captions
  // find theirs by id.
  virtual PictureFrames SpritePicture();
  std::unique_ptr<VRN_RenderObj> CreateRenderObject() const override;

  // The common set-up and then InitSprite.
  void BirthSprite(Sprite& sprite);
  // Half-sizes from d split by the picture's aspect.
  void SizeSprite(Sprite& sprite, float d) const;
  // ARGB from the opacity byte times the glow, clamped, and the tint.
  // Inline: it runs for every sprite of every frame.
  void ColourSprite(Sprite& sprite) const {
    const float alpha = std::clamp(static_cast<float>(transparency.scaled()) * sprite.glow * sprite.fade, 0.0f, 255.0f);
    const uint32_t c = sprite_colour.value;  // 0x00BBGGRR
    const uint32_t rgb = ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
    sprite.colour = (static_cast<uint32_t>(alpha) << 24) | rgb;
  }
  // The glow pulse; `reborn` classes are born again at the minimum.
  void PulseGlow(Sprite& sprite, bool reborn);
  // True once for an object its author never placed, which is then marked
  // placed: the caller puts it at the screen's centre.
  bool TakeFirstPlacement();
  // Frames of the sheet, at least 1; 0 when the picture is not a sheet.
  uint32_t SheetFrames() const;

  // Set when a sprite changed in a way the kept quads must show.
  bool changed = false;
  // The picture's height / width.
  float picture_aspect = 1;
  // The timeline as the render object saw it this frame.
  float timeline_level = 1;
  int timeline_state = 0;
  int previous_timeline_state = 0;
};

// The textures an effect-drawn population has: its picture's current frame
// (transparent when missing) and its second picture (null when missing).
struct SpriteTextures {
  std::shared_ptr<Texture> picture;
  std::shared_ptr<Texture> second;
};

// Sprites drawn through an effect program. Placed under
// DS_ParticleSystemCtrl, which stores nothing, so its record is the same
// wherever the effect branch leaves the chain.
class DS_FXParticleSystemCtrl : public DS_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_FXParticleSystemCtrl, 1)

 public:
  void Describe(Archive& ar) override;
  // A class with a drawing of its own (SetUpEffect) plays as a DS_FXObj;
  // the others play inert until theirs is built.
  std::unique_ptr<VRN_RenderObj> CreateRenderObject() const override;
  virtual bool HasEffectDrawing() const { return false; }
  // Selects the technique and sets every parameter the draw reads, since
  // programs are shared; false when nothing is to be drawn this frame.
  virtual bool SetUpEffect(Effect& /*effect*/, const SpriteTextures& /*textures*/) const { return false; }
  // The class whose built-in program stands in when no source holds the
  // one the link names; the caption classes share one.
  virtual std::string_view ProgramClass() const { return ClassName(); }

  DS_HLSLEffectFile effect;
};

// Sprites with a glow layer composed over everything drawn before them:
// glow mode 1 screens the layer, other modes blend it normally. Plays as a
// DS_GlowingObj.
class DS_GlowEffectCtrl : public DS_FXParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_GlowEffectCtrl, 1)

 public:
  void Describe(Archive& ar) override;
  std::unique_ptr<VRN_RenderObj> CreateRenderObject() const override;

  MediaParamT<int> glow_mode{0};  // 1: screen blend of the glow layer
  // Percent: raw × 0.01 is the glow layer's brightness.
  MediaParamT<unsigned int> glow_brightness{0};
};

// Stores nothing, but has a record of its own (name and version) before
// the DS_FXParticleSystemCtrl record.
class DS_BaseFXCtrl : public DS_FXParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_BaseFXCtrl, 1)

 public:
  void Describe(Archive& ar) override;
};

// One effect-drawn sprite centred on a point, `width` × `height` pixels.
// An object its author never placed starts at the screen's centre.
class DS_StatBaseFXCtrl : public DS_BaseFXCtrl {
  LUMI_STORED_CLASS(DS_StatBaseFXCtrl, 2)

 public:
  void Describe(Archive& ar) override;
  bool MakeFloatsFinite() override;
  void PrepareRun() override;
  void InitSprite(Sprite& sprite) override;
  uint32_t SpriteCount() const override { return 1; }

  MediaParamT<Vector3> position;
  MediaParamT<unsigned int> width{0};
  MediaParamT<unsigned int> height{0};
};

// Fish wander and turn at the edges of the view.
class DS_FishConstructor : public DS_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_FishConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_FishConstructor)

 public:
  void Describe(Archive& ar) override;
  bool MakeFloatsFinite() override;

  void InitSprite(Sprite& sprite) override;
  void UpdateSprite(Sprite& sprite) override;

  MediaParamT<float> max_speed_x{0.0f};  // pixels per second
  MediaParamT<float> max_speed_y{0.0f};

 protected:
  // Applied after every draw of a velocity.
  virtual void KeepSpeed(Sprite& /*sprite*/) const {}
  void Swim(Sprite& sprite);
};

// Fish that follow their timeline's level and start anew with each cycle.
class DS_GhostConstructor : public DS_FishConstructor {
  LUMI_STORED_CLASS(DS_GhostConstructor, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_GhostConstructor)

 public:
  void Describe(Archive& ar) override;
  void UpdateSprite(Sprite& sprite) override;
};

// Fish that keep their speed high.
class DS_BirdConstructor : public DS_FishConstructor {
  LUMI_STORED_CLASS(DS_BirdConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_BirdConstructor)

 public:
  void Describe(Archive& ar) override;

 protected:
  void KeepSpeed(Sprite& sprite) const override;
};

class DS_GodRayConstructor : public DS_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_GodRayConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_GodRayConstructor)

 public:
  void Describe(Archive& ar) override;
  void InitSprite(Sprite& sprite) override;
  void UpdateSprite(Sprite& sprite) override;

  MediaParamT<unsigned int> ray_angle{80};  // degrees
};

class DS_SparkleConstructor : public DS_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_SparkleConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_SparkleConstructor)

 public:
  void Describe(Archive& ar) override;
  void InitSprite(Sprite& sprite) override;
  void UpdateSprite(Sprite& sprite) override;
};

// How a flow handles sprites at one edge of the view rectangle.
class DS_BoundControl : public DS_IOF_Item {
  LUMI_STORED_CLASS(DS_BoundControl, 1)

 public:
  enum Edge { kTop = 0, kBottom = 1, kLeft = 2, kRight = 3 };
  enum Mode { kWrap = 0, kBounce = 1, kLeaveAndReturn = 2 };

  void Describe(Archive& ar) override;
  // Handles a sprite at this edge of the view; true when it did, so the
  // edges after it are not asked.
  bool Ask(Sprite& sprite, float& fade, const ViewEdges& view, float clock, float step) const;
  // True when a sprite no edge is handling reaches no edge either, so that
  // every edge would answer no: most sprites of a flow, most of the time.
  static bool Clear(const Sprite& s, const ViewEdges& view) {
    return s.active_bound < 0 && view.top <= s.position.y - s.height && s.position.y + s.height <= view.bottom &&
           view.left <= s.position.x - s.width && s.position.x + s.width <= view.right;
  }

  int edge = kTop;  // set by the owner, not stored
  MediaParamT<int> bound_mode{kWrap};
  MediaParamT<unsigned int> fade_out_ms{0};
  MediaParamT<unsigned int> fade_in_ms{0};
  MediaParamT<unsigned int> pause_min_ms{0};
  MediaParamT<unsigned int> pause_max_ms{0};
};

// Sprites drifting along a direction with a sideways wobble.
class DS_FlowConstructor : public DS_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_FlowConstructor, 4)
  LUMI_CONSTRUCTOR_CLONE(DS_FlowConstructor)

 public:
  DS_FlowConstructor();
  void Describe(Archive& ar) override;
  bool MakeFloatsFinite() override;
  void PrepareRun() override;
  void InitSprite(Sprite& sprite) override;
  void UpdateSprite(Sprite& sprite) override;

  MediaParamT<unsigned int> flow_angle{0};  // degrees; 0 right, 90 up
  // Sliders scaled by 3 (pixels per second) and by 0.25 (changes per
  // second); their default raw 1 gives those values themselves, which is
  // also what they mean if the figures are read as defaults.
  UINTSclaleTo<float> wobble{1, 3.0f, 0.0f};
  UINTSclaleTo<float> wobble_rate{1, 0.25f, 0.0f};
  MediaParamT<float> flow_speed{0.0f};  // pixels per second
  MediaParamT<int> facing{0};
  // One per edge, asked in this order: top, bottom, left, right.
  std::array<DS_BoundControl, 4> bounds;

  // From the flow angle a: the drift's direction (cos a, −sin a) and the
  // wobble's (sin a, cos a).
  Vector3 along{1, 0, 0}, across{0, 1, 0};

 protected:
  // The value the bounds fade: the glow itself for a plain flow.
  virtual float& FadeOf(Sprite& sprite) const { return sprite.glow; }
};

// A flow whose drops keep full opacity through the bounds' fades.
class DS_RainConstructor : public DS_FlowConstructor {
  LUMI_STORED_CLASS(DS_RainConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_RainConstructor)

 public:
  void Describe(Archive& ar) override;
  void UpdateSprite(Sprite& sprite) override;

 protected:
  // The pulse keeps the glow; the bounds fade a value of their own.
  float& FadeOf(Sprite& sprite) const override { return sprite.fade; }
};

class DS_FogConstructor : public DS_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_FogConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_FogConstructor)

 public:
  DS_FogConstructor();
  void Describe(Archive& ar) override;
  bool MakeFloatsFinite() override;
  void InitSprite(Sprite& sprite) override;
  void UpdateSprite(Sprite& sprite) override;

  MediaParamT<float> max_speed_x{40.0f};
  MediaParamT<float> max_speed_y{40.0f};
};

// Flashes that fade and wait a random pause.
class DS_LightingConstructor : public DS_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_LightingConstructor, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_LightingConstructor)

 public:
  void Describe(Archive& ar) override;
  void InitSprite(Sprite& sprite) override;
  void UpdateSprite(Sprite& sprite) override;

  MediaParamT<unsigned int> pause_min{0};  // hundredths of a second
  MediaParamT<unsigned int> pause_max{0};
};

class DS_GrassConstructor : public DS_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_GrassConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_GrassConstructor)

 public:
  void Describe(Archive& ar) override;
  bool MakeFloatsFinite() override;
  void InitSprite(Sprite& sprite) override;
  void UpdateSprite(Sprite& sprite) override;

  MediaParamT<float> sway_amplitude{0.0f};  // degrees
};

// One static sprite.
class DS_StatObjConstructor : public DS_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_StatObjConstructor, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_StatObjConstructor)

 public:
  void Describe(Archive& ar) override;
  void PrepareRun() override;
  void InitSprite(Sprite& sprite) override;
  uint32_t SpriteCount() const override { return 1; }
  bool KeepsQuadsStatic() const override { return true; }

  MediaRectangle centre;  // its point is the sprite's centre
  MediaParamT<unsigned int> rotation{0};  // degrees
};

// A static sprite swaying about its base.
class DS_FlowerConstructor : public DS_StatObjConstructor {
  LUMI_STORED_CLASS(DS_FlowerConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_FlowerConstructor)

 public:
  void Describe(Archive& ar) override;
  bool MakeFloatsFinite() override;
  void InitSprite(Sprite& sprite) override;
  void UpdateSprite(Sprite& sprite) override;
  // A swaying flower moves every frame.
  bool KeepsQuadsStatic() const override { return false; }

  MediaParamT<float> sway_amplitude{0.0f};
};

// A static sprite jumping between random frames of its sheet.
class DS_DischargeConstructor : public DS_StatObjConstructor {
  LUMI_STORED_CLASS(DS_DischargeConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_DischargeConstructor)

 public:
  void Describe(Archive& ar) override;
  uint32_t NextSheetFrame(uint32_t current) const override;
};

// A glowing discharge: the discharge's still sprite jumping between random
// frames of its sheet, drawn with a glow layer. It stores the still
// object's fields and then the glow record.
class DS_DischargeFXConstructor : public DS_GlowEffectCtrl {
  LUMI_STORED_CLASS(DS_DischargeFXConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_DischargeFXConstructor)

 public:
  void Describe(Archive& ar) override;
  void PrepareRun() override;
  void InitSprite(Sprite& sprite) override;
  uint32_t SpriteCount() const override { return 1; }
  bool KeepsQuadsStatic() const override { return true; }
  uint32_t NextSheetFrame(uint32_t current) const override;

  MediaRectangle centre;  // its point is the sprite's centre
  MediaParamT<unsigned int> rotation{0};  // degrees
};

// A fireball torn by moving noise, coloured from a gradient picture: it
// grows while its timeline fades in and dissolves while it fades out.
class DS_ExplosionConstructor : public DS_StatBaseFXCtrl {
  LUMI_STORED_CLASS(DS_ExplosionConstructor, 3)
  LUMI_CONSTRUCTOR_CLONE(DS_ExplosionConstructor)

 public:
  void Describe(Archive& ar) override;
  bool HasEffectDrawing() const override { return true; }
  // Its birth also starts the noise offsets again.
  void InitSprite(Sprite& sprite) override;
  // The one sprite's frame moves the noise on.
  void UpdateSprite(Sprite& sprite) override;
  // "Main" with "GradientTex" = the picture and "NoiseTex" = the second
  // picture.
  bool SetUpEffect(Effect& effect, const SpriteTextures& textures) const override;

  // Percent raws: × 0.01 gives the program's noise tiling, tearing and
  // turbulence.
  std::array<MediaParamT<unsigned int>, 3> noise;
  MediaDirection drift;
  MediaParamT<unsigned int> first_raw{0};
  MediaParamT<unsigned int> noise_seed{0};
  // 0: the noise offsets follow a sequence reseeded from `noise_seed`.
  MediaParamT<int> free_noise{0};
  MediaParamT<uint32_t> second_colour{0};

  // The noise offsets the program blends from and to, and how often they
  // have moved on.
  std::array<float, 2> old_offset{}, new_offset{};
  uint32_t noise_moves = 0;
  float noise_whole = 0;

 private:
  void MoveNoiseOn();
};

// The frames of the picture a link names; none for an empty link.
PictureFrames FramesOfLink(const DS_ImageFileLink& link);
// An object its author never placed has its centre put at the screen's
// centre, once.
void CentreUnplaced(DS_ParticleSystemCtrl& object, MediaRectangle& centre);
// A still sprite at `centre` with its axes turned by −`rotation` degrees.
void PlaceStillSprite(Sprite& sprite, const MediaRectangle& centre, unsigned int rotation);
// A random frame of `frames` other than `current`; `current` itself when
// there is no other.
uint32_t RandomOtherFrame(uint32_t frames, uint32_t current);

}  // namespace lumi
