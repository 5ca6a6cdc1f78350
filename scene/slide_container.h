// One slide: its timing, its backdrop, the constructors of its scene
// objects and sounds, and once prepared the render objects made from them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "params/typed_param.h"
#include "scene/ab_render.h"
#include "scene/render_obj_data.h"

namespace lumi {

class DS_SlideContainer : public DS_IOF_Item {
  LUMI_STORED_CLASS(DS_SlideContainer, 6)

 public:
  // The period old slides give every timeline of their objects when none
  // is stored, in hundredths of a second.
  static constexpr unsigned int kDefaultPeriod = 1000;

  void Describe(Archive& ar) override;

  // Seconds of one full cycle: fade-in, showing time, fade-out.
  float CycleLength() const { return fade_in.value + showing.value + fade_out.value; }

  MediaParamT<int> stay{0};  // 1: the slide never ends
  MediaParamT<float> fade_in{1.0f};
  MediaParamT<float> fade_out{1.0f};
  MediaParamT<float> showing{10.0f};
  MediaParamT<int> setting{0};  // read and kept
  MediaParamTB<vrn_string> name;
  std::shared_ptr<DS_ABRender> backdrop;
  // Made by PrepareSlide, in the order of the constructor lists.
  RenderList render_objects;  // render list 1
  RenderList render_sounds;   // render list 2
  // Held until the slide is prepared.
  std::vector<std::unique_ptr<DS_ABObj_Constructor>> objects;  // constructor list 1
  std::vector<std::unique_ptr<DS_ABObj_Constructor>> sounds;   // constructor list 2
};

}  // namespace lumi
