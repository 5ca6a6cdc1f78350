#include "host/error_box.h"

#include <algorithm>

namespace lumi {

WindowRect ErrorBox::Rect() const {
  const auto left = static_cast<std::int32_t>(x), top = static_cast<std::int32_t>(y);
  return {left, top, static_cast<std::int32_t>(x + width), static_cast<std::int32_t>(y + height)};
}

void PlaceErrorBox(ErrorBox& box, const WindowRect& bounds, bool preview) {
  if (preview) {
    box = {0, 0, static_cast<double>(bounds.Width()), static_cast<double>(bounds.Height()), 0, 0};
    return;
  }
  box.width = kErrorBoxWidth;
  box.height = kErrorBoxHeight;
  box.x = (bounds.left + bounds.right - kErrorBoxWidth) / 2;
  box.y = (bounds.top + bounds.bottom - kErrorBoxHeight) / 2;
  box.speed_x = bounds.Width() / 10.0;
  box.speed_y = bounds.Height() / 20.0;
}

bool MoveErrorBox(ErrorBox& box, const WindowRect& bounds, double seconds) {
  const double step = std::clamp(seconds, 0.0, kMaxErrorBoxStep);
  const WindowRect before = box.Rect();
  auto bounce = [step](double position, double size, double& speed, double low, double high) {
    const double next = position + speed * step;
    if ((speed > 0 && next + size > high) || (speed < 0 && next < low)) speed = -speed;
  };
  bounce(box.x, box.width, box.speed_x, bounds.left, bounds.right);
  bounce(box.y, box.height, box.speed_y, bounds.top, bounds.bottom);
  box.x += box.speed_x * step;
  box.y += box.speed_y * step;
  const WindowRect after = box.Rect();
  return after.left != before.left || after.top != before.top;
}

}  // namespace lumi
