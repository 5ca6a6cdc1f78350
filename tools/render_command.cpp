// render: draw a slide's picture off-screen, placed as the saver places it,
// and save the frame as a PNG.
#include <charconv>
#include <cstdio>
#include <cstring>

#include "archive/document_source.h"
#include "archive/input_error.h"
#include "archive/utf.h"
#include "backdrop/light_2d.h"
#include "platform/gl/gl_context.h"
#include "render/frame_capture.h"
#include "render/gl_device.h"
#include "render/picture_loader.h"
#include "render/scene_view.h"
#include "scene/document.h"
#include "tools/command.h"

namespace lumi::tool {
namespace {

constexpr char kUsageText[] =
    "Usage: lumisave-tool render FILE -o OUT.png [options]\n"
    "Draw a slide of the document in FILE (a document, or a .scr that carries one)\n"
    "off-screen and save the frame as a PNG. The slide picture is placed as the\n"
    "saver places it on a screen of the given size, with black bars where it does\n"
    "not cover the screen.\n\n"
    "  --size WxH              the screen size in pixels (default 640x400)\n"
    "  --position fit|fill|stretch\n"
    "                          the user's picture position (default fit)\n"
    "  --slide N               the slide to draw, from 0 (default 0)\n"
    "  --frames N              frames to draw before saving (default 1)\n"
    "  --lose-device-every N   lose the graphics device every N frames and restore\n"
    "                          it, as a screen saver sees after a display change\n";

uint32_t Number(const std::string& text, const char* what) {
  uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) throw UsageError{std::string(what) + ": not a number: " + text};
  return value;
}

PlacementMode Position(const std::string& name) {
  if (name == "fit") return PlacementMode::Fit;
  if (name == "fill") return PlacementMode::Fill;
  if (name == "stretch") return PlacementMode::Stretch;
  throw UsageError{"--position must be fit, fill or stretch, not " + name};
}

// The bytes the document carries for a picture link.
std::span<const uint8_t> PictureBytes(const DS_DocResManager& resources, const ResourceKey& key) {
  for (const ResourceFrames& entry : resources.pictures) {
    if (entry.key == key && !entry.frames.empty() && !entry.frames[0].blob.bytes.empty()) return entry.frames[0].blob.bytes;
  }
  throw InputError("the document does not carry the slide picture " + ToUtf8(key.name) + " (" +
                   std::to_string(key.number) + ")");
}

int Run(const std::vector<std::string>& raw) {
  Arguments args(raw);
  const auto output = args.Option("-o", "--output");
  const std::string size = args.Option("--size").value_or("640x400");
  const PlacementMode position = Position(args.Option("--position").value_or("fit"));
  const uint32_t slide_index = Number(args.Option("--slide").value_or("0"), "--slide");
  CaptureOptions capture;
  capture.frames = Number(args.Option("--frames").value_or("1"), "--frames");
  capture.loseDeviceEvery = Number(args.Option("--lose-device-every").value_or("0"), "--lose-device-every");
  const auto files = args.Positional();
  if (files.size() != 1) throw UsageError{"expected one FILE"};
  if (!output) throw UsageError{"-o OUT.png is required"};
  const size_t cross = size.find('x');
  if (cross == std::string::npos) throw UsageError{"--size must look like 640x400"};
  const uint32_t width = Number(size.substr(0, cross), "--size");
  const uint32_t height = Number(size.substr(cross + 1), "--size");
  if (width == 0 || height == 0 || width > 16384 || height > 16384) throw UsageError{"--size must be 1 to 16384 each way"};
  if (capture.frames == 0) throw UsageError{"--frames must be at least 1"};

  Document document = LoadDocument(ReadDocumentFile(files[0]));
  if (slide_index >= document.show->slides.size()) {
    throw InputError("the document has " + std::to_string(document.show->slides.size()) + " slides; there is no slide " +
                     std::to_string(slide_index));
  }
  const auto* backdrop = dynamic_cast<const DS_2D_Light*>(document.show->slides[slide_index]->backdrop.get());
  if (backdrop == nullptr) throw InputError("slide " + std::to_string(slide_index) + " has no picture backdrop");
  const std::span<const uint8_t> bytes = PictureBytes(*document.resources, backdrop->picture.key);

  std::string error;
  // Kept until the process ends: tearing the context down unloads the
  // driver, whose own allocations would then show up as leaks.
  static GlContext* context = CreateHeadlessGlContext(error).release();
  if (context == nullptr) throw InputError("cannot draw without OpenGL: " + error);
  auto device = CreateGlDevice(*context, width, height, error);
  if (!device) throw InputError("cannot create the graphics device: " + error);

  std::string message;
  const LoadedPicture picture = LoadPicture(*device, bytes, {}, message);
  if (picture.Empty()) throw InputError("the slide picture does not decode: " + message);

  // The picture quad lives in picture pixels, y downwards; the view places it.
  const float pw = static_cast<float>(picture.width), ph = static_cast<float>(picture.height);
  const VertexPT strip[4] = {{0, ph, 0, 0, 1}, {0, 0, 0, 0, 0}, {pw, ph, 0, 1, 1}, {pw, 0, 0, 1, 0}};
  const auto quad = device->CreateVertexBuffer(sizeof strip, kBufferWriteOnly, Pool::Managed);
  std::memcpy(quad->Lock(0, 0), strip, sizeof strip);
  quad->Unlock();

  SceneView view;
  FrameCallbacks callbacks;
  callbacks.draw = [&](uint32_t) {
    view.Place(*device, TargetQuad::FromRect(0, 0, static_cast<float>(width), static_cast<float>(height)), pw, ph,
               position);
    device->Clear(kClearTarget | kClearZBuffer, 0xff000000, 1, 0);
    device->SetRenderState(RenderState::ZEnable, 0);
    device->SetSamplerState(0, SamplerState::MinFilter, static_cast<uint32_t>(TextureFilter::Linear));
    device->SetSamplerState(0, SamplerState::MagFilter, static_cast<uint32_t>(TextureFilter::Linear));
    device->SetTransform(TransformKind::World, view.WorldTransform(Matrix{}));
    device->SetTransform(TransformKind::View, view.View());
    device->SetTransform(TransformKind::Projection, view.Projection());
    device->SetTexture(0, picture.frames[0]);
    device->SetVertexFormat(VertexFormat::PT);
    device->SetStreamSource(quad);
    device->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
    view.DrawBorderBars(*device);
  };
  // The picture and its quad are managed and survive a lost device.
  callbacks.lose = [] {};
  callbacks.restore = [] {};
  const auto image = RenderFrames(*device, capture, callbacks, error);
  if (!image) throw InputError("drawing failed: " + error);
  if (!WritePng(*image, *output, error)) throw InputError(error);
  std::fprintf(stderr, "%s: %ux%u, slide %u, %s\n", output->c_str(), width, height, slide_index,
               device->RendererName().c_str());
  return kSuccess;
}

const RegisterCommand kRegister({"render", "draw a slide to a PNG", kUsageText, Run});

}  // namespace
}  // namespace lumi::tool
