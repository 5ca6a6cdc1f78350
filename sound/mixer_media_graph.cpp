#include "sound/mixer_media_graph.h"

#include "sound/decibels.h"

namespace lumi {
namespace {

constexpr size_t kDecodeFrames = 1024;

}  // namespace

MixerMediaGraph::MixerMediaGraph(std::shared_ptr<Mixer> mixer, TrackOpener open, std::function<void()> notify,
                       bool under_master)
    : mixer_(std::move(mixer)), open_(std::move(open)), notify_(std::move(notify)), under_master_(under_master) {
  mixer_->Add(this);
}

MixerMediaGraph::~MixerMediaGraph() { mixer_->Remove(this); }

bool MixerMediaGraph::Open(const std::filesystem::path& path, std::string& error) {
  std::unique_ptr<TrackDecoder> decoder = OpenTrack(path, open_, error);
  const auto lock = mixer_->Lock();
  decoder_ = std::move(decoder);
  events_.clear();
  ResetWindow();
  running_ = false;
  return decoder_ != nullptr;
}

void MixerMediaGraph::RestartFile() {
  const auto lock = mixer_->Lock();
  if (!decoder_ || !decoder_->Rewind()) return;
  ResetWindow();
  running_ = true;
}

void MixerMediaGraph::ResetWindow() {
  window_.clear();
  cursor_ = 0;
  passed_frames_ = 0;
  decoder_done_ = false;
}

void MixerMediaGraph::Stop() {
  const auto lock = mixer_->Lock();
  running_ = false;
}

bool MixerMediaGraph::Running() {
  const auto lock = mixer_->Lock();
  return running_;
}

bool MixerMediaGraph::HasFile() const {
  const auto lock = mixer_->Lock();
  return decoder_ != nullptr;
}

void MixerMediaGraph::SetVolume(int32_t hundredths) {
  const auto lock = mixer_->Lock();
  volume_ = hundredths;
}

void MixerMediaGraph::SetBalance(int32_t hundredths) {
  const auto lock = mixer_->Lock();
  balance_ = hundredths;
}

int32_t MixerMediaGraph::Volume() const {
  const auto lock = mixer_->Lock();
  return volume_;
}

double MixerMediaGraph::DurationSeconds() const {
  const auto lock = mixer_->Lock();
  return decoder_ ? decoder_->DurationSeconds() : 0.0;
}

double MixerMediaGraph::PositionSeconds() const {
  const auto lock = mixer_->Lock();
  return decoder_ ? (static_cast<double>(passed_frames_) + cursor_) / decoder_->rate() : 0.0;
}

long MixerMediaGraph::GetEvent() {
  const auto lock = mixer_->Lock();
  if (events_.empty()) return -1;
  const long code = events_.front();
  events_.pop_front();
  return code;
}

bool MixerMediaGraph::Fill(size_t index) {
  while (window_.size() / 2 <= index) {
    if (decoder_done_) return false;
    // Frames already passed leave the window first.
    const size_t passed = std::min(static_cast<size_t>(cursor_), window_.size() / 2);
    window_.erase(window_.begin(), window_.begin() + static_cast<ptrdiff_t>(passed * 2));
    cursor_ -= static_cast<double>(passed);
    passed_frames_ += passed;
    index -= passed;
    const int channels = decoder_->channels();
    scratch_.resize(kDecodeFrames * static_cast<size_t>(channels));
    const size_t got = decoder_->Read(scratch_.data(), kDecodeFrames);
    for (size_t f = 0; f < got; ++f) {
      window_.push_back(scratch_[f * channels]);
      window_.push_back(scratch_[f * channels + channels - 1]);
    }
    if (got == 0) {
      // One silent frame after the last, so the last one sounds in full.
      decoder_done_ = true;
      window_.insert(window_.end(), 2, 0.0f);
    }
  }
  return true;
}

void MixerMediaGraph::MixInto(float* out, size_t frames, uint32_t output_rate, float gain) {
  if (!running_ || !decoder_) return;
  const StereoGain pan = PanGain(volume_, balance_);
  const double step = static_cast<double>(decoder_->rate()) / output_rate;
  for (size_t f = 0; f < frames; ++f) {
    if (!Fill(static_cast<size_t>(cursor_) + 1)) {
      running_ = false;
      events_.push_back(kGraphEventComplete);
      if (notify_) notify_();
      return;
    }
    const size_t i = static_cast<size_t>(cursor_);
    const float t = static_cast<float>(cursor_ - static_cast<double>(i));
    for (int c = 0; c < 2; ++c) {
      const float a = window_[2 * i + c], b = window_[2 * i + 2 + c];
      out[2 * f + c] += (a + (b - a) * t) * gain * (c == 0 ? pan.left : pan.right);
    }
    cursor_ += step;
  }
}

MediaGraphMaker MixerMediaGraphs(TrackOpener open_compressed, std::function<void(PlatformWindow)> post_media_event) {
  return [open = std::move(open_compressed), post = std::move(post_media_event)](
             const std::shared_ptr<Mixer>& mixer, std::optional<PlatformWindow> music_window) {
    std::function<void()> notify;
    if (music_window && post) notify = [post, window = *music_window] { post(window); };
    return std::make_unique<MixerMediaGraph>(mixer, open, std::move(notify), !music_window.has_value());
  };
}

}  // namespace lumi
