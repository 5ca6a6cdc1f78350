// A particle of the generators and the small processes that change it. A
// generated particle is a plain value: copying it copies its processes, so
// a generator's copy never shares state with the original.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "params/vector_math.h"

namespace lumi {

struct GenParticle;

// Slots of GenParticle::values; 5 to 9 are free for the generators.
enum GenValue : int { kLifeProgress = 0, kSize = 1, kOpacity = 2, kAge = 3, kAngle = 4 };

class PProcess {
 public:
  virtual ~PProcess() = default;
  // False kills the particle.
  virtual bool Update(float dt, GenParticle& particle) = 0;
  virtual std::unique_ptr<PProcess> Clone() const = 0;
};

struct GenParticle {
  static constexpr size_t kValueCount = 10;

  GenParticle() = default;
  explicit GenParticle(Vector3 at) : position(at), start_position(at) {}
  GenParticle(const GenParticle& other);
  GenParticle& operator=(const GenParticle& other);
  GenParticle(GenParticle&&) noexcept = default;
  GenParticle& operator=(GenParticle&&) noexcept = default;

  // Runs every process, even after one has ended; false when any ended.
  bool Update(float dt);

  template <class P, class... Args>
  P& Attach(Args&&... args) {
    auto process = std::make_unique<P>(std::forward<Args>(args)...);
    P& result = *process;
    processes.push_back(std::move(process));
    return result;
  }

  Vector3 position;
  Vector3 start_position;
  std::array<float, kValueCount> values{0, 1, 1, 0, 0, 1, 1, 1, 1, 1};
  std::vector<std::unique_ptr<PProcess>> processes;
};

}  // namespace lumi
