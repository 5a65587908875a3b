#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include <chrono>
#include <string>
#include <vector>

namespace vellumite {
namespace {

// 512 frames: about 11.6 ms per callback at 44.1 kHz.
constexpr int kDeviceFrames = 512;
constexpr auto kFeedInterval = std::chrono::milliseconds(4);
// How long the feeder rests at most while nothing sounds.
constexpr auto kRestInterval = std::chrono::milliseconds(500);

void SDLCALL audio_callback(void* userdata, Uint8* stream, int len) {
  auto* producer = static_cast<AudioProducer*>(userdata);
  producer->mix(reinterpret_cast<float*>(stream), static_cast<size_t>(len) / (2 * sizeof(float)));
}

}  // namespace

SdlAudioOutput::SdlAudioOutput(AudioProducer* producer, std::string& error) : producer_(producer) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
    SDL_AudioSpec want{};
    want.freq = kAudioRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = audio_callback;
    want.userdata = producer;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  }
  if (device_ == 0) {
    error = SDL_GetError();
  }
  feeder_ = std::thread([this] { feed(); });
  if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
}

SdlAudioOutput::~SdlAudioOutput() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for a running callback
  {
    std::lock_guard<std::mutex> lock(rest_lock_);
    stopping_.store(true);
  }
  rest_end_.notify_one();
  feeder_.join();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioOutput::feed() {
  using Clock = std::chrono::steady_clock;
  std::vector<float> scratch(static_cast<size_t>(kDeviceFrames) * 2);
  auto start = Clock::now();
  uint64_t pulled = 0;  // frames mixed without a device
  while (!stopping_.load()) {
    producer_->fill_ahead();
    if (device_ == 0) {
      auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
      uint64_t due = static_cast<uint64_t>(elapsed.count()) * kAudioRate / 1000000;
      while (due - pulled >= static_cast<uint64_t>(kDeviceFrames)) {
        producer_->fill_ahead();
        producer_->mix(scratch.data(), kDeviceFrames);
        pulled += kDeviceFrames;
      }
    }
    if (!silent_.load()) {
      std::this_thread::sleep_for(kFeedInterval);
      continue;
    }
    std::unique_lock<std::mutex> lock(rest_lock_);
    rest_end_.wait_for(lock, kRestInterval, [&] { return stopping_.load() || !silent_.load(); });
    // The silence rested over is not pulled afterwards.
    start = Clock::now();
    pulled = 0;
  }
}

void SdlAudioOutput::note_sounding() {
  const bool silent = !producer_->sounding();
  if (silent == silent_.load()) return;
  {
    std::lock_guard<std::mutex> lock(rest_lock_);
    silent_.store(silent);
  }
  if (!silent) rest_end_.notify_one();
}

}  // namespace vellumite
