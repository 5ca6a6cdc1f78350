#include "host/document_scene_host.h"

#include <cstdio>
#include <cstring>

#include "archive/document_source.h"
#include "archive/input_error.h"
#include "platform/resource_lookup.h"
#include "render/current_context.h"
#include "render/picture_loader.h"

namespace lumi {
namespace {

// The executable's "Loading..." picture: resource "DDS" 5.
constexpr std::uint16_t kLoadingPictureId = 5;

}  // namespace

std::vector<std::uint8_t> ReadCarriedDocument() {
  const auto bytes =
      FindModuleResource(nullptr, PeResourceName(std::u16string_view(kDocumentResourceType)), kDocumentResourceId);
  if (!bytes || bytes->empty()) throw InputError("the program carries no scene document (resource \"DDS\" 107)");
  return {bytes->begin(), bytes->end()};
}

DocumentSceneHost::DocumentSceneHost(SceneSound& sound, DocumentReader read_document,
                                     PicturePositionReader picture_position, bool documents_advance)
    : sound_(sound),
      read_document_(std::move(read_document)),
      picture_position_(std::move(picture_position)),
      documents_advance_(documents_advance) {}

DocumentSceneHost::~DocumentSceneHost() {
  for (auto record = records_.rbegin(); record != records_.rend(); ++record) {
    record->player.reset();
    record->document.reset();
  }
}

void DocumentSceneHost::SelectUnit(int unit, GraphicsDevice* device) {
  current_ = &records_.at(static_cast<std::size_t>(unit));
  device_ = device;
  if (current_->player) {
    current_->player->MakeCurrent();
  } else {
    // The resource table stays whatever the last unit made current.
    SetCurrentRenderContext(device, nullptr);
  }
}

HResult DocumentSceneHost::Render(double app_time) {
  if (current_ == nullptr || device_ == nullptr) return kSuccess;
  Record& record = *current_;
  if (record.scene_loaded) {
    if (!record.player) return kSuccess;
    record.player->Move(app_time);
    if (documents_advance_ && record.pass.Observe(*record.document->show)) return NextRound(record);
    std::string error;
    // A frame the device refuses is skipped; the next one tries again.
    record.player->DrawScene(error);
    return kSuccess;
  }
  if (record.loading_shown) return LoadScene(record);
  DrawLoadingPicture(record);
  return kSuccess;
}

// The picture stays on the screen while the next frame reads the document.
void DocumentSceneHost::DrawLoadingPicture(Record& record) {
  GraphicsDevice& device = *device_;
  if (!record.loading_texture) {
    if (const auto bytes = FindModuleResource(nullptr, PeResourceName(std::u16string_view(kDocumentResourceType)), kLoadingPictureId)) {
      std::string message;
      LoadedPicture picture = LoadPicture(device, *bytes, PictureOptions{}, message);
      if (!picture.Empty()) record.loading_texture = picture.frames.front();
    }
  }
  // A square of two thirds of the back buffer's height, centred.
  const float width = static_cast<float>(device.BackBufferWidth());
  const float height = static_cast<float>(device.BackBufferHeight());
  const float side = height * 2.0f / 3.0f;
  const float left = (width - side) / 2.0f, top = (height - side) / 2.0f;
  constexpr std::uint32_t kWhite = 0xFFFFFFFF;
  const VertexScreenPCT quad[4] = {{left, top + side, 0, 1, kWhite, 0, 1},
                                   {left, top, 0, 1, kWhite, 0, 0},
                                   {left + side, top + side, 0, 1, kWhite, 1, 1},
                                   {left + side, top, 0, 1, kWhite, 1, 0}};
  if (!record.loading_quad) record.loading_quad = device.CreateVertexBuffer(sizeof quad, 0, Pool::Managed);
  if (!record.loading_quad) return;
  void* data = record.loading_quad->Lock(0, 0);
  if (data == nullptr) return;
  std::memcpy(data, quad, sizeof quad);
  record.loading_quad->Unlock();

  if (!device.BeginScene()) return;
  device.Clear(kClearTarget, 0x00000000, 1.0f, 0);
  device.SetRenderState(RenderState::ZEnable, 0);
  device.SetRenderState(RenderState::CullMode, Word(Cull::None));
  device.SetSamplerState(0, SamplerState::MinFilter, Word(TextureFilter::Linear));
  device.SetSamplerState(0, SamplerState::MagFilter, Word(TextureFilter::Linear));
  device.SetTexture(0, record.loading_texture);
  device.SetVertexFormat(VertexFormat::ScreenPCT);
  device.SetStreamSource(record.loading_quad);
  device.DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
  device.EndScene();
  record.loading_shown = true;
}

HResult DocumentSceneHost::LoadScene(Record& record) {
  record.scene_loaded = true;
  try {
    record.document.emplace(read_document_(record.round));
    record.player = std::make_unique<SlidePlayer>(*device_, *record.document, picture_position_());
  } catch (const std::exception& error) {
    load_error_ = error.what();
    std::fprintf(stderr, "lumisave: the scene could not be loaded: %s\n", error.what());
    record.player.reset();
    record.document.reset();
    return kErrorMediaMissing;
  }
  sound_.OnSceneLoaded(*record.document->show);
  return kSuccess;
}

HResult DocumentSceneHost::NextRound(Record& record) {
  sound_.OnSceneUnloading(*record.document->show);
  record.player.reset();
  record.document.reset();
  ++record.round;
  record.pass = {};
  return LoadScene(record);
}

void DocumentSceneHost::OnDeviceReset(PlatformWindow main_window) {
  if (current_ != nullptr && current_->player) current_->player->RestoreDevice();
  sound_.OnDeviceReset(main_window);
}

void DocumentSceneHost::OnDeviceLost() {
  sound_.OnDeviceLost();
  if (current_ != nullptr && current_->player) current_->player->ReleaseDevice();
}

void DocumentSceneHost::OnDeviceDestroyed() {
  if (current_ == nullptr) return;
  // The scene stays loaded; only what lives on the device goes with it.
  current_->player.reset();
  current_->loading_texture.reset();
  current_->loading_quad.reset();
}

void DocumentSceneHost::OnMediaEvent(long code) {
  if (current_ != nullptr && current_->document) sound_.OnMediaEvent(*current_->document->show, code);
}

}  // namespace lumi
