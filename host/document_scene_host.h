// The scene host of the saver: one record per render unit, each playing its
// own copy of the document through a SlidePlayer. A unit's first frame
// shows "Loading...", its second reads the document, later frames play it.
// Where several documents play in turn, each unit reads the next once its
// document has played all its slides.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "backdrop/slide_player.h"
#include "host/scene_host.h"
#include "host/show_pass.h"
#include "scene/document.h"
#include "sound/scene_sound.h"

namespace lumi {

// The document of each round of play, 0 first; throws InputError when it
// cannot be read.
using DocumentReader = std::function<Document(std::size_t round)>;
// The user's picture position, as the settings give it.
using PicturePositionReader = std::function<PlacementMode()>;

// The document the program carries (resource "DDS" 107); throws
// InputError when it carries none.
std::vector<std::uint8_t> ReadCarriedDocument();

class DocumentSceneHost : public SceneHost {
 public:
  // With `documents_advance`, a document that has played its slides once
  // gives way to the next round's; otherwise the first plays throughout.
  DocumentSceneHost(SceneSound& sound, DocumentReader read_document, PicturePositionReader picture_position,
                    bool documents_advance = false);
  // Records go in reverse order, each scene before its device.
  ~DocumentSceneHost() override;

  void SelectUnit(int unit, GraphicsDevice* device) override;
  HResult Render(double app_time) override;
  void OnDeviceReset(PlatformWindow main_window) override;
  void OnDeviceLost() override;
  void OnDeviceDestroyed() override;
  void OnMediaEvent(long code) override;

  // The reason the last document could not be loaded; empty when it could.
  std::string FailureReason() const override { return load_error_; }

 private:
  struct Record {
    bool loading_shown = false;
    bool scene_loaded = false;
    std::optional<Document> document;
    std::unique_ptr<SlidePlayer> player;
    std::shared_ptr<Texture> loading_texture;
    std::shared_ptr<VertexBuffer> loading_quad;
    std::size_t round = 0;
    ShowPass pass;
  };

  void DrawLoadingPicture(Record& record);
  HResult LoadScene(Record& record);
  // The played document goes, and the next round's is read in its place.
  HResult NextRound(Record& record);

  SceneSound& sound_;
  DocumentReader read_document_;
  PicturePositionReader picture_position_;
  bool documents_advance_;
  std::array<Record, kSceneRecordCount> records_;
  Record* current_ = nullptr;
  GraphicsDevice* device_ = nullptr;
  std::string load_error_;
};

}  // namespace lumi
