// A scene object for the backdrop tests: it notes, whenever it draws, the
// picture the backdrop hands it and the target it draws onto; one that reads
// the picture also copies it to the whole screen, as an image effect does.
#pragma once

#include <memory>
#include <vector>

#include "backdrop/light_2d.h"
#include "scene/render_obj.h"

namespace lumi::test {

// Which textures, by identity only: holding them would keep a lost device
// from being reset.
struct ProbeDraw {
  const Texture* background;
  const Texture* target;
  PlacementMode mode;
};

class ProbeConstructor : public DS_ABObj_Constructor {
  LUMI_STORED_CLASS(ProbeConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(ProbeConstructor)

 public:
  void Describe(Archive& ar) override { BaseRecordOf<DS_ABObj_Constructor>(ar, this); }
  std::unique_ptr<VRN_RenderObj> CreateRenderObject() const override;

  bool reads_picture = false;
  std::shared_ptr<std::vector<ProbeDraw>> draws = std::make_shared<std::vector<ProbeDraw>>();
};

class Probe : public DS_ABObj {
 public:
  explicit Probe(std::unique_ptr<ProbeConstructor> settings) : DS_ABObj(std::move(settings)) {}
  void Render(DS_ABRender& backdrop) override;
  bool NeedsBackground() override { return Settings().reads_picture; }
  void FrameMove(double) override {}

 private:
  ProbeConstructor& Settings() const { return static_cast<ProbeConstructor&>(settings()); }
};

std::unique_ptr<ProbeConstructor> MakeProbe(bool reads_picture);

// The slide backdrop over a picture the test gives.
class PictureBackdrop : public DS_2D_Light {
 public:
  void UsePicture(std::shared_ptr<Texture> texture, uint32_t width, uint32_t height) {
    SetPicture({std::move(texture), width, height, width > 0 ? static_cast<float>(height) / width : 1});
  }
};

}  // namespace lumi::test
