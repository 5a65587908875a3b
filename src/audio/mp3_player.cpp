#include "audio/mp3_player.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "audio/mp3_codec.h"

namespace vellumite {
namespace {

constexpr int kBufferCount = 4;
constexpr uint32_t kStopWaitMs = 4000;
// The mixer decodes at most this far ahead of the device for MP3, so a
// buffer is handed back about when it is heard.
constexpr size_t kMp3Ahead = 4096;

}  // namespace

// The output: four buffers of 16-bit PCM queued in order; read() plays them
// into the mixer and hands each finished buffer to the notification.
struct Output {
  std::mutex lock;  // the worker's queueing against the reading side
  std::array<std::array<uint8_t, kMp3BlockBytes>, kBufferCount> data{};
  std::array<int, kBufferCount> bytes{};
  std::deque<int> queue;
  size_t offset = 0;  // bytes of the front buffer already played
  bool closed = false;
  WaveFormat format;
  std::function<void(int)> done;  // the buffer-done notification

  void write(int buffer) {
    std::lock_guard guard(lock);
    queue.push_back(buffer);
  }
  // Drops every queued buffer, each with its notification.
  void reset() {
    std::deque<int> dropped;
    {
      std::lock_guard guard(lock);
      dropped.swap(queue);
      offset = 0;
    }
    for (int b : dropped) done(b);
  }
};

struct Mp3Player::Playback {
  std::string bytes;  // the whole file, read once for every pass
  bool loop = false;
  std::atomic<bool> stop_requested{false};
  std::atomic<bool> refill_active{false};
  std::atomic<int> in_flight{0};
  std::atomic<bool> primed{false};
  std::atomic<bool> finished{false};
  Mp3Codec codec;
  std::vector<uint8_t> file;  // the whole file
  size_t position = 0;
  std::array<uint8_t, kMp3InputPiece> input{};
  std::array<uint8_t, kMp3BlockBytes> staging{};
  std::shared_ptr<Output> output;  // set by the worker
  std::mutex output_lock;          // guards `output` against the stop's reads
  std::shared_ptr<Output> current_output() {
    std::lock_guard guard(output_lock);
    return output;
  }

  int next_piece() {
    size_t n = std::min<size_t>(kMp3InputPiece, file.size() - position);
    std::memcpy(input.data(), file.data() + position, n);
    position += n;
    return static_cast<int>(n);
  }
  void queue(int buffer, int n) {
    std::memcpy(output->data[static_cast<size_t>(buffer)].data(), staging.data(),
                static_cast<size_t>(n));
    output->bytes[static_cast<size_t>(buffer)] = n;
    in_flight.fetch_add(1);
    output->write(buffer);
  }
  void notification(int buffer);
  void refill(int buffer);
  void run(Mixer& mixer);
  bool pass(Mixer& mixer);
};

namespace {

// The mixer's view of the output.
class OutputStream final : public Decoder {
 public:
  explicit OutputStream(std::shared_ptr<Output> out) : out_(std::move(out)) {}
  int rate() const override { return static_cast<int>(out_->format.samples_per_sec); }
  int channels() const override { return 2; }
  size_t read(float* frames, size_t count) override {
    size_t made = 0;
    while (made < count) {
      int finished_buffer = -1;
      {
        std::lock_guard guard(out_->lock);
        if (out_->queue.empty()) break;
        int b = out_->queue.front();
        const auto& data = out_->data[static_cast<size_t>(b)];
        size_t total = static_cast<size_t>(out_->bytes[static_cast<size_t>(b)]) / 4 * 4;
        while (made < count && out_->offset < total) {
          int16_t l = 0;
          int16_t r = 0;
          std::memcpy(&l, data.data() + out_->offset, 2);
          std::memcpy(&r, data.data() + out_->offset + 2, 2);
          frames[made * 2] = static_cast<float>(l) / 32768.0F;
          frames[made * 2 + 1] = static_cast<float>(r) / 32768.0F;
          out_->offset += 4;
          ++made;
        }
        if (out_->offset >= total) {
          out_->queue.pop_front();
          out_->offset = 0;
          finished_buffer = b;
        }
      }
      if (finished_buffer >= 0) out_->done(finished_buffer);
    }
    return made;
  }
  bool rewind() override { return false; }
  bool ended() const override {
    std::lock_guard guard(out_->lock);
    return out_->closed && out_->queue.empty();
  }

 private:
  std::shared_ptr<Output> out_;
};

}  // namespace

void Mp3Player::Playback::notification(int buffer) {
  refill(buffer);
  // Last: once the count reaches 0 the worker may end and free this.
  in_flight.fetch_sub(1);
}

void Mp3Player::Playback::refill(int buffer) {
  if (!refill_active.load()) return;
  int n = 0;
  int r = codec.decodeMP3(nullptr, 0, staging.data(), kMp3BlockBytes, &n);
  while (r != kMp3Produced) {
    if (stop_requested.load()) return;
    int k = next_piece();
    // The end of the data, or a stream that cannot be decoded: no more.
    if (k == 0 || r == kMp3Error) {
      refill_active.store(false);
      return;
    }
    r = codec.decodeMP3(input.data(), k, staging.data(), kMp3BlockBytes, &n);
  }
  if (stop_requested.load()) return;
  queue(buffer, n);
}

// One pass over the file; false when the playback ends.
bool Mp3Player::Playback::pass(Mixer& mixer) {
  codec.InitMP3();
  file.clear();
  position = 0;
  file.assign(bytes.begin(), bytes.end());
  if (file.empty()) return false;
  int k = next_piece();
  in_flight.store(0);
  WaveFormat format;
  codec.GetWaveformat(format, input.data(), static_cast<size_t>(k));
  // The output stays open from pass to pass while the format is the same,
  // so a loop has no gap.
  if (output == nullptr || output->format.samples_per_sec != format.samples_per_sec) {
    auto fresh = std::make_shared<Output>();
    fresh->format = format;
    fresh->done = [this](int b) { notification(b); };
    {
      std::lock_guard guard(output_lock);
      output = fresh;
    }
    mixer.start(Channel::Mp3, std::make_unique<OutputStream>(fresh), false, kMp3Ahead);
  }
  // Prime the four buffers.
  int next = 0;
  bool priming = true;
  while (priming && !stop_requested.load() && k != 0) {
    int n = 0;
    int r = codec.decodeMP3(input.data(), k, staging.data(), kMp3BlockBytes, &n);
    if (r == kMp3Error) break;
    while (r == kMp3Produced) {
      if (stop_requested.load()) break;
      queue(next++, n);
      if (next == kBufferCount) {
        priming = false;
        break;
      }
      r = codec.decodeMP3(nullptr, 0, staging.data(), kMp3BlockBytes, &n);
    }
    if (priming && !stop_requested.load()) k = next_piece();
  }
  primed.store(true);
  // Nothing decodable: the pass (and a loop) ends instead of waiting for a
  // notification that never comes.
  if (next == 0) {
    codec.ExitMP3();
    return false;
  }
  refill_active.store(true);
  while ((!stop_requested.load() && refill_active.load()) || in_flight.load() != 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  refill_active.store(false);
  codec.ExitMP3();
  return !stop_requested.load() && loop;
}

void Mp3Player::Playback::run(Mixer& mixer) {
  while (pass(mixer)) {
  }
  if (output != nullptr) {
    std::lock_guard guard(output->lock);
    output->closed = true;
  }
  primed.store(true);
  finished.store(true);
}

Mp3Player::~Mp3Player() { stop(nullptr); }

bool Mp3Player::active() const { return playback_ != nullptr && !playback_->finished.load(); }

void Mp3Player::play(std::string bytes, bool loop) {
  stop(nullptr);
  playback_ = std::make_shared<Playback>();
  playback_->bytes = std::move(bytes);
  playback_->loop = loop;
  worker_ = std::thread([p = playback_, &mixer = mixer_] { p->run(mixer); });
  // The first buffers are queued before the game goes on, so the music
  // starts at the same point of the game every time.
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!playback_->primed.load() && std::chrono::steady_clock::now() < limit) {
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

void Mp3Player::stop(Platform* clock) {
  if (playback_ == nullptr) return;
  Playback& p = *playback_;
  p.stop_requested.store(true);
  // The queued buffers play to their end, for at most 4,000 ms. The worker
  // ends as soon as the last one is back (its own wait is short and in real
  // time), so only the buffers are waited for on the game's clock.
  if (clock != nullptr) {
    uint32_t t0 = clock->ticks();
    while (!p.finished.load() && p.in_flight.load() != 0 && clock->ticks() - t0 < kStopWaitMs) {
      clock->sleep(1);
    }
  }
  // Whatever is still queued then is dropped (again while the worker may
  // still be queueing), so the worker ends now.
  while (!p.finished.load()) {
    if (auto out = p.current_output()) out->reset();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  worker_.join();
  playback_.reset();
}

}  // namespace vellumite
