#include "backdrop/slide_player.h"

namespace lumi {

SlidePlayer::SlidePlayer(GraphicsDevice& device, Document& document, PlacementMode position, size_t first_slide)
    : device_(device),
      document_(document),
      context_(&device, &view_),
      table_(std::make_unique<ResourceTable>(device, *document.resources)),
      previous_table_(CurrentResourceTable()) {
  SetCurrentResourceTable(table_.get());
  view_.pictureSetting = position;
  DS_SlideShow_Light& show = *document.show;
  show.first_slide = first_slide;
  for (const auto& slide : show.slides) {
    PrepareSlide(*slide);
    SetPicturePosition(*slide, position);
  }
}

SlidePlayer::~SlidePlayer() {
  // The slides' device objects go before the table that made them.
  document_.show->ReleaseDevice();
  SetCurrentResourceTable(previous_table_);
}

void SlidePlayer::MakeCurrent() {
  SetCurrentRenderContext(&device_, &view_);
  SetCurrentResourceTable(table_.get());
}

bool SlidePlayer::DrawScene(std::string& error) {
  if (!device_.BeginScene()) {
    error = device_.LastError();
    return false;
  }
  document_.show->Render();
  device_.EndScene();
  return true;
}

bool SlidePlayer::Draw(std::string& error) {
  if (!DrawScene(error)) return false;
  device_.Present();
  return true;
}

bool SlidePlayer::LoseAndRestore(std::string& error) {
  device_.LoseDevice();
  ReleaseDevice();
  if (!device_.Reset()) {
    error = "the device could not be reset: " + device_.LastError();
    return false;
  }
  RestoreDevice();
  return true;
}

}  // namespace lumi
