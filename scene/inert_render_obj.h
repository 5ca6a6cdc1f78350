// The render object of a scene class whose behaviour is not built yet. It
// owns its copy of the settings and keeps its timeline running, so timelines
// that follow it still work; it draws, samples and plays nothing.
#pragma once

#include <memory>

#include "scene/render_obj.h"

namespace lumi {

class InertRenderObject final : public DS_ABObj {
 public:
  using DS_ABObj::DS_ABObj;

  void Render(DS_ABRender& /*backdrop*/) override {}
  void FrameMove(double /*local_time*/) override {}
};

}  // namespace lumi
