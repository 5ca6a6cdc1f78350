#include "scene/slide_show.h"

#include <algorithm>

#include "render/current_context.h"
#include "scene/resource_access.h"
#include "scene/render_obj.h"

namespace lumi {

void DS_AudioFile::Describe(Archive& ar) {
  ar.WString("title", title);
  ar.MemBlob("file", file);
}

void DS_SlideShow_Light::Describe(Archive& ar) {
  ObjectList<DS_SlideContainer>(ar, "slides", slides, Family::Slide);
  ListOf(ar, "tracks", tracks, [&](std::unique_ptr<DS_AudioFile>& track) {
    if (!track) track = std::make_unique<DS_AudioFile>();
    Member(ar, nullptr, *track);
  });
}

namespace {

// The rectangle of the current render target; empty without a device.
TargetQuad CurrentTargetRect() {
  GraphicsDevice* device = CurrentDevice();
  const auto target = device != nullptr ? device->GetRenderTarget() : nullptr;
  if (!target) return TargetQuad::FromRect(0, 0, 0, 0);
  return TargetQuad::FromRect(0, 0, static_cast<float>(target->Width()), static_cast<float>(target->Height()));
}

bool IsEmpty(const TargetQuad& quad) { return quad.v[3].x <= quad.v[1].x || quad.v[2].y <= quad.v[1].y; }

}  // namespace

void PrepareSlide(DS_SlideContainer& slide) {
  if (slide.backdrop != nullptr) {
    slide.backdrop->Load();
    slide.backdrop->SetTargetQuad(CurrentTargetRect());
  }
  for (const auto& constructor : slide.objects) slide.render_objects.push_back(constructor->CreateRenderObject());
  for (const auto& object : slide.render_objects) object->data->timing.current().Bind();
  for (const auto& constructor : slide.sounds) slide.render_sounds.push_back(constructor->CreateRenderObject());
  slide.objects.clear();
  slide.sounds.clear();
}

void SlideFrameMove(DS_SlideContainer& slide, double e) {
  if (slide.backdrop != nullptr) slide.backdrop->UpdateCamera(e);
  for (const auto& object : slide.render_objects) object->Advance(e);
  for (const auto& sound : slide.render_sounds) sound->Advance(e);
}

void SetPicturePosition(DS_SlideContainer& slide, PlacementMode mode) {
  if (slide.backdrop != nullptr) slide.backdrop->SetPlacement(mode);
}

void DS_SlideShow_Light::StartSlide() {
  DS_ABRender* backdrop = current_slide->backdrop.get();
  if (backdrop != nullptr) {
    const TargetQuad target = CurrentTargetRect();
    if (!IsEmpty(target)) backdrop->SetTargetQuad(target);
    backdrop->EnableCamera(true);
  }
  for (const auto& object : current_slide->render_objects) object->Restart();
  if (backdrop != nullptr) backdrop->RestoreDevice();
  for (const auto& sound : current_slide->render_sounds) sound->SetEnabled(true);
}

float DS_SlideShow_Light::OverlayAlpha(float e, float fade_in, float showing, float fade_out, bool stays) {
  float alpha = 0.0f;
  if (fade_in > e) alpha = (fade_in - e) / fade_in;
  else if (!stays && e > fade_in + showing) alpha = (e - fade_in - showing) / fade_out;
  // Negative, zero or NaN fade times in a damaged document must not wrap the byte.
  if (!(alpha > 0.0f)) return 0.0f;
  return std::min(alpha, 1.0f);
}

void DS_SlideShow_Light::FrameMove(double t) {
  last_frame_time = t;
  if (slides.empty()) return;
  if (current_slide == nullptr || !overlay) {
    // The first slide starts already faded in.
    const size_t first = first_slide < slides.size() ? first_slide : 0;
    current_slide = slides[first];
    next_index = static_cast<int>((first + 1) % slides.size());
    slide_start = t - current_slide->fade_in.value;
    StartSlide();
    overlay.emplace();
    const std::array<Vector3, 4> corners = GetScreenQuad();
    for (size_t i = 0; i < 4; ++i) overlay->rect.v[i] = {corners[i].x, corners[i].y, 0, 1, 0x00000000u};
  } else if (slides.size() >= 2) {
    // The ending slide's timings still shape the overlay in the frame of a switch.
    const float g = current_slide->fade_in.value;
    const float f = current_slide->fade_out.value;
    const float h = current_slide->showing.value;
    const bool stays = current_slide->stay.value == 1;
    if (!stays && SlideTime(t) > g + h + f) {
      for (const auto& sound : current_slide->render_sounds) sound->SetEnabled(false);
      // The ending slide's chain is large; the next one makes its own.
      if (current_slide->backdrop != nullptr) current_slide->backdrop->LoseDevice();
      if (next_index < 0 || next_index >= static_cast<int>(slides.size())) next_index = 0;
      current_slide = slides[static_cast<size_t>(next_index)];
      slide_start = t;
      next_index = next_index + 1 == static_cast<int>(slides.size()) ? 0 : next_index + 1;
      StartSlide();
    }
    const float alpha = OverlayAlpha(static_cast<float>(SlideTime(t)), g, h, f, stays);
    overlay->SetAlpha(static_cast<uint8_t>(alpha * 255.0f));
  }
  SlideFrameMove(*current_slide, SlideTime(t));
}

void DS_SlideShow_Light::Render() {
  if (current_slide == nullptr || current_slide->backdrop == nullptr) return;
  DS_ABRender& backdrop = *current_slide->backdrop;
  int passes = backdrop.NeedsOffscreen() ? 1 : 0;
  for (const auto& object : current_slide->render_objects) passes += object->BackgroundPasses();
  if (passes > 0) backdrop.BeginOffscreen();
  backdrop.DrawPicture(false);
  backdrop.RenderObjects(current_slide->render_objects, passes);
  backdrop.DrawBorders(false);
  // A clear overlay would blend a whole screen to change nothing.
  if (overlay && overlay->alpha() > 0) backdrop.DrawScreenRect(overlay->rect);
}

void DS_SlideShow_Light::ReleaseDevice() {
  for (const auto& slide : slides) {
    if (slide->backdrop != nullptr) slide->backdrop->LoseDevice();
  }
  // Then the document's own objects, once: effects drop their textures.
  if (const ResourceAccess& resources = DocumentResourceAccess(); resources.lose != nullptr) resources.lose();
}

void DS_SlideShow_Light::RestoreDevice() {
  if (current_slide == nullptr || current_slide->backdrop == nullptr) return;
  // A reset can bring a back buffer of another size (a resized window).
  if (const TargetQuad target = CurrentTargetRect(); !IsEmpty(target)) current_slide->backdrop->SetTargetQuad(target);
  current_slide->backdrop->RestoreDevice();
}

std::array<Vector3, 4> DS_SlideShow_Light::GetScreenQuad() const {
  const TargetQuad target = CurrentTargetRect();
  const float w = target.v[3].x, h = target.v[2].y;
  return {Vector3{0, 0, 0}, Vector3{0, h, 0}, Vector3{w, 0, 0}, Vector3{w, h, 0}};
}

}  // namespace lumi
