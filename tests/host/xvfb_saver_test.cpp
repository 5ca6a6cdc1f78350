// The saver under a virtual X server: what it shows and what ends it.
// Needs Xvfb, xdotool, xlogo and ImageMagick; skipped without them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/scratch_directory.h"
#include "tests/support/virtual_x_server.h"

namespace lumi {
namespace {

using namespace std::chrono_literals;

class XvfbSaver : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* program : {"Xvfb", "xdotool", "xlogo", "import", "convert"}) {
      if (!test::HaveProgram(program)) GTEST_SKIP() << program << " is not installed";
    }
    ASSERT_TRUE(server_.Start("800x600x24", folder_ / "xvfb.log")) << "Xvfb did not start";
    display_ = server_.Display();
  }

  void TearDown() override {
    if (HasFailure()) {
      EXPECT_EQ(std::system(("cat " + (folder_ / "xvfb.log").string() + " " + (folder_ / "err").string()).c_str()), 0);
    }
    if (saver_ > 0) kill(saver_, SIGKILL), waitpid(saver_, nullptr, 0);
    server_.Stop();
  }

  std::string Env() const { return test::SaverEnvironment(display_, folder_.path()); }
  // Runs `command` on our display without waiting.
  pid_t Spawn(const std::string& command) {
    const pid_t pid = fork();
    if (pid == 0) {
      const std::string line = "exec " + Env() + command + " 2>" + (folder_ / "err").string();
      execl("/bin/sh", "sh", "-c", line.c_str(), nullptr);
      _exit(127);
    }
    return pid;
  }
  void StartSaver(const std::string& arguments) {
    saver_ = Spawn(LUMI_BINARY_DIR "/host/lumisave --normal-priority " + arguments);
  }
  // The saver's exit code once it ended within `limit`; -1 while it runs.
  int WaitForSaver(std::chrono::milliseconds limit) { return test::WaitForExit(saver_, limit); }
  void X(const std::string& command) { ASSERT_EQ(std::system((Env() + command + " >/dev/null").c_str()), 0) << command; }
  std::pair<double, double> Look(const std::string& geometry) {
    return test::ScreenLook(Env(), geometry, folder_ / "shot.png");
  }
  // Waits until the screen part looks like the demo (a colourful lake). The
  // limit only matters when the test fails: a loaded machine may take many
  // seconds to load the demo and draw its first frames.
  bool ShowsTheDemo(const std::string& geometry, std::chrono::seconds limit = 60s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      const auto [lightness, saturation] = Look(geometry);
      if (lightness > 0.3 && saturation > 0.2) return true;
      std::this_thread::sleep_for(300ms);
    }
    return false;
  }

  // The look once the picture has settled (past its fade-in): two looks in
  // a row that agree.
  std::pair<double, double> SettledLook(const std::string& geometry) {
    auto look = Look(geometry);
    for (int i = 0; i < 100; ++i) {
      std::this_thread::sleep_for(300ms);
      const auto next = Look(geometry);
      const bool settled =
          std::abs(next.first - look.first) < 0.01 && std::abs(next.second - look.second) < 0.01;
      look = next;
      if (settled) break;
    }
    return look;
  }

  // Waits until the test window shows the error box: white on black.
  bool ShowsTheErrorBox() {
    for (int i = 0; i < 30; ++i) {
      std::this_thread::sleep_for(200ms);
      const double lightness = Look("600x400+50+50").first;
      if (lightness > 0.12 && lightness < 0.3) return true;  // 300 x 150 of 600 x 400 is 0.19
    }
    return false;
  }

  test::ScratchDirectory folder_;
  test::VirtualXServer server_;
  std::string display_;
  pid_t saver_ = 0;
};

TEST_F(XvfbSaver, TestWindowShowsTheDemoAndEndsOnASignal) {
  StartSaver("/t");
  EXPECT_TRUE(ShowsTheDemo("600x400+50+50"));
  // Outside the window the screen stays as it was.
  EXPECT_LT(Look("100x100+700+500").first, 0.05);
  // Input does not end a test window.
  X("xdotool mousemove 100 100 mousemove 200 200 mousemove 300 300 key a click 1");
  EXPECT_EQ(WaitForSaver(500ms), -1);
  kill(saver_, SIGTERM);
  EXPECT_EQ(WaitForSaver(5s), 0);
}

// The first frame is the "Loading..." picture in a centred square of two
// thirds of the height; at one frame a second it stays long enough to be
// read off the screen and compared with the picture the saver carries.
TEST_F(XvfbSaver, TestWindowShowsLoadingFirst) {
  const std::string window = (folder_ / "window.png").string();
  const std::string square = (folder_ / "square.png").string();
  const std::string reference = (folder_ / "loading.png").string();
  // 400 x 2/3 = 266.7 pixels, at 166.7, 66.7 in the 600 x 400 client area.
  X("convert " LUMI_BINARY_DIR "/builtin_pictures/picture_5.png -resize 267x267! " + reference);
  StartSaver("/t --fps 1");
  double difference = 1;
  double beside = 1;
  for (int i = 0; i < 100 && difference > 0.15; ++i) {
    std::this_thread::sleep_for(50ms);
    X("import -window root -crop 600x400+50+50 +repage " + window);
    X("convert " + window + " -crop 267x267+167+67 +repage " + square);
    const std::string rmse = test::Capture("compare -metric RMSE " + square + " " + reference + " null: 2>&1");
    std::sscanf(rmse.substr(rmse.find('(') + 1).c_str(), "%lf", &difference);
    beside = std::stod(test::Capture("convert " + window + " -crop 150x400+0+0 -format '%[fx:mean]' info:"));
  }
  EXPECT_LT(difference, 0.15) << "the square does not show the picture";
  EXPECT_LT(beside, 0.02) << "black beside the square";
  EXPECT_TRUE(ShowsTheDemo("600x400+50+50")) << "then the scene";
}

TEST_F(XvfbSaver, FullScreenEndsOnTheSixthMoveNotTheFifth) {
  StartSaver("/s");
  EXPECT_TRUE(ShowsTheDemo("800x600+0+0"));
  for (int i = 1; i <= 5; ++i) X("xdotool mousemove " + std::to_string(100 + 20 * i) + " 100");
  EXPECT_EQ(WaitForSaver(700ms), -1) << "five moves";
  X("xdotool mousemove 400 300");
  EXPECT_EQ(WaitForSaver(5s), 0) << "the sixth";
}

TEST_F(XvfbSaver, FullScreenEndsOnAKey) {
  StartSaver("/s");
  EXPECT_TRUE(ShowsTheDemo("800x600+0+0"));
  X("xdotool key space");
  EXPECT_EQ(WaitForSaver(5s), 0);
}

TEST_F(XvfbSaver, PreviewFollowsAnotherProgramsWindowUntilItGoes) {
  const pid_t logo = Spawn("xlogo -geometry 320x200+10+10");
  std::string window;
  for (int i = 0; i < 50 && window.empty(); ++i) {
    std::this_thread::sleep_for(100ms);
    window = test::Capture(Env() + "xdotool search --class xlogo 2>/dev/null | head -1");
  }
  ASSERT_FALSE(window.empty());
  // As xscreensaver's settings dialog starts its preview: the id wins over -root.
  char hex[32];
  std::snprintf(hex, sizeof hex, "0x%lx", std::stoul(window));
  StartSaver(std::string("-root --window-id ") + hex);
  EXPECT_TRUE(ShowsTheDemo("320x200+10+10"));
  X("xdotool windowsize " + window + " 500 350");
  // Sky where the old window ended: the picture fills the new size.
  EXPECT_TRUE(ShowsTheDemo("100x60+380+30")) << "the picture follows the new size";
  kill(logo, SIGTERM);
  waitpid(logo, nullptr, 0);
  EXPECT_EQ(WaitForSaver(5s), 0);
  EXPECT_EQ(test::Capture("cat " + (folder_ / "err").string()), "") << "quietly";
}

TEST_F(XvfbSaver, RootDrawsIntoTheWindowXscreensaverHandsOver) {
  const pid_t logo = Spawn("xlogo -geometry 800x600+0+0");
  std::string window;
  for (int i = 0; i < 50 && window.empty(); ++i) {
    std::this_thread::sleep_for(100ms);
    window = test::Capture(Env() + "xdotool search --class xlogo 2>/dev/null | head -1");
  }
  ASSERT_FALSE(window.empty());
  saver_ = Spawn("XSCREENSAVER_WINDOW=" + window + " " LUMI_BINARY_DIR "/host/lumisave --normal-priority -root");
  EXPECT_TRUE(ShowsTheDemo("800x600+0+0"));
  // The host owns the input and ends us with a signal.
  X("xdotool mousemove 10 10 mousemove 50 50 mousemove 90 90 mousemove 130 130 mousemove 170 170 mousemove 9 9 key a");
  EXPECT_EQ(WaitForSaver(500ms), -1);
  kill(saver_, SIGTERM);
  EXPECT_EQ(WaitForSaver(5s), 0);
  kill(logo, SIGTERM);
  waitpid(logo, nullptr, 0);
}

TEST_F(XvfbSaver, WithoutMesaTheErrorBoxShows) {
  std::filesystem::create_directories(folder_ / "no-drivers");
  saver_ = Spawn("LIBGL_DRIVERS_PATH=" + (folder_ / "no-drivers").string() + " " LUMI_BINARY_DIR
                 "/host/lumisave --normal-priority /t");
  // A white box on black inside the window, and the process lives on.
  EXPECT_TRUE(ShowsTheErrorBox());
  EXPECT_EQ(WaitForSaver(300ms), -1);
  kill(saver_, SIGTERM);
  EXPECT_EQ(WaitForSaver(5s), 0);
}

// A file that is no document shows the box and says why, and is never read
// whole, however large.
TEST_F(XvfbSaver, AFileThatIsNoDocumentShowsTheErrorBox) {
  const std::filesystem::path picture = folder_ / "picture.lumi";
  std::filesystem::copy_file(LUMI_BINARY_DIR "/builtin_pictures/picture_5.png", picture);
  const std::filesystem::path zeros = folder_ / "zeros.lumi";
  std::ofstream(zeros).put('\0');
  std::filesystem::resize_file(zeros, 1ull << 30);
  for (const std::filesystem::path& scene : {picture, zeros}) {
    StartSaver("/t --scene " + scene.string());
    EXPECT_TRUE(ShowsTheErrorBox()) << scene;
    // The message is set in a real face: its edges are antialiased, so the
    // box holds many greys, not only black and white. The box may show a
    // moment before its message does.
    std::string greys;
    for (int i = 0; i < 50 && std::atoi(greys.c_str()) <= 16; ++i) {
      if (i > 0) std::this_thread::sleep_for(200ms);
      greys = test::Capture(Env() + "import -window root -crop 600x400+50+50 png:- | convert png:- "
                            "-colorspace gray -format %k info:");
    }
    EXPECT_GT(std::atoi(greys.c_str()), 16) << greys;
    std::ifstream status("/proc/" + std::to_string(saver_) + "/status");
    std::string line;
    while (std::getline(status, line) && !line.starts_with("VmHWM:")) {
    }
    EXPECT_LT(std::stol(line.substr(6)), 512 * 1024) << "kilobytes at most, for " << scene;
    kill(saver_, SIGTERM);
    EXPECT_EQ(WaitForSaver(5s), 0);
    std::stringstream err;
    err << std::ifstream(folder_ / "err").rdbuf();
    EXPECT_THAT(err.str(), ::testing::HasSubstr(scene.string() + ": not a lumisave document"));
  }
}

TEST_F(XvfbSaver, LosingTheDeviceDrawsWhatARunWithoutLossDraws) {
  StartSaver("/t --lose-device-every 3");
  EXPECT_TRUE(ShowsTheDemo("600x400+50+50"));
  const auto [lightness, saturation] = SettledLook("600x400+50+50");
  kill(saver_, SIGTERM);
  EXPECT_EQ(WaitForSaver(5s), 0);
  StartSaver("/t");
  EXPECT_TRUE(ShowsTheDemo("600x400+50+50"));
  const auto [plain_lightness, plain_saturation] = SettledLook("600x400+50+50");
  EXPECT_NEAR(lightness, plain_lightness, 0.05);
  EXPECT_NEAR(saturation, plain_saturation, 0.05);
}

}  // namespace
}  // namespace lumi
