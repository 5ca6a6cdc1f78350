// render: play a document off-screen as the saver plays it and save frames
// as PNG files: one frame, frames at chosen times, or a contact sheet.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "archive/document_source.h"
#include "archive/input_error.h"
#include "backdrop/light_2d.h"
#include "backdrop/slide_player.h"
#include "platform/gl/gl_context.h"
#include "render/frame_capture.h"
#include "render/gl/gl_device.h"
#include "scene/document.h"
#include "scene/simulation.h"
#include "tools/command.h"
#include "tools/clock_option.h"
#include "tools/contact_sheet.h"
#include "tools/number_lists.h"
#include "tools/picture_position.h"

namespace lumi::tool::render_command {
namespace {

const std::string kUsageText =
    "Usage: lumisave-tool render FILE -o OUT.png [options]\n"
    "       lumisave-tool render FILE --times T1,T2,... [--out-dir DIR] [--contact-sheet FILE.png] [options]\n"
    "Play the document in FILE (a document, or a .scr that carries one) off-screen\n"
    "as the saver plays it, frame by frame from time 0 at a fixed step, and save\n"
    "frames as PNG files. The frame saved for a time T is the last frame not later\n"
    "than T, the one `simulate --times T` reports.\n\n"
    "  -o, --output OUT.png    save the last frame drawn\n"
    "  --times T1,T2,...       the times to save, in seconds, ascending\n"
    "  --out-dir DIR           one PNG per time in DIR, named so they sort by time\n"
    "  --contact-sheet FILE    the frames at the times side by side in one PNG\n"
    "  --step S                seconds between frames (default 1/60)\n"
    "  --size WxH              the screen size in pixels (default 640x400)\n"
    "  --position fit|fill|stretch\n"
    "                          the picture position (default: the stored one,\n"
    "                          as the saver reads it; standard error says which)\n"
    "  --quality automatic|best|fastest\n"
    "                          how finely effects draw (default automatic, as the\n"
    "                          saver's screen setting)\n"
    "  --slide N               start the show at slide N, from 0 (default 0)\n"
    "  --frames N              without --times: frames to draw before saving\n"
    "                          (default 1)\n"
    "  --lose-device-every N   lose the graphics device every N frames and restore\n"
    "                          it, as a screen saver sees after a display change\n"
    "  --draw-every-frame      with --times, draw every frame, not only the saved\n"
    "                          ones, for scenes that move on with each frame drawn\n" +
    std::string(kLocalTimeUsage);

// "t000012.500.png": fixed width, so names sort by time.
std::string FrameFileName(double time) {
  char name[64];
  std::snprintf(name, sizeof name, "t%010.3f.png", time);
  return name;
}

// Slides whose picture the resources could not supply play black.
void WarnAboutMissingPictures(const DS_SlideShow_Light& show) {
  for (size_t i = 0; i < show.slides.size(); ++i) {
    const auto* backdrop = dynamic_cast<const DS_2D_Light*>(show.slides[i]->backdrop.get());
    if (backdrop != nullptr && (backdrop->PictureWidth() == 0 || backdrop->PictureHeight() == 0)) {
      std::fprintf(stderr, "warning: slide %zu: the document's resources do not supply its picture; it renders black\n",
                   i);
    }
  }
}

int Run(const std::vector<std::string>& raw) {
  Arguments args(raw);
  const auto output = args.Option("-o", "--output");
  const auto times_text = args.Option("--times");
  const auto out_dir = args.Option("--out-dir");
  const auto sheet = args.Option("--contact-sheet");
  const auto step_text = args.Option("--step");
  const PixelSize size = ParsePixelSize(args.Option("--size").value_or("640x400"), "--size");
  const std::optional<std::string> position_name = args.Option("--position");
  const RenderQuality quality = ChosenQuality(args.Option("--quality"));
  const uint32_t slide_index = WholeNumber(args.Option("--slide").value_or("0"), "--slide");
  const uint32_t frames = WholeNumber(args.Option("--frames").value_or("1"), "--frames");
  const uint32_t lose_every = WholeNumber(args.Option("--lose-device-every").value_or("0"), "--lose-device-every");
  const bool every_frame_asked = args.Flag("--draw-every-frame");
  ApplyLocalTimeOption(args.Option("--local-time"));
  const auto files = args.Positional();
  if (files.size() != 1) throw UsageError{"expected one FILE"};
  if (!output && !times_text) throw UsageError{"-o OUT.png or --times is required"};
  if (times_text && !out_dir && !sheet && !output) throw UsageError{"--times needs --out-dir, --contact-sheet or -o"};
  if ((out_dir || sheet) && !times_text) throw UsageError{"--out-dir and --contact-sheet need --times"};
  const uint32_t width = size.width, height = size.height;
  if (frames == 0) throw UsageError{"--frames must be at least 1"};
  const double step = step_text ? ParseNumber(*step_text, "--step") : 1.0 / 60.0;
  // Without times, the frames asked for are all drawn and the last is saved.
  const bool draw_every_frame = !times_text || every_frame_asked;
  std::vector<double> times = times_text ? ParseNumberList(*times_text, "--times entry")
                                         : std::vector<double>{static_cast<double>(frames - 1) * step};
  std::optional<FrameSchedule> schedule;
  try {
    schedule.emplace(std::move(times), step);
  } catch (const std::invalid_argument& e) {
    throw UsageError{e.what()};
  }

  const PlacementMode position = ChosenPicturePosition(position_name, "render");
  Document document = LoadDocument(ReadDocumentFile(files[0]));
  if (slide_index >= document.show->slides.size()) {
    throw InputError("the document has " + std::to_string(document.show->slides.size()) + " slides; there is no slide " +
                     std::to_string(slide_index));
  }

  std::string error;
  const std::unique_ptr<GlContext> context = CreateHeadlessGlContext(error);
  if (!context) throw InputError("cannot draw without OpenGL: " + error);
  auto device = CreateGlDevice(*context, width, height, error);
  if (!device) throw InputError("cannot create the graphics device: " + error);
  device->SetQuality(quality);

  SlidePlayer player(*device, document, position, slide_index);
  WarnAboutMissingPictures(*document.show);
  if (out_dir) std::filesystem::create_directories(*out_dir);

  std::vector<RgbaImage> saved;
  RgbaImage last;
  bool drawn_this_frame = false;
  schedule->Run(
      [&](long long number, double time) {
        if (lose_every > 0 && number > 0 && number % lose_every == 0 && !player.LoseAndRestore(error)) {
          throw InputError("frame " + std::to_string(number) + ": " + error);
        }
        player.Move(time);
        drawn_this_frame = false;
        if (draw_every_frame) {
          if (!player.Draw(error)) throw InputError("frame " + std::to_string(number) + ": " + error);
          drawn_this_frame = true;
        }
      },
      [&](size_t index, double) {
        if (!drawn_this_frame && !player.Draw(error)) throw InputError("drawing failed: " + error);
        drawn_this_frame = true;
        auto image = device->ReadPixels(*device->GetBackBuffer());
        if (!image) throw InputError("reading the frame back failed: " + device->LastError());
        MakeOpaque(*image);
        if (out_dir) {
          const std::string path = (std::filesystem::path(*out_dir) / FrameFileName(schedule->Times()[index])).string();
          if (!WritePng(*image, path, error)) throw InputError(error);
        }
        if (sheet) saved.push_back(*image);
        last = std::move(*image);
      });
  if (output && !WritePng(last, *output, error)) throw InputError(error);
  if (sheet && !WritePng(MakeContactSheet(saved), *sheet, error)) throw InputError(error);
  std::fprintf(stderr, "%zu frame(s) at %ux%u from slide %u, %s\n", schedule->Times().size(), width, height,
               slide_index, device->RendererName().c_str());
  return kSuccess;
}

const RegisterCommand kRegister({"render", "play a document off-screen and save frames as PNG", kUsageText, Run});

}  // namespace
}  // namespace lumi::tool::render_command
