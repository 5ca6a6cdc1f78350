// lumisave-settings on a virtual X server without the accessibility bus: the
// window the command line names becomes its transient parent, and a saver
// that cannot list its devices ends in the error box, quickly and without
// leaving anything running. Skipped without GTK's program or the X tools.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/command_run.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/virtual_x_server.h"

namespace lumi {
namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;

constexpr const char* kBuiltSettingsProgram = LUMI_BINARY_DIR "/host/lumisave-settings";

class SettingsProgramOnX : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kBuiltSettingsProgram)) GTEST_SKIP() << "built without GTK 3";
    for (const char* program : {"Xvfb", "xdotool", "xprop", "xlogo"}) {
      if (!test::HaveProgram(program)) GTEST_SKIP() << program << " is not installed";
    }
    ASSERT_TRUE(server_.Start("800x600x24", scratch_ / "xvfb.log"));
  }
  void TearDown() override {
    while (!started_.empty()) Stop(started_.back());
    server_.Stop();
  }

  // Starts `argv` on the server with the scratch folder's settings, its
  // standard error in `err`.
  pid_t Start(const std::vector<std::string>& argv, const std::filesystem::path& err) {
    const pid_t pid = fork();
    if (pid == 0) {
      setenv("DISPLAY", server_.Display().c_str(), 1);
      setenv("XDG_CONFIG_HOME", scratch_.path().c_str(), 1);
      setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
      unsetenv("WAYLAND_DISPLAY");
      if (std::freopen(err.c_str(), "w", stderr) == nullptr || std::freopen("/dev/null", "w", stdout) == nullptr) {
        _exit(127);
      }
      std::vector<char*> args;
      for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
    started_.push_back(pid);
    return pid;
  }
  // Whether `pid` still runs; one that ended is reaped and forgotten.
  bool StillRunning(pid_t pid) {
    if (waitpid(pid, nullptr, WNOHANG) == 0) return true;
    std::erase(started_, pid);
    return false;
  }
  void Stop(pid_t pid) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    std::erase(started_, pid);
  }

  // The X window named `title`, waited for; empty when none comes.
  std::string WindowNamed(const std::string& title) {
    return test::Capture("DISPLAY=" + server_.Display() + " timeout 20 xdotool search --sync --name '^" + title +
                         "$' 2>/dev/null | head -n 1");
  }
  std::string TransientFor(const std::string& window) {
    return test::Capture("DISPLAY=" + server_.Display() + " xprop -id " + window + " WM_TRANSIENT_FOR 2>&1");
  }

  test::ScratchDirectory scratch_;
  test::VirtualXServer server_;
  std::vector<pid_t> started_;
};

std::string Hex(const std::string& decimal) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", std::stoul(decimal));
  return text;
}

TEST_F(SettingsProgramOnX, TheCommandLinesWindowIsTheTransientParentAndABadOneIsIgnored) {
  Start({"/usr/bin/xlogo"}, scratch_ / "xlogo.err");
  const std::string owner = WindowNamed("xlogo");
  ASSERT_FALSE(owner.empty());

  const pid_t owned = Start({LUMI_BINARY_DIR "/host/lumisave", "/c:" + owner}, scratch_ / "owned.err");
  const std::string dialog = WindowNamed("Lumisave");
  ASSERT_FALSE(dialog.empty()) << test::ReadText(scratch_ / "owned.err");
  EXPECT_THAT(TransientFor(dialog), HasSubstr("window id # " + Hex(owner)));
  Stop(owned);

  // A window ID that names no window: the dialog opens on its own.
  const pid_t alone = Start({LUMI_BINARY_DIR "/host/lumisave", "/c:1234567"}, scratch_ / "unowned.err");
  const std::string unowned = WindowNamed("Lumisave");
  ASSERT_FALSE(unowned.empty()) << test::ReadText(scratch_ / "unowned.err");
  EXPECT_THAT(TransientFor(unowned), HasSubstr("not found"));
  EXPECT_TRUE(StillRunning(alone)) << test::ReadText(scratch_ / "unowned.err");
}

// The settings program asks the saver beside it; a copy of it beside a
// stand-in saver asks the stand-in.
TEST_F(SettingsProgramOnX, ASaverThatCrashesHangsOrBabblesMeansNoOpenGL) {
  struct Probe {
    const char* name;
    const char* script;  // the stand-in saver's body
    const char* reason;  // what the settings program says of it
    pid_t pid = 0;
  };
  std::vector<Probe> probes = {
      {"crashes", "kill -SEGV $$", "was ended by signal 11"},
      {"babbles", "echo 'no JSON here'", "not a device listing"},
      // Its child would keep the answer open: both must go.
      {"hangs", "sleep 60 & echo $! > \"$(dirname \"$0\")/child\"; wait", "did not answer within 5000 ms"},
  };
  const auto start = std::chrono::steady_clock::now();
  for (Probe& probe : probes) {
    const std::filesystem::path folder = scratch_ / probe.name;
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(kBuiltSettingsProgram, folder / "lumisave-settings");
    std::ofstream(folder / "lumisave") << "#!/bin/sh\n" << probe.script << "\n";
    std::filesystem::permissions(folder / "lumisave", std::filesystem::perms::owner_all);
    probe.pid = Start({(folder / "lumisave-settings").string()}, folder / "err");
  }
  // All three run at once; each says why once it knows, then shows its box.
  for (Probe& probe : probes) {
    const std::filesystem::path err = scratch_ / probe.name / "err";
    while (test::ReadText(err).find("lumisave-settings: ") == std::string::npos &&
           std::chrono::steady_clock::now() - start < 40s) {
      std::this_thread::sleep_for(20ms);
    }
    const std::string said = test::ReadText(err);
    EXPECT_THAT(said, HasSubstr("lumisave-settings: OpenGL 3.3 could not be initialized.")) << probe.name;
    EXPECT_THAT(said, HasSubstr(probe.reason)) << probe.name;
    EXPECT_TRUE(StillRunning(probe.pid)) << probe.name << " shows the message box";
  }
  // The hanging stand-in sleeps a minute: well under that shows the 5 s
  // limit at work, however loaded the machine that starts the sanitized
  // programs is.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 30s) << "the probe's limit is 5 s";
  const std::string child = test::ReadText(scratch_ / "hangs" / "child");
  ASSERT_FALSE(child.empty());
  std::this_thread::sleep_for(100ms);
  const std::string state = test::ReadText("/proc/" + child.substr(0, child.find('\n')) + "/stat");
  EXPECT_TRUE(state.empty() || state.find(") Z") != std::string::npos) << "the stand-in's child still runs: " << state;
}

}  // namespace
}  // namespace lumi
