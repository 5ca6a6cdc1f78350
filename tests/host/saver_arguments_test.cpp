#include "host/saver_arguments.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "archive/utf.h"

namespace lumi {
namespace {

using ::testing::HasSubstr;

SaverArguments Parse(std::vector<std::string> args, std::map<std::string, std::string> environment = {}) {
  return ParseSaverArguments(args, [&](const char* name) -> const char* {
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  });
}

void ExpectUsageError(std::vector<std::string> args, const std::string& message,
                      std::map<std::string, std::string> environment = {}) {
  try {
    Parse(std::move(args), std::move(environment));
    ADD_FAILURE() << "no error for " << message;
  } catch (const UsageError& error) {
    EXPECT_THAT(error.what(), HasSubstr(message));
  }
}

TEST(SaverArguments, XscreensaverConventions) {
  const SaverArguments root = Parse({"lumisave", "-root"});
  EXPECT_EQ(root.parsed.mode, ModeFull);  // not the reserved mode of the letter r
  EXPECT_FALSE(root.x_window);

  const SaverArguments preview = Parse({"lumisave", "-window-id", "0x3a00007"});
  EXPECT_EQ(preview.parsed.mode, ModePreview);
  EXPECT_EQ(preview.x_window, 0x3a00007u);
  EXPECT_EQ(Parse({"lumisave", "-window-id", "4242"}).x_window, 4242u);
  EXPECT_EQ(Parse({"lumisave", "-window-id", "0X10"}).x_window, 16u);

  const SaverArguments from_environment = Parse({"lumisave"}, {{"XSCREENSAVER_WINDOW", "0x200002"}});
  EXPECT_EQ(from_environment.parsed.mode, ModePreview);
  EXPECT_EQ(from_environment.x_window, 0x200002u);

  // xscreensaver itself passes -root and names its own window.
  const SaverArguments daemon = Parse({"lumisave", "-root"}, {{"XSCREENSAVER_WINDOW", "77"}});
  EXPECT_EQ(daemon.parsed.mode, ModeFull);
  EXPECT_EQ(daemon.x_window, 77u);

  // xscreensaver 6 passes two dashes; its preview pane passes -root with a
  // window id, and the id wins.
  struct Case {
    std::vector<std::string> args;
    SaverMode mode;
    std::optional<std::uint32_t> window;
  };
  const std::vector<Case> cases = {
      {{"lumisave", "--root"}, ModeFull, 77},
      {{"lumisave", "--window-id", "0x1c00007"}, ModePreview, 0x1c00007},
      {{"lumisave", "-root", "--window-id", "0x1c00007"}, ModePreview, 0x1c00007},
      {{"lumisave", "--window-id=12", "--root"}, ModePreview, 12},
      {{"lumisave", "-window-id", "12"}, ModePreview, 12},
  };
  for (const Case& c : cases) {
    const SaverArguments parsed = Parse(c.args, {{"XSCREENSAVER_WINDOW", "77"}});
    EXPECT_EQ(parsed.parsed.mode, c.mode) << c.args[1];
    EXPECT_EQ(parsed.x_window, c.window) << c.args[1];
  }

  // An explicit window wins over the environment, and Windows switches ignore it.
  EXPECT_EQ(Parse({"lumisave", "-window-id", "5"}, {{"XSCREENSAVER_WINDOW", "77"}}).x_window, 5u);
  const SaverArguments windows = Parse({"lumisave", "/c"}, {{"XSCREENSAVER_WINDOW", "77"}});
  EXPECT_EQ(windows.parsed.mode, ModeConfigure);
  EXPECT_FALSE(windows.x_window);
}

TEST(SaverArguments, WindowsSwitchesKeepTheirMeaning) {
  struct Case {
    std::vector<std::string> args;
    SaverMode mode;
    WindowHandle parent;
  };
  const std::vector<Case> cases = {
      {{"/usr/bin/lumisave", "/s"}, ModeFull, 0},
      {{"/opt/My Savers/lumisave", "/p", "1234"}, ModePreview, 1234},
      {{"lumisave", "/c:5678"}, ModeConfigure, 5678},
      {{"lumisave"}, ModeConfigure, 0},
      {{"lumisave", "/x"}, ModeFull, 0},
      {{"lumisave", "-s"}, ModeFull, 0},
      {{"lumisave", "-C:99"}, ModeConfigure, 99},
      {{"lumisave", "-p42"}, ModePreview, 42},
      {{"lumisave", "/r"}, ModeReservedR, 0},
      {{"/a-r/lumisave"}, ModeConfigure, 0},
      {{"/my dir-r/lumisave", "/t"}, ModeTest, 0},
      {{"lumisave", "some words", "/a", "12"}, ModeChangePassword, 12},
  };
  for (const Case& c : cases) {
    const SaverArguments parsed = Parse(c.args);
    EXPECT_EQ(parsed.parsed.mode, c.mode) << ToUtf8(parsed.command_line);
    EXPECT_EQ(parsed.parsed.parent_window, c.parent) << ToUtf8(parsed.command_line);
    EXPECT_FALSE(parsed.x_window);
  }
}

TEST(SaverArguments, JoinsAsWindowsQuotesIt) {
  EXPECT_EQ(JoinAsWindowsCommandLine(std::vector<std::string>{"lumisave", "/p", "12"}), "lumisave /p 12");
  EXPECT_EQ(JoinAsWindowsCommandLine(std::vector<std::string>{"/my dir/lumisave", "/s"}), "\"/my dir/lumisave\" /s");
  EXPECT_EQ(JoinAsWindowsCommandLine(std::vector<std::string>{"a\"b", "two words", "", "say \"hi\"", "C:\\dir\\",
                                                              "a\\\\b", "x\\\"y"}),
            "ab \"two words\" \"\" \"say \\\"hi\\\"\" C:\\dir\\ a\\\\b \"x\\\\\\\"y\"");
  EXPECT_EQ(JoinAsWindowsCommandLine(std::vector<std::string>{"p", "end in\\"}), "p \"end in\\\\\"");
}

TEST(SaverArguments, OwnOptions) {
  EXPECT_EQ(Parse({"lumisave", "--help"}).action, SaverArguments::Action::Help);
  EXPECT_EQ(Parse({"lumisave", "/s", "--version"}).action, SaverArguments::Action::Version);
  EXPECT_EQ(Parse({"lumisave", "--list-devices"}).action, SaverArguments::Action::ListDevices);

  const SaverArguments scene = Parse({"lumisave", "--scene", "/tmp/other saver.scr", "/s"});
  EXPECT_EQ(scene.action, SaverArguments::Action::Run);
  EXPECT_EQ(scene.scene, std::filesystem::path("/tmp/other saver.scr"));
  EXPECT_EQ(scene.parsed.mode, ModeFull);
  EXPECT_EQ(Parse({"lumisave", "-root", "--scene=a.lumi"}).scene, std::filesystem::path("a.lumi"));
  EXPECT_EQ(Parse({"lumisave", "-fps", "30", "-mute"}).fps, 30u);
  EXPECT_EQ(Parse({"lumisave", "-fps", "30", "-mute"}).overrides.muted, true);
  EXPECT_FALSE(Parse({"lumisave", "/s"}).scene);
}

TEST(SaverArguments, MalformedOptionsAreUsageErrors) {
  ExpectUsageError({"lumisave", "-window-id"}, "-window-id needs a value");
  ExpectUsageError({"lumisave", "-window-id", "0x"}, "-window-id: not an X window id: '0x'");
  ExpectUsageError({"lumisave", "-window-id", "12ab"}, "not an X window id: '12ab'");
  ExpectUsageError({"lumisave", "-window-id", "0"}, "not an X window id: '0'");
  ExpectUsageError({"lumisave", "-window-id", "99999999999"}, "not an X window id");
  ExpectUsageError({"lumisave"}, "XSCREENSAVER_WINDOW: not an X window id: 'none'", {{"XSCREENSAVER_WINDOW", "none"}});
  ExpectUsageError({"lumisave", "--scene"}, "--scene needs a value");
  ExpectUsageError({"lumisave", "--scene="}, "--scene needs a value");
  ExpectUsageError({"lumisave", "-root", "/p", "3"}, "'/p' cannot be combined with -root");
  ExpectUsageError({"lumisave", "--window-id", "5", "/s"}, "'/s' cannot be combined with -window-id");
  ExpectUsageError({"lumisave", "--mute=1"}, "--mute takes no value");
  // Unknown options are refused; after "-" only the Windows letters are switches.
  for (const char* unknown : {"-h", "--bogus", "-x", "-sx", "-root-window", "--s", "-"}) {
    ExpectUsageError({"lumisave", unknown}, std::string("unknown option '") + unknown + "'");
  }
}

}  // namespace
}  // namespace lumi
