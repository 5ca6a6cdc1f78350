// The end of every program that draws headless: the driver's rasteriser
// threads are gone once the context is torn down (LeakSanitizer's check at
// exit stops and scans every thread, and falls over on Mesa's), while the
// driver itself stays loaded, so that what it keeps for the process is no
// leak.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/gl/gl_context.h"
#include "render/gl/gl_device.h"

namespace lumi {
namespace {

long ThreadCount() {
  return std::distance(std::filesystem::directory_iterator("/proc/self/task"), std::filesystem::directory_iterator());
}

bool DriverMapped() {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    if (line.ends_with("_dri.so")) return true;
  }
  return false;
}

// Runs in a process of its own, without the test programs' shared context;
// its exit code tells.
[[noreturn]] void DrawThenTearDown() {
  {
    std::string error;
    const std::unique_ptr<GlContext> context = CreateHeadlessGlContext(error);
    if (!context) {
      std::fprintf(stderr, "no headless OpenGL: %s\n", error.c_str());
      std::exit(0);
    }
    const auto device = CreateGlDevice(*context, 16, 16, error);
    if (!device || !device->BeginScene()) std::exit(2);
    device->Clear(kClearTarget, 0xff204060, 1, 0);
    device->EndScene();
    const auto pixels = device->ReadPixels(*device->GetBackBuffer());
    if (!pixels || pixels->pixels[2] != 0x60) std::exit(3);
  }
  if (ThreadCount() != 1) {
    std::fprintf(stderr, "%ld threads after the teardown\n", ThreadCount());
    std::exit(4);
  }
  if (!DriverMapped()) {
    std::fprintf(stderr, "the driver was unloaded\n");
    std::exit(5);
  }
  std::exit(0);
}

TEST(GlHeadlessContext, TeardownEndsTheDriverThreadsAndKeepsTheDriver) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(DrawThenTearDown(), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace lumi
