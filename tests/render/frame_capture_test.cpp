#include "render/frame_capture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "render/picture_loader.h"
#include "render/recording_device.h"
#include "render/target_pair.h"
#include "tests/render/gl_test_support.h"

namespace lumi {
namespace {

TEST(RenderFrameCapture, LosesTheDeviceOnScheduleAndRestoresThroughTheCallbacks) {
  RecordingDevice device(8, 8);
  TargetPair pair;
  int losses = 0, restores = 0, drawn = 0;
  FrameCallbacks callbacks;
  callbacks.draw = [&](uint32_t) {
    ++drawn;
    EXPECT_FALSE(pair.Current()->IsLost());
  };
  callbacks.lose = [&] {
    ++losses;
    pair.Release();
  };
  callbacks.restore = [&] {
    ++restores;
    pair.Create(device, 4, 4);
  };
  ASSERT_TRUE(pair.Create(device, 4, 4));
  std::string error;
  RenderFrames(device, {7, 3}, callbacks, error);  // the recording device reads no pixels
  EXPECT_EQ(drawn, 7);
  EXPECT_EQ(losses, 2);  // before frames 3 and 6
  EXPECT_EQ(restores, 2);
  callbacks.lose = nullptr;  // keeps the targets: the reset must fail
  EXPECT_FALSE(RenderFrames(device, {4, 2}, callbacks, error));
  EXPECT_EQ(error.rfind("frame 2: the device could not be reset: ", 0), 0u) << error;
}

TEST(RenderFrameCapture, RendersAndSavesAPng) {
  LUMI_REQUIRE_GL(device, 24, 16);
  FrameCallbacks callbacks;
  callbacks.draw = [&](uint32_t frame) { device->Clear(kClearTarget, frame == 2 ? 0xff00ff00 : 0xffff0000, 1, 0); };
  std::string error;
  const auto image = RenderFrames(*device, {3, 0}, callbacks, error);
  ASSERT_TRUE(image) << error;
  const std::string path = (std::filesystem::path(LUMI_BINARY_DIR) / "test-output" / "capture.png").string();
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  ASSERT_TRUE(WritePng(*image, path, error)) << error;
  std::string message;
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  const LoadedPicture picture = LoadPicture(*device, bytes, {}, message);
  ASSERT_FALSE(picture.Empty()) << message;
  EXPECT_EQ(picture.width, 24u);
  EXPECT_EQ(picture.frames[0]->LevelData(0)[1], 0xff);  // green
  EXPECT_FALSE(WritePng({}, path, error));
  EXPECT_FALSE(WritePng(*image, "/nonexistent-folder/x.png", error));
  EXPECT_EQ(error, "could not write /nonexistent-folder/x.png");
}

}  // namespace
}  // namespace lumi
