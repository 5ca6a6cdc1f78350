#include "generators/particle_generators.h"

#include <cmath>

#include "params/param_archive.h"

namespace lumi {
namespace {

// JSON names of settings known only by their place in the record.
constexpr const char* kValueNames[] = {"value_1", "value_2", "value_3", "value_4", "value_5", "value_6"};
constexpr const char* kPairNames[] = {"pair_1", "pair_2", "pair_3", "pair_4", "pair_5"};
static_assert(std::size(kPairNames) == AirBrushSprite::kPairs);

void PositionFields(Archive& ar, Vector3& p) {
  ar.Float("x", p.x);
  ar.Float("y", p.y);
  ar.Float("z", p.z);
}

}  // namespace

void DS_ParticleGenerator::Describe(Archive& ar) {
  const int v = ar.version();
  if (v >= 2) {
    ListOf(ar, "sources", sources, [&](GenSource& source) {
      GenParticle& point = source.point;
      ar.Group(nullptr, [&] {
        PositionFields(ar, point.position);
        ar.Float("opacity", point.values[kOpacity]);
      });
      if (!ar.IsReading()) return;
      // A damaged number places the source at the origin, fully opaque.
      Vector3& p = point.position;
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) p = {};
      if (!std::isfinite(point.values[kOpacity])) point.values[kOpacity] = 1;
      point.start_position = source.previous = p;
    });
  }
  if (v >= 3) {
    SliderField(ar, "lifetime", lifetime, Apply::Direct);
    SliderField(ar, "rate", rate, Apply::Direct);
    SliderField(ar, "extra_factor", extra_factor, Apply::Direct);
    SliderField(ar, "launch_speed", launch_speed, Apply::Direct);
    IntField(ar, "emitting", emitting, Apply::Direct);
  }
  BaseRecordOf<DS_ABObj_Constructor>(ar, this);
}

void DS_TexParticleGenerator::Describe(Archive& ar) {
  const int v = ar.version();
  NamedLinkField(ar, "images", images);
  LinkField(ar, "effect", effect);
  UIntField(ar, "colour", colour, Apply::Direct);
  UIntField(ar, "second_colour", second_colour, Apply::Direct);
  IntField(ar, "blend_mode", blend_mode, Apply::Direct);
  if (v >= 2) {
    IntField(ar, "value_1", value_1, Apply::Direct);
    IntField(ar, "value_2", value_2, Apply::Direct);
  }
  if (v >= 3) IntField(ar, "value_3", value_3, Apply::Direct);
  BaseRecordOf<DS_ParticleGenerator>(ar, this);
}

void DS_StaticGenerator::Describe(Archive& ar) {
  ar.Group("centre", [&] { PositionFields(ar, centre); });
  BaseRecordOf<DS_TexParticleGenerator>(ar, this);
}

void DS_ParticleOriginGenerator::Describe(Archive& ar) {
  RejectVersionsBefore(ar, 2);
  for (size_t i = 0; i < origin_settings.size(); ++i) {
    UIntField(ar, kValueNames[i], origin_settings[i], Apply::Direct);
  }
  BaseRecordOf<DS_StaticGenerator>(ar, this);
}

void DS_ParticleRctRgnGenerator::Describe(Archive& ar) {
  QuadField(ar, "area", area);
  BaseRecordOf<DS_TexParticleGenerator>(ar, this);
}

void DS_SingleRectGN::Describe(Archive& ar) {
  RejectVersionsBefore(ar, 2);
  QuadField(ar, "quad", quad);
  BaseRecordOf<DS_StaticGenerator>(ar, this);
}

void DS_PathGenerator::Describe(Archive& ar) {
  PointList(ar, "path", path.points);
  BaseRecordOf<DS_TexParticleGenerator>(ar, this);
}

void DS_StringGenerator::Describe(Archive& ar) {
  for (size_t i = 0; i < chain_settings.size(); ++i) ar.Float(kValueNames[i], chain_settings[i]);
  BaseRecordOf<DS_TexParticleGenerator>(ar, this);
}

void DS_AirBrush::Describe(Archive& ar) {
  RejectVersionsBefore(ar, 3);
  UIntField(ar, "value_1", value_1, Apply::Direct);
  ListOf(ar, "sprites", sprites, [&](AirBrushSprite& sprite) {
    ar.Group(nullptr, [&] {
      ar.Group("position", [&] { PositionFields(ar, sprite.position); });
      ar.UInt("pair_count", sprite.pair_count);
      for (size_t i = 0; i < AirBrushSprite::kPairs; ++i) {
        ar.Group(kPairNames[i], [&] {
          ar.Float("first", sprite.pairs[i][0]);
          ar.Float("second", sprite.pairs[i][1]);
        });
      }
    });
  });
  BaseRecordOf<DS_TexParticleGenerator>(ar, this);
}

}  // namespace lumi
