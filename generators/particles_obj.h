// The run-time object of a generator: it plays a private copy of the
// generator, moving it with the object's local time and drawing it through
// the backdrop.
#pragma once

#include <memory>

#include "generators/gen_drawing.h"
#include "generators/particle_generators.h"
#include "scene/render_obj.h"

namespace lumi {

class DS_ParticlesObj : public DS_ABObj {
 public:
  explicit DS_ParticlesObj(std::unique_ptr<DS_ParticleGenerator> generator);

  // Each time its slide starts: the timeline, then the generator from
  // nothing, prepared again.
  void Restart() override;
  void FrameMove(double local_time) override;
  void Render(DS_ABRender& backdrop) override;
  bool NeedsBackground() override { return enabled && Generator().NeedsBackground(); }

  DS_ParticleGenerator& Generator() const { return static_cast<DS_ParticleGenerator&>(settings()); }

  // The pictures, program, private target and sprite arrays it draws with.
  GenDrawing drawing;
};

}  // namespace lumi
