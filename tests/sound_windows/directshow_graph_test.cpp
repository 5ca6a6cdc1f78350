// The media graph through DirectShow: a file opened stopped, played to its
// end and again, completion seen by a sound object's graph on its own and
// posted as an event by the music's, and files it cannot play refused with
// their name.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/windows/sound/directshow_graph.h"
#include "sound/mixer.h"
#include "tests/support/wave_bytes.h"

namespace lumi {
namespace {

using Clock = std::chrono::steady_clock;

class DirectShowGraph : public ::testing::Test {
 protected:
  DirectShowGraph() {
    std::filesystem::create_directories(folder_);
    mixer_->PlayMaster();
  }
  ~DirectShowGraph() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // Three tenths of a second of 22,050 Hz 16-bit sound.
  std::filesystem::path Clip(const char* name) const {
    const std::vector<uint8_t> bytes = test::WaveBytes({.rate = 22050, .bits = 16}, test::Pcm16Level(0.25f, 6615));
    const std::filesystem::path path = folder_ / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  std::unique_ptr<MediaGraph> Graph(std::optional<PlatformWindow> music_window) const {
    return DirectShowGraphs()(mixer_, music_window);
  }
  // Seconds until `ended` holds, or -1 after 3 s.
  template <typename Condition>
  static double SecondsUntil(Condition ended) {
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(3)) {
      if (ended()) return std::chrono::duration<double>(Clock::now() - start).count();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }

  const std::filesystem::path folder_ =
      std::filesystem::temp_directory_path() /
      ("lumi-directshow-" + std::to_string(Clock::now().time_since_epoch().count()) + "-" +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());
  const std::shared_ptr<Mixer> mixer_ = std::make_shared<Mixer>();
};

TEST_F(DirectShowGraph, ObjectGraphPlaysToItsEndAndAgain) {
  auto graph = Graph(std::nullopt);
  ASSERT_NE(graph, nullptr) << "no DirectShow";
  std::string error;
  ASSERT_TRUE(graph->Open(Clip("clip.wav"), error)) << error;
  EXPECT_TRUE(graph->HasFile());
  EXPECT_NEAR(graph->DurationSeconds(), 0.3, 0.01);
  EXPECT_FALSE(graph->Running());  // opened stopped
  for (int round = 0; round < 2; ++round) {
    graph->RestartFile();
    EXPECT_TRUE(graph->Running()) << round;
    const double seconds = SecondsUntil([&] { return !graph->Running(); });
    ASSERT_GE(seconds, 0.0) << round << ": no end within 3 s";
    EXPECT_GT(seconds, 0.15) << round << ": it plays in real time";
  }
  graph->RestartFile();
  graph->Stop();
  EXPECT_FALSE(graph->Running());
  graph->SetVolume(-1000);
  EXPECT_EQ(graph->Volume(), -1000);
}

TEST_F(DirectShowGraph, MusicGraphReportsCompletionAsAnEvent) {
  auto graph = Graph(PlatformWindow{0});
  ASSERT_NE(graph, nullptr) << "no DirectShow";
  std::string error;
  ASSERT_TRUE(graph->PlayFile(Clip("first.wav"), error)) << error;
  EXPECT_GT(SecondsUntil([&] {
              for (long code; (code = graph->GetEvent()) != -1;) {
                if (code == kGraphEventComplete) return true;
              }
              return false;
            }),
            0.15);
  // The next file plays in the same graph.
  ASSERT_TRUE(graph->PlayFile(Clip("second.wav"), error)) << error;
  EXPECT_LT(graph->PositionSeconds(), 0.2);
  EXPECT_GT(SecondsUntil([&] { return graph->GetEvent() == kGraphEventComplete; }), 0.15);
}

TEST_F(DirectShowGraph, FilesItCannotPlayAreRefusedWithTheirName) {
  auto graph = Graph(std::nullopt);
  ASSERT_NE(graph, nullptr) << "no DirectShow";
  const std::filesystem::path text = folder_ / "notes.wav";
  std::ofstream(text) << "not a sound at all";
  std::string error;
  EXPECT_FALSE(graph->Open(text, error));
  EXPECT_NE(error.find("notes.wav"), std::string::npos) << error;
  EXPECT_FALSE(graph->HasFile());
  EXPECT_FALSE(graph->Open(folder_ / "missing.wav", error));
  EXPECT_NE(error.find("missing.wav"), std::string::npos) << error;
  graph->RestartFile();  // nothing to play: nothing happens
  EXPECT_FALSE(graph->Running());
}

}  // namespace
}  // namespace lumi
