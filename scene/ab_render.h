// What the slide show knows of a slide's backdrop: the backdrop draws the
// slide, and the slide show reaches it only through these operations.
//
// Every operation does nothing here. The slide backdrop, which owns the
// device objects, replaces them; a backdrop without a device (as when a
// document is simulated without graphics) plays the slide all the same.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "params/vector_math.h"

namespace lumi {

class VRN_RenderObj;
using RenderList = std::vector<std::shared_ptr<VRN_RenderObj>>;

struct TargetSize {
  uint32_t width = 0;
  uint32_t height = 0;
  bool IsEmpty() const { return width == 0 || height == 0; }
};

// The black quad drawn over the slide for its fades: corners in
// triangle-strip order with their ARGB colours.
struct TransitionOverlay {
  struct Vertex {
    D3DXVECTOR3 position;
    uint32_t colour = 0;
  };
  std::array<Vertex, 4> vertices;

  uint8_t alpha() const { return static_cast<uint8_t>(vertices[0].colour >> 24); }
  void SetAlpha(uint8_t alpha) {
    for (Vertex& v : vertices) v.colour = (v.colour & 0x00FFFFFFu) | (uint32_t{alpha} << 24);
  }
};

class DS_ABRender {
 public:
  virtual ~DS_ABRender() = default;

  // After loading: the backdrop prepares itself and takes its first placement.
  virtual void PrepareSlide() {}
  // The user's choice of Stretch, Fit or Fill.
  virtual void SetPicturePosition(int /*mode*/) {}
  virtual void ReleaseDevice() {}
  virtual void RestoreDevice() {}

  // The size of the current render target; empty without a device.
  virtual TargetSize CurrentTargetSize() const { return {}; }
  // A placement built from the target.
  virtual void PlaceOnTarget(TargetSize /*target*/) {}
  virtual void OnSlideStart() {}
  virtual void Restart() {}
  virtual void FrameMove(float /*slide_time*/) {}

  // Whether the backdrop itself needs a copy of the picture.
  virtual bool NeedsPictureCopy() const { return false; }
  // `passes` objects (the backdrop included) will read the copy this frame.
  virtual void PrepareCopy(int /*passes*/) {}
  virtual void DrawPicture() {}
  // Draws the objects over the picture; see DrawRenderList. `passes`
  // counts the readers of the copy still to come.
  virtual void DrawObjects(const RenderList& objects, int& passes);
  // The picture so far, for an object that samples it; the backdrop counts
  // the pass off `passes`.
  virtual void ProvideBackground(int& /*passes*/) {}
  virtual void SetWorldTranslation(const D3DXVECTOR3& /*offset*/) {}
  // The camera's offset, which moves objects off the picture's plane.
  virtual D3DXVECTOR3 CameraOffset() const { return {}; }
  virtual void FinishSlide() {}
  virtual void DrawOverlay(const TransitionOverlay& /*overlay*/) {}
};

// Draws every enabled object from the last to the first, so the first is on
// top: each is moved for its depth and drawn with the background it needs.
void DrawRenderList(DS_ABRender& backdrop, const RenderList& objects, int& passes);

}  // namespace lumi
