// The render object of every image effect: it owns the effect's copy of
// its settings and forwards drawing, timing and the chain question to it.
#pragma once

#include <memory>

#include "effects/fx_constructor.h"
#include "scene/render_obj.h"

namespace lumi {

class DS_BrushObj final : public DS_ABObj {
 public:
  static constexpr int kKind = 4;

  // Looks the brush mask up in the document (none: an empty mask) and
  // loads the effect with it.
  explicit DS_BrushObj(std::unique_ptr<DS_FX_Constructor> effect);

  void Render(DS_ABRender& backdrop) override { ImageEffect().Draw(backdrop); }
  // A chain pass only while it is enabled.
  bool NeedsBackground() override { return ImageEffect().UsesBackground() && enabled; }
  void FrameMove(double local_time) override { ImageEffect().Advance(local_time); }
  int GetKind() const override { return kKind; }

  DS_FX_Constructor& ImageEffect() const { return static_cast<DS_FX_Constructor&>(settings()); }
};

}  // namespace lumi
