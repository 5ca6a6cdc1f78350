#include "render/parallel_decode.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace lumi {
namespace {

DecodeResult DecodeOne(std::span<const uint8_t> bytes) {
  DecodeResult result;
  try {
    result.picture = DecodePicture(bytes, result.error);
  } catch (const std::exception& e) {  // out of memory on a huge picture
    result.picture.reset();
    result.error = e.what();
  }
  return result;
}

}  // namespace

void DecodeInParallel(std::span<const std::span<const uint8_t>> inputs,
                      const std::function<void(size_t index, DecodeResult& result)>& ready) {
  const size_t workers = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), inputs.size());
  if (workers <= 1) {
    for (size_t i = 0; i < inputs.size(); ++i) {
      DecodeResult result = DecodeOne(inputs[i]);
      ready(i, result);
    }
    return;
  }
  std::vector<DecodeResult> results(inputs.size());
  std::atomic<size_t> next{0};
  std::mutex mutex;
  std::condition_variable finished;
  std::deque<size_t> done;
  std::vector<std::jthread> threads;
  threads.reserve(workers);
  for (size_t w = 0; w < workers; ++w) {
    threads.emplace_back([&] {
      for (size_t i; (i = next.fetch_add(1)) < inputs.size();) {
        results[i] = DecodeOne(inputs[i]);
        {
          std::lock_guard lock(mutex);
          done.push_back(i);
        }
        finished.notify_one();
      }
    });
  }
  for (size_t handed = 0; handed < inputs.size(); ++handed) {
    size_t index = 0;
    {
      std::unique_lock lock(mutex);
      finished.wait(lock, [&] { return !done.empty(); });
      index = done.front();
      done.pop_front();
    }
    ready(index, results[index]);
    results[index] = {};  // the pixels are on the device now
  }
}

}  // namespace lumi
