#include "sound/media_graph.h"

#include "sound/decibels.h"

namespace lumi {
namespace {

constexpr size_t kDecodeFrames = 1024;

}  // namespace

MediaGraph::MediaGraph(std::shared_ptr<Mixer> mixer, TrackOpener open, std::function<void()> notify,
                       bool under_master)
    : mixer_(std::move(mixer)), open_(std::move(open)), notify_(std::move(notify)), under_master_(under_master) {
  mixer_->Add(this);
}

MediaGraph::~MediaGraph() { mixer_->Remove(this); }

bool MediaGraph::Open(const std::filesystem::path& path, std::string& error) {
  std::unique_ptr<TrackDecoder> decoder = OpenTrack(path, open_, error);
  const auto lock = mixer_->Lock();
  decoder_ = std::move(decoder);
  events_.clear();
  ResetWindow();
  running_ = false;
  return decoder_ != nullptr;
}

bool MediaGraph::PlayFile(const std::filesystem::path& path, std::string& error) {
  if (!Open(path, error)) return false;
  RestartFile();
  return true;
}

void MediaGraph::RestartFile() {
  const auto lock = mixer_->Lock();
  if (!decoder_ || !decoder_->Rewind()) return;
  ResetWindow();
  running_ = true;
}

void MediaGraph::ResetWindow() {
  window_.clear();
  cursor_ = 0;
  passed_frames_ = 0;
  decoder_done_ = false;
}

void MediaGraph::Stop() {
  const auto lock = mixer_->Lock();
  running_ = false;
}

bool MediaGraph::Running() const {
  const auto lock = mixer_->Lock();
  return running_;
}

bool MediaGraph::HasFile() const {
  const auto lock = mixer_->Lock();
  return decoder_ != nullptr;
}

void MediaGraph::SetVolume(int32_t hundredths) {
  const auto lock = mixer_->Lock();
  volume_ = hundredths;
}

void MediaGraph::SetBalance(int32_t hundredths) {
  const auto lock = mixer_->Lock();
  balance_ = hundredths;
}

int32_t MediaGraph::Volume() const {
  const auto lock = mixer_->Lock();
  return volume_;
}

double MediaGraph::DurationSeconds() const {
  const auto lock = mixer_->Lock();
  return decoder_ ? decoder_->DurationSeconds() : 0.0;
}

double MediaGraph::PositionSeconds() const {
  const auto lock = mixer_->Lock();
  return decoder_ ? (static_cast<double>(passed_frames_) + cursor_) / decoder_->rate() : 0.0;
}

long MediaGraph::GetEvent() {
  const auto lock = mixer_->Lock();
  if (events_.empty()) return -1;
  const long code = events_.front();
  events_.pop_front();
  return code;
}

bool MediaGraph::Fill(size_t index) {
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

void MediaGraph::MixInto(float* out, size_t frames, uint32_t output_rate, float gain) {
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

}  // namespace lumi
