#include "sprites/object_animations.h"

#include <cmath>

#include "params/random.h"
#include "sprites/clock_time.h"
#include "sprites/sprite_math.h"

namespace lumi {

Matrix RotationXDegrees(float degrees) { return MatrixRotationX(Radians(degrees)); }
Matrix RotationYDegrees(float degrees) { return MatrixRotationY(Radians(degrees)); }
Matrix RotationZDegrees(float degrees) { return MatrixRotationZ(Radians(degrees)); }

void MovingValue::Move(float dt) {
  if (value != target) value += rate * dt;
  if ((rate > 0 && value > target) || (rate < 0 && value < target)) value = target;
}

void AC_ButterflyWing::Animate(SceneNode& node) {
  node.world = node.local * matrix;
  node.frontSide = front;
}

AC_Butterfly::AC_Butterfly(DS_ButterflyConstructor& owner, std::array<AC_ButterflyWing*, 2> wings)
    : owner_(owner), wings_(wings), tilt_(RotationXDegrees(10)), mirror_(MatrixScaling(-1, 1, 1)) {
  const Vector3 start = owner.RandomPointInView();
  x = start.x;
  y = start.y;
  z = start.z;
  const float h = 360.0f * static_cast<float>(Rand()) / 32767.0f;
  heading = {h, h, 350};
  scale_watch_.Attach(owner.scale);
}

void AC_Butterfly::Animate(SceneNode& node) {
  const float dt = owner_.motion_step;
  node.world = RotationYDegrees(heading.value) * node.local;
  // Turning banks towards the turn.
  const float off_course = heading.value - heading.target;
  if (off_course < -5) {
    bank.target = 25;
    bank.SignTowards();
  } else if (off_course > 5) {
    bank.target = -25;
    bank.SignTowards();
  }
  // Slow flight pitches up.
  if (speed.value < 100) node.world = RotationXDegrees((1 - speed.value / 100) * 15) * node.world;
  node.world = tilt_ * node.world;
  node.world = RotationZDegrees(bank.value) * node.world;
  if (bank.value == bank.target) {
    bank.target = 0;
    bank.SignTowards();
  }
  // The wings beat between the limits; the body bobs with them.
  flap += dt * 7 * flap_speed;
  if (flap > upper_limit) flap_speed = -160;
  if (flap < lower_limit) flap_speed = 100;
  node.world = MatrixTranslation(0, -3 * flap / 45, 0) * node.world;
  wings_[0]->matrix = RotationZDegrees(flap);
  wings_[1]->matrix = RotationZDegrees(flap) * mirror_;
  wings_[0]->front = flap > 0;
  wings_[1]->front = flap < 0;
  const Vector3 velocity = Vec3TransformCoord({speed.value, 0, 0}, RotationYDegrees(heading.value));
  x += velocity.x * dt;
  y += altitude.value * dt;
  z = 0;
  node.world = node.world * MatrixTranslation(x, y, 0);
  for (MovingValue* moving : {&altitude, &bank, &heading, &speed}) moving->Move(dt);
  KeepInView();
  Decide();
  node.world = size * node.world;
}

void AC_Butterfly::KeepInView() {
  const float w = owner_.unit_width, h = owner_.unit_height;
  if (y < h * owner_.top) {
    mode = 1;
    altitude.target = 100;
    altitude.SignTowards();
  } else if (y > h * owner_.bottom) {
    mode = 0;
    altitude.target = -190;
    altitude.SignTowards();
  }
  if (x < w * owner_.left) {
    heading.target = 0;
  } else if (x > w * owner_.right) {
    heading.target = -180;
  } else {
    return;
  }
  heading.rate = 350;
  heading.SignTowards();
  speed.target = 300;
  speed.SignTowards();
}

void AC_Butterfly::Decide() {
  if (mode != applied_mode) {
    if (mode == 1) {
      // Sinking: the wings close and, once low, it glides.
      upper_limit = 0;
      if (flap < lower_limit * 0.5f) {
        applied_mode = 1;
        flap_speed = -std::fabs(flap_speed) / 100;
      }
    } else {
      upper_limit = -lower_limit;
      applied_mode = 0;
      flap_speed = speed.value > 20 ? Uniform(-160, speed.value / 3 - 50) : 160;
    }
    return;
  }
  if (owner_.motion_clock - last_decision <= 0.25f) return;
  switch (Rand() % 5) {
    case 0:
      mode = 0;
      altitude.target = Uniform(-190, 0);
      altitude.SignTowards();
      break;
    case 1:
      mode = 1;
      altitude.target = Uniform(100, 150);
      altitude.SignTowards();
      break;
    case 2:
      mode = 0;
      speed.target = Uniform(-25, 300);
      speed.SignTowards();
      break;
    default:
      if (applied_mode == 0 && heading.value == heading.target) {
        const bool back = Rand() % 2 == 0;
        heading.rate = Uniform(50, 350);
        heading.target = back ? Uniform(155, 205) : Uniform(-25, 25);
        heading.SignTowards();
      }
  }
  last_decision = owner_.motion_clock;
}

AC_Static::AC_Static(DS_ClockConstructor& owner)
    : owner_(owner), placement_watch_(&AC_Static::Rebuild, this, owner.placement) {
  scale_watch_.Attach(owner.scale);
}

void AC_Static::Rebuild() {
  const auto s = static_cast<float>(owner_.scale.value);
  scale_ = MatrixScaling(s, s, s);
  translation_ = MatrixTranslation(static_cast<float>(owner_.placement.x.value),
                                   static_cast<float>(owner_.placement.y.value), 0);
}

void AC_Static::Animate(SceneNode& node) { node.world = scale_ * node.local * translation_; }

void AC_ClockArrow::Animate(SceneNode& node) {
  // The node's world is multiplied by the clock's after this, so a hand
  // without a time takes its last turn again rather than its last world.
  if (const std::optional<ClockTime> now = CurrentClockTime()) {
    const float minutes = static_cast<float>(now->seconds) / 60 + static_cast<float>(now->minutes);
    const float angle = hour_ ? (static_cast<float>(now->hours % 12) + static_cast<float>(now->minutes) / 60) * 30
                              : minutes * 6;
    turned_ = node.local * RotationYDegrees(angle);
  }
  node.world = turned_;
}

}  // namespace lumi
