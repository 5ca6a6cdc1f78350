// What moves the nodes of the butterflies and the clock.
#pragma once

#include <array>
#include <cmath>

#include "params/callback_ctrl.h"
#include "sprites/objects_3d.h"

namespace lumi {

// Rotations by degrees, as the animations give their angles.
Matrix RotationXDegrees(float degrees);
Matrix RotationYDegrees(float degrees);
Matrix RotationZDegrees(float degrees);

// A value moving towards its target at a signed rate per second.
struct MovingValue {
  float value = 0, target = 0, rate = 0;

  // The rate's sign points from the value to the target (negative when
  // they are equal).
  void SignTowards() { rate = target > value ? std::abs(rate) : -std::abs(rate); }
  // One step of dt, stopping at the target.
  void Move(float dt);
};

// One wing: its butterfly sets the matrix and the side that faces front.
class AC_ButterflyWing : public DS_AnimationBase {
 public:
  void Animate(SceneNode& node) override;

  Matrix matrix;
  bool front = true;
};

class AC_Butterfly : public DS_AnimationBase {
 public:
  // Starts at a random point of the view with a random heading; `wings`
  // are the animations of its two wing nodes.
  AC_Butterfly(DS_ButterflyConstructor& owner, std::array<AC_ButterflyWing*, 2> wings);
  void Animate(SceneNode& node) override;

  float flap = 0, flap_speed = 100;
  float upper_limit = 55, lower_limit = -55;
  float x = 0, y = 0, z = 0;
  MovingValue altitude{50, 50, 250}, heading, bank{0, 0, 50}, speed{50, 50, 350};
  // 1 sinking, 0 rising; what the wings have been set to last.
  int mode = 0, applied_mode = 0;
  float last_decision = 0;
  Matrix size;

 private:
  void Resize(unsigned int scale) { size = MatrixScaling(scale / 100.0f, scale / 100.0f, scale / 100.0f); }
  void KeepInView();
  void Decide();

  const DS_ButterflyConstructor& owner_;
  std::array<AC_ButterflyWing*, 2> wings_;
  Matrix tilt_, mirror_;
  DS_FunLightCtrl<unsigned int, AC_Butterfly> scale_watch_{&AC_Butterfly::Resize, this};
};

// The clock's body: scaled by the raw `scale` and moved to the centre.
class AC_Static : public DS_AnimationBase {
 public:
  explicit AC_Static(DS_ClockConstructor& owner);
  void Animate(SceneNode& node) override;

 private:
  void Rebuild();
  void ScaleChanged(unsigned int) { Rebuild(); }

  const DS_ClockConstructor& owner_;
  Matrix scale_, translation_;
  DS_FunLightCtrl<unsigned int, AC_Static> scale_watch_{&AC_Static::ScaleChanged, this};
  SmartCalbackCtrl<AC_Static> placement_watch_;
};

// A hand turned by the local time; while there is none, it keeps the turn
// it had (at first none).
class AC_ClockArrow : public DS_AnimationBase {
 public:
  AC_ClockArrow(bool hour, const Matrix& local) : hour_(hour), turned_(local) {}
  void Animate(SceneNode& node) override;

 private:
  bool hour_;
  Matrix turned_;
};

}  // namespace lumi
