#include "tests/effects/effect_stage.h"

#include <gtest/gtest.h>

#include "programs/builtin_programs.h"

namespace lumi::test {
namespace {

EffectStage* current = nullptr;
PictureMetrics stage_metrics;

std::shared_ptr<Texture> MakeTexture(GraphicsDevice& device, uint32_t width, uint32_t height) {
  return device.CreateTexture({width, height, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
}

SlidePicture PictureOf(const ResourceKey& key) {
  if (key == kStagePicture && current->with_picture) return {current->picture, 64, 32, 0.5f};
  if (key.number == 89) return {current->bump, 16, 16, 1};
  if (key.number == 62) return {current->noise, 16, 16, 1};
  return {};
}

PictureFrames FramesOf(const ResourceKey& key) {
  if (key != kStagePattern) return {};
  return {{current->pattern_frames[0], current->pattern_frames[1]}, {0.1f, 0.1f}, 16, 8, 0.5f};
}

// The program of the link's number, else the asking class's.
std::shared_ptr<lumi::Effect> ProgramOf(const ResourceKey& key, std::string_view asking_class) {
  const BuiltinProgram* builtin = FindBuiltinProgram(static_cast<int>(key.number));
  if (builtin == nullptr) builtin = FindClassProgram(asking_class);
  auto& effect = current->programs[builtin != nullptr ? std::string(builtin->name) : std::string()];
  if (!effect && builtin != nullptr) {
    std::string message;
    effect = lumi::Effect::Create(current->device, builtin->name,
                                  {reinterpret_cast<const uint8_t*>(builtin->text.data()), builtin->text.size()}, message);
    EXPECT_TRUE(effect) << message;
  }
  return effect;
}

std::shared_ptr<Texture> MaskOf(const GUID& brush) { return brush == kPaintedBrush ? current->mask : nullptr; }

PictureMetrics& MetricsOf() { return stage_metrics; }

}  // namespace

EffectStage::EffectStage(bool with_picture_given) : with_picture(with_picture_given) {
  picture = MakeTexture(device, 64, 32);
  mask = MakeTexture(device, 512, 512);
  bump = MakeTexture(device, 16, 16);
  noise = MakeTexture(device, 16, 16);
  for (auto& frame : pattern_frames) frame = MakeTexture(device, 16, 8);
  saved_ = DocumentResourceAccess();
  current = this;
  stage_metrics = {};
  ResourceAccess& access = DocumentResourceAccess();
  access.picture = PictureOf;
  access.frames = FramesOf;
  access.class_effect = ProgramOf;
  access.mask = MaskOf;
  access.metrics = MetricsOf;
  auto backdrop = std::make_shared<DS_2D_Light>();
  backdrop->picture.key = kStagePicture;
  slide_->backdrop = backdrop;
  slide_->showing.value = 100;
  slide_->fade_in.value = 0;
}

EffectStage::~EffectStage() {
  DocumentResourceAccess() = saved_;
  current = nullptr;
}

void EffectStage::Start() {
  PrepareSlide(*slide_);
  show_.slides.push_back(slide_);
}

void EffectStage::Frame(float t) {
  show_.FrameMove(t);
  device.ClearLog();
  ASSERT_TRUE(device.BeginScene());
  show_.Render();
  device.EndScene();
}

DS_BrushObj& EffectStage::Object(size_t index) const {
  return dynamic_cast<DS_BrushObj&>(*slide_->render_objects.at(index));
}

std::vector<const RecordedDraw*> EffectStage::DrawsOf(std::string_view technique) const {
  std::vector<const RecordedDraw*> found;
  for (const RecordedDraw& draw : device.Draws()) {
    const PixelProgram* program = draw.state.pixelProgram.get();
    const std::string name = program != nullptr ? program->Source().name : std::string();
    // Program names are "program/technique/pass".
    const size_t first = name.find('/'), last = name.rfind('/');
    const std::string_view used = program != nullptr ? std::string_view(name).substr(first + 1, last - first - 1) : "";
    if (used == technique) found.push_back(&draw);
  }
  return found;
}

RecordedDraw OneEffect::Draw(float t, std::string_view technique) {
  const auto draws = Frame(t, technique);
  EXPECT_EQ(draws.size(), 1u) << "draws with " << technique << " at " << t;
  return draws.size() == 1 ? *draws.front() : RecordedDraw{};
}

size_t ChainCopies(const EffectStage& stage) {
  const std::vector<RecordedDraw>& draws = stage.device.Draws();
  size_t copies = 0;
  for (const RecordedDraw& draw : draws) {
    copies += draw.state.pixelProgram == nullptr && draw.renderTarget == stage.device.GetBackBuffer() &&
              draw.state.textures[0] == draws.front().renderTarget &&
              StateAt(draw, RenderState::AlphaBlendEnable) == 0;
  }
  return copies;
}

std::unique_ptr<DS_WaterFX> MakeWater(int uses_background) {
  auto water = std::make_unique<DS_WaterFX>();
  water->brush_id = kPaintedBrush;
  water->uses_background.Set(uses_background);
  return water;
}

std::unique_ptr<DS_WaterfallFX> MakeWaterfall(int uses_background) {
  auto waterfall = std::make_unique<DS_WaterfallFX>();
  waterfall->brush_id = kPaintedBrush;
  waterfall->uses_background.Set(uses_background);
  waterfall->program.key = CommonResource(105);
  waterfall->noise_map.key = CommonResource(62);
  fx::ResetSlider(waterfall->speed, 50, 0.02f);
  waterfall->noise_amplitude.Set(100);
  // A rectangle over the middle of the picture.
  const Vector3 corners[4] = {{16, 8, 0}, {16, 24, 0}, {48, 8, 0}, {48, 24, 0}};
  for (size_t i = 0; i < 4; ++i) waterfall->rectangle.corners[i].value = corners[i];
  return waterfall;
}

}  // namespace lumi::test
