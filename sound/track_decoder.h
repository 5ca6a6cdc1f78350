// A decoder of one sound file for the media graph: MP3 through the
// platform's decoder, WAV through our reader. The file's content decides
// which, never its name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace lumi {

class TrackDecoder {
 public:
  virtual ~TrackDecoder() = default;
  virtual uint32_t rate() const = 0;
  virtual int channels() const = 0;  // 1 or 2
  // Up to `frames` interleaved frames; fewer only at the end.
  virtual size_t Read(float* out, size_t frames) = 0;
  virtual bool Rewind() = 0;
  virtual double DurationSeconds() const = 0;
};

// Opens a file as a track; null with `error` set when it cannot be played.
using TrackOpener = std::function<std::unique_ptr<TrackDecoder>(const std::filesystem::path&, std::string& error)>;

// A regular file holding a WAVE sound through our reader, anything else
// through `compressed` (the platform's MP3 decoder). Other kinds of file
// (a FIFO would block the loop) are refused before they are opened.
std::unique_ptr<TrackDecoder> OpenTrack(const std::filesystem::path& path, const TrackOpener& compressed,
                                        std::string& error);

}  // namespace lumi
