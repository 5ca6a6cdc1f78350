// Full screen over two monitors: Xorg's dummy driver with two outputs side
// by side (Xvfb shows SDL only one). Both are covered; with two software
// renderers the last monitor draws and the other stays black. Skipped,
// with the reason, where Xorg, its dummy driver or the X tools are missing
// or Xorg cannot run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/scratch_directory.h"
#include "tests/support/virtual_x_server.h"

namespace lumi {
namespace {

using namespace std::chrono_literals;

constexpr const char* kDummyDriver = "/usr/lib/xorg/modules/drivers/dummy_drv.so";

constexpr const char* kConfig = R"(Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 64000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 1600 600
  EndSubSection
EndSection
)";

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++count;
  return count;
}

class TwoMonitors : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* program : {"Xorg", "xrandr", "xdotool", "import", "convert"}) {
      if (!test::HaveProgram(program)) GTEST_SKIP() << program << " is not installed";
    }
    if (!std::filesystem::exists(kDummyDriver)) GTEST_SKIP() << "Xorg's dummy driver is not installed";
    std::ofstream(folder_ / "xorg.conf") << kConfig;
    if (!server_.StartXorg(folder_ / "xorg.conf", folder_ / "xorg.log")) {
      GTEST_SKIP() << "Xorg cannot run here: " << test::Capture("tail -3 " + (folder_ / "xorg.log.out").string());
    }
    // Two 800 x 600 outputs side by side.
    Run("xrandr --newmode lumi800x600 38.25 800 832 912 1024 600 603 607 624 -hsync +vsync");
    Run("xrandr --addmode DUMMY0 lumi800x600");
    Run("xrandr --addmode DUMMY1 lumi800x600");
    Run("xrandr --output DUMMY0 --mode lumi800x600 --pos 0x0 --output DUMMY1 --mode lumi800x600 --pos 800x0");
    // Clients see the second output a moment after xrandr returns: wait
    // until the saver's own listing has both.
    for (int i = 0; i < 100; ++i) {
      const std::string listing = test::Capture(Env() + LUMI_BINARY_DIR "/host/lumisave --list-devices 2>/dev/null");
      if (Occurrences(listing, "\"monitor_name\"") == 2) return;
      std::this_thread::sleep_for(100ms);
    }
    FAIL() << "the second output never appeared";
  }
  void TearDown() override {
    if (HasFailure()) {
      std::printf("%s\n%s\n", test::Capture(Env() + "xrandr -q 2>&1").c_str(),
                  test::Capture("cat " + (folder_ / "err").string()).c_str());
    }
    if (saver_ > 0) kill(saver_, SIGKILL), waitpid(saver_, nullptr, 0);
    server_.Stop();
  }

  std::string Env() const { return test::SaverEnvironment(server_.Display(), folder_.path()); }
  void Run(const std::string& command) {
    ASSERT_EQ(std::system((Env() + command + " >/dev/null 2>&1").c_str()), 0) << command;
  }
  double Lightness(const std::string& geometry) { return test::ScreenLook(Env(), geometry, folder_ / "shot.png").first; }
  int WaitForSaver(std::chrono::milliseconds limit) { return test::WaitForExit(saver_, limit); }

  test::ScratchDirectory folder_;
  test::VirtualXServer server_;
  pid_t saver_ = 0;
};

TEST_F(TwoMonitors, WindowsCoverBothAndTheLastSoftwareMonitorDraws) {
  saver_ = fork();
  if (saver_ == 0) {
    const std::string line =
        "exec " + Env() + LUMI_BINARY_DIR "/host/lumisave --normal-priority /s 2>" + (folder_ / "err").string();
    execl("/bin/sh", "sh", "-c", line.c_str(), nullptr);
    _exit(127);
  }
  bool drawn = false;
  for (int i = 0; i < 200 && !drawn; ++i) {  // a minute: a loaded machine draws late
    std::this_thread::sleep_for(300ms);
    drawn = Lightness("800x600+800+0") > 0.3;
  }
  EXPECT_TRUE(drawn) << "the picture on the second monitor";
  EXPECT_LT(Lightness("800x600+0+0"), 0.02) << "the first stays black";
  // One borderless window at each monitor's bounds.
  const std::string geometry =
      test::Capture(Env() + "xdotool search --onlyvisible --class lumisave getwindowgeometry %@ 2>/dev/null");
  EXPECT_NE(geometry.find("Position: 0,0"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("Position: 800,0"), std::string::npos) << geometry;
  EXPECT_EQ(Occurrences(geometry, "Geometry: 800x600"), 2u) << geometry;
  Run("xdotool key space");
  EXPECT_EQ(WaitForSaver(5s), 0);
}

}  // namespace
}  // namespace lumi
