// Scene objects for the tests: a constructor class registered like any
// scene object, whose render objects write what happens to them in a log,
// and a backdrop that records the operations the slide show calls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "backdrop/light_2d.h"
#include "scene/render_obj.h"

namespace lumi::test {

// Everything the test objects and the backdrop did, in order.
std::vector<std::string>& Log();
// The parallax shift of the current view at every test object's draw.
std::vector<Vector3>& Parallaxes();

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
  void FrameMove(double local_time) override { last_local_time = local_time; }

  std::string Name() const;
  double last_local_time = -1;
};

// The slide backdrop, writing the operations the slide show calls to the log.
class RecordingBackdrop : public DS_2D_Light {
 public:
  void Load() override;
  void SetTargetQuad(const TargetQuad& quad) override;
  bool EnableCamera(bool flag) override;
  void RestoreDevice() override;
  void LoseDevice() override;
  void UpdateCamera(double time) override;
  bool NeedsOffscreen() const override { return needs_copy; }
  bool BeginOffscreen() override;
  void DrawPicture(bool keep) override;
  void NextPass(int& remaining) override;
  void DrawBorders(bool keep) override;
  void DrawScreenRect(const ScreenRect& rect) override;

  bool needs_copy = false;
  double last_frame_move = -1;
};

// A constructor with a name, an identity (data1 only; 0 for none) and the
// flag that makes its render object sample the picture.
std::unique_ptr<TestSceneObject> MakeObject(const std::string& name, uint32_t identity = 0,
                                            bool samples_picture = false);

}  // namespace lumi::test
