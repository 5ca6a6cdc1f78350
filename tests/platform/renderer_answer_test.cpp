// What the device list makes of a renderer's names.
#include <gtest/gtest.h>

#include "platform/renderer_answer.h"

namespace lumi {
namespace {

TEST(RendererAnswer, OnlyRenderersThatDrawOpenGl33AreUsableAndMesasOwnAreSoftware) {
  EXPECT_FALSE(IsUsableRenderer({}));
  EXPECT_FALSE(IsUsableRenderer({"Microsoft Corporation", "GDI Generic"}));
  EXPECT_TRUE(IsUsableRenderer({"Mesa", "llvmpipe (LLVM 15.0.6, 256 bits)"}));

  const AdapterAnswer mesa = RendererAdapter({"Mesa", "llvmpipe (LLVM 15.0.6, 256 bits)"}, 2);
  EXPECT_TRUE(mesa.software);
  EXPECT_EQ(mesa.monitor, 2);
  EXPECT_EQ(mesa.description, u"llvmpipe (LLVM 15.0.6, 256 bits)");
  EXPECT_TRUE(RendererAdapter({"Mesa", "softpipe"}, 0).software);
  EXPECT_FALSE(RendererAdapter({"AMD", "AMD Radeon RX 6600 (radeonsi, navi23)"}, 0).software);
}

TEST(RendererAnswer, TheIdentityStaysWithTheRendererAndTellsRenderersApart) {
  const AdapterAnswer first = RendererAdapter({"Mesa", "llvmpipe"}, 0);
  const AdapterAnswer again = RendererAdapter({"Mesa", "llvmpipe"}, 1);
  EXPECT_EQ(first.identifier, again.identifier) << "stored settings must find their screen next time";
  EXPECT_NE(first.identifier, RendererAdapter({"Mesa", "softpipe"}, 0).identifier);
  // Vendor and renderer do not run into each other.
  EXPECT_NE(RendererAdapter({"ab", "c"}, 0).identifier, RendererAdapter({"a", "bc"}, 0).identifier);
  EXPECT_NE(first.identifier, (std::array<std::uint8_t, 16>{}));
}

}  // namespace
}  // namespace lumi
