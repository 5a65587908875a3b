// The mixer's cost and the delay of a sound.
//
// BM_MixMidiMp3Wave: CPU time of decoding and mixing one second of sound
// with a MIDI tune (FluidSynth), an MP3 (libmpg123, through the player's
// buffers and notifications) and a looping WAVE playing at once.
// BM_WaveToDevice: from starting a WAVE to the first of its samples that
// the audio device's callback takes (SDL, the driver SDL_AUDIODRIVER names;
// "disk" or "dummy" keep real-time pacing without a sound card), plus the
// device's own buffer of 512 frames.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "audio/midi_synth.h"
#include "audio/mixer.h"
#include "audio/mp3_player.h"
#include "audio/wave_file.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_audio.h"

namespace fs = std::filesystem;
using namespace vellumite;

namespace {

std::string tone_wave(int rate, int ms) {
  const int frames = rate * ms / 1000;
  std::string data;
  for (int i = 0; i < frames; ++i) {
    auto v = static_cast<int16_t>(12000 * std::sin(2 * M_PI * 440.0 * i / rate));
    for (int c = 0; c < 2; ++c) {
      data.push_back(static_cast<char>(v & 0xFF));
      data.push_back(static_cast<char>((v >> 8) & 0xFF));
    }
  }
  auto le = [](uint32_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
    return s;
  };
  return "RIFF" + le(static_cast<uint32_t>(36 + data.size()), 4) + "WAVEfmt " + le(16, 4) +
         le(1, 2) + le(2, 2) + le(static_cast<uint32_t>(rate), 4) +
         le(static_cast<uint32_t>(rate * 4), 4) + le(4, 2) + le(16, 2) + "data" +
         le(static_cast<uint32_t>(data.size()), 4) + data;
}

std::string midi_tune() {
  std::string track;
  for (int i = 0; i < 64; ++i) {
    int note = 60 + (i * 7) % 24;
    track += std::string{'\0', static_cast<char>(0x90), static_cast<char>(note), 100};
    track += std::string{static_cast<char>(0x81), 0x70, static_cast<char>(0x80),
                         static_cast<char>(note), 0};
  }
  track += std::string{'\0', static_cast<char>(0xFF), 0x2F, '\0'};
  std::string out = "MThd";
  out += std::string{0, 0, 0, 6, 0, 0, 0, 1, 0x01, static_cast<char>(0xE0)};
  out += "MTrk";
  uint32_t n = static_cast<uint32_t>(track.size());
  out += std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16),
                     static_cast<char>(n >> 8), static_cast<char>(n)};
  return out + track;
}

void BM_MixMidiMp3Wave(benchmark::State& state) {
  fs::path dir = fs::temp_directory_path() / "vellumite-audio-bench";
  fs::create_directories(dir);
  std::ofstream(dir / "tone.wav", std::ios::binary) << tone_wave(44100, 5000);
  std::string lame = "lame --quiet -b 128 '" + (dir / "tone.wav").string() + "' '" +
                     (dir / "tone.mp3").string() + "'";
  if (std::system(lame.c_str()) != 0) {
    state.SkipWithError("lame is not installed");
    return;
  }
  Mixer mixer;
  Mp3Player mp3(mixer);
  HeadlessPlatform files{PlatformOptions{}};
  mixer.start(Channel::Midi, open_midi_bytes(midi_tune(), find_soundfont(files)), true);
  mixer.start(Channel::Wave, open_sound_bytes(tone_wave(22050, 700)), true);
  std::ifstream mp3_file(dir / "tone.mp3", std::ios::binary);
  mp3.play(std::string(std::istreambuf_iterator<char>(mp3_file), {}), true);
  constexpr size_t kFrames = 512;
  std::vector<float> out(kFrames * 2);
  for (auto _ : state) {
    mixer.fill_ahead();
    mixer.mix(out.data(), kFrames);
    benchmark::DoNotOptimize(out.data());
  }
  mp3.stop(nullptr);
  double audio_seconds = static_cast<double>(state.iterations()) * kFrames / kAudioRate;
  state.counters["audio_s"] = audio_seconds;
  state.counters["cpu_per_audio_s"] =
      benchmark::Counter(audio_seconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  fs::remove_all(dir);
}
BENCHMARK(BM_MixMidiMp3Wave)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

// Watches the mixed output for the first sound after `armed`.
class FirstSample final : public AudioProducer {
 public:
  explicit FirstSample(Mixer& m) : mixer_(m) {}
  void fill_ahead() override { mixer_.fill_ahead(); }
  bool sounding() const override { return mixer_.sounding(); }
  void mix(float* out, size_t frames) override {
    mixer_.mix(out, frames);
    if (!armed.load() || heard.load()) return;
    for (size_t i = 0; i < frames * 2; ++i) {
      if (out[i] != 0.0F) {
        heard_at = std::chrono::steady_clock::now();
        heard.store(true);
        return;
      }
    }
  }
  std::atomic<bool> armed{false};
  std::atomic<bool> heard{false};
  std::chrono::steady_clock::time_point heard_at;

 private:
  Mixer& mixer_;
};

void BM_WaveToDevice(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  Mixer mixer;
  FirstSample probe(mixer);
  std::string error;
  SdlAudioOutput device(&probe, error);
  if (!device.device_open()) {
    state.SkipWithError(("no audio device: " + error).c_str());
    return;
  }
  const std::string sound = tone_wave(22050, 200);
  // The device's own buffer: a sample taken by the callback is heard after it.
  const double buffer_ms = 512.0 * 1000.0 / kAudioRate;
  double worst = 0;
  for (auto _ : state) {
    mixer.stop(Channel::Wave);
    std::this_thread::sleep_for(std::chrono::milliseconds(37));  // a random phase
    probe.heard.store(false);
    probe.armed.store(true);
    auto t0 = Clock::now();
    mixer.start(Channel::Wave, open_sound_bytes(sound), false);
    while (!probe.heard.load()) std::this_thread::sleep_for(std::chrono::microseconds(50));
    probe.armed.store(false);
    double ms = std::chrono::duration<double, std::milli>(probe.heard_at - t0).count() + buffer_ms;
    worst = std::max(worst, ms);
    state.SetIterationTime(ms / 1000.0);
  }
  state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_WaveToDevice)->UseManualTime()->Iterations(60)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
