// The generator engine: its clock, the lists of sources and particles, and
// emission from the sources.
#include <algorithm>
#include <cmath>
#include <type_traits>

#include "generators/particles_obj.h"
#include "generators/processes.h"
#include "params/directions.h"
#include "params/random.h"

namespace lumi {
namespace {

// Runs every record's processes; the dead leave, the rest keep their order.
template <class T, class Ended>
void UpdateAll(std::vector<T>& list, float dt, Ended ended) {
  std::erase_if(list, [&](T& record) {
    if constexpr (std::is_same_v<T, GenSource>) {
      if (record.point.Update(dt)) return false;
    } else {
      if (record.Update(dt)) return false;
    }
    ended(record);
    return true;
  });
}

}  // namespace

std::unique_ptr<VRN_RenderObj> DS_ParticleGenerator::CreateRenderObject() const {
  if (!HasBehaviour()) return DS_ABObj_Constructor::CreateRenderObject();
  std::unique_ptr<DS_ABObj_Constructor> copy = Clone();
  return std::make_unique<DS_ParticlesObj>(
      std::unique_ptr<DS_ParticleGenerator>(static_cast<DS_ParticleGenerator*>(copy.release())));
}

void DS_ParticleGenerator::Advance(double time) {
  step_ = clock.Advance(time, time_speed.scaled());
  // Births while the sources end land in `generated` after its update.
  std::vector<GenSource> ended;
  UpdateAll(sources, step_, [&](GenSource& s) { ended.push_back(std::move(s)); });
  UpdateAll(generated, step_, [](GenParticle&) {});
  for (const GenSource& source : ended) SourceEnded(source);
}

void DS_ParticleGenerator::InitParticle(GenParticle& particle, const GenSource& source) {
  particle.values[kOpacity] = source.point.values[kOpacity];
  const float life = lifetime.scaled();
  particle.Attach<PAgeConst>(life);
  particle.Attach<PFade>(kOpacity, 0.0f, life, -1.0f);
  particle.Attach<PKinetic>(RandomDirection3D(Uniform(0, launch_speed.scaled()), 0, 360), Vector3{});
}

size_t DS_ParticleGenerator::EmitFromSources(double time) {
  double& last = rate.last_emission;
  if (time < last) last = time;  // the timeline started again
  if (emitting.value == 0) {
    for (GenSource& source : sources) source.previous = source.point.position;
    return 0;
  }
  const float r = rate.scaled();
  if (!(r > 0) || sources.empty()) return 0;
  // After a stall or a time off, emit as if the gap had been 0.2 s at most:
  // a frame never brings more than that much motion, nor more births.
  if (time - last > kMaxClockStep + 1 / r) last = time - kMaxClockStep;
  const double due = std::floor(static_cast<double>(r) * (time - last));
  if (due < 1) return 0;  // the next births spread along the whole way since the last
  const size_t room = (kMaxParticles - std::min(kMaxParticles, generated.size())) / sources.size();
  const size_t n = std::min(static_cast<size_t>(std::min(due, 1.0e9)), room);
  // The time the births stand for moves on, so the fraction of a birth left
  // over counts towards the next frame; births with no room are dropped.
  last = n < due ? time : last + static_cast<float>(static_cast<double>(n) / r);
  for (GenSource& source : sources) {
    const Vector3 from = source.previous, jump = source.point.position - source.previous;
    for (size_t i = 1; i <= n; ++i) {
      GenParticle particle(from + jump * (static_cast<float>(i) / static_cast<float>(n + 1)));
      InitParticle(particle, source);
      generated.push_back(std::move(particle));
    }
    source.previous = source.point.position;
  }
  return n * sources.size();
}

void DS_ParticleGenerator::Restart() {
  // Stored sources stay where the document put them.
  std::erase_if(sources, [](const GenSource& s) { return !s.point.processes.empty(); });
  for (GenSource& source : sources) source.previous = source.point.position;
  generated.clear();
  clock = ClampedClock{};
  rate.last_emission = 0;
}

GenSource* DS_ParticleGenerator::AddSource(Vector3 at) {
  if (sources.size() >= kMaxSources) return nullptr;
  sources.push_back(GenSource{GenParticle(at), at});
  return &sources.back();
}

void DS_ParticleOriginGenerator::Advance(double time) {
  DS_ParticleGenerator::Advance(time);
  origin_time += origin_clock.Advance(time, Setting(kOriginSpeed) / 100);
  const float per_second = level * Setting(kOriginRate) / 100;
  if (!(per_second > 0) || !std::isfinite(per_second)) {
    origin_time = 0;
  } else {
    const float interval = 1 / per_second;
    while (origin_time > interval) {
      origin_time -= interval;
      if (!AddOrigin()) {
        origin_time = 0;
        break;
      }
    }
  }
  EmitFromSources(time);
}

bool DS_ParticleOriginGenerator::AddOrigin() {
  GenSource* origin = AddSource(centre);
  if (origin == nullptr) return false;
  const MediaSector sector(origin_settings[kLaunchDirection].value, origin_settings[kLaunchSpread].value);
  origin->point.values[kSize] = Setting(kOriginSize) / 100;
  origin->point.Attach<PAgeConst>(Setting(kOriginLife) / 100);
  origin->point.Attach<PKinetic>(sector.RandomDirection() * 100, Vector3{});
  return true;
}

void DS_AirBrush::PlaceSprites() {
  generated.clear();
  const size_t n = std::min(sprites.size(), kMaxParticles);
  generated.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    GenParticle& particle = generated.emplace_back(sprites[i].position);
    InitPlaced(particle);
  }
}

DS_ParticlesObj::DS_ParticlesObj(std::unique_ptr<DS_ParticleGenerator> generator) : DS_ABObj(std::move(generator)) {
  Generator().Prepare(*this);
}

void DS_ParticlesObj::Restart() {
  DS_ABObj::Restart();
  DS_ParticleGenerator& g = Generator();
  g.Restart();
  g.Prepare(*this);
}

void DS_ParticlesObj::FrameMove(double local_time) {
  DS_ParticleGenerator& g = Generator();
  const VRN_Timing& timeline = data->timing.current();
  g.level = timeline.GetLevel();
  g.timeline_state = timeline.GetState();
  g.Advance(local_time);
}

void DS_ParticlesObj::Render(DS_ABRender& backdrop) { Generator().Draw(backdrop, *this); }

}  // namespace lumi
