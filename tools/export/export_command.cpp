// export: play a document off-screen as render does, frame by frame from
// time 0 at exactly 1/fps, mix its sound offline in step with the frames,
// and encode both into a video file.
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "archive/document_source.h"
#include "archive/input_error.h"
#include "backdrop/slide_player.h"
#include "platform/gl/gl_context.h"
#include "render/gl/gl_device.h"
#include "scene/document.h"
#include "scene/simulation.h"
#include "tools/command.h"
#include "tools/export/encoder/video_encoder.h"
#include "tools/export/encoding_thread.h"
#include "tools/export/offline_sound.h"
#include "tools/export/progress_line.h"
#include "tools/export/show_length.h"
#include "tools/number_lists.h"
#include "tools/picture_position.h"

namespace lumi::tool::export_command {
namespace {

const std::string kUsageText =
    "Usage: lumisave-tool export FILE -o OUT.mp4|OUT.webm|OUT.mkv [options]\n"
    "Play the document in FILE (a document, or a .scr that carries one) off-screen\n"
    "as the saver plays it, from time 0 at exactly 1/fps seconds a frame, with its\n"
    "slide sounds and background music mixed in step, and write it as a video:\n"
    "H.264 with AAC in .mp4 (plays in browsers and on phones) and .mkv, VP9 with\n"
    "Opus in .webm.\n\n"
    "  -o, --output OUT        the video file to write\n"
    "  --size WxH              the frame size in pixels, even (default 1280x720)\n"
    "  --fps N                 frames a second, 1 to 240 (default 30)\n"
    "  --seconds S             the length (default: one pass of the slide show,\n"
    "                          every slide's fade-in, showing and fade-out)\n"
    "  --slides [N]            one pass through the first N slides (default all)\n"
    "  --position fit|fill|stretch\n"
    "                          the picture position (default: the stored one)\n"
    "  --quality CRF           the encoder's constant rate factor, lower is better:\n"
    "                          0 to 51 for H.264 (default 23), 0 to 63 for VP9\n"
    "                          (default 32)\n"
    "  --no-sound              a video without a sound track\n\n"
    "Ctrl-C stops at the end of the second under way and leaves a file that\n"
    "plays; a second Ctrl-C stops at once.\n";

constexpr uint32_t kMaxFps = 240;
// Frames waiting for the encoder; each is width x height x 4 bytes.
constexpr size_t kQueuedFrames = 3;
constexpr int kInterruptedExit = 128 + SIGINT;

std::atomic<int> interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free, "counted in a signal handler");

extern "C" void OnInterrupt(int) { interrupts.fetch_add(1); }

// Catches Ctrl-C while it lives, unless the process was started ignoring it.
class InterruptCatcher {
 public:
  InterruptCatcher() {
    interrupts = 0;
    previous_ = std::signal(SIGINT, OnInterrupt);
    if (previous_ == SIG_IGN) std::signal(SIGINT, SIG_IGN);
  }
  ~InterruptCatcher() { std::signal(SIGINT, previous_ == SIG_ERR ? SIG_DFL : previous_); }
  InterruptCatcher(const InterruptCatcher&) = delete;
  InterruptCatcher& operator=(const InterruptCatcher&) = delete;

 private:
  void (*previous_)(int);
};

// "--slides" alone or with a count; its count leaves `raw`.
std::optional<size_t> TakeSlidesOption(std::vector<std::string>& raw) {
  for (auto it = raw.begin(); it != raw.end(); ++it) {
    if (*it != "--slides") continue;
    size_t count = SIZE_MAX;
    auto last = it + 1;
    if (last != raw.end() && !last->empty() && (*last)[0] != '-' &&
        last->find_first_not_of("0123456789") == std::string::npos) {
      count = WholeNumber(*last, "--slides");
      if (count == 0) throw UsageError{"--slides needs at least 1 slide"};
      ++last;
    }
    raw.erase(it, last);
    return count;
  }
  return std::nullopt;
}

// 4:2:0 colour halves both sides: odd ones lose a pixel.
uint32_t EvenSide(uint32_t side) { return side < 2 ? 2 : side & ~1u; }

// The first sample of frame `frame`'s sound.
uint64_t FirstSample(long long frame, uint32_t fps) {
  return static_cast<uint64_t>(frame) * OfflineSound::kRate / fps;
}

int Run(const std::vector<std::string>& given) {
  std::vector<std::string> raw = given;
  const std::optional<size_t> slides = TakeSlidesOption(raw);
  Arguments args(raw);
  const auto output = args.Option("-o", "--output");
  const PixelSize asked_size = ParsePixelSize(args.Option("--size").value_or("1280x720"), "--size");
  const uint32_t fps = WholeNumber(args.Option("--fps").value_or("30"), "--fps");
  const auto seconds_text = args.Option("--seconds");
  const std::optional<std::string> position_name = args.Option("--position");
  const auto quality_text = args.Option("--quality");
  const bool with_sound = !args.Flag("--no-sound");
  const auto files = args.Positional();
  if (files.size() != 1) throw UsageError{"expected one FILE"};
  if (!output) throw UsageError{"-o OUT.mp4, OUT.webm or OUT.mkv is required"};
  if (fps == 0 || fps > kMaxFps) throw UsageError{"--fps must be 1 to " + std::to_string(kMaxFps)};
  if (seconds_text && slides) throw UsageError{"give --seconds or --slides, not both"};
  std::optional<double> seconds;
  if (seconds_text) {
    seconds = ParseNumber(*seconds_text, "--seconds");
    if (!(*seconds > 0 && *seconds * fps <= kMaxSimulatedFrames)) {
      throw UsageError{"--seconds must be above 0 and at most " + std::to_string(kMaxSimulatedFrames / fps)};
    }
  }
  const std::filesystem::path out = *output;
  const std::optional<VideoFormat> format = VideoFormatOf(out);
  if (!format) throw UsageError{"the video's name must end in .mp4, .webm or .mkv, not '" + out.filename().string() + "'"};
  VideoSettings settings;
  settings.format = *format;
  settings.fps = fps;
  settings.sound = with_sound;
  settings.sample_rate = OfflineSound::kRate;
  if (quality_text) {
    const uint32_t quality = WholeNumber(*quality_text, "--quality");
    if (quality > static_cast<uint32_t>(HighestQuality(*format))) {
      throw UsageError{"--quality must be 0 to " + std::to_string(HighestQuality(*format)) + " for " +
                       VideoCodecsOf(*format)};
    }
    settings.quality = static_cast<int>(quality);
  }
  if (const std::string missing = MissingVideoSupport(*format, with_sound); !missing.empty()) {
    throw InputError("cannot write " + VideoCodecsOf(*format) + ": the installed FFmpeg libraries lack " + missing);
  }
  std::error_code ec;
  if (std::filesystem::exists(out, ec) && !std::filesystem::is_regular_file(out, ec)) {
    throw InputError(out.string() + " exists and is not a file to write a video into");
  }
  settings.width = EvenSide(asked_size.width);
  settings.height = EvenSide(asked_size.height);
  if (settings.width != asked_size.width || settings.height != asked_size.height) {
    std::fprintf(stderr, "lumisave-tool export: %ux%u is rounded to %ux%u: the video's colour needs even sides\n",
                 asked_size.width, asked_size.height, settings.width, settings.height);
  }

  const PlacementMode position = ChosenPicturePosition(position_name, "export");
  Document document = LoadDocument(ReadDocumentFile(files[0]));
  if (document.show->slides.empty()) throw InputError("the document has no slides to play");
  const double length = seconds ? *seconds : OnePassSeconds(*document.show, slides.value_or(SIZE_MAX));
  if (!(length > 0)) throw InputError("the document's slides show for no time at all; --seconds gives a length");
  const double frame_count = std::max(1.0, std::round(length * fps));
  if (frame_count > kMaxSimulatedFrames) {
    throw InputError("one pass of the show takes " + std::to_string(length) + " s, too long; --seconds gives a length");
  }
  const auto frames = static_cast<long long>(frame_count);

  std::string error;
  const std::unique_ptr<GlContext> context = CreateHeadlessGlContext(error);
  if (!context) throw InputError("cannot draw without OpenGL: " + error);
  auto device = CreateGlDevice(*context, settings.width, settings.height, error);
  if (!device) throw InputError("cannot create the graphics device: " + error);
  // The sound device first: the slides' sound objects find it as they are prepared.
  std::optional<OfflineSound> sound;
  if (with_sound) sound.emplace();
  SlidePlayer player(*device, document, position);
  if (sound) sound->Start(*document.show);

  // Caught from before the file is made, so that a Ctrl-C never leaves one
  // without its index.
  const InterruptCatcher catcher;
  std::unique_ptr<VideoEncoder> encoder = VideoEncoder::Create(out, settings, error);
  if (!encoder) throw InputError(error);
  EncodingThread encoding(std::move(encoder), kQueuedFrames);
  ProgressLine progress(static_cast<size_t>(frames));
  const auto started = std::chrono::steady_clock::now();

  // Frame k is read back into slot k % 2 while frame k + 1 draws, and then
  // goes to the encoder with the sound that plays during it.
  std::vector<float> sound_in_flight;
  const auto hand_over = [&](long long frame) {
    std::optional<RgbaImage> image = device->FinishReadback(static_cast<uint32_t>(frame % 2), encoding.TakeSpare());
    if (!image) throw InputError("frame " + std::to_string(frame) + " could not be read back: " + device->LastError());
    return encoding.Push(std::move(*image), std::move(sound_in_flight));
  };
  long long drawn = 0;
  bool encoder_failed = false;
  for (; drawn < frames && !encoder_failed; ++drawn) {
    const int asked_to_stop = interrupts.load();
    if (asked_to_stop >= 2 || (asked_to_stop == 1 && drawn % fps == 0)) break;
    player.Move(static_cast<double>(drawn) / fps);
    if (!player.Draw(error)) throw InputError("frame " + std::to_string(drawn) + ": " + error);
    if (!device->StartReadback(*device->GetBackBuffer(), static_cast<uint32_t>(drawn % 2))) {
      throw InputError("frame " + std::to_string(drawn) + " could not be read back: " + device->LastError());
    }
    std::vector<float> sound_now;
    if (sound) {
      sound_now.resize(2 * (FirstSample(drawn + 1, fps) - FirstSample(drawn, fps)));
      sound->Mix(sound_now.data(), sound_now.size() / 2);
    }
    if (drawn > 0) encoder_failed = !hand_over(drawn - 1);
    sound_in_flight = std::move(sound_now);
    progress.Update(static_cast<size_t>(drawn));
  }
  if (drawn > 0 && !encoder_failed) hand_over(drawn - 1);
  progress.Update(static_cast<size_t>(drawn));
  progress.End();
  if (drawn == 0) throw InputError("stopped by Ctrl-C before the first frame; nothing was written");
  if (!encoding.Finish(error)) throw InputError(error);

  const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const bool interrupted = drawn < frames;
  std::fprintf(stderr, "%s %s: %lld frames at %ux%u, %u a second (%.3f s), %s%s; %.1f frames a second on %s\n",
               interrupted ? "stopped by Ctrl-C, wrote" : "wrote", out.string().c_str(), drawn, settings.width,
               settings.height, fps, static_cast<double>(drawn) / fps, VideoCodecsOf(*format).c_str(),
               with_sound ? "" : " without sound", drawn / std::max(spent, 1e-9), device->RendererName().c_str());
  return interrupted ? kInterruptedExit : kSuccess;
}

const RegisterCommand kRegister({"export", "play a document off-screen and write it as a video file", kUsageText, Run});

}  // namespace
}  // namespace lumi::tool::export_command
