#include "platform/linux/sound/mpeg_decoder.h"

#include <mpg123.h>

namespace lumi {
namespace {

class MpegDecoder final : public TrackDecoder {
 public:
  explicit MpegDecoder(mpg123_handle* handle) : handle_(handle) {}
  ~MpegDecoder() override { mpg123_delete(handle_); }
  MpegDecoder(const MpegDecoder&) = delete;
  MpegDecoder& operator=(const MpegDecoder&) = delete;

  // The stream's format and length; false when it has none.
  bool Inspect(std::string& error) {
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK) {
      error = std::string("no MPEG audio stream (") + mpg123_strerror(handle_) + ")";
      return false;
    }
    const off_t length = mpg123_length(handle_);
    if (length <= 0 || rate <= 0 || (channels != 1 && channels != 2) || encoding != MPG123_ENC_FLOAT_32) {
      error = "no MPEG audio stream of known length";
      return false;
    }
    rate_ = static_cast<uint32_t>(rate);
    channels_ = channels;
    length_frames_ = static_cast<double>(length);
    return true;
  }

  uint32_t rate() const override { return rate_; }
  int channels() const override { return channels_; }
  double DurationSeconds() const override { return length_frames_ / rate_; }
  bool Rewind() override { return mpg123_seek(handle_, 0, SEEK_SET) >= 0; }

  size_t Read(float* out, size_t frames) override {
    const size_t frame_bytes = sizeof(float) * static_cast<size_t>(channels_);
    size_t filled = 0;
    while (filled < frames) {
      size_t done = 0;
      const int status = mpg123_read(handle_, reinterpret_cast<unsigned char*>(out + filled * channels_),
                                     (frames - filled) * frame_bytes, &done);
      filled += done / frame_bytes;
      // A new format mid-stream keeps ours (mpg123 converts to what we allowed).
      if (status == MPG123_NEW_FORMAT) continue;
      if (status != MPG123_OK || done == 0) break;
    }
    return filled;
  }

 private:
  mpg123_handle* handle_;
  uint32_t rate_ = 0;
  int channels_ = 0;
  double length_frames_ = 0;
};

}  // namespace

std::unique_ptr<TrackDecoder> OpenMpegTrack(const std::filesystem::path& path, std::string& error) {
  static const bool initialised = mpg123_init() == MPG123_OK;
  int status = MPG123_OK;
  mpg123_handle* handle = initialised ? mpg123_new(nullptr, &status) : nullptr;
  if (handle == nullptr) {
    error = path.string() + ": the MP3 decoder could not start";
    return nullptr;
  }
  auto decoder = std::make_unique<MpegDecoder>(handle);
  // Added to the defaults, never replacing them: gapless decoding stays on.
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  mpg123_format_none(handle);
  const long* rates = nullptr;
  size_t rate_count = 0;
  mpg123_rates(&rates, &rate_count);
  for (size_t i = 0; i < rate_count; ++i) {
    mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
  }
  if (mpg123_open(handle, path.c_str()) != MPG123_OK) {
    error = path.string() + ": " + mpg123_strerror(handle);
    return nullptr;
  }
  if (!decoder->Inspect(error)) {
    error = path.string() + ": " + error;
    return nullptr;
  }
  return decoder;
}

}  // namespace lumi
