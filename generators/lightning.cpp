// Lightning: a bolt along a jagged chain from the start point to the end
// point, built anew each time the timeline comes on, fading over its time.
#include <algorithm>
#include <cmath>

#include "generators/catalogue.h"
#include "generators/fixed_pattern.h"
#include "generators/gen_drawing.h"
#include "generators/gen_quads.h"
#include "params/random.h"
#include "timing/timing.h"

namespace lumi {

void DS_LightningGN::BuildBolt() {
  generated.clear();
  // A damaged setting reads as 0 (a link count as 1).
  const auto setting = [&](ChainSetting which) {
    const float v = chain_settings[which];
    return std::isfinite(v) ? v : 0.0f;
  };
  const Vector3 from{setting(kStartX), setting(kStartY), 0};
  const Vector3 to{setting(kEndX), setting(kEndY), 0};
  const auto segments = static_cast<size_t>(std::clamp(setting(kSegments), 1.0f, float{kMaxSegments}));
  const float jag = setting(kJag);
  const Vector3 way = to - from;
  const float length = std::sqrt(way.x * way.x + way.y * way.y);
  const Vector3 across = length > 0 ? Vector3{-way.y / length, way.x / length, 0} : Vector3{};
  BuildWithFixedPattern(random_shape.value == 0, seed.value, [&] {
    Vector3 previous = from;
    for (size_t i = 1; i <= segments; ++i) {
      const float f = static_cast<float>(i) / static_cast<float>(segments);
      // The ends stay put; the points between swing across the way.
      const Vector3 point = from + way * f + across * (i < segments ? Uniform(-jag, jag) : 0.0f);
      const Vector3 step = point - previous;
      GenParticle& link = generated.emplace_back((previous + point) * 0.5f);
      link.values[kAngle] = std::atan2(step.y, step.x);
      link.values[kLinkLength] = std::sqrt(step.x * step.x + step.y * step.y);
      previous = point;
    }
  });
}

void DS_LightningGN::Advance(double time) {
  const float dt = clock.Advance(time, time_speed.scaled());
  timer_ms += dt * 1000;
  if (timeline_state != VRN_Timing::kOff && seen_state == VRN_Timing::kOff) {
    BuildBolt();
    timer_ms = 0;
  }
  seen_state = timeline_state;
  // The bolt flashes at once and dies away over its time.
  const float bolt = static_cast<float>(bolt_time.value);
  const float glow = bolt > 0 ? std::clamp(1 - timer_ms / bolt, 0.0f, 1.0f) : 0.0f;
  for (GenParticle& link : generated) link.values[kOpacity] = glow;
}

size_t DS_LightningGN::BuildArrays(GenDrawing& drawing) {
  // Each link a quad its own length long and the picture's height thick
  // (the blank square's without one).
  const GenPicture& picture = drawing.Picture(0);
  const auto thick = static_cast<float>(picture.height > 0 ? picture.height : GenDrawing::kBlankSide / 2);
  GenSpriteArray& array = drawing.Array(0);
  array.texture = picture.texture;
  array.Build(generated.size(), [&](size_t i, VertexPCT* out) {
    const GenParticle& link = generated[i];
    const GenQuadStyle style{link.values[kLinkLength] + thick / 2, thick, colour.value, colour.alpha(), level};
    return BuildGenQuad(link, style, out);
  });
  return 1;
}

}  // namespace lumi
