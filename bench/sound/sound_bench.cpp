// Sound costs: the mixer with 16 buffers playing (at 22,050 and 44,100 Hz,
// mono and stereo, looped) into 48 kHz stereo, and MP3 decoding through
// libmpg123 of a file made by sox and lame. Both report the share of one
// core that a second of audio takes ("percent_of_core"; benchmark prints
// an inverted rate with an "s" after it).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "platform/linux/sound/mpeg_decoder.h"
#include "sound/mixer.h"
#include "sound/sound_buffer.h"

namespace lumi {
namespace {

constexpr size_t kPeriod = 1024;  // frames per output call, as SDL asks

// The time taken per second of audio, in percent: the counter's value is
// divided into the time by kIsRate | kInvert.
benchmark::Counter CoreShare(double audio_seconds) {
  return benchmark::Counter(audio_seconds / 100, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

std::shared_ptr<const PcmSound> Tone(uint16_t channels, uint32_t rate) {
  PcmSound pcm{std::vector<float>(size_t{rate} * channels), channels, rate};
  for (size_t i = 0; i < pcm.samples.size(); ++i) pcm.samples[i] = 0.3f * std::sin(0.01f * static_cast<float>(i));
  return std::make_shared<const PcmSound>(std::move(pcm));
}

void BM_MixSixteenBuffers(benchmark::State& state) {
  auto mixer = std::make_shared<Mixer>(48000);
  mixer->PlayMaster();
  std::vector<std::unique_ptr<SoundBuffer>> buffers;
  for (int i = 0; i < 16; ++i) {
    buffers.push_back(std::make_unique<SoundBuffer>(mixer, Tone(i % 2 ? 2 : 1, i % 4 < 2 ? 22050 : 44100)));
    buffers.back()->SetVolume(-100 * i);
    buffers.back()->SetPan(500 * (i - 8));
    buffers.back()->Play(true);
  }
  std::vector<float> out(kPeriod * 2);
  for (auto _ : state) {
    mixer->Mix(out.data(), kPeriod);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["percent_of_core"] = CoreShare(static_cast<double>(state.iterations()) * kPeriod / 48000);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kPeriod));
}
BENCHMARK(BM_MixSixteenBuffers)->Unit(benchmark::kMicrosecond);

void BM_DecodeMp3(benchmark::State& state) {
  const std::filesystem::path work =
      std::filesystem::temp_directory_path() / ("lumi-sound-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(work);
  const std::string wave = (work / "tone.wav").string(), mp3 = (work / "tone.mp3").string();
  const std::string make = "sox -q -n -r 44100 -c 2 -b 16 '" + wave + "' synth 10 sine 440 vol 0.5 && lame --quiet -b 192 '" +
                           wave + "' '" + mp3 + "'";
  if (std::system(make.c_str()) != 0) {
    state.SkipWithError("sox and lame are needed");
    std::filesystem::remove_all(work);
    return;
  }
  std::string error;
  std::unique_ptr<TrackDecoder> decoder = OpenMpegTrack(mp3, error);
  if (!decoder) {
    state.SkipWithError(error.c_str());
    std::filesystem::remove_all(work);
    return;
  }
  std::vector<float> out(kPeriod * 2);
  size_t frames = 0;
  for (auto _ : state) {
    size_t got = decoder->Read(out.data(), kPeriod);
    if (got == 0) {
      decoder->Rewind();
      got = decoder->Read(out.data(), kPeriod);
    }
    frames += got;
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["percent_of_core"] = CoreShare(static_cast<double>(frames) / decoder->rate());
  state.SetItemsProcessed(static_cast<int64_t>(frames));
  std::filesystem::remove_all(work);
}
BENCHMARK(BM_DecodeMp3)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lumi
