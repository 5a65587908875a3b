#include "game/audio/film.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "game/audio/sound.h"
#include "game/audio/sound_source.h"
#include "game/script/script_error.h"
#include "game/shell/window_proc.h"
#include "resources/game_files.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace vellumite {
namespace {

// One stream of a film file: the demuxer and the stream's decoder.
struct FilmStream {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  int index = -1;
  bool draining = false;

  ~FilmStream() {
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
  }
  // Opens the best stream of `type`; the error code, or 0.
  int open(const std::string& path, AVMediaType type) {
    int r = avformat_open_input(&format, path.c_str(), nullptr, nullptr);
    if (r < 0) return r;
    if ((r = avformat_find_stream_info(format, nullptr)) < 0) return r;
    const AVCodec* decoder = nullptr;
    index = av_find_best_stream(format, type, -1, -1, &decoder, 0);
    if (index < 0) return index;
    codec = avcodec_alloc_context3(decoder);
    if (codec == nullptr) return AVERROR(ENOMEM);
    avcodec_parameters_to_context(codec, format->streams[index]->codecpar);
    return avcodec_open2(codec, decoder, nullptr);
  }
  // The next decoded frame; false at the end or on an error.
  bool next() {
    for (;;) {
      int r = avcodec_receive_frame(codec, frame);
      if (r == 0) return true;
      if (r != AVERROR(EAGAIN) || draining) return false;
      if (av_read_frame(format, packet) < 0) {
        draining = true;
        avcodec_send_packet(codec, nullptr);
        continue;
      }
      if (packet->stream_index == index) avcodec_send_packet(codec, packet);
      av_packet_unref(packet);
    }
  }
  double seconds(int64_t pts) const {
    return pts == AV_NOPTS_VALUE
               ? 0.0
               : static_cast<double>(pts) * av_q2d(format->streams[index]->time_base);
  }
};

class FilmSound final : public Decoder {
 public:
  bool open(const std::string& path) {
    if (stream_.open(path, AVMEDIA_TYPE_AUDIO) < 0) return false;
    channels_ = std::clamp(stream_.codec->ch_layout.nb_channels, 1, 2);
    AVChannelLayout out;
    av_channel_layout_default(&out, channels_);
    int r = swr_alloc_set_opts2(&swr_, &out, AV_SAMPLE_FMT_FLT, stream_.codec->sample_rate,
                                &stream_.codec->ch_layout, stream_.codec->sample_fmt,
                                stream_.codec->sample_rate, 0, nullptr);
    return r >= 0 && swr_init(swr_) >= 0 && stream_.codec->sample_rate > 0;
  }
  ~FilmSound() override { swr_free(&swr_); }
  int rate() const override { return stream_.codec->sample_rate; }
  int channels() const override { return channels_; }
  size_t read(float* out, size_t frames) override {
    size_t made = 0;
    while (made < frames) {
      if (pending_.empty()) {
        if (!stream_.next()) break;
        int n = stream_.frame->nb_samples;
        pending_.resize(static_cast<size_t>(n + 16) * static_cast<size_t>(channels_));
        uint8_t* dst = reinterpret_cast<uint8_t*>(pending_.data());
        int got = swr_convert(swr_, &dst, n + 16,
                              const_cast<const uint8_t**>(stream_.frame->extended_data), n);
        pending_.resize(got > 0 ? static_cast<size_t>(got) * static_cast<size_t>(channels_) : 0);
        taken_ = 0;
        continue;
      }
      size_t have = pending_.size() / static_cast<size_t>(channels_) - taken_;
      size_t n = std::min(have, frames - made);
      std::memcpy(out + made * static_cast<size_t>(channels_),
                  pending_.data() + taken_ * static_cast<size_t>(channels_),
                  n * static_cast<size_t>(channels_) * sizeof(float));
      made += n;
      taken_ += n;
      if (taken_ * static_cast<size_t>(channels_) >= pending_.size()) pending_.clear();
    }
    return made;
  }
  bool rewind() override { return false; }

 private:
  FilmStream stream_;
  SwrContext* swr_ = nullptr;
  int channels_ = 2;
  std::vector<float> pending_;
  size_t taken_ = 0;
};

// Scales a decoded picture to the window (640x480, BGR, rows bottom-up).
void show_frame(Engine& e, SwsContext*& sws, const AVFrame* f) {
  sws = sws_getCachedContext(sws, f->width, f->height, static_cast<AVPixelFormat>(f->format),
                             kWindowWidth, kWindowHeight, AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr,
                             nullptr, nullptr);
  if (sws == nullptr) return;
  uint8_t* pixels = e.platform.window_pixels();
  // Start at the last memory row and go backwards: the picture's top row
  // lands at the bottom of memory's layout, as the window expects.
  uint8_t* dst[1] = {pixels + static_cast<size_t>(kWindowHeight - 1) * kWindowStride};
  int stride[1] = {-kWindowStride};
  sws_scale(sws, f->data, f->linesize, 0, f->height, dst, stride);
  e.platform.present(kWindowRect);
}

void quiet_ffmpeg() {
  static const bool done = [] {
    av_log_set_level(AV_LOG_QUIET);
    return true;
  }();
  (void)done;
}

}  // namespace

std::unique_ptr<Decoder> open_film_sound(const std::string& path) {
  auto sound = std::make_unique<FilmSound>();
  if (!sound->open(path)) return nullptr;
  return sound;
}

void play_video(Engine& e, std::string_view name, bool click_to_stop) {
  std::optional<LocatedSound> located = locate_sound(e, name);
  if (!located) return;
  // A copy taken out of an archive goes when the film ends, however it ends.
  struct Release {
    Engine& e;
    LocatedSound& sound;
    ~Release() { release_sound(e, sound); }
  } release{e, *located};
  const std::string& path = located->path;
  quiet_ffmpeg();
  FilmStream video;
  if (int r = video.open(path, AVMEDIA_TYPE_VIDEO); r < 0) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(r, text, sizeof text);
    script_error(e, "AVI Error 1", text);
  }
  AudioState& a = e.audio;
  a.video_playing = true;
  trace_audio(e, Channel::Film, "start", name, false);
  a.mixer.start(Channel::Film, open_film_sound(path), false);
  SwsContext* sws = nullptr;
  const uint32_t t0 = e.platform.ticks();
  // Waits until `due` ms into the film, still answering the window; false
  // when a click ends the film.
  auto wait_until = [&](uint32_t due) {
    for (;;) {
      pump_message(e);
      if (click_to_stop && e.shell.clicked_flag) return false;
      uint32_t now = e.platform.ticks() - t0;
      if (now >= due) return true;
      e.platform.sleep(std::min<uint32_t>(10, due - now));
    }
  };
  bool clicked = false;
  uint32_t end_ms = 0;
  while (!clicked && video.next()) {
    const AVFrame* f = video.frame;
    const auto due = static_cast<uint32_t>(video.seconds(f->best_effort_timestamp) * 1000);
    end_ms = std::max(end_ms, due + static_cast<uint32_t>(video.seconds(f->pkt_duration) * 1000));
    clicked = !wait_until(due);
    if (!clicked) show_frame(e, sws, f);
  }
  // The last picture stays for its time, and the sound plays out.
  if (!clicked) clicked = !wait_until(end_ms);
  while (!clicked && a.mixer.playing(Channel::Film))
    clicked = !wait_until(e.platform.ticks() - t0 + 10);
  sws_freeContext(sws);
  if (clicked || a.mixer.playing(Channel::Film)) trace_audio(e, Channel::Film, "stop", name, false);
  a.mixer.stop(Channel::Film);
  a.video_playing = false;
  // The game's picture comes back.
  e.platform.post_message(Message{MessageKind::Paint, 0, 0, 0});
}

}  // namespace vellumite
