// Writing a video file with picture and sound through FFmpeg's libraries,
// which encode far better than anything of our own would: H.264 with AAC in
// MP4 (and in Matroska), VP9 with Opus in WebM. This library is the only
// place that sees FFmpeg; its callers hand over RGBA frames and stereo
// float samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace lumi {

enum class VideoFormat { Mp4, WebM, Matroska };

// By the file name's extension (.mp4, .webm, .mkv, in any case).
std::optional<VideoFormat> VideoFormatOf(const std::filesystem::path& path);
// "H.264 with AAC" and the like, for messages.
std::string VideoCodecsOf(VideoFormat format);

struct VideoSettings {
  VideoFormat format = VideoFormat::Mp4;
  uint32_t width = 0, height = 0;  // even, for 4:2:0 colour
  uint32_t fps = 30;
  // Constant rate factor, lower is better; -1 takes DefaultQuality.
  int quality = -1;
  bool sound = true;
  uint32_t sample_rate = 48000;
};

// The constant rate factor used when none is asked for.
int DefaultQuality(VideoFormat format);
// The highest factor the format's video encoder takes.
int HighestQuality(VideoFormat format);

// What the installed libraries lack to write `format` (a muxer or an
// encoder, named); empty when everything is there.
std::string MissingVideoSupport(VideoFormat format, bool sound);

class VideoEncoder {
 public:
  // Makes the encoders, opens `path` and writes the file's header; null with
  // `error` set (and no file left behind) when any of that fails.
  static std::unique_ptr<VideoEncoder> Create(const std::filesystem::path& path, const VideoSettings& settings,
                                              std::string& error);
  // A file that was not finished is incomplete: it is removed.
  ~VideoEncoder();
  VideoEncoder(const VideoEncoder&) = delete;
  VideoEncoder& operator=(const VideoEncoder&) = delete;

  // The next frame: width × height RGBA pixels, rows top first.
  bool AddFrame(const uint8_t* rgba, std::string& error);
  // The next `frames` interleaved stereo samples at the sample rate;
  // ignored without sound.
  bool AddSound(const float* samples, size_t frames, std::string& error);
  // Drains the encoders and writes the file's index; the file is complete
  // once this returns true.
  bool Finish(std::string& error);

 private:
  struct State;
  explicit VideoEncoder(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace lumi
