// The one mixer: a stream per player (MIDI, CD, WAVE, MP3, film sound), each
// with its volume. The UI thread starts and stops streams; fill_ahead()
// decodes ahead into each stream's ring buffer (a backend thread, or the
// headless clock); mix() only reads the rings, so the device's callback never
// waits for decoding, takes a lock or allocates.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "audio/decoder.h"
#include "platform/platform.h"

namespace vellumite {

enum class Channel : uint8_t { Midi, Cd, Wave, Mp3, Film };
constexpr size_t kChannelCount = 5;
// "midi", "cd", "wave", "mp3", "film": the trace's name of the player.
std::string_view channel_name(Channel channel);

class Mixer final : public AudioProducer {
 public:
  Mixer();
  ~Mixer() override;
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // Replaces what the channel plays. With `loop` the decoder starts over at
  // its end. A decoder whose format cannot be converted plays nothing
  // (false).
  // `ahead` limits how many frames are decoded ahead of the device (at least
  // 4096; the default is the whole ring, about 370 ms).
  bool start(Channel channel, std::unique_ptr<Decoder> decoder, bool loop, size_t ahead = 0);
  void stop(Channel channel);
  // Plays the channel's decoder again from its start; false when nothing is
  // there or the decoder cannot go back.
  bool restart(Channel channel);
  // True from start() until the last decoded sample has been mixed.
  bool playing(Channel channel) const;
  // 0.0 (silent) to 1.0 (as decoded).
  void set_volume(Channel channel, float volume);
  float volume(Channel channel) const;

  void fill_ahead() override;
  void mix(float* out, size_t frames) override;
  bool sounding() const override;

  struct Voice;

 private:
  struct Slot {
    std::mutex lock;  // the UI thread and the decoding side, never mix()
    std::unique_ptr<Voice> owned;
    std::atomic<Voice*> current{nullptr};
    std::atomic<float> volume{1.0F};
  };
  // Decodes into the voice's ring until it is full or the decoder ends.
  void fill_voice(Voice& voice);
  void retire(std::unique_ptr<Voice> voice);
  void free_retired();

  std::array<Slot, kChannelCount> slots_;
  std::atomic<uint64_t> mixes_{0};  // mix() calls completed
  std::mutex retired_lock_;
  std::vector<std::pair<std::unique_ptr<Voice>, uint64_t>> retired_;
};

}  // namespace vellumite
