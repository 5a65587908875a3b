#include "audio/midi_synth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <system_error>

#include "platform/platform.h"

namespace vellumite {
namespace {

// Notes still sounding when the sequence ends die away for at most this long.
constexpr size_t kTailFrames = kAudioRate * 2;
// Below this level (about -80 dB) a dying note counts as silent.
constexpr float kSilence = 1e-4F;

void quiet_fluidsynth() {
  static const bool done = [] {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
    return true;
  }();
  (void)done;
}

class MidiDecoder final : public Decoder {
 public:
  ~MidiDecoder() override {
    if (player_ != nullptr) delete_fluid_player(player_);
    if (synth_ != nullptr) delete_fluid_synth(synth_);
    if (settings_ != nullptr) delete_fluid_settings(settings_);
  }
  bool open(const std::string& bytes, const std::string& soundfont) {
    quiet_fluidsynth();
    bytes_ = bytes;
    settings_ = new_fluid_settings();
    if (settings_ == nullptr) return false;
    fluid_settings_setnum(settings_, "synth.sample-rate", kAudioRate);
    fluid_settings_setint(settings_, "synth.threadsafe-api", 0);
    fluid_settings_setnum(settings_, "synth.gain", 0.5);
    synth_ = new_fluid_synth(settings_);
    if (synth_ == nullptr || fluid_synth_sfload(synth_, soundfont.c_str(), 1) == FLUID_FAILED) {
      return false;
    }
    return start_player();
  }
  int rate() const override { return kAudioRate; }
  int channels() const override { return 2; }
  size_t read(float* out, size_t frames) override {
    if (!sequence_ended()) {
      fluid_synth_write_float(synth_, static_cast<int>(frames), out, 0, 2, out, 1, 2);
      return frames;
    }
    // After the last event the sound ends once it has died away.
    if (tail_ == 0) return 0;
    frames = std::min(frames, tail_);
    tail_ -= frames;
    fluid_synth_write_float(synth_, static_cast<int>(frames), out, 0, 2, out, 1, 2);
    float peak = 0;
    for (size_t i = 0; i < frames * 2; ++i) peak = std::max(peak, std::abs(out[i]));
    if (peak < kSilence) tail_ = 0;
    return frames;
  }
  bool rewind() override {
    fluid_synth_system_reset(synth_);
    delete_fluid_player(player_);
    return start_player();
  }

 private:
  // The player reports the end only once every voice has fallen silent,
  // which a sustained sample may never do: the last tick counts as the end.
  bool sequence_ended() const {
    if (fluid_player_get_status(player_) == FLUID_PLAYER_DONE) return true;
    int total = fluid_player_get_total_ticks(player_);
    return total > 0 && fluid_player_get_current_tick(player_) >= total;
  }
  bool start_player() {
    tail_ = kTailFrames;
    player_ = new_fluid_player(synth_);
    if (player_ == nullptr ||
        fluid_player_add_mem(player_, bytes_.data(), bytes_.size()) == FLUID_FAILED) {
      return false;
    }
    return fluid_player_play(player_) == FLUID_OK;
  }

  std::string bytes_;
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  fluid_player_t* player_ = nullptr;
  size_t tail_ = 0;
};

}  // namespace

std::string find_soundfont(Platform& platform) {
  std::string best;
  for (const std::string& name : platform.list_folder(".")) {
    if (name.size() < 4) continue;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (ext == ".sf2" && platform.path_kind(name) == PathKind::File) {
      if (best.empty() || name < best) best = name;
    }
  }
  if (!best.empty()) return best;
  for (const char* path :
       {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
        "/usr/share/sounds/sf2/default-GM.sf2"}) {
    if (platform.path_kind(path) == PathKind::File) return path;
  }
  return {};
}

std::unique_ptr<Decoder> open_midi_bytes(const std::string& bytes, const std::string& soundfont) {
  if (soundfont.empty() || bytes.size() < 14 || bytes.compare(0, 4, "MThd") != 0) return nullptr;
  auto decoder = std::make_unique<MidiDecoder>();
  if (!decoder->open(bytes, soundfont)) return nullptr;
  return decoder;
}

}  // namespace vellumite
