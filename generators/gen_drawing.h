// The device side of a texture generator: its pictures, its program, the
// private target its sprites are drawn into before they are composed over
// the picture, and its sprite arrays, each with the screen rectangle of
// every quad.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "render/prerender_surface.h"
#include "render/scene_view.h"
#include "render/sprite_batches.h"

namespace lumi {

class DS_TexParticleGenerator;
class Effect;

// One sprite array: quads sharing a texture.
struct GenSpriteArray {
  // Rewrites the first `count` quads: write(i, out) fills quad i and returns
  // the rectangle it covers. False without a device or buffers (nothing is
  // drawn then).
  template <typename Write>
  bool Build(size_t count, Write&& write) {
    quad_count = 0;
    rects.resize(count);
    if (count == 0) return true;
    if (!Reserve(count)) return false;
    if (!batches.WriteFirst(count, [&](size_t i, VertexPCT* out) { rects[i] = write(i, out); })) return false;
    quad_count = count;
    return true;
  }
  bool Reserve(size_t count);

  SpriteBatches batches;
  std::shared_ptr<Texture> texture;  // white when the generator has no picture
  std::vector<PlacedRect> rects;     // one per quad
  size_t quad_count = 0;
};

// A picture of the generator's image list as it draws.
struct GenPicture {
  std::shared_ptr<Texture> texture;
  std::vector<std::shared_ptr<Texture>> frames;  // an animated picture's frames, else empty
  std::vector<float> delays;                     // seconds per frame
  uint32_t width = 0, height = 0;                // 0 for the white stand-in
};

class GenDrawing {
 public:
  // The side of the square a particle is drawn at when it has no picture.
  static constexpr uint32_t kBlankSide = 16;

  // Pictures and program, once a device is current. A picture the
  // resources cannot supply is left out; with none at all a single white
  // texture stands in. The program comes from the effect link, falling back
  // to the built-in program of `program_class`; an empty link has none.
  void Load(const DS_TexParticleGenerator& generator, std::string_view program_class);
  bool Loaded() const { return loaded_; }

  // At least one, the white stand-in when nothing loaded.
  const std::vector<GenPicture>& Pictures() const { return pictures_; }
  const GenPicture& Picture(size_t i) const { return pictures_[i % pictures_.size()]; }
  Effect* Program() const { return program_.get(); }

  // Array i, made on first use.
  GenSpriteArray& Array(size_t i);
  std::vector<GenSpriteArray>& Arrays() { return arrays_; }
  // Arrays past `count` draw nothing this frame.
  void UseArrays(size_t count);

  // How the arrays are drawn with the program: `mask` into the private
  // target, setting "Texture1" per array, then `composite` over the picture
  // quad with the target as "Texture1", or as "Texture2" beside the
  // picture drawn so far as "Texture1" when it reads the background.
  struct Techniques {
    const char* mask;
    const char* composite;
    bool reads_background;
  };
  // Without a program, each array alpha blended directly, texture times
  // colour. A chain pass that cannot compose still hands the picture on.
  void Draw(DS_ABRender& backdrop, const Techniques& techniques);

 private:
  void DrawArrays(DS_ABRender& backdrop, Effect* effect);
  bool Compose(DS_ABRender& backdrop, const Techniques& techniques);

  bool loaded_ = false;
  std::vector<GenPicture> pictures_;
  std::shared_ptr<Effect> program_;
  std::unique_ptr<VRN_PrerenderSurface> target_;
  std::vector<GenSpriteArray> arrays_;
  size_t used_ = 0;
};

// The composite technique of a blend mode: 0 plain, 1 screen, 2 colour
// dodge, 3 sum; any other counts as plain.
const char* CompositeTechnique(int blend_mode);
// Modes 1 and 2 read the picture drawn so far.
inline bool ReadsBackground(int blend_mode) { return blend_mode == 1 || blend_mode == 2; }

}  // namespace lumi
