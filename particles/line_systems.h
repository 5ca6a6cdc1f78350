// Lines drawn as textured strips along a path or between two points, and
// the comets that run along a path.
#pragma once

#include <array>
#include <cstdint>

#include "params/paths.h"
#include "params/sliders.h"
#include "particles/particle_system.h"

namespace lumi {

// A strip along a Bézier path, drawn with its own look, with an optional
// head particle drawn with the system's look.
class VRN_LineCtrl : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_LineCtrl, 2)

 public:
  void Describe(Archive& ar) override;

  SplinePath path;
  MediaParamT<int> head_on{0};
  ParticleLook line_look;
  float head_side = 0;   // the head's offset across the line's end
  float head_ahead = 0;  // and along it
};

class VRN_StaticLineCtrl : public VRN_LineCtrl {
  LUMI_STORED_CLASS(VRN_StaticLineCtrl, 1)

 public:
  void Describe(Archive& ar) override;

  UINTSclaleTo<float> line_width{0, 1.0f, 0.0f};  // pixels
  ScaleRamp width_ramp;                           // over the position along the line
  ScaleRamp alpha_ramp;
};

// A line that grows along its path as its timeline fades in.
class VRN_GrovingLine : public VRN_StaticLineCtrl {
  LUMI_STORED_CLASS(VRN_GrovingLine, 2)
  LUMI_CONSTRUCTOR_CLONE(VRN_GrovingLine)

 public:
  void Describe(Archive& ar) override;

  ScaleRamp head_width_ramp;  // over the distance back from the line's end
  ScaleRamp head_alpha_ramp;
  MediaParamT<int> retract{0};
};

// A piece of line that slides along the path.
class VRN_SlidingLine : public VRN_StaticLineCtrl {
  LUMI_STORED_CLASS(VRN_SlidingLine, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_SlidingLine)

 public:
  void Describe(Archive& ar) override;

  MediaParamT<unsigned int> slide_length{0};  // pixels
  MediaParamT<int> ping_pong{0};
};

// Comets sent along a path. Which of its stored settings is which is not
// known; they are kept in stored order.
class VRN_ShootingLine : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_ShootingLine, 2)
  LUMI_CONSTRUCTOR_CLONE(VRN_ShootingLine)

 public:
  void Describe(Archive& ar) override;

  SplinePath path;
  ParticleLook line_look;
  std::array<float, 2> first_floats{};
  std::array<uint32_t, 9> raws{};
  int32_t integer = 0;
  std::array<float, 2> last_floats{};
};

// The shooting line under another name, with no settings of its own.
class VRN_Tears : public VRN_ShootingLine {
  LUMI_STORED_CLASS(VRN_Tears, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_Tears)

 public:
  void Describe(Archive& ar) override;
};

// A line between two points.
class DS_StraightLine : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_StraightLine, 1)

 public:
  void Describe(Archive& ar) override;

  std::array<D3DXVECTOR3, 2> ends{};
};

// The straight line waving, drawn with a look of its own. Which of its
// stored settings is which is not known; they are kept in stored order.
class VRN_WavingLine : public DS_StraightLine {
  LUMI_STORED_CLASS(VRN_WavingLine, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_WavingLine)

 public:
  void Describe(Archive& ar) override;

  std::array<uint32_t, 5> first_raws{};
  ParticleLook line_look;
  std::array<uint32_t, 2> last_raws{};
  int32_t integer = 0;
  std::array<float, 2> floats{};
};

}  // namespace lumi
