#include "params/sliders.h"

#include <algorithm>
#include <cmath>

#include "params/random.h"

namespace lumi {
namespace {

// The whole number of events due, as a signed count. Kept within a range
// where doubling cannot overflow; a time before the last emission gives a
// negative count, which restarts the counting from now.
int DueEvents(float rate, double t, double last) {
  const double due = std::trunc(rate * (t - last));
  if (std::isnan(due)) return 0;  // a damaged setting
  return static_cast<int>(std::clamp(due, -1.0e9, 1.0e9));
}

}  // namespace

int PerSecondCounter::CountPlain(double t) {
  const int due = DueEvents(scaled(), t, last_emission);
  if (due != 0) last_emission = t;
  return std::max(due, 0);
}

int PerSecondCounter::CountRandom(double t) {
  const int most = 2 * DueEvents(scaled(), t, last_emission);
  if (most != 0) last_emission = t;
  return Rand() % (std::max(most, 0) + 1);
}

}  // namespace lumi
