// Captions drawn as one effect sprite: the picture found by id, the tint
// faded by the timeline, the scroll and the link's hit test.
#include "text/caption_sprites.h"

#include <cmath>

#include "render/effect.h"
#include "render/resources.h"
#include "scene/resource_access.h"
#include "text/caption_space.h"
#include "text/link_cursor.h"

namespace lumi {

PictureFrames DS_StaticTextConstructor::SpritePicture() {
  const ResourceAccess& access = DocumentResourceAccess();
  picture = access.mask != nullptr ? access.mask(picture_id) : nullptr;
  if (!picture) return {};
  PictureFrames frames;
  frames.textures = {picture};
  frames.width = picture->Width();
  frames.height = picture->Height();
  if (frames.width > 0) frames.aspect = static_cast<float>(frames.height) / static_cast<float>(frames.width);
  return frames;
}

void DS_StaticTextConstructor::UpdateSprite(Sprite& sprite) { DS_StatBaseFXCtrl::InitSprite(sprite); }

bool DS_StaticTextConstructor::SetUpEffect(Effect& effect, const SpriteTextures& textures) const {
  effect.SetTechnique("CommonVretexColor");
  // The sprite array's picture: this caption's, or a transparent texture
  // when the document has none, never the last caller's.
  effect.SetTexture("Texture1", textures.picture);
  return true;
}

bool DS_StaticTextConstructor::HitTest(int x, int y) const {
  // The sprite lives in render-unit pixels, drawn scaled onto the picture.
  Vector3 p = ScreenToPicture(x, y);
  if (const ResourceAccess& access = DocumentResourceAccess(); access.metrics != nullptr) {
    const PictureMetrics& metrics = access.metrics();
    if (metrics.pictureWidth > 0 && metrics.pictureHeight > 0) {
      p.x *= unit_width / metrics.pictureWidth;
      p.y *= unit_height / metrics.pictureHeight;
    }
  }
  const auto w = static_cast<float>(width.value / 2), h = static_cast<float>(height.value / 2);
  const Vector3& c = position.value;
  return c.x - w <= p.x && p.x <= c.x + w && c.y - h <= p.y && p.y <= c.y + h;
}

namespace {

// The range 0 to size / extent; a caption with no extent shows its picture
// once.
float RangeOver(unsigned int size, float extent) {
  return extent > 0 && std::isfinite(extent) ? static_cast<float>(size) / extent : 1.0f;
}

// From the fractional part a of a scroll position: 0 at a third, −1 and 1
// at the ends, so the picture leaves across one side and returns from the
// other once per unit of position.
float ShiftOf(float position) {
  float whole = 0;
  const float a = std::modf(position, &whole);
  return a > 0 ? 3 * a - 1 : 3 * a + 1;
}

}  // namespace

void DS_ScrollingTextConstructor::UpdateSprite(Sprite& sprite) {
  DS_StaticTextConstructor::UpdateSprite(sprite);
  sprite.va = sprite.ua = 0;
  sprite.vb = RangeOver(height.value, extent_a);
  sprite.ub = RangeOver(width.value, extent_b);
  if (timeline_state == VRN_Timing::kOff) {
    scroll_position = {0, 0};
    shift = {0, 0};
    return;
  }
  // A period of 0 would scroll infinitely fast: the caption stays.
  if (period.value == 0) return;
  const float step = motion_step / static_cast<float>(period.value);
  const int d = direction.value;
  const size_t axis = d == 2 || d == 3 ? 1 : 0;
  float& moved = scroll_position[axis];
  moved += d == 1 || d == 3 ? -step : step;
  moved = std::fmod(moved, 1.0f);  // keeps precision over hours
  shift = {0, 0};
  shift[axis] = ShiftOf(moved);
}

bool DS_ScrollingTextConstructor::SetUpEffect(Effect& effect, const SpriteTextures& textures) const {
  const int d = direction.value;
  const float s = d == 2 || d == 3 ? shift[1] : shift[0];
  const std::array<float, 2> program_shift = d == 2 || d == 3 ? std::array<float, 2>{s, 0} : std::array<float, 2>{0, s};
  effect.SetTechnique("ScrollText");
  effect.SetTexture("Texture1", textures.picture);
  effect.SetFloatArray("Shift", program_shift.data(), 2);
  return true;
}

int DS_TextLinkConstructor::OnMouseMove(int x, int y) {
  if (timing.current().GetState() == VRN_Timing::kOff || !HitTest(x, y)) return 0;
  ShowSystemCursor(kHandCursor);
  return 1;
}

bool DS_TextLinkConstructor::OnClick(int x, int y) {
  return timing.current().GetState() == VRN_Timing::kOff || HitTest(x, y);
}

}  // namespace lumi
