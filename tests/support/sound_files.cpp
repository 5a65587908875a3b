#include "support/sound_files.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "support/game_runner.h"

namespace vellumite::testing {
namespace {

void put(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

double tone(int frame, int rate) { return std::sin(2 * M_PI * 440.0 * frame / rate); }

}  // namespace

std::string wave_file(int rate, int channels, int bits, int milliseconds, double amplitude) {
  const int frames = rate * milliseconds / 1000;
  const int block = channels * bits / 8;
  std::string data;
  for (int f = 0; f < frames; ++f) {
    double v = amplitude * tone(f, rate);
    for (int c = 0; c < channels; ++c) {
      if (bits == 8) {
        put(data, static_cast<uint32_t>(std::lround(128 + 127 * v)), 1);
      } else {
        put(data, static_cast<uint16_t>(static_cast<int16_t>(std::lround(32767 * v))), 2);
      }
    }
  }
  std::string out = "RIFF";
  put(out, static_cast<uint32_t>(36 + data.size()), 4);
  out += "WAVEfmt ";
  put(out, 16, 4);
  put(out, 1, 2);
  put(out, static_cast<uint32_t>(channels), 2);
  put(out, static_cast<uint32_t>(rate), 4);
  put(out, static_cast<uint32_t>(rate * block), 4);
  put(out, static_cast<uint32_t>(block), 2);
  put(out, static_cast<uint32_t>(bits), 2);
  out += "data";
  put(out, static_cast<uint32_t>(data.size()), 4);
  return out + data;
}

std::string encoded_file(const std::string& type, int rate, int milliseconds) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 1;
  info.format =
      type == "ogg" ? (SF_FORMAT_OGG | SF_FORMAT_VORBIS) : (SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("vellumite-tone-" + std::to_string(getpid()) + "." + type);
  SNDFILE* sf = sf_open(path.c_str(), SFM_WRITE, &info);
  if (sf == nullptr) return {};
  std::vector<float> samples(static_cast<size_t>(rate * milliseconds / 1000));
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<float>(0.5 * tone(static_cast<int>(i), rate));
  sf_writef_float(sf, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(sf);
  std::string bytes = read_file(path);
  std::filesystem::remove(path);
  return bytes;
}

std::string midi_file(int milliseconds) {
  // 480 ticks a quarter note at 120 bpm: one tick is 1/960 s.
  auto vlq = [](uint32_t v) {
    std::string out(1, static_cast<char>(v & 0x7F));
    while ((v >>= 7) != 0) out.insert(out.begin(), static_cast<char>((v & 0x7F) | 0x80));
    return out;
  };
  using namespace std::string_literals;  // the events hold zero bytes
  std::string track = vlq(0) + "\xC0\x00"s + vlq(0) + "\x90\x3C\x64"s +
                      vlq(static_cast<uint32_t>(milliseconds * 960 / 1000)) + "\x80\x3C\x00"s +
                      vlq(0) + "\xFF\x2F\x00"s;
  std::string out = "MThd";
  auto be = [&out](uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>(v >> (8 * i)));
  };
  be(6, 4);
  be(0, 2);
  be(1, 2);
  be(480, 2);
  out += "MTrk";
  be(static_cast<uint32_t>(track.size()), 4);
  return out + track;
}

std::vector<double> levels_per_10ms(const std::string& path) {
  const std::string b = read_file(path);
  std::vector<double> out;
  if (b.size() < 44) return out;
  const size_t frames_per_slice = 441;
  for (size_t at = 44; at + frames_per_slice * 4 <= b.size(); at += frames_per_slice * 4) {
    int peak = 0;
    for (size_t i = 0; i < frames_per_slice * 2; ++i) {
      int16_t v = static_cast<int16_t>(static_cast<uint8_t>(b[at + i * 2]) |
                                       static_cast<uint8_t>(b[at + i * 2 + 1]) << 8);
      peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    out.push_back(peak / 32767.0);
  }
  return out;
}

}  // namespace vellumite::testing
