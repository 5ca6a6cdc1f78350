#include "platform/windows/sound/directsound_output.h"

// clang-format off
#include "platform/windows_api.h"
#include <mmreg.h>
#include <dsound.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "sound/mixer.h"
#include "sound/pcm16.h"

namespace lumi {
namespace {

constexpr uint32_t kRate = Mixer::kDefaultRate;
constexpr uint32_t kFrameBytes = 2 * sizeof(int16_t);
// A tenth of a second ahead of the play cursor, refilled every 10 ms.
constexpr uint32_t kBufferFrames = kRate / 10;
constexpr uint32_t kBufferBytes = kBufferFrames * kFrameBytes;
constexpr std::chrono::milliseconds kPollPeriod{10};

std::string Failure(const char* call, HRESULT result) {
  char text[64];
  std::snprintf(text, sizeof text, "%s failed, 0x%08lX", call, static_cast<unsigned long>(result));
  return text;
}

class DirectSoundOutput final : public AudioOutput {
 public:
  DirectSoundOutput(IDirectSound8* device, std::function<void(const std::string&)> report)
      : device_(device), report_(std::move(report)) {}

  ~DirectSoundOutput() override {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (buffer_ != nullptr) {
      buffer_->Stop();
      buffer_->Release();
    }
    if (device_ != nullptr) device_->Release();
  }
  DirectSoundOutput(const DirectSoundOutput&) = delete;
  DirectSoundOutput& operator=(const DirectSoundOutput&) = delete;

  uint32_t rate() const override { return kRate; }

  void Start(Render render, PlatformWindow main_window) override {
    render_ = std::move(render);
    if (device_ != nullptr) {
      std::string error;
      if (!MakeBuffer(reinterpret_cast<HWND>(main_window), error)) {
        if (report_) report_("No sound device (" + error + "): sounds play silently.");
        if (buffer_ != nullptr) buffer_->Release();
        buffer_ = nullptr;
        device_->Release();
        device_ = nullptr;
      }
    }
    thread_ = std::thread([this] { Stream(); });
  }

 private:
  // The cooperative level on the main window, then the streaming buffer,
  // silent and playing.
  bool MakeBuffer(HWND window, std::string& error) {
    HRESULT result = device_->SetCooperativeLevel(window, DSSCL_NORMAL);
    if (FAILED(result)) {
      error = Failure("SetCooperativeLevel", result);
      return false;
    }
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = kRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = kFrameBytes;
    format.nAvgBytesPerSec = kRate * kFrameBytes;
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_STICKYFOCUS;
    description.dwBufferBytes = kBufferBytes;
    description.lpwfxFormat = &format;
    result = device_->CreateSoundBuffer(&description, &buffer_, nullptr);
    if (FAILED(result)) {
      buffer_ = nullptr;
      error = Failure("CreateSoundBuffer", result);
      return false;
    }
    std::vector<int16_t> silence(kBufferFrames * 2, 0);
    if (!Write(0, silence.data(), kBufferFrames)) {
      error = "the sound buffer could not be filled";
      return false;
    }
    result = buffer_->Play(0, 0, DSBPLAY_LOOPING);
    if (FAILED(result)) {
      error = Failure("IDirectSoundBuffer::Play", result);
      return false;
    }
    return true;
  }

  // Copies `frames` frames into the buffer from byte `at`, wrapping round.
  bool Write(uint32_t at, const int16_t* pcm, uint32_t frames) {
    void* first = nullptr;
    void* second = nullptr;
    DWORD first_bytes = 0, second_bytes = 0;
    const DWORD bytes = frames * kFrameBytes;
    HRESULT result = buffer_->Lock(at, bytes, &first, &first_bytes, &second, &second_bytes, 0);
    if (result == DSERR_BUFFERLOST && SUCCEEDED(buffer_->Restore())) {
      result = buffer_->Lock(at, bytes, &first, &first_bytes, &second, &second_bytes, 0);
    }
    if (FAILED(result)) return false;
    const auto* source = reinterpret_cast<const uint8_t*>(pcm);
    std::copy(source, source + first_bytes, static_cast<uint8_t*>(first));
    if (second != nullptr) {
      std::copy(source + first_bytes, source + first_bytes + second_bytes, static_cast<uint8_t*>(second));
    }
    buffer_->Unlock(first, first_bytes, second, second_bytes);
    return true;
  }

  // Frames the output has consumed since the last call: what the play
  // cursor has passed, or what the clock says without a device.
  uint32_t FramesDue(std::chrono::steady_clock::time_point started, uint64_t& clock_frames) {
    if (buffer_ != nullptr) {
      DWORD play = 0;
      if (FAILED(buffer_->GetCurrentPosition(&play, nullptr))) return 0;
      return ((play + kBufferBytes - write_at_) % kBufferBytes) / kFrameBytes;
    }
    const auto elapsed = std::chrono::steady_clock::now() - started;
    const uint64_t total = static_cast<uint64_t>(std::chrono::duration<double>(elapsed).count() * kRate);
    const uint64_t due = std::min<uint64_t>(total - clock_frames, kBufferFrames);
    clock_frames = total;
    return static_cast<uint32_t>(due);
  }

  void Stream() {
    std::vector<float> mix(kBufferFrames * 2);
    std::vector<int16_t> pcm(kBufferFrames * 2);
    const auto started = std::chrono::steady_clock::now();
    uint64_t clock_frames = 0;
    while (!stopping_) {
      const uint32_t frames = FramesDue(started, clock_frames);
      if (frames > 0) {
        render_(mix.data(), frames);
        if (buffer_ != nullptr) {
          FloatToPcm16(mix.data(), pcm.data(), size_t{frames} * 2);
          if (Write(write_at_, pcm.data(), frames)) write_at_ = (write_at_ + frames * kFrameBytes) % kBufferBytes;
        }
      }
      std::this_thread::sleep_for(kPollPeriod);
    }
  }

  IDirectSound8* device_;
  const std::function<void(const std::string&)> report_;
  IDirectSoundBuffer* buffer_ = nullptr;
  Render render_;
  uint32_t write_at_ = 0;  // the byte the next frames go to
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace

std::unique_ptr<AudioOutput> OpenDirectSoundOutput(std::function<void(const std::string&)> report) {
  IDirectSound8* device = nullptr;
  const HRESULT result = DirectSoundCreate8(nullptr, &device, nullptr);
  if (FAILED(result)) {
    if (report) report("No sound device (" + Failure("DirectSoundCreate8", result) + "): sounds play silently.");
    device = nullptr;
  }
  return std::make_unique<DirectSoundOutput>(device, std::move(report));
}

}  // namespace lumi
