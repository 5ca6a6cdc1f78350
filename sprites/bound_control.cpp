// A flow's edge: sprites that reach it bounce, leave and come back after a
// pause, or fade out and re-enter at the opposite edge.
#include <algorithm>
#include <cmath>

#include "params/random.h"
#include "sprites/sprite_constructors.h"

namespace lumi {
namespace {

using Edge = DS_BoundControl::Edge;

bool Vertical(int edge) { return edge == Edge::kTop || edge == Edge::kBottom; }

bool Touching(int edge, const Sprite& s, const ViewEdges& v) {
  const float x = s.position.x, y = s.position.y, w = s.width, h = s.height;
  switch (edge) {
    case Edge::kTop: return v.top > y - h;
    case Edge::kBottom: return y + h > v.bottom;
    case Edge::kLeft: return v.left > x - w;
    default: return x + w > v.right;
  }
}

bool Outside(int edge, const Sprite& s, const ViewEdges& v) {
  const float x = s.position.x, y = s.position.y, w = std::fabs(s.width), h = std::fabs(s.height);
  switch (edge) {
    case Edge::kTop: return v.top > y + h;
    case Edge::kBottom: return y - h > v.bottom;
    case Edge::kLeft: return v.left > x + w;
    default: return x - w > v.right;
  }
}

// Keeps a coordinate between low and high, one pixel inside.
void Hold(float& value, float low, float high) {
  if (value > high) value = high - 1;
  if (value < low) value = low + 1;
}

float Pause(const DS_BoundControl& bound) {
  return Uniform(static_cast<float>(bound.pause_min_ms.value), static_cast<float>(bound.pause_max_ms.value)) / 1000;
}

}  // namespace

bool DS_BoundControl::Ask(Sprite& sprite, float& fade, const ViewEdges& view, float clock, float step) const {
  // Another edge is handling the sprite: the usual answer, asked first.
  if (sprite.active_bound >= 0 && sprite.active_bound != edge) return false;
  const float w = sprite.width, h = sprite.height;
  float& sign = Vertical(edge) ? sprite.flow_sign.y : sprite.flow_sign.x;
  if (sprite.active_bound < 0) {
    switch (bound_mode.value) {
      case kBounce:
        if (!Touching(edge, sprite, view)) return false;
        sign = -sign;
        sprite.active_bound = edge;
        return true;
      case kLeaveAndReturn:
        if (!Outside(edge, sprite, view)) return false;
        sign = -sign;
        sprite.resume_time = clock + Pause(*this);
        sprite.bound_timer = clock;
        sprite.stopped = true;
        sprite.active_bound = edge;
        return true;
      default:
        if (!Outside(edge, sprite, view)) return false;
        if (fade <= 0) {
          const float aw = std::fabs(w), ah = std::fabs(h);
          switch (edge) {
            case kTop: sprite.position.y = view.bottom + ah - 1; break;
            case kBottom: sprite.position.y = view.top - ah + 1; break;
            case kLeft: sprite.position.x = view.right + aw - 1; break;
            default: sprite.position.x = view.left - aw + 1; break;
          }
          if (Vertical(edge)) {
            sprite.position.x = Uniform(view.left, view.right);
          } else {
            sprite.position.y = Uniform(view.top, view.bottom);
          }
          sprite.fading_in = true;
        }
        sprite.active_bound = edge;
        return true;
    }
  }
  switch (bound_mode.value) {
    case kBounce:
      Hold(sprite.position.x, view.left + w, view.right - w);
      Hold(sprite.position.y, view.top + h, view.bottom - h);
      if (!Touching(edge, sprite, view)) sprite.active_bound = -1;
      return true;
    case kLeaveAndReturn:
      Hold(sprite.position.x, view.left - w, view.right + w);
      Hold(sprite.position.y, view.top - h, view.bottom + h);
      sprite.bound_timer += step;
      if (sprite.resume_time < sprite.bound_timer) {
        sprite.stopped = false;
        if (!Outside(edge, sprite, view)) sprite.active_bound = -1;
      }
      return true;
    default:
      break;
  }
  if (sprite.fading_in) {
    sprite.bound_timer += step;
    if (sprite.resume_time < sprite.bound_timer) {
      sprite.stopped = false;
      fade = fade_in_ms.value == 0 ? 1.0f : std::min(1.0f, fade + 1000.0f / fade_in_ms.value * step);
      if (fade >= 1) {
        sprite.active_bound = -1;
        sprite.fading_in = false;
      }
    }
    return true;
  }
  if (fade > 0) fade = fade_out_ms.value == 0 ? 0.0f : std::max(0.0f, fade - 1000.0f / fade_out_ms.value * step);
  if (fade <= 0) {
    sprite.active_bound = -1;
    sprite.resume_time = clock + Pause(*this);
    sprite.bound_timer = clock;
    sprite.stopped = true;
  }
  return true;
}

}  // namespace lumi
