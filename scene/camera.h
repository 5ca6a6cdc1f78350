// The camera every backdrop carries: it pans and zooms over the slide
// picture, wandering at random or following a path of points.
#pragma once

#include <memory>
#include <vector>

#include "archive/archive.h"
#include "params/control_points.h"
#include "params/file_link.h"
#include "params/typed_param.h"

namespace lumi {

class DSM_Camera : public DS_IOF_Item {
  LUMI_STORED_CLASS(DSM_Camera, 3)

 public:
  enum Mode { kStill = 0, kRandom = 1, kPath = 2 };

  void Describe(Archive& ar) override;

  MediaParamT<int> mode{kStill};
  UINTSclaleTo<float> zoom{120, 0.01f, 0.0f};   // magnification of random wandering
  UINTSclaleTo<float> speed{50, 0.02f, 0.0f};   // multiplies camera time
  MediaParamT<int> enabled{0};                  // set at slide start, never stored
  DS_ImageFileLink image{DS_FileLink3::ModuleKey(u"common_res.dll", 6)};
  MediaParamT<unsigned int> path_width{0};      // picture window in path mode
  MediaParamT<unsigned int> path_height{0};
  std::vector<std::shared_ptr<DX_CamPathPnt>> path;
};

}  // namespace lumi
