// Encodes on a thread of its own, so that drawing the next frames and
// encoding the last ones go on at once. A few frames wait at most; the
// drawing side waits when the encoder falls behind.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "render/device.h"
#include "tools/export/encoder/video_encoder.h"

namespace lumi::tool {

class EncodingThread {
 public:
  EncodingThread(std::unique_ptr<VideoEncoder> encoder, size_t depth);
  // Without Finish the encoding stops and the unfinished file is removed.
  ~EncodingThread();
  EncodingThread(const EncodingThread&) = delete;
  EncodingThread& operator=(const EncodingThread&) = delete;

  // Hands over a frame and the sound that plays during it; false once the
  // encoder has failed (Finish says why).
  bool Push(RgbaImage frame, std::vector<float> sound);
  // Frames the encoder has taken so far.
  size_t Encoded() const;
  // The pixels of a frame already encoded, to read the next one into;
  // empty when none is spare yet.
  std::vector<uint8_t> TakeSpare();
  // Waits for everything handed over, then completes the file.
  bool Finish(std::string& error);

 private:
  struct Item {
    RgbaImage frame;
    std::vector<float> sound;
  };
  void Work();
  // Stops the worker and waits for it.
  void Join();

  std::unique_ptr<VideoEncoder> encoder_;
  const size_t depth_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Item> queue_;
  std::vector<std::vector<uint8_t>> spare_;
  size_t encoded_ = 0;
  bool closing_ = false;
  bool abandoned_ = false;
  bool failed_ = false;
  std::string error_;
  std::thread worker_;
};

}  // namespace lumi::tool
