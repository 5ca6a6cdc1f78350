// The policy that turns the window system's answers about monitors and
// renderers into adapters and display modes: which adapter draws and at
// which mode a full-screen unit renders.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/saver_display.h"

namespace lumi {

inline constexpr std::size_t kMaxMonitors = 9;
inline constexpr std::size_t kMaxAdapters = 9;
inline constexpr std::size_t kMaxModes = 100;

// The modes a unit may use: at least 640 x 400, each size and format once
// (refresh rates are not told apart), the first kMaxModes kept, sorted by
// width, then height, then format descending.
std::vector<DisplayModeAnswer> ListUsableModes(const std::vector<DisplayModeAnswer>& listed);

struct AdapterChoice {
  bool usable = false;  // has at least one usable mode
  bool software = false;
};

// `monitor_adapters[m]` is the adapter driving monitor m (-1 for none).
// The first monitor's adapter that draws in hardware wins; failing that,
// the last one that draws in software. -1 when none can draw.
int FindBestAdapter(const std::vector<int>& monitor_adapters, const std::vector<AdapterChoice>& adapters);

// The stored choice of a screen: 0 x 0 means automatic.
struct UserMode {
  std::uint32_t width = 0, height = 0, format = 0;
};

// Index into `modes` (as ListUsableModes gives them, not empty): the user's
// mode when it still exists; else for software the lowest mode whose
// height is not exactly 400, for hardware the desktop's size, preferring a
// 32-bit format; else the smallest mode.
std::size_t ChooseFullscreenMode(const std::vector<DisplayModeAnswer>& modes, bool software,
                                 const DisplayModeAnswer& desktop, const UserMode& user);

// The mode to try after `current` failed: a 16-bit mode of the same size
// when the current one is 32-bit; otherwise the largest smaller mode,
// 32-bit ones first among those. nullopt when there is none.
std::optional<std::size_t> FindNextLowerMode(const std::vector<DisplayModeAnswer>& modes, std::size_t current);

}  // namespace lumi
