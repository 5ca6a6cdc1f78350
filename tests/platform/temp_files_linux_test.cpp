// The process's private temporary files on Linux: modes, exclusive creation
// that never follows a planted link, removal at exit and on SIGTERM and
// SIGINT, and the clearing of directories left by processes that are gone.
// Each case runs in a child process, whose directory is its own.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "platform/temp_files.h"
#include "platform/temp_files_os.h"

namespace lumi {
namespace {

namespace fs = std::filesystem;

class PrivateTempFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / ("lumi-temp-files-test-" + std::to_string(getpid()));
    fs::remove_all(base_);
    fs::create_directories(base_);
  }
  void TearDown() override { fs::remove_all(base_); }

  // Runs `body` in a child with TMPDIR at the base; the child writes the
  // directory it made to `made` and then does what `body` says. Returns the
  // wait status.
  int InChild(const std::function<void()>& body, fs::path& made) {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
      close(pipe_ends[0]);
      setenv("TMPDIR", base_.c_str(), 1);
      std::string error;
      const auto file = WritePrivateTempFile(std::vector<uint8_t>{1, 2, 3}, ".mp3", error);
      const std::string text = file ? file->parent_path().string() + "\n" : "\n";
      if (write(pipe_ends[1], text.data(), text.size()) < 0) _exit(3);
      body();
      _exit(0);
    }
    close(pipe_ends[1]);
    std::string text;
    char c;
    while (read(pipe_ends[0], &c, 1) == 1 && c != '\n') text += c;
    close(pipe_ends[0]);
    made = text;
    int status = 0;
    waitpid(child, &status, 0);
    return status;
  }

  fs::path base_;
};

TEST_F(PrivateTempFiles, AreNewPrivateAndRandomlyNamed) {
  setenv("TMPDIR", base_.c_str(), 1);
  std::string error;
  const auto a = WritePrivateTempFile(std::vector<uint8_t>{1, 2, 3}, ".mp3", error);
  const auto b = WritePrivateTempFile(std::vector<uint8_t>{4}, "", error);
  unsetenv("TMPDIR");
  ASSERT_TRUE(a && b) << error;
  EXPECT_NE(*a, *b);
  EXPECT_EQ(a->extension(), ".mp3");
  EXPECT_EQ(a->parent_path(), PrivateTempDirectory());
  const std::string directory = a->parent_path().filename().string();
  EXPECT_TRUE(directory.starts_with("lumisave-" + std::to_string(getpid()) + "-")) << directory;
  struct stat info {};
  ASSERT_EQ(stat(a->parent_path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(stat(a->c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(info.st_size, 3);
  RemovePrivateTempFile(*a);
  RemovePrivateTempFile(*b);
  EXPECT_FALSE(fs::exists(*a));
}

TEST_F(PrivateTempFiles, NeverWriteThroughAPlantedLink) {
  const fs::path victim = base_ / "victim";
  std::ofstream(victim) << "precious";
  const fs::path link = base_ / "planted.mp3";
  fs::create_symlink(victim, link);
  bool exists = false;
  std::string error;
  EXPECT_FALSE(os::WriteNewFile(link, std::vector<uint8_t>{1, 2}, exists, error));
  EXPECT_TRUE(exists);
  EXPECT_NE(error.find("planted.mp3"), std::string::npos);
  std::ifstream in(victim);
  std::string text;
  in >> text;
  EXPECT_EQ(text, "precious");
  // A dangling link is not followed into a new file either.
  const fs::path dangling = base_ / "dangling.mp3";
  fs::create_symlink(base_ / "created-through-link", dangling);
  EXPECT_FALSE(os::WriteNewFile(dangling, std::vector<uint8_t>{1}, exists, error));
  EXPECT_FALSE(fs::exists(base_ / "created-through-link"));
}

TEST_F(PrivateTempFiles, GoAtExitAndOnTerminationSignals) {
  fs::path made;
  int status = InChild([] { std::exit(0); }, made);
  ASSERT_FALSE(made.empty());
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_FALSE(fs::exists(made));

  for (int signal_number : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal_number);
    status = InChild([signal_number] { raise(signal_number); }, made);
    ASSERT_FALSE(made.empty());
    // The process still ends by the signal, as it would have.
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), signal_number);
    EXPECT_FALSE(fs::exists(made)) << made;
  }
  EXPECT_TRUE(fs::is_empty(base_));
}

TEST_F(PrivateTempFiles, DirectoriesOfProcessesThatAreGoneAreCleared) {
  const fs::path gone = base_ / "lumisave-2147483000-abcdef12";
  fs::create_directories(gone);
  std::ofstream(gone / "old.mp3") << "old";
  const fs::path alive = base_ / ("lumisave-" + std::to_string(getpid()) + "-live");
  fs::create_directories(alive);
  // A link named like ours is not followed into what it points at.
  const fs::path outside = base_ / "outside";
  fs::create_directories(outside);
  std::ofstream(outside / "keep") << "keep";
  fs::create_directory_symlink(outside, base_ / "lumisave-2147483001-link");
  const fs::path unrelated = base_ / "lumisave-notes";
  fs::create_directories(unrelated);

  fs::path made;
  InChild([] {}, made);
  EXPECT_FALSE(fs::exists(gone));
  EXPECT_TRUE(fs::exists(alive));
  EXPECT_TRUE(fs::exists(outside / "keep"));
  EXPECT_TRUE(fs::exists(unrelated));
  EXPECT_FALSE(made.empty());
}

}  // namespace
}  // namespace lumi
