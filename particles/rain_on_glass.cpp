// Rain on a window pane: drops that fly onto the glass, slide down it,
// merge where they touch and die when they leave the pane.
#include "particles/rain_on_glass.h"

#include <algorithm>
#include <cmath>

#include "archive/registry.h"
#include "params/param_archive.h"
#include "params/random.h"
#include "particles/interaction_routines.h"
#include "particles/particle_routines.h"
#include "particles/screen_fit.h"

namespace lumi {

static const RegisterClass<DS_RainOnGlass> kRegisterRainOnGlass(Family::General);

namespace {

// Texture cells of the 2 × 2 drop atlas by variant: 0 the sliding drop.
constexpr float kCellU[4] = {0, 0.5f, 0, 0.5f};
constexpr float kCellV[4] = {0, 0, 0.5f, 0.5f};

}  // namespace

void DS_RainOnGlass::Describe(Archive& ar) {
  SliderField(ar, "counter_rate", counter.rate, Apply::Set);
  QuadField(ar, "area", area);
  SliderField(ar, "slide_acceleration", slide_acceleration, Apply::Set);
  UIntField(ar, "slide_direction", slide_direction, Apply::Set);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void DS_RainOnGlass::Attach() {
  look.look_flags |= ParticleLook::kExplicitSize | ParticleLook::kExplicitAlpha;
  if (!fixed_layout && HasScreen()) FitToScreen(area, 1);
  interaction_ = std::make_shared<IPR_RainInteractionRoutine>(std::make_shared<PRC_CrossQuad>(area),
                                                             std::make_shared<PRA_Die>());
}

void DS_RainOnGlass::ResetPopulation() {
  counter_state.Reset();
  VRN_ParticleSystemCtrl::ResetPopulation();
}

Vector3 DS_RainOnGlass::SlideDirection() const {
  const float theta = static_cast<float>(slide_direction.value) * kPi / 180;
  return {std::cos(theta), -std::sin(theta), 0};
}

void DS_RainOnGlass::Emit(ParticleList& /*born*/, float dt) {
  std::erase_if(particles, [dt](const ParticleHandle& p) { return !p->Update(dt); });
  MergeTouchingDrops();
  const int64_t n = Room(counter_state.Count(counter.rate.scaled(), dt));
  const size_t first = particles.size();
  SpawnInRect(particles, n, area);
  for (size_t i = first; i < particles.size(); ++i) InitDrop(*particles[i]);
}

void DS_RainOnGlass::InitDrop(Particle& p) const {
  const auto variant = static_cast<unsigned int>(Rand()) % 4;
  p.state_flags |= kRainFallingIn;
  p.alpha_random() = 0;
  const auto start = static_cast<float>(look.start_angle.value);
  float degrees = start;
  if (variant != 0) {
    // A small droplet, turned at random.
    p.size_random() = Uniform(0.5f, 0.8f);
    const int64_t jitter = look.start_angle_jitter.value;
    degrees += static_cast<float>(static_cast<int64_t>(static_cast<uint32_t>(Rand()) % (2 * jitter + 1)) - jitter);
  } else {
    p.state_flags |= kRainSliding;
  }
  p.frame_scale_u = p.frame_scale_v = 0.5f;
  p.frame_offset_u = kCellU[variant];
  p.frame_offset_v = kCellV[variant];
  p.transform = MatrixRotationZ(degrees * kPi / 180);

  const Vector3 d = SlideDirection();
  const Vector3 target = p.position;
  p.position = target - d * (static_cast<float>(look.size.value) * 10 * p.size_random());
  p.routines.push_back(std::make_shared<IPR_RainFall>(target));
  p.routines.push_back(std::make_shared<IPR_RainDynamic>(d * slide_acceleration.scaled()));
  p.routines.push_back(IPR_Kinematic::Shared());
  p.routines.push_back(interaction_);
}

void DS_RainOnGlass::MergeTouchingDrops() {
  const float c = static_cast<float>(look.size.value) * 0.9f / 2;
  extents_.clear();
  extents_.reserve(particles.size());
  for (size_t i = 0; i < particles.size(); ++i) {
    const Particle& p = *particles[i];
    const float half = p.size_random() * c;
    extents_.push_back({p.position.y - half, p.position.y + half, p.position.x, half, static_cast<uint32_t>(i)});
  }
  std::sort(extents_.begin(), extents_.end(), [](const DropExtent& a, const DropExtent& b) { return a.top < b.top; });
  PRA_RainMerge merge;
  for (size_t i = 0; i < extents_.size(); ++i) {
    const DropExtent& e = extents_[i];
    Particle& p = *particles[e.index];
    // Sorted by their tops, the later drops whose tops lie within this
    // one's extent follow it without a gap.
    for (size_t j = i + 1; j < extents_.size() && extents_[j].top <= e.bottom; ++j) {
      const DropExtent& other = extents_[j];
      if (std::fabs(other.x - e.x) > e.half + other.half) continue;
      if (!merge.Apply(p, particles[other.index])) break;
    }
  }
}

}  // namespace lumi
