// The device choice on recorded answers.
#include "host/device_choice.h"

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace lumi {
namespace {

using ::testing::ElementsAre;

constexpr std::uint32_t kR5G6B5 = 23;
constexpr std::uint32_t kA8R8G8B8 = 21;

TEST(DeviceChoice, ModesAreFilteredDeduplicatedAndSorted) {
  const std::vector<DisplayModeAnswer> listed = {{1024, 768}, {640, 350}, {600, 800}, {640, 400},
                                                 {1024, 768}, {800, 600, kR5G6B5}, {800, 600}};
  EXPECT_THAT(ListUsableModes(listed),
              ElementsAre(DisplayModeAnswer{640, 400}, DisplayModeAnswer{800, 600, kR5G6B5}, DisplayModeAnswer{800, 600},
                          DisplayModeAnswer{1024, 768}));
  std::vector<DisplayModeAnswer> many;
  for (std::uint32_t w = 640; w < 640 + 150; ++w) many.push_back({w, 480});
  const auto kept = ListUsableModes(many);
  ASSERT_EQ(kept.size(), kMaxModes);
  EXPECT_EQ(kept.back().width, 640u + kMaxModes - 1) << "the first modes are kept";
}

TEST(DeviceChoice, BestAdapterIsTheFirstHardwareElseTheLastSoftware) {
  const std::vector<AdapterChoice> adapters = {{true, true}, {true, false}, {true, true}, {false, false}};
  EXPECT_EQ(FindBestAdapter({0, 1, 2}, adapters), 1);
  EXPECT_EQ(FindBestAdapter({0, 2}, adapters), 2) << "two software monitors: the last";
  EXPECT_EQ(FindBestAdapter({3, -1, 7}, adapters), -1) << "unusable, none and out of range";
  EXPECT_EQ(FindBestAdapter({}, adapters), -1);
}

TEST(DeviceChoice, FullScreenModeFollowsTheUserThenTheDeviceKind) {
  const std::vector<DisplayModeAnswer> modes =
      ListUsableModes({{640, 400}, {640, 480, kR5G6B5}, {640, 480}, {800, 600}, {1280, 1024, kR5G6B5},
                       {1280, 1024, kA8R8G8B8}, {1280, 1024}});
  const DisplayModeAnswer desktop{1280, 1024};
  // Software: the lowest height other than 400; at equal height a later
  // mode replaces an earlier one unless the earlier one is 16-bit.
  EXPECT_EQ(modes[ChooseFullscreenMode(modes, true, desktop, {})], (DisplayModeAnswer{640, 480, kR5G6B5}));
  // Hardware: the desktop's size, preferring 32 bits.
  EXPECT_EQ(modes[ChooseFullscreenMode(modes, false, desktop, {})].height, 1024u);
  EXPECT_NE(modes[ChooseFullscreenMode(modes, false, desktop, {})].format, kR5G6B5);
  // The user's mode when it exists; a vanished one falls back quietly.
  EXPECT_EQ(modes[ChooseFullscreenMode(modes, false, desktop, {800, 600, kFormatX8R8G8B8})],
            (DisplayModeAnswer{800, 600}));
  EXPECT_EQ(modes[ChooseFullscreenMode(modes, true, desktop, {1600, 1200, kFormatX8R8G8B8})],
            (DisplayModeAnswer{640, 480, kR5G6B5}));
  // Nothing of the desktop's size: the smallest.
  EXPECT_EQ(ChooseFullscreenMode(modes, false, {1920, 1080}, {}), 0u);
}

TEST(DeviceChoice, NextLowerModeIsTheLargestSmallerPreferring32Bit) {
  const std::vector<DisplayModeAnswer> modes =
      ListUsableModes({{640, 480, kR5G6B5}, {640, 480}, {800, 600, kR5G6B5}, {800, 600}, {1024, 768, kR5G6B5},
                       {1024, 768}, {1280, 1024}});
  const auto at = [&](DisplayModeAnswer mode) {
    return static_cast<std::size_t>(std::find(modes.begin(), modes.end(), mode) - modes.begin());
  };
  const auto next = [&](DisplayModeAnswer from) -> std::optional<DisplayModeAnswer> {
    const std::optional<std::size_t> lower = FindNextLowerMode(modes, at(from));
    if (!lower) return std::nullopt;
    return modes[*lower];
  };
  // A 32-bit mode first gives way to the 16-bit mode of its own size.
  EXPECT_EQ(next({1024, 768}), (DisplayModeAnswer{1024, 768, kR5G6B5}));
  // Without one, the largest smaller mode, the 32-bit one of that size.
  EXPECT_EQ(next({1280, 1024}), (DisplayModeAnswer{1024, 768}));
  // From 16 bits: down in size, again 32-bit first.
  EXPECT_EQ(next({1024, 768, kR5G6B5}), (DisplayModeAnswer{800, 600}));
  EXPECT_EQ(next({640, 480, kR5G6B5}), std::nullopt) << "nothing smaller";
  EXPECT_EQ(FindNextLowerMode(modes, modes.size()), std::nullopt) << "no current mode";

  // Walking down from the largest visits every size once, largest first.
  std::vector<std::uint32_t> heights;
  for (std::optional<std::size_t> m = at({1280, 1024}); m; m = FindNextLowerMode(modes, *m)) {
    heights.push_back(modes[*m].height);
  }
  EXPECT_THAT(heights, ElementsAre(1024u, 768u, 768u, 600u, 600u, 480u, 480u));
}

}  // namespace
}  // namespace lumi
