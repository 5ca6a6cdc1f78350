// Scene objects for the tests: a constructor class registered like any
// scene object, whose render objects write what happens to them in a log,
// and a backdrop that records the operations the slide show calls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "scene/ab_render.h"
#include "scene/render_obj.h"

namespace lumi::test {

// Everything the test objects and the backdrop did, in order.
std::vector<std::string>& Log();

class TestSceneObject : public DS_ABObj_Constructor {
  LUMI_STORED_CLASS(TestSceneObject, 1)
  LUMI_CONSTRUCTOR_CLONE(TestSceneObject)

 public:
  void Describe(Archive& ar) override;
  void OnRestart() override;
  std::unique_ptr<VRN_RenderObj> CreateRenderObject() const override;

  bool samples_picture = false;
  int restarts = 0;
};

class TestRenderObject : public DS_ABObj {
 public:
  using DS_ABObj::DS_ABObj;

  void Render(DS_ABRender& backdrop) override;
  bool NeedsBackground() override;
  void SetEnabled(bool flag) override;
  void FrameMove(float local_time) override { last_local_time = local_time; }

  std::string Name() const;
  float last_local_time = -1;
};

class RecordingBackdrop : public DS_ABRender {
 public:
  void PrepareSlide() override { Log().push_back("prepare"); }
  TargetSize CurrentTargetSize() const override { return target; }
  void PlaceOnTarget(TargetSize t) override { Log().push_back("place " + std::to_string(t.width)); }
  void OnSlideStart() override { Log().push_back("slide start"); }
  void Restart() override { Log().push_back("backdrop restart"); }
  void FrameMove(float e) override { last_frame_move = e; }
  bool NeedsPictureCopy() const override { return needs_copy; }
  void PrepareCopy(int passes) override { Log().push_back("copy for " + std::to_string(passes)); }
  void DrawPicture() override { Log().push_back("picture"); }
  void ProvideBackground(int& passes) override { Log().push_back("background " + std::to_string(passes--)); }
  void SetWorldTranslation(const D3DXVECTOR3& offset) override { translations.push_back(offset); }
  D3DXVECTOR3 CameraOffset() const override { return camera_offset; }
  void FinishSlide() override { Log().push_back("finish"); }
  void DrawOverlay(const TransitionOverlay& overlay) override {
    Log().push_back("overlay " + std::to_string(overlay.alpha()));
  }

  TargetSize target;
  bool needs_copy = false;
  D3DXVECTOR3 camera_offset{};
  std::vector<D3DXVECTOR3> translations;
  float last_frame_move = -1;
};

// A constructor with a name, an identity (data1 only; 0 for none) and the
// flag that makes its render object sample the picture.
std::unique_ptr<TestSceneObject> MakeObject(const std::string& name, uint32_t identity = 0,
                                            bool samples_picture = false);

}  // namespace lumi::test
