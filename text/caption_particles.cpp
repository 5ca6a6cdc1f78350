// Captions drawn as one particle quad: the caption program with its
// shadow, the scroll through the quad, and the link's hit test.
#include "text/caption_particles.h"

#include <algorithm>
#include <cmath>

#include "params/clamped_clock.h"
#include "params/colours.h"
#include "params/file_link.h"
#include "particles/particle_look_drawing.h"
#include "render/backdrop_services.h"
#include "render/effect.h"
#include "render/resources.h"
#include "text/caption_space.h"
#include "text/link_cursor.h"

namespace lumi {
namespace {

float Distance(const Vector3& a, const Vector3& b) {
  return std::hypot(b.x - a.x, b.y - a.y, b.z - a.z);
}

void DrawQuad(ParticleLookDrawing& drawing, DS_ABRender& backdrop, Effect& effect) {
  if (drawing.QuadCount() == 0 || drawing.Batches().Batches().empty()) return;
  backdrop.DrawSpriteRange(drawing.Batches().Batches().front(), &effect, 0, 1);
}

}  // namespace

void DS_StaticText::Attach() {
  look.effect.key = CommonResource(kProgram);
  VRN_StaticObject::Attach();
}

std::array<float, 2> DS_StaticText::ShadowShift(std::array<float, 2> s, uint32_t width, uint32_t height) const {
  const std::array<float, 4>& d = shadow_direction.direction();
  const auto distance = static_cast<float>(shadow_distance.value);
  // The direction's y points up the screen; the shift's y points down.
  return {s[0] + d[0] * distance / static_cast<float>(width), s[1] - d[1] * distance / static_cast<float>(height)};
}

void DS_StaticText::Render(ParticleLookDrawing& drawing, ParticleLookDrawing& /*strip*/, DS_ABRender& backdrop) const {
  Effect* effect = drawing.Program().get();
  // A caption whose picture is missing shows nothing, not the look's
  // bare colour; nor has it a size to measure its shadow against.
  const std::shared_ptr<Texture>& texture = drawing.CurrentTexture();
  if (effect == nullptr || !texture || look.run.picture_width == 0 || look.run.picture_height == 0) return;
  const std::array<float, 2> s = Shift();
  effect->SetTexture("Texture", texture);
  if (shadow_on.value != 0) {
    const std::array<float, 2> shadow = ShadowShift(s, texture->Width(), texture->Height());
    const std::array<float, 3> rgb = ColourFloats(shadow_colour.value);
    const std::array<float, 4> colour = {rgb[0], rgb[1], rgb[2], static_cast<float>(shadow_colour.alpha()) / 255};
    effect->SetFloatArray("Shift", shadow.data(), 2);
    effect->SetFloatArray("Color", colour.data(), 4);
    effect->SetTechnique("Shadow");
    DrawQuad(drawing, backdrop, *effect);
  }
  effect->SetFloatArray("Shift", s.data(), 2);
  effect->SetTechnique("Main");
  DrawQuad(drawing, backdrop, *effect);
}

bool DS_StaticText::HitTest(int x, int y) const {
  const Vector3 p = ScreenToPicture(x, y);
  float left = area.corners[0].value.x, right = left, top = area.corners[0].value.y, bottom = top;
  for (const auto& corner : area.corners) {
    left = std::min(left, corner.value.x);
    right = std::max(right, corner.value.x);
    top = std::min(top, corner.value.y);
    bottom = std::max(bottom, corner.value.y);
  }
  return left <= p.x && p.x <= right && top <= p.y && p.y <= bottom;
}

bool DS_ScrollingTex::SetUpQuad() {
  float u = 1, v = 1;
  TextureExtents(u, v);
  const float offset = Vertical() ? v : u;
  if (offset == start_offset) return false;
  start_offset = offset;
  return true;
}

void DS_ScrollingTex::TextureExtents(float& u, float& v) const {
  VRN_SingleParticle::TextureExtents(u, v);
  // Corner 0 is the top left, 1 the bottom left and 2 the top right. A
  // picture that is missing keeps its extent.
  const auto& c = area.corners;
  if (Vertical()) {
    if (look.run.picture_height > 0) v *= Distance(c[0].value, c[1].value) / static_cast<float>(look.run.picture_height);
  } else if (look.run.picture_width > 0) {
    u *= Distance(c[0].value, c[2].value) / static_cast<float>(look.run.picture_width);
  }
}

void DS_ScrollingTex::ResetPopulation() {
  DS_StaticText::ResetPopulation();
  ResetScroll();
}

void DS_ScrollingTex::ResetScroll() {
  SetUpQuad();
  switch (direction.value) {
    case 1:
      scroll_position = -look.run.v_extent;
      break;
    case 3:
      scroll_position = -look.run.u_extent;
      break;
    default:
      scroll_position = start_offset;
  }
}

void DS_ScrollingTex::Advance(double time) {
  const float step = ClampedStep(last_time, time) * speed.scaled();
  DS_StaticText::Advance(time);
  // The picture is known once its texture is made: the pass starts again
  // at the side it gives.
  if (SetUpQuad()) ResetScroll();
  const float cycle = timing.current().GetCycleLength();
  if (!(cycle > 0) || timeline_state == VRN_Timing::kOff) {
    ResetScroll();
    return;
  }
  scroll_speed = -(PictureExtent() + start_offset) / cycle;
  if (direction.value == 1 || direction.value == 3) scroll_speed = -scroll_speed;
  scroll_position += step * scroll_speed;
}

std::array<float, 2> DS_ScrollingTex::Shift() const {
  return Vertical() ? std::array<float, 2>{0, scroll_position} : std::array<float, 2>{scroll_position, 0};
}

int DS_TextLink::OnMouseMove(int x, int y) {
  if (timing.current().GetState() == VRN_Timing::kOff || !HitTest(x, y)) return 0;
  ShowSystemCursor(kHandCursor);
  return 1;
}

bool DS_TextLink::OnClick(int x, int y) { return timing.current().GetState() == VRN_Timing::kOff || HitTest(x, y); }

}  // namespace lumi
