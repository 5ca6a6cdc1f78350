// The run-time side of a scene object: made from a constructor when its
// slide is prepared, it owns a copy of the constructor's settings, moves by
// the object's local time and draws itself through the slide's backdrop.
#pragma once

#include <memory>
#include <vector>

#include "scene/render_obj_data.h"
#include "timing/identity_map.h"

namespace lumi {

class DS_ABRender;

class VRN_RenderObj : public TimedObject {
 public:
  // Gives `data` a fresh identity when it has none or must not keep its
  // own, and enters this object under it in the identity map.
  explicit VRN_RenderObj(VRN_RenderObjData* data);
  VRN_RenderObj(const VRN_RenderObj&) = delete;
  VRN_RenderObj& operator=(const VRN_RenderObj&) = delete;
  virtual ~VRN_RenderObj() = default;

  virtual void Render(DS_ABRender& backdrop) = 0;
  // Objects that sample the picture have the backdrop provide it first;
  // `passes` counts the readers of the picture still to come.
  virtual void RenderWithBackground(DS_ABRender& backdrop, int& passes);
  virtual bool NeedsBackground() { return false; }
  // The passes of the frame's effect chain this object takes: one for each
  // of its draws that reads the picture as drawn before it.
  virtual int BackgroundPasses() { return NeedsBackground() ? 1 : 0; }
  virtual void SetEnabled(bool flag) { enabled = flag; }
  // The timeline starts again, then the settings hear of it.
  virtual void Restart();
  virtual void FrameMove(double local_time) = 0;

  // One frame at slide time t: the timing advances and the object moves to
  // its new local time.
  void Advance(double slide_time) { FrameMove(data->timing.AdvanceLocalTime(slide_time)); }

  VRN_SmartTiming& ObjectTiming() override { return data->timing; }

  bool enabled = true;
  VRN_RenderObjData* data;
};

class DS_ABObj : public VRN_RenderObj {
 public:
  explicit DS_ABObj(std::unique_ptr<DS_ABObj_Constructor> settings);
  // Leaves the identity map, then lets the settings go.
  ~DS_ABObj() override;

  // Sprite objects recompute their sizes from the picture's metrics.
  virtual void OnPictureMetricsChanged() {}
  virtual int GetKind() const { return settings_->GetKind(); }
  // Sprite, particle and 3D objects answer for what they draw.
  virtual bool TestPoint(int /*x*/, int /*y*/) { return false; }
  virtual void CollectImageLinks(std::vector<DS_ImageFileLink*>& links) { settings_->CollectImageLinks(links); }

  DS_ABObj_Constructor& settings() const { return *settings_; }

 private:
  std::unique_ptr<DS_ABObj_Constructor> settings_;
};

// The factor by which the camera's offset moves an object drawn at `depth`
// percent: 100 / depth − 1. Depths below 1 count as 1, so that a depth of 0
// cannot throw an object to infinity.
float DepthFactor(unsigned int depth);

}  // namespace lumi
