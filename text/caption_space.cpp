#include "text/caption_space.h"

#include <algorithm>

#include "scene/resource_access.h"
#include "text/link_cursor.h"

namespace lumi {
namespace {

CursorShower cursor_shower = nullptr;

}  // namespace

void SetCursorShower(CursorShower shower) { cursor_shower = shower; }

void ShowSystemCursor(uint32_t cursor_id) {
  if (cursor_shower != nullptr) cursor_shower(cursor_id);
}

Vector3 ScreenToPicture(int x, int y) {
  const auto px = static_cast<float>(x), py = static_cast<float>(y);
  const ResourceAccess& access = DocumentResourceAccess();
  if (access.metrics == nullptr) return {px, py, 0};
  const PictureMetrics& metrics = access.metrics();
  const VertexPT* v = metrics.fitted.v;
  float left = v[0].x, right = v[0].x, top = v[0].y, bottom = v[0].y;
  for (int i = 1; i < 4; ++i) {
    left = std::min(left, v[i].x);
    right = std::max(right, v[i].x);
    top = std::min(top, v[i].y);
    bottom = std::max(bottom, v[i].y);
  }
  if (right <= left || bottom <= top || metrics.pictureWidth <= 0 || metrics.pictureHeight <= 0) return {px, py, 0};
  return {(px - left) * metrics.pictureWidth / (right - left), (py - top) * metrics.pictureHeight / (bottom - top), 0};
}

}  // namespace lumi
