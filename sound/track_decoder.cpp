#include "sound/track_decoder.h"

#include <algorithm>
#include <fstream>

#include "archive/file_io.h"
#include "archive/input_error.h"
#include "sound/wave_file.h"

namespace lumi {
namespace {

// WAVE tracks are decoded whole; a longer one is refused rather than
// filling the memory.
constexpr uintmax_t kMaxWaveTrackBytes = uintmax_t{1} << 30;

class WaveTrackDecoder final : public TrackDecoder {
 public:
  explicit WaveTrackDecoder(PcmSound pcm) : pcm_(std::move(pcm)) {}

  uint32_t rate() const override { return pcm_.rate; }
  int channels() const override { return pcm_.channels; }
  size_t Read(float* out, size_t frames) override {
    const size_t n = std::min(frames, pcm_.frames() - next_);
    std::copy_n(pcm_.samples.begin() + static_cast<ptrdiff_t>(next_ * pcm_.channels), n * pcm_.channels, out);
    next_ += n;
    return n;
  }
  bool Rewind() override {
    next_ = 0;
    return true;
  }
  double DurationSeconds() const override { return static_cast<double>(pcm_.frames()) / pcm_.rate; }

 private:
  PcmSound pcm_;
  size_t next_ = 0;
};

bool StartsAsWave(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  uint8_t head[12] = {};
  in.read(reinterpret_cast<char*>(head), sizeof head);
  return in && LooksLikeWave(head);
}

}  // namespace

std::unique_ptr<TrackDecoder> OpenTrack(const std::filesystem::path& path, const TrackOpener& compressed,
                                        std::string& error) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!std::filesystem::is_regular_file(status)) {
    error = path.string() + ": " + (ec ? ec.message() : "not a regular file");
    return nullptr;
  }
  if (!StartsAsWave(path)) {
    if (!compressed) {
      error = path.string() + ": not a WAVE file, and no decoder for other sounds";
      return nullptr;
    }
    return compressed(path, error);
  }
  if (std::filesystem::file_size(path, ec) > kMaxWaveTrackBytes) {
    error = path.string() + ": a WAVE file over 1 GiB";
    return nullptr;
  }
  try {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    std::optional<PcmSound> pcm = ReadWaveSound(bytes, error);
    if (!pcm) {
      error = path.string() + ": " + error;
      return nullptr;
    }
    return std::make_unique<WaveTrackDecoder>(std::move(*pcm));
  } catch (const InputError& e) {
    error = e.what();
    return nullptr;
  }
}

}  // namespace lumi
