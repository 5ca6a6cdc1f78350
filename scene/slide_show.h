// The root of every document: the slides in order and the background
// tracks. The slide show plays the slides one after another, starting again
// after the last, and fades between them through black.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "archive/blobs.h"
#include "scene/ab_render.h"
#include "scene/slide_container.h"

namespace lumi {

// A background track carried whole in the document.
class DS_AudioFile : public DS_IOF_Item {
  LUMI_STORED_CLASS(DS_AudioFile, 1)

 public:
  void Describe(Archive& ar) override;

  std::u16string title;
  DS_MemBlob file;  // the file's bytes and its file name
};

class DS_SlideShow_Light : public DS_IOF_Item {
  LUMI_STORED_CLASS(DS_SlideShow_Light, 1)

 public:
  void Describe(Archive& ar) override;

  // The current slide, then the fade overlay over it.
  virtual void Render();
  // Every slide's backdrop lets its device objects go.
  virtual void ReleaseDevice();
  virtual void RestoreDevice();
  // Moves the show to global time t: switches slides, sets the overlay's
  // opacity and moves the current slide. Global time is a double so that
  // a slide's own time steps as evenly after a day of play as at first.
  virtual void FrameMove(double t);
  // Begins the current slide.
  virtual void StartSlide();
  // The rectangle of the current render target, corners in strip order.
  virtual std::array<Vector3, 4> GetScreenQuad() const;

  std::shared_ptr<DS_SlideContainer> current_slide;
  std::vector<std::shared_ptr<DS_SlideContainer>> slides;
  std::vector<std::unique_ptr<DS_AudioFile>> tracks;
  double slide_start = 0;  // global time at which the current slide began
  int next_index = 1;
  size_t first_slide = 0;  // where playing begins; not stored
  std::optional<TransitionOverlay> overlay;  // made on the first frame
  double last_frame_time = 0;

 private:
  // Seconds since the current slide began, at global time t.
  double SlideTime(double t) const { return t - slide_start; }
  // The overlay's opacity e seconds into a slide with these timings.
  static float OverlayAlpha(float e, float fade_in, float showing, float fade_out, bool stays);
};

// Run by the host for every slide once the document is loaded: the backdrop
// prepares itself, every constructor makes its render object, the objects'
// timelines find the timelines they follow, and the constructors go.
void PrepareSlide(DS_SlideContainer& slide);
// The slide `e` seconds after it began: the backdrop, then every object.
void SlideFrameMove(DS_SlideContainer& slide, double e);
void SetPicturePosition(DS_SlideContainer& slide, PlacementMode mode);

}  // namespace lumi
