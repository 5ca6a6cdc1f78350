// Captions drawn as one textured quad of a particle system: the picture is
// the texture of the appearance block; an effect program draws it with an
// optional drop shadow. Static, scrolling and link captions.
#pragma once

#include "archive/archive.h"
#include "params/colours.h"
#include "params/directions.h"
#include "params/typed_param.h"
#include "particles/single_particle.h"

namespace lumi {

// How the authoring tool made the caption's picture; playback does not
// read it. The values the format names only by kind keep their stored
// order in their names.
struct DS_TextStyle {
  MediaParamT<vrn_string> caption;
  MediaParamT<vrn_string> face_name;
  MediaParamT<unsigned int> value_1;
  MediaParamT<int> value_2, value_3;
  SmartCOLORREF value_4;
  MediaParamT<int> value_5, value_6, value_7;
  SmartCOLORREF value_8;
  MediaParamT<unsigned int> value_9, value_10;
  MediaParamT<int> value_11;
  SmartCOLORREF value_12;
  MediaParamT<unsigned int> value_13;
};

class DS_StaticText : public VRN_StaticObject {
  LUMI_STORED_CLASS(DS_StaticText, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_StaticText)

 public:
  void Describe(Archive& ar) override;
  // Captions play inert until their picture is made: the bare quad of the
  // static object would cover the slide with the look's colour.
  bool HasBehaviour() const override { return false; }

  DS_TextStyle style;
  MediaParamT<int> shadow_on{0};
  SmartCOLORREF shadow_colour;
  MediaParamT<unsigned int> shadow_distance{0};  // pixels
  MediaDirection shadow_direction;
  // Stored and copied; not used in playback.
  SmartCOLORREF style_colour2;
  SmartCOLORREF style_colour3;
  MediaParamT<unsigned int> style_value1{0};
  MediaParamT<unsigned int> style_value2{0};
};

class DS_ScrollingTex : public DS_StaticText {
  LUMI_STORED_CLASS(DS_ScrollingTex, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_ScrollingTex)

 public:
  void Describe(Archive& ar) override;

  MediaParamT<int> direction{0};  // 0 and 1 vertical, 2 and 3 horizontal
};

class DS_TextLink : public DS_StaticText {
  LUMI_STORED_CLASS(DS_TextLink, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_TextLink)

 public:
  void Describe(Archive& ar) override;

  MediaParamT<unsigned int> link_value{0};  // stored and copied only
};

}  // namespace lumi
