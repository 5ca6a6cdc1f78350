// One slide with image effects on the recording device, over a 64 x 32
// picture. The document's resources are stood in for: the built-in effect
// programs (one shared effect per program, as a document has), one painted
// mask under kPaintedBrush, and small bump and noise maps.
#pragma once

#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "archive/guid.h"
#include "backdrop/light_2d.h"
#include "effects/brush_obj.h"
#include "effects/water_effects.h"
#include "render/current_context.h"
#include "render/effect.h"
#include "render/recording_device.h"
#include "scene/resource_access.h"
#include "scene/slide_show.h"

namespace lumi::test {

inline const GUID kPaintedBrush{0x5A1E0001, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 1}};
inline const ResourceKey kStagePicture{u"C:\\pictures\\lake.jpg", 77};

class EffectStage {
 public:
  // Without a picture the backdrop has size 0.
  explicit EffectStage(bool with_picture = true);
  ~EffectStage();
  EffectStage(const EffectStage&) = delete;
  EffectStage& operator=(const EffectStage&) = delete;

  // Effects go on the slide in list order (drawn from the last to the first).
  void Add(std::unique_ptr<DS_FX_Constructor> effect) { slide_->objects.push_back(std::move(effect)); }
  // Prepares and starts the slide.
  void Start();
  // One frame at slide time t; the log holds only this frame.
  void Frame(float t);

  DS_BrushObj& Object(size_t index) const;
  DS_FX_Constructor& ImageEffect(size_t index) const { return Object(index).ImageEffect(); }
  // Draws of this frame made with a pass of `technique` ("Main"); a fixed
  // pass has no program and is found with technique "".
  std::vector<const RecordedDraw*> DrawsOf(std::string_view technique) const;

  RecordingDevice device{40, 30};
  SceneView view;
  ScopedRenderContext context{&device, &view};
  std::shared_ptr<Texture> picture, mask, bump, noise;
  bool with_picture;
  std::map<int64_t, std::shared_ptr<lumi::Effect>> programs;

 private:
  ResourceAccess saved_;
  DS_SlideShow_Light show_;
  std::shared_ptr<DS_SlideContainer> slide_ = std::make_shared<DS_SlideContainer>();
};

// A render state as a draw had it.
inline uint32_t StateAt(const RecordedDraw& draw, RenderState state) {
  return draw.state.render[static_cast<size_t>(state)];
}

// A water or waterfall effect with the painted brush and its built-in program.
std::unique_ptr<DS_WaterFX> MakeWater(int uses_background = 0);
std::unique_ptr<DS_WaterfallFX> MakeWaterfall(int uses_background = 0);

}  // namespace lumi::test
