#include <gtest/gtest.h>

#include <cmath>

#include "platform/resource_lookup.h"
#include "render/current_context.h"
#include "render/recording_device.h"
#include "scene/resource_access.h"
#include "scene/slide_show.h"
#include "tests/backdrop/probe_objects.h"

namespace lumi {
namespace {

using test::MakeProbe;
using test::PictureBackdrop;
using test::ProbeDraw;

// A device whose render targets may be no wider than a limit.
class RefusingDevice : public RecordingDevice {
 public:
  RefusingDevice(uint32_t width, uint32_t height, uint32_t widest) : RecordingDevice(width, height), widest_(widest) {}

 protected:
  std::shared_ptr<Texture> MakeTexture(const TextureDesc& desc) override {
    if ((desc.usage & kUsageRenderTarget) != 0 && desc.width > widest_) return nullptr;
    return RecordingDevice::MakeTexture(desc);
  }

 private:
  uint32_t widest_;
};

// A device that answers with another renderer's name.
class NamedDevice : public RecordingDevice {
 public:
  NamedDevice(std::string name, RenderQuality quality) : RecordingDevice(40, 30), name_(std::move(name)) {
    SetQuality(quality);
  }
  std::string RendererName() const override { return name_; }

 private:
  std::string name_;
};

// One slide over a 64 x 32 picture on a 40 x 30 screen, with the objects
// given, made current and started.
struct Stage {
  explicit Stage(std::unique_ptr<RecordingDevice> made = std::make_unique<RecordingDevice>(40, 30))
      : device(std::move(made)), context(device.get(), &view) {
    picture = device->CreateTexture({64, 32, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
  }

  std::shared_ptr<DS_SlideContainer> AddSlide(const std::vector<bool>& readers, float showing = 10) {
    auto slide = std::make_shared<DS_SlideContainer>();
    slide->showing.value = showing;
    auto backdrop = std::make_shared<PictureBackdrop>();
    slide->backdrop = backdrop;
    for (bool reads : readers) {
      auto probe = MakeProbe(reads);
      draws.push_back(probe->draws);
      slide->objects.push_back(std::move(probe));
    }
    PrepareSlide(*slide);
    backdrop->UsePicture(picture, 64, 32);
    show.slides.push_back(slide);
    return slide;
  }
  PictureBackdrop& Backdrop(size_t slide = 0) { return static_cast<PictureBackdrop&>(*show.slides[slide]->backdrop); }

  void Frame(float t) {
    show.FrameMove(t);
    ASSERT_TRUE(device->BeginScene());
    show.Render();
    device->EndScene();
  }

  std::unique_ptr<RecordingDevice> device;
  SceneView view;
  ScopedRenderContext context;
  std::shared_ptr<Texture> picture;
  DS_SlideShow_Light show;
  std::vector<std::shared_ptr<std::vector<ProbeDraw>>> draws;  // per object, in list order
};

TEST(BackdropChain, WithoutEffectsThePictureGoesStraightToTheBackBuffer) {
  Stage stage;
  stage.AddSlide({false});
  stage.Frame(0);
  for (const RecordedDraw& draw : stage.device->Draws()) EXPECT_EQ(draw.renderTarget, stage.device->GetBackBuffer());
  ASSERT_EQ(stage.draws[0]->size(), 1u);
  EXPECT_EQ((*stage.draws[0])[0].target, stage.device->GetBackBuffer().get());
  EXPECT_EQ((*stage.draws[0])[0].background, stage.picture.get());
  // The chain was made at three times the screen, and left alone.
  EXPECT_EQ(stage.Backdrop().Chain().Width(), 120u);
  EXPECT_EQ(stage.Backdrop().Chain().Height(), 90u);
}

TEST(BackdropChain, OneEffectReadsTheChainAndDrawsOnTheScreen) {
  Stage stage;
  stage.AddSlide({true, false});  // the reader first: it is drawn last
  stage.Frame(0);
  const TargetPair& chain = stage.Backdrop().Chain();
  const RecordedDraw& picture_draw = stage.device->Draws().front();
  EXPECT_EQ(picture_draw.renderTarget, chain.TextureAt(0));
  EXPECT_EQ(picture_draw.state.textures[0], stage.picture);
  const ProbeDraw below = (*stage.draws[1])[0], effect = (*stage.draws[0])[0];
  EXPECT_EQ(below.target, chain.TextureAt(0).get());  // objects after the effect go into the chain
  EXPECT_EQ(below.mode, PlacementMode::WholeTarget);
  EXPECT_EQ(effect.background, chain.TextureAt(0).get());
  EXPECT_EQ(effect.target, stage.device->GetBackBuffer().get());
  EXPECT_EQ(effect.mode, PlacementMode::Fit);
  EXPECT_EQ(DS_2D_Light::SavedTargetDepth(), 0u);
  EXPECT_FALSE(stage.Backdrop().InOffscreenPhase());
}

TEST(BackdropChain, ThreeEffectsAlternateTheTwoTexturesAndTheLastDrawsOnTheScreen) {
  Stage stage;
  stage.AddSlide({true, true, true});
  stage.Frame(0);
  const TargetPair& chain = stage.Backdrop().Chain();
  const Texture* first = chain.TextureAt(0).get();
  const Texture* second = chain.TextureAt(1).get();
  // Drawn from the last object to the first.
  const ProbeDraw a = (*stage.draws[2])[0], b = (*stage.draws[1])[0], c = (*stage.draws[0])[0];
  EXPECT_EQ(a.background, first);
  EXPECT_EQ(a.target, second);
  EXPECT_EQ(b.background, second);
  EXPECT_EQ(b.target, first);
  EXPECT_EQ(c.background, first);
  EXPECT_EQ(c.target, stage.device->GetBackBuffer().get());
  // Each flip clears the new target to opaque black.
  int clears = 0;
  for (const std::string& call : stage.device->Calls()) clears += call.find("Clear") == 0 && call.find("ff000000") != std::string::npos;
  EXPECT_GE(clears, 2);
}

TEST(BackdropChain, FallsBackToSmallerTargetsAndWithoutAnyDrawsStraight) {
  for (const auto& [widest, expected] : std::vector<std::pair<uint32_t, uint32_t>>{{120, 120}, {119, 80}, {40, 40}}) {
    Stage stage(std::make_unique<RefusingDevice>(40, 30, widest));
    stage.AddSlide({true});
    stage.Frame(0);
    EXPECT_EQ(stage.Backdrop().Chain().Width(), expected) << widest;
  }
  std::vector<std::string> messages;
  SetResourceMessageSink([&](const std::string& message) { messages.push_back(message); });
  Stage stage(std::make_unique<RefusingDevice>(40, 30, 39));
  stage.AddSlide({true, false}, 1);
  stage.AddSlide({true}, 1);
  for (int frame = 0; frame < 5 * 60; ++frame) stage.Frame(static_cast<float>(frame) / 60);
  SetResourceMessageSink(nullptr);
  EXPECT_FALSE(stage.Backdrop().Chain().Current());
  // No off-screen phase: every draw on the screen, and effects read the
  // picture itself rather than an empty texture.
  for (const RecordedDraw& draw : stage.device->Draws()) ASSERT_EQ(draw.renderTarget, stage.device->GetBackBuffer());
  for (const auto& draws : stage.draws) {
    for (const ProbeDraw& draw : *draws) ASSERT_EQ(draw.background, stage.picture.get());
  }
  // One message per slide's backdrop, not one per frame.
  EXPECT_EQ(messages.size(), 2u);
}

TEST(BackdropChain, TheScreensQualityAndTheRendererChooseTheSupersampling) {
  const std::string software = "llvmpipe (LLVM 15.0.6, 256 bits), OpenGL 4.5 (Core Profile) Mesa 22.3.6";
  const std::string hardware = "AMD Radeon RX 6600, OpenGL 4.6";
  const struct {
    const std::string& renderer;
    RenderQuality quality;
    uint32_t width;
  } cases[] = {{software, RenderQuality::Automatic, 40}, {hardware, RenderQuality::Automatic, 120},
               {software, RenderQuality::Best, 120},     {hardware, RenderQuality::Fastest, 40}};
  for (const auto& c : cases) {
    Stage stage(std::make_unique<NamedDevice>(c.renderer, c.quality));
    stage.AddSlide({true});
    stage.Frame(0);
    EXPECT_EQ(stage.Backdrop().Chain().Width(), c.width) << c.renderer << " " << static_cast<int>(c.quality);
    EXPECT_EQ(stage.Backdrop().Chain().Height(), c.width * 3 / 4);
  }
}

TEST(BackdropChain, APhaseLeftOpenIsClosedAndShownOnTheScreen) {
  Stage stage;
  auto slide = stage.AddSlide({true, false});
  slide->render_objects[0]->enabled = false;  // counted, but never draws
  stage.Frame(0);
  EXPECT_FALSE(stage.Backdrop().InOffscreenPhase());
  EXPECT_EQ(stage.device->GetRenderTarget(), stage.device->GetBackBuffer());
  EXPECT_EQ(DS_2D_Light::SavedTargetDepth(), 0u);
  // The chain's texture reaches the screen under the user's placement.
  bool shown = false;
  for (const RecordedDraw& draw : stage.device->Draws()) {
    shown |= draw.renderTarget == stage.device->GetBackBuffer() && draw.state.textures[0] == stage.Backdrop().Chain().TextureAt(0);
  }
  EXPECT_TRUE(shown);
}

TEST(BackdropChain, SavedLevelsKeepTheirModesAndEmptyStacksDoNothing) {
  Stage stage;
  stage.AddSlide({});
  stage.show.FrameMove(0);
  PictureBackdrop& backdrop = stage.Backdrop();
  backdrop.PopTarget();  // nothing saved: nothing happens
  EXPECT_EQ(backdrop.EndOffscreen(true), nullptr);
  EXPECT_EQ(backdrop.ModeInForce(), PlacementMode::Fit);
  ASSERT_TRUE(stage.device->BeginScene());
  ASSERT_TRUE(backdrop.BeginOffscreen());
  EXPECT_EQ(backdrop.ModeInForce(), PlacementMode::WholeTarget);
  backdrop.PushTarget(16, 16, PlacementMode::Stretch);
  EXPECT_EQ(stage.view.Mode(), PlacementMode::Stretch);
  backdrop.PopTarget();  // back into the chain, not to the screen's mode
  EXPECT_EQ(backdrop.ModeInForce(), PlacementMode::WholeTarget);
  EXPECT_EQ(stage.view.Mode(), PlacementMode::WholeTarget);
  EXPECT_EQ(backdrop.EndOffscreen(false), backdrop.Chain().Current());
  EXPECT_EQ(stage.view.Mode(), PlacementMode::Fit);
  EXPECT_EQ(DS_2D_Light::SavedTargetDepth(), 0u);
}

TEST(BackdropChain, EndingSlidesLetTheirChainGoAndLossReleasesEveryChainThenTheResourcesOnce) {
  Stage stage;
  stage.AddSlide({true}, 1);
  stage.AddSlide({true}, 1);
  stage.Frame(0);
  EXPECT_TRUE(stage.Backdrop(0).Chain().Current());
  stage.Frame(3.5f);  // the second slide is on
  EXPECT_FALSE(stage.Backdrop(0).Chain().Current());
  EXPECT_TRUE(stage.Backdrop(1).Chain().Current());

  static int losses, restores;
  losses = restores = 0;
  ResourceAccess& access = DocumentResourceAccess();
  const ResourceAccess saved = access;
  access.lose = [] { ++losses; };
  access.restore = [] { ++restores; };
  stage.device->LoseDevice();
  stage.device->ClearLog();  // the log's snapshots hold targets too
  EXPECT_FALSE(stage.device->Reset());  // the chain still holds its targets
  stage.show.ReleaseDevice();
  EXPECT_EQ(losses, 1);
  EXPECT_FALSE(stage.Backdrop(1).Chain().Current());
  ASSERT_TRUE(stage.device->Reset()) << stage.device->LastError();
  stage.show.RestoreDevice();
  EXPECT_EQ(restores, 1);
  EXPECT_TRUE(stage.Backdrop(1).Chain().Current());
  EXPECT_FALSE(stage.Backdrop(0).Chain().Current());
  access = saved;
  stage.Frame(3.6f);
  EXPECT_EQ((*stage.draws[1]).back().target, stage.device->GetBackBuffer().get());
}

TEST(BackdropPicture, APictureOfSizeZeroGivesABlackSlideWithItsObjectsAndNoNaN) {
  Stage stage;
  auto slide = stage.AddSlide({true, false});
  auto& backdrop = stage.Backdrop();
  backdrop.UsePicture(nullptr, 0, 0);
  backdrop.camera.mode.Set(DSM_Camera::kRandom);
  stage.Frame(0);
  stage.Frame(3);
  EXPECT_EQ((*stage.draws[0]).size(), 2u);
  EXPECT_EQ((*stage.draws[1]).size(), 2u);
  const auto finite = [](const Matrix& m) {
    for (const auto& row : m.m) {
      for (float value : row) {
        if (!std::isfinite(value)) return false;
      }
    }
    return true;
  };
  EXPECT_TRUE(finite(stage.view.View()));
  EXPECT_TRUE(finite(stage.view.camera));
  EXPECT_TRUE(finite(stage.view.WorldTransform(Matrix{})));
  EXPECT_TRUE(finite(stage.view.placement3d.world));
  const PictureMetrics& metrics = backdrop.Metrics();
  EXPECT_TRUE(std::isfinite(metrics.scaleX) && std::isfinite(metrics.scaleY));
  // The screen was cleared to black and no picture quad was drawn.
  for (const RecordedDraw& draw : stage.device->Draws()) EXPECT_NE(draw.state.textures[0], stage.picture);
}

}  // namespace
}  // namespace lumi
