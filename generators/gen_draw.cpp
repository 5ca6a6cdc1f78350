// How the texture generators fill their sprite arrays and draw them.
#include <algorithm>

#include "generators/catalogue.h"
#include "generators/gen_drawing.h"
#include "generators/gen_quads.h"
#include "generators/particles_obj.h"
#include "render/current_context.h"

namespace lumi {
namespace {

GenQuadStyle StyleOf(float width, float height, const SmartCOLORREF& colour, float level) {
  return {width, height, colour.value, colour.alpha(), level};
}

}  // namespace

bool DS_TexParticleGenerator::NeedsBackground() const { return ReadsBackground(blend_mode.value); }

const char* DS_TexParticleGenerator::CompositeTechniqueName() const { return CompositeTechnique(blend_mode.value); }

void DS_TexParticleGenerator::Draw(DS_ABRender& backdrop, DS_ParticlesObj& object) {
  GenDrawing& drawing = object.drawing;
  if (!drawing.Loaded()) drawing.Load(*this, ProgramClass());
  if (!drawing.Loaded()) return;  // no device
  drawing.UseArrays(BuildArrays(drawing));
  drawing.Draw(backdrop, {MaskTechnique(), CompositeTechniqueName(), NeedsBackground()});
}

size_t DS_TexParticleGenerator::BuildArrays(GenDrawing& drawing) {
  const GenPicture& picture = drawing.Picture(CurrentPicture());
  const auto side = [](uint32_t pixels) { return static_cast<float>(pixels > 0 ? pixels : GenDrawing::kBlankSide); };
  const GenQuadStyle style = StyleOf(side(picture.width), side(picture.height), colour, level);
  GenSpriteArray& array = drawing.Array(0);
  array.texture = picture.texture;
  array.Build(generated.size(), [&](size_t i, VertexPCT* out) { return BuildGenQuad(generated[i], style, out); });
  return 1;
}

void DS_AirBrush::Prepare(DS_ParticlesObj& /*object*/) { PlaceSprites(); }

size_t DS_AirBrush::BuildArrays(GenDrawing& drawing) {
  const size_t layers = std::min(drawing.Pictures().size(), std::max<size_t>(generated.size(), 1));
  for (size_t a = 0; a < layers; ++a) {
    const GenPicture& picture = drawing.Picture(a);
    const float size = SpriteSize();
    const GenQuadStyle style = StyleOf(size, size * Aspect(picture.width, picture.height), colour, level);
    GenSpriteArray& array = drawing.Array(a);
    array.texture = picture.texture;
    const size_t count = generated.size() / layers + (a < generated.size() % layers ? 1 : 0);
    array.Build(count, [&](size_t i, VertexPCT* out) { return BuildGenQuad(generated[a + i * layers], style, out); });
  }
  return layers;
}

size_t DS_Bling::BuildArrays(GenDrawing& drawing) {
  // Two layers over the same sparkles: the first picture in the colour, the
  // second (or the first again) in the second colour, both turned by the
  // turning clock.
  const float size = SpriteSize();
  const SmartCOLORREF* colours[2] = {&colour, &second_colour};
  for (size_t a = 0; a < 2; ++a) {
    const GenPicture& picture = drawing.Picture(a);
    GenQuadStyle style = StyleOf(size, size * Aspect(picture.width, picture.height), *colours[a], level);
    style.turn = turn_clock.total;
    GenSpriteArray& array = drawing.Array(a);
    array.texture = picture.texture;
    array.Build(generated.size(), [&](size_t i, VertexPCT* out) { return BuildGenQuad(generated[i], style, out); });
  }
  return 2;
}

}  // namespace lumi
