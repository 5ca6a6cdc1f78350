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

bool SlidePlayer::Draw(std::string& error) {
  if (!device_.BeginScene()) {
    error = device_.LastError();
    return false;
  }
  document_.show->Render();
  device_.EndScene();
  device_.Present();
  return true;
}

bool SlidePlayer::LoseAndRestore(std::string& error) {
  device_.LoseDevice();
  document_.show->ReleaseDevice();
  if (!device_.Reset()) {
    error = "the device could not be reset: " + device_.LastError();
    return false;
  }
  document_.show->RestoreDevice();
  return true;
}

}  // namespace lumi
