// The MP3 player: one worker thread per playback primes four 8,192-byte
// buffers into the MP3 stream's output; the output's buffer-done
// notification (on the thread that decodes ahead for the mixer) decodes
// the next block and queues the buffer again. A stop sets a flag, lets the
// queued buffers play out and waits for the worker at most 4,000 ms, then
// drops what is still queued and joins it: the worker never outlives the
// playback it serves.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include "audio/mixer.h"
#include "platform/platform.h"

namespace vellumite {

class Mp3Player {
 public:
  explicit Mp3Player(Mixer& mixer) : mixer_(mixer) {}
  ~Mp3Player();
  Mp3Player(const Mp3Player&) = delete;
  Mp3Player& operator=(const Mp3Player&) = delete;

  // Starts the worker for the MP3 file `bytes`; returns once its first
  // buffers are queued (or it has ended). `loop`: play the file again and
  // again until stopped.
  void play(std::string bytes, bool loop);
  // Stops the playback (if any); the bounded wait passes on `clock`'s time.
  void stop(Platform* clock);
  // A playback is still going (not ended by itself).
  bool active() const;

  struct Playback;

 private:
  Mixer& mixer_;
  std::shared_ptr<Playback> playback_;
  std::thread worker_;
};

}  // namespace vellumite
