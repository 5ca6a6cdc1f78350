#include "platform/windows/sound/directshow_graph.h"

// clang-format off
#include "platform/windows_api.h"
#include <dshow.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <vector>

#include "sound/decibels.h"
#include "sound/mixer.h"
#include "sound/scene_sound.h"

namespace lumi {
namespace {

constexpr double kUnitsPerSecond = 1e7;  // DirectShow's media time
constexpr int32_t kNotApplied = 1;       // no attenuation is positive

std::string Failure(const std::filesystem::path& path, const char* call, HRESULT result) {
  char code[32];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
  return path.string() + ": DirectShow cannot play it (" + call + " failed, " + code + ")";
}

template <typename Interface>
void Release(Interface*& pointer) {
  if (pointer != nullptr) pointer->Release();
  pointer = nullptr;
}

class DirectShowGraph final : public MediaGraph {
 public:
  // A sound object's graph plays under the master and reads its own events:
  // nobody else does.
  DirectShowGraph(std::shared_ptr<Mixer> mixer, bool under_master)
      : mixer_(std::move(mixer)), under_master_(under_master), owns_events_(under_master) {}

  ~DirectShowGraph() override {
    if (control_ != nullptr) control_->Stop();
    Release(source_);
    Release(audio_);
    Release(events_);
    Release(seeking_);
    Release(control_);
    Release(builder_);
    // Wine's COM, for one, crashes at exit when a graph outlives it.
    if (com_started_) CoUninitialize();
  }
  DirectShowGraph(const DirectShowGraph&) = delete;
  DirectShowGraph& operator=(const DirectShowGraph&) = delete;

  // The graph manager and its interfaces; false when any is missing.
  bool Create(std::optional<PlatformWindow> music_window) {
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    com_started_ = SUCCEEDED(started);
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&builder_))) ||
        FAILED(builder_->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control_))) ||
        FAILED(builder_->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking_))) ||
        FAILED(builder_->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&events_))) ||
        FAILED(builder_->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&audio_)))) {
      return false;
    }
    if (music_window) events_->SetNotifyWindow(static_cast<OAHWND>(*music_window), kMessageMediaEvent, 0);
    return true;
  }

  bool Open(const std::filesystem::path& path, std::string& error) override {
    Stop();
    has_file_ = false;
    RemoveSource();
    HRESULT result = builder_->AddSourceFilter(path.c_str(), path.c_str(), &source_);
    if (FAILED(result) || !RenderSource(path, error)) {
      RemoveSource();
      result = builder_->RenderFile(path.c_str(), nullptr);
      if (FAILED(result)) {
        error = Failure(path, "RenderFile", result);
        return false;
      }
    }
    has_file_ = true;
    Rewind();
    // The renderer is new: it takes the volume and balance again.
    applied_volume_ = kNotApplied;
    ApplyVolume();
    audio_->put_Balance(balance_);
    return true;
  }

  void RestartFile() override {
    if (!has_file_) return;
    // An end the last run left unread must not end this one.
    if (owns_events_) DrainEvents();
    Rewind();
    control_->Run();
    playing_ = true;
  }

  void Stop() override {
    control_->Stop();
    playing_ = false;
  }

  // Playing from a restart until its end is seen. The graph's own state
  // lags a restart (it passes through paused), so it is not asked.
  bool Running() override {
    ApplyVolume();
    if (!playing_) return false;
    if (owns_events_) {
      if (DrainEvents()) playing_ = false;
    } else {
      // The music's events are the host's: its end shows in its position.
      OAFilterState state = State_Stopped;
      LONGLONG current = 0, stop = 0;
      if (control_->GetState(0, &state) == S_OK && state == State_Running &&
          SUCCEEDED(seeking_->GetPositions(&current, &stop)) && current >= stop) {
        playing_ = false;
      }
    }
    return playing_;
  }

  bool HasFile() const override { return has_file_; }

  void SetVolume(int32_t hundredths) override {
    volume_ = std::clamp(hundredths, kSilentHundredths, 0);
    ApplyVolume();
  }

  void SetBalance(int32_t hundredths) override {
    balance_ = std::clamp(hundredths, -10000, 10000);
    audio_->put_Balance(balance_);
  }

  int32_t Volume() const override { return volume_; }

  double DurationSeconds() const override {
    LONGLONG duration = 0;
    return has_file_ && SUCCEEDED(seeking_->GetDuration(&duration)) ? duration / kUnitsPerSecond : 0.0;
  }

  double PositionSeconds() const override {
    LONGLONG position = 0;
    return has_file_ && SUCCEEDED(seeking_->GetCurrentPosition(&position)) ? position / kUnitsPerSecond : 0.0;
  }

  long GetEvent() override {
    long code = 0;
    LONG_PTR first = 0, second = 0;
    if (FAILED(events_->GetEvent(&code, &first, &second, 0))) return -1;
    events_->FreeEventParams(code, first, second);
    return code;
  }

 private:
  // Renders the source's "Output" pin. Every filter leaves the graph and
  // comes back first, disconnected, so that the decoder and renderer of the
  // last file serve this one rather than a second chain beside them.
  bool RenderSource(const std::filesystem::path& path, std::string& error) {
    IPin* pin = nullptr;
    HRESULT result = source_->FindPin(L"Output", &pin);
    if (FAILED(result)) {
      error = Failure(path, "FindPin", result);
      return false;
    }
    for (IBaseFilter* filter : Filters()) {
      builder_->RemoveFilter(filter);
      builder_->AddFilter(filter, nullptr);
      filter->Release();
    }
    result = builder_->Render(pin);
    pin->Release();
    if (FAILED(result)) error = Failure(path, "Render", result);
    return SUCCEEDED(result);
  }

  // Takes every pending event; whether one was the end of the file.
  bool DrainEvents() {
    bool completed = false;
    for (long code; (code = GetEvent()) != -1;) completed = completed || code == kGraphEventComplete;
    return completed;
  }

  std::vector<IBaseFilter*> Filters() {
    std::vector<IBaseFilter*> filters;
    IEnumFilters* list = nullptr;
    if (FAILED(builder_->EnumFilters(&list))) return filters;
    for (IBaseFilter* filter = nullptr; list->Next(1, &filter, nullptr) == S_OK;) filters.push_back(filter);
    list->Release();
    return filters;
  }

  // The last file's source leaves the graph, which lets go of that file.
  void RemoveSource() {
    if (source_ == nullptr) return;
    builder_->RemoveFilter(source_);
    Release(source_);
  }

  void Rewind() {
    LONGLONG start = 0;
    seeking_->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
  }

  // The renderer's own volume, under the master for a sound object's graph:
  // the master may change at a scene load or a device reset.
  void ApplyVolume() {
    const int32_t wanted =
        under_master_ ? UnderMaster(volume_, mixer_->MasterVolume(), mixer_->MasterPlaying()) : volume_;
    if (wanted != applied_volume_ && has_file_ && SUCCEEDED(audio_->put_Volume(wanted))) applied_volume_ = wanted;
  }

  const std::shared_ptr<Mixer> mixer_;
  const bool under_master_;
  const bool owns_events_;
  bool com_started_ = false;
  IGraphBuilder* builder_ = nullptr;
  IMediaControl* control_ = nullptr;
  IMediaSeeking* seeking_ = nullptr;
  IMediaEventEx* events_ = nullptr;
  IBasicAudio* audio_ = nullptr;
  IBaseFilter* source_ = nullptr;  // the current file's, when it was added as a source
  bool has_file_ = false;
  bool playing_ = false;
  int32_t volume_ = 0, balance_ = 0;
  int32_t applied_volume_ = kNotApplied;
};

}  // namespace

MediaGraphMaker DirectShowGraphs() {
  return [](const std::shared_ptr<Mixer>& mixer,
            std::optional<PlatformWindow> music_window) -> std::unique_ptr<MediaGraph> {
    auto graph = std::make_unique<DirectShowGraph>(mixer, !music_window.has_value());
    if (!graph->Create(music_window)) return nullptr;
    return graph;
  };
}

}  // namespace lumi
