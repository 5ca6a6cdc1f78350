#include "backdrop/ripple_grid.h"

#include <algorithm>
#include <cmath>

#include "params/random.h"

namespace lumi {

namespace {

// The sphere the refracted rays meet, below the surface.
constexpr float kSphereRadiusSquared = 1225, kSphereDrop = 20;
// Where the light shines from, above the water: highlights lie where a
// surface turns halfway between it and the eye.
constexpr Vector3 kTowardsLight{0.5f, 1.0f, -1.0f};

uint32_t Even(uint32_t n) { return n & ~1u; }

}  // namespace

RippleGrid::Size RippleGrid::SizeFor(float aspect, uint32_t row_density, uint32_t column_density) {
  // Densities beyond 10 times the default only overflow the grid.
  const double f2 = std::min(row_density, 1000u) * 0.01 + 1, f3 = std::min(column_density, 1000u) * 0.01 + 1;
  const double a = std::isfinite(aspect) && aspect > 0 ? aspect : 1.0;
  const uint32_t most_lines = kMostVertices / kFewestLines;
  const auto lines = [&](double n) {
    return Even(static_cast<uint32_t>(std::clamp(n, double{kFewestLines}, double{most_lines})));
  };
  uint32_t columns = lines(std::trunc(128 * f3));
  const uint32_t rows = lines(std::trunc(a * columns * f2));  // (D / Wd) = a
  if (columns * rows > kMostVertices) columns = Even(kMostVertices / rows);
  return {columns, rows};
}

float RippleGrid::Damping(uint32_t raw) {
  raw = std::min(raw, 100u);
  return raw < 50 ? 0.9f + static_cast<float>(raw) * 0.09f * 0.02f
                  : 0.99f + static_cast<float>(raw - 50) * 0.009f * 0.02f;
}

const std::array<RippleGrid::Refraction, 256>& RippleGrid::RefractionTable() {
  static const std::array<Refraction, 256> table = [] {
    std::array<Refraction, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      const double a = i / 256.0, b = std::sin(std::acos(a)), c = b / 1.333, d = std::cos(std::asin(c));
      const uint32_t grazing = (255 - i) * (255 - i) * (255 - i);
      t[i] = {static_cast<float>(d * (b / c) - a), static_cast<float>(-(c / b)), ((grazing & ~0xFFFFu) >> 16) << 24};
    }
    return t;
  }();
  return table;
}

uint32_t RippleGrid::TableIndex(float cosine) {
  // Steep normals make the cosine negative; a NaN counts as head-on.
  const float index = std::round(cosine * 255);
  return index >= 0 ? static_cast<uint32_t>(std::min(index, 255.0f)) : (index < 0 ? 0 : 255);
}

void RippleGrid::Build(float aspect, Size size, const RippleSettings& settings) {
  const float a = std::isfinite(aspect) && aspect > 0 ? aspect : 1.0f;
  width_ = 30 / a;
  depth_ = 30;
  size_ = size;
  settings_ = settings;
  height_.assign(size_t{size.columns} * size.rows, 0);
  velocity_.assign(height_.size(), 0);
}

void RippleGrid::Drop() {
  if (size_.columns < 3 || size_.rows < 3) return;
  const uint32_t c = static_cast<uint32_t>(Rand()) % (size_.columns - 2) + 1;
  const uint32_t r = static_cast<uint32_t>(Rand()) % (size_.rows - 2) + 1;
  const float d = settings_.drop_depth;
  for (int dr = -1; dr <= 1; ++dr) {
    for (int dc = -1; dc <= 1; ++dc) {
      const int away = std::abs(dr) + std::abs(dc);
      const float kernel = away == 0 ? 0.25f : away == 1 ? 0.125f : 0.0625f;
      velocity_[Index(c + dc, r + dr)] -= d * kernel;
    }
  }
}

void RippleGrid::Step() {
  const uint32_t nx = size_.columns, nz = size_.rows;
  if (nx == 0 || nz == 0) return;
  const float k = settings_.damping;
  const auto vertices = static_cast<float>(height_.size());
  for (int iteration = 0; iteration < 4; ++iteration) {
    double sum = 0;
    for (uint32_t r = 0; r < nz; ++r) {
      for (uint32_t c = 0; c < nx; ++c) {
        const size_t i = Index(c, r);
        if (r == 0 || c == 0 || r == nz - 1 || c == nx - 1) {
          height_[i] = velocity_[i] = 0;
          continue;
        }
        const float diagonal = height_[i - nx - 1] + height_[i - nx + 1] + height_[i + nx - 1] + height_[i + nx + 1];
        const float edge = height_[i - 1] + height_[i + 1] + height_[i - nx] + height_[i + nx];
        const float m = diagonal / 12 + edge / 6;
        velocity_[i] = (m - height_[i]) * 0.25f + k * velocity_[i];
        sum += height_[i] + velocity_[i];
      }
    }
    // The mean level stays at 0.
    const auto mean = static_cast<float>(sum / vertices);
    for (size_t i = 0; i < height_.size(); ++i) height_[i] += velocity_[i] * settings_.speed_factor - mean;
  }
}

Vector3 RippleGrid::Position(uint32_t column, uint32_t row) const {
  const float x = -width_ / 2 + static_cast<float>(column) * width_ / static_cast<float>(size_.columns - 1);
  const float z = -depth_ / 2 + static_cast<float>(row) * depth_ / static_cast<float>(size_.rows - 1);
  return {x, Height(column, row), z};
}

Vector3 RippleGrid::Normal(uint32_t column, uint32_t row) const {
  const uint32_t nx = size_.columns, nz = size_.rows;
  const uint32_t left = (column + nx - 1) % nx, right = (column + 1) % nx;
  const uint32_t up = (row + nz - 1) % nz, down = (row + 1) % nz;
  const float d1 = Height(left, up) - Height(right, down), d2 = Height(right, up) - Height(left, down);
  return Vec3Normalize({Height(left, row) - Height(right, row) + d1 - d2, 1,
                        Height(column, up) - Height(column, down) + d1 + d2});
}

RippleVertex RippleGrid::VertexAt(uint32_t column, uint32_t row) const {
  const Vector3 p = Position(column, row), n = Normal(column, row);
  const Vector3 e = Vec3Normalize(kEye - p);
  const Refraction& entry = RefractionTable()[TableIndex(Dot(e, n))];
  const Vector3 r = (entry.f0 * n + e) * entry.f1;
  // Where the ray from below the vertex meets the sphere; a ray that
  // misses it (a wide picture's corners) is not bent.
  const float below = p.y - kSphereDrop;
  const float b = 2 * (r.y * below + r.x * p.x + r.z * p.z);
  const float c = below * below + p.x * p.x + p.z * p.z - kSphereRadiusSquared;
  const float discriminant = b * b - 4 * c;
  const float w = discriminant >= 0 ? (std::sqrt(discriminant) - b) / 2 * settings_.refraction_depth : 0;
  const float pull = 1 - 0.05f * settings_.refraction_depth;
  RippleVertex out;
  out.x = static_cast<float>(column) / static_cast<float>(size_.columns - 1);
  out.y = static_cast<float>(row) / static_cast<float>(size_.rows - 1);
  out.u = pull * (r.x * w + p.x) / width_ + 0.5f;
  out.v = pull * (r.z * w + p.z) / depth_ + 0.5f;
  const Vector3 half = Vec3Normalize(e + Vec3Normalize(kTowardsLight));
  out.highlight = settings_.specular_level * std::pow(std::max(Dot(n, half), 0.0f), settings_.specular_power);
  return out;
}

void RippleGrid::Vertices(std::vector<RippleVertex>& out) const {
  out.resize(height_.size());
  for (uint32_t r = 0; r < size_.rows; ++r) {
    for (uint32_t c = 0; c < size_.columns; ++c) out[Index(c, r)] = VertexAt(c, r);
  }
}

}  // namespace lumi
