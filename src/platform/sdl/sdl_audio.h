// The sound device of the window: SDL's audio device plays what the mixer
// mixes (its callback only calls mix()), and a feeder thread keeps the
// mixer decoding ahead. Without a usable device the feeder pulls the mixer
// at the wall clock's pace, so sounds still end on time. No SDL here.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/backend_only.h"
#include "platform/platform.h"

namespace vellumite {

class SdlAudioOutput {
 public:
  // Starts playing `producer` (not null). When no device can be opened,
  // `error` says why (the producer is then pulled without one).
  SdlAudioOutput(AudioProducer* producer, std::string& error);
  // Stops the device and the feeder; the producer is not called afterwards.
  ~SdlAudioOutput();
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

  bool device_open() const { return device_ != 0; }
  // Called on the game's thread whenever it looks at its messages or waits:
  // tells the feeder whether anything sounds. While nothing does, the
  // feeder rests instead of waking every few milliseconds; a sound that
  // starts wakes it at the next call.
  void note_sounding();

 private:
  void feed();

  AudioProducer* producer_;
  uint32_t device_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> silent_{false};
  std::mutex rest_lock_;
  std::condition_variable rest_end_;
  std::thread feeder_;
};

}  // namespace vellumite
