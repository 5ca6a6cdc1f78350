// Plays a loaded document on a graphics device as the saver does: its
// resource table and a view are made current, every slide is prepared, and
// each frame the slide show moves and then draws through the backdrop. A
// device loss runs the scene's release, the reset and the restore.
#pragma once

#include <memory>
#include <string>

#include "render/current_context.h"
#include "render/device.h"
#include "render/scene_view.h"
#include "scene/document.h"
#include "scene/resource_table.h"

namespace lumi {

class SlidePlayer {
 public:
  // `first_slide` is where the show begins; `device` and `document` must
  // outlive the player.
  SlidePlayer(GraphicsDevice& device, Document& document, PlacementMode position, size_t first_slide = 0);
  ~SlidePlayer();
  SlidePlayer(const SlidePlayer&) = delete;
  SlidePlayer& operator=(const SlidePlayer&) = delete;

  // Makes this player's device, view and resource table current again,
  // when several players take turns.
  void MakeCurrent();
  // The show at global time t.
  void Move(double t) { document_.show->FrameMove(t); }
  // One frame drawn, not presented; false with the reason in error.
  bool DrawScene(std::string& error);
  // One frame drawn and presented; false with the reason in error.
  bool Draw(std::string& error);
  // Around a device reset: the scene lets its device objects go before and
  // makes what it needs again after.
  void ReleaseDevice() { document_.show->ReleaseDevice(); }
  void RestoreDevice() { document_.show->RestoreDevice(); }
  // As after a display change: the device is lost, the scene lets its
  // device objects go, the device is reset and the scene restores them.
  bool LoseAndRestore(std::string& error);

  SceneView& View() { return view_; }
  ResourceTable& Resources() { return *table_; }

 private:
  GraphicsDevice& device_;
  Document& document_;
  SceneView view_;
  ScopedRenderContext context_;
  std::unique_ptr<ResourceTable> table_;
  ResourceTable* previous_table_;
};

}  // namespace lumi
