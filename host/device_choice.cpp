#include "host/device_choice.h"

#include <algorithm>

namespace lumi {
namespace {

constexpr std::uint32_t kFormatA8R8G8B8 = 21;
constexpr std::uint32_t kFormatR5G6B5 = 23;
constexpr std::uint32_t kFormatX1R5G5B5 = 24;
constexpr std::uint32_t kFormatA1R5G5B5 = 25;
constexpr std::uint32_t kFormatA4R4G4B4 = 26;
constexpr std::uint32_t kFormatX4R4G4B4 = 30;

bool Is16Bit(std::uint32_t format) {
  return format == kFormatR5G6B5 || format == kFormatX1R5G5B5 || format == kFormatA1R5G5B5 ||
         format == kFormatA4R4G4B4 || format == kFormatX4R4G4B4;
}

bool Is32Bit(std::uint32_t format) { return format == kFormatX8R8G8B8 || format == kFormatA8R8G8B8; }

}  // namespace

std::vector<DisplayModeAnswer> ListUsableModes(const std::vector<DisplayModeAnswer>& listed) {
  std::vector<DisplayModeAnswer> modes;
  for (const DisplayModeAnswer& mode : listed) {
    if (mode.width < 640 || mode.height < 400) continue;
    if (std::find(modes.begin(), modes.end(), mode) != modes.end()) continue;
    if (modes.size() == kMaxModes) break;
    modes.push_back(mode);
  }
  std::sort(modes.begin(), modes.end(), [](const DisplayModeAnswer& a, const DisplayModeAnswer& b) {
    if (a.width != b.width) return a.width < b.width;
    if (a.height != b.height) return a.height < b.height;
    return a.format > b.format;
  });
  return modes;
}

int FindBestAdapter(const std::vector<int>& monitor_adapters, const std::vector<AdapterChoice>& adapters) {
  int software = -1;
  for (const int adapter : monitor_adapters) {
    if (adapter < 0 || static_cast<std::size_t>(adapter) >= adapters.size()) continue;
    const AdapterChoice& choice = adapters[static_cast<std::size_t>(adapter)];
    if (!choice.usable) continue;
    if (!choice.software) return adapter;
    software = adapter;
  }
  return software;
}

std::size_t ChooseFullscreenMode(const std::vector<DisplayModeAnswer>& modes, bool software,
                                 const DisplayModeAnswer& desktop, const UserMode& user) {
  if (user.width != 0) {
    for (std::size_t i = 0; i < modes.size(); ++i) {
      if (modes[i].width == user.width && modes[i].height == user.height && modes[i].format == user.format) return i;
    }
  }
  std::optional<std::size_t> chosen;
  for (std::size_t i = 0; i < modes.size(); ++i) {
    const DisplayModeAnswer& mode = modes[i];
    if (software) {
      if (mode.height == 400) continue;
      if (!chosen || mode.height < modes[*chosen].height ||
          (mode.height == modes[*chosen].height && !Is16Bit(modes[*chosen].format))) {
        chosen = i;
      }
    } else if (mode.width == desktop.width && mode.height == desktop.height) {
      // The first of the desktop's size, unless a 32-bit one follows.
      if (!chosen || Is32Bit(mode.format)) chosen = i;
      if (Is32Bit(mode.format)) break;
    }
  }
  return chosen.value_or(0);
}

std::optional<std::size_t> FindNextLowerMode(const std::vector<DisplayModeAnswer>& modes, std::size_t current) {
  if (current >= modes.size()) return std::nullopt;
  const DisplayModeAnswer& now = modes[current];
  const auto area = [](const DisplayModeAnswer& m) { return std::uint64_t{m.width} * m.height; };
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < modes.size(); ++i) {
    if (i == current) continue;
    const DisplayModeAnswer& mode = modes[i];
    if (Is32Bit(now.format) && !Is32Bit(mode.format) && mode.width == now.width && mode.height == now.height) {
      return i;
    }
    const bool best_32 = best && Is32Bit(modes[*best].format);
    const std::uint64_t best_area = best ? area(modes[*best]) : 0;
    if (area(mode) < area(now) && (!best_32 || area(mode) >= best_area) &&
        (area(mode) > best_area || (!best_32 && Is32Bit(mode.format)))) {
      best = i;
    }
  }
  return best;
}

}  // namespace lumi
