// One slide with image effects on the recording device, over a 64 x 32
// picture. The document's resources are stood in for: the built-in effect
// programs (one shared effect per program, as a document has), one painted
// mask under kPaintedBrush, and small bump and noise maps.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
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
// A 16 x 8 pattern of two frames, a tenth of a second each.
inline const ResourceKey kStagePattern{u"C:\\pictures\\tiles.gif", 78};

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
  std::shared_ptr<Texture> pattern_frames[2];
  bool with_picture;
  // One shared effect per built-in program, by its name.
  std::map<std::string, std::shared_ptr<lumi::Effect>, std::less<>> programs;

 private:
  ResourceAccess saved_;
  DS_SlideShow_Light show_;
  std::shared_ptr<DS_SlideContainer> slide_ = std::make_shared<DS_SlideContainer>();
};

// Each component of a program constant against what the test expects.
inline void ExpectValues(const std::vector<float>& actual, const std::vector<float>& expected,
                         float tolerance = 1e-4f) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

// A render state as a draw had it.
inline uint32_t StateAt(const RecordedDraw& draw, RenderState state) {
  return draw.state.render[static_cast<size_t>(state)];
}

// An effect of class T with the painted brush over the middle of the
// picture, (16, 8) to (48, 24).
template <typename T>
std::unique_ptr<T> MakeEffect(int uses_background = 0) {
  auto effect = std::make_unique<T>();
  effect->brush_id = kPaintedBrush;
  effect->uses_background.Set(uses_background);
  const Vector3 corners[4] = {{16, 8, 0}, {16, 24, 0}, {48, 8, 0}, {48, 24, 0}};
  for (size_t i = 0; i < 4; ++i) effect->rectangle.corners[i].value = corners[i];
  return effect;
}

// One effect on a stage, drawn frame by frame.
struct OneEffect {
  explicit OneEffect(std::unique_ptr<DS_FX_Constructor> effect, bool with_picture = true) : stage(with_picture) {
    stage.Add(std::move(effect));
    stage.Start();
  }
  // The draws of the frame at time t made with `technique`.
  std::vector<const RecordedDraw*> Frame(float t, std::string_view technique = "Main") {
    stage.Frame(t);
    return stage.DrawsOf(technique);
  }
  // The one draw of the frame at time t; an empty record when there is not
  // exactly one.
  RecordedDraw Draw(float t, std::string_view technique = "Main");
  EffectStage stage;
};

// Whether a frame copied the chain's picture to the screen through the
// fixed stages (how a chain pass with nothing to draw hands it on).
size_t ChainCopies(const EffectStage& stage);

// A water or waterfall effect with the painted brush and its built-in program.
std::unique_ptr<DS_WaterFX> MakeWater(int uses_background = 0);
std::unique_ptr<DS_WaterfallFX> MakeWaterfall(int uses_background = 0);

}  // namespace lumi::test
