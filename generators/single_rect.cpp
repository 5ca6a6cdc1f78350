// Generators of one picture over their quad: the plant bending in the wind
// and the tinted static animation.
#include <algorithm>
#include <array>
#include <cmath>

#include "generators/catalogue.h"
#include "generators/gen_drawing.h"
#include "generators/particles_obj.h"
#include "render/backdrop_services.h"
#include "render/device_types.h"
#include "render/effect.h"

namespace lumi {
namespace {

uint32_t AlphaByte(float a) { return static_cast<uint32_t>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255)); }

}  // namespace

size_t DS_SingleRectGN::BuildArrays(GenDrawing& drawing) {
  // The quad in horizontal strips from top to bottom, so that a vertex
  // program can bend it; texture coordinates run 0 to 1 over the whole.
  const GenPicture& picture = drawing.Picture(0);
  GenSpriteArray& array = drawing.Array(0);
  array.texture = picture.texture;
  const uint32_t colour = QuadColour();
  const Vector3 c0 = quad.corners[0].value, c1 = quad.corners[1].value;
  const Vector3 c2 = quad.corners[2].value, c3 = quad.corners[3].value;
  const uint32_t rows = std::max(Rows(), 1u);
  array.Build(rows, [&](size_t i, VertexPCT* out) {
    const float v0 = static_cast<float>(i) / static_cast<float>(rows);
    const float v1 = static_cast<float>(i + 1) / static_cast<float>(rows);
    const Vector3 l0 = c0 + (c1 - c0) * v0, l1 = c0 + (c1 - c0) * v1;
    const Vector3 r0 = c2 + (c3 - c2) * v0, r1 = c2 + (c3 - c2) * v1;
    out[0] = {l1.x, l1.y, l1.z, colour, 0, v1};
    out[1] = {l0.x, l0.y, l0.z, colour, 0, v0};
    out[2] = {r1.x, r1.y, r1.z, colour, 1, v1};
    out[3] = {r0.x, r0.y, r0.z, colour, 1, v0};
    const float left = std::min({l0.x, l1.x, r0.x, r1.x}), right = std::max({l0.x, l1.x, r0.x, r1.x});
    const float top = std::min({l0.y, l1.y, r0.y, r1.y}), bottom = std::max({l0.y, l1.y, r0.y, r1.y});
    return PlacedRect{left, top, right - left, bottom - top};
  });
  return 1;
}

void DS_SingleRectGN::Draw(DS_ABRender& backdrop, DS_ParticlesObj& object) {
  GenDrawing& drawing = object.drawing;
  if (!drawing.Loaded()) drawing.Load(*this, ProgramClass());
  if (!drawing.Loaded()) return;
  drawing.UseArrays(BuildArrays(drawing));
  const GenSpriteArray& array = drawing.Arrays()[0];
  Effect* program = drawing.Program();
  if (program != nullptr) SetUpProgram(*program, array.texture);
  // A handful of strips never fill more than the first batch.
  if (array.quad_count == 0 || array.batches.Batches().empty()) return;
  backdrop.DrawSpriteRange(array.batches.Batches().front(), program, 0, static_cast<uint32_t>(array.quad_count));
}

uint32_t DS_Plant::QuadColour() const {
  return Argb(AlphaByte(fade_with_timeline.value == 1 ? level : 1), 255, 255, 255);
}

void DS_Plant::SetUpProgram(Effect& effect, const std::shared_ptr<Texture>& texture) const {
  effect.SetTechnique("Main");
  effect.SetTexture("Texture", texture);
  effect.SetFloat("Time", clock.total);
  effect.SetFloat("Frequency", static_cast<float>(frequency.value) / 100);
  effect.SetFloat("WMagnitude", static_cast<float>(wind.value));
  effect.SetFloat("BMagnitude", static_cast<float>(bending.value));
  const std::array<float, 4> tint{1, 1, 1, fade_with_timeline.value == 1 ? level : 1};
  effect.SetFloatArray("color", tint.data(), tint.size());
}

uint32_t DS_StaticAnimation::QuadColour() const {
  const uint32_t k = colour.value;
  return Argb(AlphaByte(Opacity()), k & 0xFF, (k >> 8) & 0xFF, (k >> 16) & 0xFF);
}

void DS_StaticAnimation::SetUpProgram(Effect& effect, const std::shared_ptr<Texture>& texture) const {
  effect.SetTechnique("Blend_Normal");
  effect.SetTexture("Texture", texture);
  const uint32_t k = colour.value;
  const std::array<float, 4> tint{static_cast<float>(k & 0xFF) / 255, static_cast<float>((k >> 8) & 0xFF) / 255,
                                  static_cast<float>((k >> 16) & 0xFF) / 255, Opacity()};
  effect.SetFloatArray("Color", tint.data(), tint.size());
}

}  // namespace lumi
