// Sound files made at test time with sox and lame.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace lumi::test {

inline bool HaveSoxAndLame() {
  return std::system("command -v sox > /dev/null && command -v lame > /dev/null") == 0;
}

// A 44.1 kHz stereo sine of `hertz` at amplitude 0.5 lasting `seconds`, as
// WAVE (`wave`) and as MP3 encoded from it; false when either failed.
inline bool MakeTone(const std::filesystem::path& directory, const std::string& name, int hertz, double seconds) {
  const std::string wave = (directory / (name + ".wav")).string();
  const std::string mp3 = (directory / (name + ".mp3")).string();
  const std::string command = "sox -q -n -r 44100 -c 2 -b 16 '" + wave + "' synth " + std::to_string(seconds) +
                              " sine " + std::to_string(hertz) + " vol 0.5 && lame --quiet -b 128 '" + wave +
                              "' '" + mp3 + "'";
  return std::system(command.c_str()) == 0;
}

}  // namespace lumi::test
