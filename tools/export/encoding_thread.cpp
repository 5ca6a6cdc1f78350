#include "tools/export/encoding_thread.h"

namespace lumi::tool {

EncodingThread::EncodingThread(std::unique_ptr<VideoEncoder> encoder, size_t depth)
    : encoder_(std::move(encoder)), depth_(depth), worker_([this] { Work(); }) {}

EncodingThread::~EncodingThread() {
  {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
  }
  Join();
}

void EncodingThread::Join() {
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

bool EncodingThread::Push(RgbaImage frame, std::vector<float> sound) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return failed_ || queue_.size() < depth_; });
  if (failed_) return false;
  queue_.push_back({std::move(frame), std::move(sound)});
  changed_.notify_all();
  return true;
}

size_t EncodingThread::Encoded() const {
  const std::lock_guard lock(mutex_);
  return encoded_;
}

std::vector<uint8_t> EncodingThread::TakeSpare() {
  const std::lock_guard lock(mutex_);
  if (spare_.empty()) return {};
  std::vector<uint8_t> pixels = std::move(spare_.back());
  spare_.pop_back();
  return pixels;
}

void EncodingThread::Work() {
  for (;;) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return closing_ || !queue_.empty(); });
    if (abandoned_ || failed_ || queue_.empty()) return;
    Item item = std::move(queue_.front());
    queue_.pop_front();
    changed_.notify_all();
    lock.unlock();
    std::string error;
    const bool done = encoder_->AddSound(item.sound.data(), item.sound.size() / 2, error) &&
                      encoder_->AddFrame(item.frame.pixels.data(), error);
    lock.lock();
    if (!done) {
      failed_ = true;
      error_ = error;
      changed_.notify_all();
      return;
    }
    ++encoded_;
    spare_.push_back(std::move(item.frame.pixels));
  }
}

bool EncodingThread::Finish(std::string& error) {
  Join();
  if (failed_) {
    error = error_;
    return false;
  }
  return encoder_->Finish(error);
}

}  // namespace lumi::tool
