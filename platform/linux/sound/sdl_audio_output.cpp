#include "platform/linux/sound/sdl_audio_output.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "sound/mixer.h"

namespace lumi {
namespace {

class SdlAudioOutput final : public AudioOutput {
 public:
  ~SdlAudioOutput() override {
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    if (driver_started_) SDL_AudioQuit();
    if (subsystem_started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  // Opens a device with the current driver; false with SDL's reason.
  bool OpenDevice(std::string& error) {
    SDL_AudioSpec want{}, have{};
    want.freq = static_cast<int>(Mixer::kDefaultRate);
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &SdlAudioOutput::Callback;
    want.userdata = this;
    // SDL converts whatever the device wants; our callback keeps its format.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) error = SDL_GetError();
    return device_ != 0;
  }

  uint32_t rate() const override { return Mixer::kDefaultRate; }

  void Start(Render render, PlatformWindow /*main_window*/) override {
    SDL_LockAudioDevice(device_);
    render_ = std::move(render);
    SDL_UnlockAudioDevice(device_);
    SDL_PauseAudioDevice(device_, 0);
  }

  static void Callback(void* self, Uint8* stream, int length) {
    auto& output = *static_cast<SdlAudioOutput*>(self);
    const size_t frames = static_cast<size_t>(length) / (2 * sizeof(float));
    if (output.render_) {
      output.render_(reinterpret_cast<float*>(stream), frames);
    } else {
      std::memset(stream, 0, static_cast<size_t>(length));
    }
  }

  SDL_AudioDeviceID device_ = 0;
  bool subsystem_started_ = false;
  bool driver_started_ = false;
  Render render_;
};

// Whether anything could play our sound: a sound server's socket or an ALSA
// playback device. Without one, SDL's attempts at ALSA only fill standard
// error with the library's own complaints.
bool SoundOutputLikely() {
  if (std::getenv("SDL_AUDIODRIVER") != nullptr || std::getenv("PULSE_SERVER") != nullptr) return true;
  std::error_code ec;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
    const std::filesystem::path folder(runtime);
    if (std::filesystem::exists(folder / "pulse" / "native", ec) || std::filesystem::exists(folder / "pipewire-0", ec)) {
      return true;
    }
  }
  for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("pcmC") && name.ends_with("p")) return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<AudioOutput> OpenSdlAudioOutput(std::string& message) {
  auto output = std::make_unique<SdlAudioOutput>();
  if (!SoundOutputLikely()) {
    output->driver_started_ = SDL_AudioInit("dummy") == 0;
    std::string error = output->driver_started_ ? "" : SDL_GetError();
    if (output->driver_started_ && output->OpenDevice(error)) {
      message = "No sound card: sounds play silently.";
      return output;
    }
    message = "No sound card, and SDL's silent driver failed (" + error + ").";
    return nullptr;
  }
  std::string error = "no audio driver";
  output->subsystem_started_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  if (!output->subsystem_started_) error = SDL_GetError();
  if (output->subsystem_started_ && output->OpenDevice(error)) return output;
  if (output->subsystem_started_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    output->subsystem_started_ = false;
  }
  output->driver_started_ = SDL_AudioInit("dummy") == 0;
  std::string dummy_error = output->driver_started_ ? "" : SDL_GetError();
  if (output->driver_started_ && output->OpenDevice(dummy_error)) {
    message = "No sound device (" + error + "): sounds play silently.";
    return output;
  }
  message = "No sound device (" + error + "), and SDL's silent driver failed too (" + dummy_error + ").";
  return nullptr;
}

}  // namespace lumi
