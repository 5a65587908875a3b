#include "audio/mixer.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

namespace vellumite {
namespace {

constexpr size_t kRingFrames = 16384;  // about 370 ms ahead at 44.1 kHz
constexpr size_t kChunkFrames = 1024;  // decoded per step

}  // namespace

// One playback on a channel: its decoder, the converter to the mixer's
// format and the ring the decoding side fills and mix() drains.
struct Mixer::Voice {
  std::unique_ptr<Decoder> decoder;
  bool loop = false;
  SwrContext* swr = nullptr;
  std::vector<float> in;   // kChunkFrames decoded frames
  std::vector<float> out;  // converted frames before they enter the ring
  std::vector<float> ring = std::vector<float>(kRingFrames * 2);
  std::atomic<uint64_t> written{0};  // frames, only the decoding side writes
  std::atomic<uint64_t> read{0};     // frames, only mix() writes
  std::atomic<bool> source_done{false};
  std::atomic<bool> finished{false};
  bool empty_pass = true;  // nothing decoded since the last rewind
  size_t ahead = kRingFrames;

  ~Voice() { swr_free(&swr); }

  size_t free_frames() const {
    size_t used = static_cast<size_t>(written - read);
    return used >= ahead ? 0 : ahead - used;
  }
  void push(const float* frames, size_t count) {
    uint64_t w = written.load(std::memory_order_relaxed);
    for (size_t i = 0; i < count; ++i) {
      size_t at = static_cast<size_t>((w + i) % kRingFrames) * 2;
      ring[at] = frames[i * 2];
      ring[at + 1] = frames[i * 2 + 1];
    }
    written.store(w + count, std::memory_order_release);
  }
};

std::string_view channel_name(Channel channel) {
  switch (channel) {
    case Channel::Midi: return "midi";
    case Channel::Cd: return "cd";
    case Channel::Wave: return "wave";
    case Channel::Mp3: return "mp3";
    case Channel::Film: return "film";
  }
  return "?";
}

Mixer::Mixer() = default;

Mixer::~Mixer() {
  for (Slot& slot : slots_) slot.current.store(nullptr);
}

bool Mixer::start(Channel channel, std::unique_ptr<Decoder> decoder, bool loop, size_t ahead) {
  stop(channel);
  if (decoder == nullptr) return false;
  int channels = decoder->channels();
  int rate = decoder->rate();
  if (channels < 1 || channels > 8 || rate < 4000 || rate > 384000) return false;
  auto voice = std::make_unique<Voice>();
  AVChannelLayout in_layout;
  av_channel_layout_default(&in_layout, channels);
  AVChannelLayout out_layout = AV_CHANNEL_LAYOUT_STEREO;
  int failed = swr_alloc_set_opts2(&voice->swr, &out_layout, AV_SAMPLE_FMT_FLT, kAudioRate,
                                   &in_layout, AV_SAMPLE_FMT_FLT, rate, 0, nullptr);
  av_channel_layout_uninit(&in_layout);
  if (failed < 0 || swr_init(voice->swr) < 0) return false;
  voice->decoder = std::move(decoder);
  voice->loop = loop;
  voice->ahead = ahead == 0 ? kRingFrames : std::clamp<size_t>(ahead, 4096, kRingFrames);
  voice->in.resize(kChunkFrames * static_cast<size_t>(channels));
  voice->out.resize(static_cast<size_t>(swr_get_out_samples(voice->swr, kChunkFrames) + 64) * 2);
  Slot& slot = slots_[static_cast<size_t>(channel)];
  std::lock_guard guard(slot.lock);
  // The first samples are ready before the device can ask for them.
  fill_voice(*voice);
  slot.current.store(voice.get(), std::memory_order_release);
  slot.owned = std::move(voice);
  return true;
}

void Mixer::stop(Channel channel) {
  Slot& slot = slots_[static_cast<size_t>(channel)];
  std::unique_ptr<Voice> old;
  {
    std::lock_guard guard(slot.lock);
    slot.current.store(nullptr, std::memory_order_release);
    old = std::move(slot.owned);
  }
  if (old != nullptr) retire(std::move(old));
  free_retired();
}

bool Mixer::restart(Channel channel) {
  Slot& slot = slots_[static_cast<size_t>(channel)];
  std::lock_guard guard(slot.lock);
  Voice* v = slot.owned.get();
  if (v == nullptr || !v->finished.load(std::memory_order_acquire) || !v->decoder->rewind()) {
    return false;
  }
  // mix() skips a finished voice, so the ring and converter are ours here.
  swr_init(v->swr);
  v->empty_pass = true;
  v->source_done.store(false, std::memory_order_relaxed);
  fill_voice(*v);
  v->finished.store(false, std::memory_order_release);
  return true;
}

bool Mixer::playing(Channel channel) const {
  const Slot& slot = slots_[static_cast<size_t>(channel)];
  const Voice* voice = slot.current.load(std::memory_order_acquire);
  return voice != nullptr && !voice->finished.load(std::memory_order_acquire);
}

bool Mixer::sounding() const {
  for (size_t c = 0; c < kChannelCount; ++c) {
    if (playing(static_cast<Channel>(c))) return true;
  }
  return false;
}

void Mixer::set_volume(Channel channel, float volume) {
  slots_[static_cast<size_t>(channel)].volume.store(std::clamp(volume, 0.0F, 1.0F));
}

float Mixer::volume(Channel channel) const {
  return slots_[static_cast<size_t>(channel)].volume.load();
}

void Mixer::fill_voice(Voice& v) {
  while (!v.source_done.load(std::memory_order_relaxed)) {
    size_t room = v.out.size() / 2;
    if (v.free_frames() < room) return;
    size_t got = v.decoder->read(v.in.data(), kChunkFrames);
    const uint8_t* in = reinterpret_cast<const uint8_t*>(v.in.data());
    uint8_t* out = reinterpret_cast<uint8_t*>(v.out.data());
    if (got == 0 && !v.decoder->ended()) return;  // more comes later
    if (got == 0) {
      // A loop starts over, unless the whole pass gave nothing.
      if (v.loop && !v.empty_pass && v.decoder->rewind()) {
        v.empty_pass = true;
        continue;
      }
      int tail = swr_convert(v.swr, &out, static_cast<int>(room), nullptr, 0);
      if (tail > 0) v.push(v.out.data(), static_cast<size_t>(tail));
      v.source_done.store(true, std::memory_order_release);
      return;
    }
    v.empty_pass = false;
    int made = swr_convert(v.swr, &out, static_cast<int>(room), &in, static_cast<int>(got));
    if (made < 0) {
      v.source_done.store(true, std::memory_order_release);
      return;
    }
    v.push(v.out.data(), static_cast<size_t>(made));
  }
}

void Mixer::fill_ahead() {
  for (Slot& slot : slots_) {
    std::lock_guard guard(slot.lock);
    if (slot.owned != nullptr) fill_voice(*slot.owned);
  }
  free_retired();
}

void Mixer::mix(float* out, size_t frames) {
  std::memset(out, 0, frames * 2 * sizeof(float));
  for (Slot& slot : slots_) {
    Voice* v = slot.current.load(std::memory_order_acquire);
    if (v == nullptr || v->finished.load(std::memory_order_relaxed)) continue;
    float gain = slot.volume.load(std::memory_order_relaxed);
    bool done = v->source_done.load(std::memory_order_acquire);
    uint64_t r = v->read.load(std::memory_order_relaxed);
    uint64_t w = v->written.load(std::memory_order_acquire);
    size_t n = std::min(frames, static_cast<size_t>(w - r));
    for (size_t i = 0; i < n; ++i) {
      size_t at = static_cast<size_t>((r + i) % kRingFrames) * 2;
      out[i * 2] += v->ring[at] * gain;
      out[i * 2 + 1] += v->ring[at + 1] * gain;
    }
    v->read.store(r + n, std::memory_order_release);
    if (done && r + n == w) v->finished.store(true, std::memory_order_release);
  }
  mixes_.fetch_add(1, std::memory_order_release);
}

void Mixer::retire(std::unique_ptr<Voice> voice) {
  std::lock_guard guard(retired_lock_);
  retired_.emplace_back(std::move(voice), mixes_.load(std::memory_order_acquire));
}

void Mixer::free_retired() {
  std::lock_guard guard(retired_lock_);
  uint64_t now = mixes_.load(std::memory_order_acquire);
  // A mix that began before the voice was retired has ended two mixes later.
  std::erase_if(retired_, [now](const auto& entry) { return now >= entry.second + 2; });
}

}  // namespace vellumite
