#include "platform/wav_writer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vellumite {
namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

WavWriter::WavWriter(const std::string& path, int rate) : rate_(rate) {
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ != nullptr) write_header();
}

WavWriter::~WavWriter() {
  if (file_ == nullptr) return;
  std::fseek(file_, 0, SEEK_SET);
  write_header();
  std::fclose(file_);
}

void WavWriter::write_header() {
  // A file longer than the format can say keeps the largest size it can.
  uint32_t data = static_cast<uint32_t>(std::min<uint64_t>(frames_ * 4, 0xFFFFFFFFULL - 36));
  std::vector<uint8_t> h;
  h.insert(h.end(), {'R', 'I', 'F', 'F'});
  put32(h, data + 36);
  h.insert(h.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(h, 16);
  put16(h, 1);  // PCM
  put16(h, 2);
  put32(h, static_cast<uint32_t>(rate_));
  put32(h, static_cast<uint32_t>(rate_) * 4);
  put16(h, 4);
  put16(h, 16);
  h.insert(h.end(), {'d', 'a', 't', 'a'});
  put32(h, data);
  std::fwrite(h.data(), 1, h.size(), file_);
}

void WavWriter::write(const float* stereo, size_t frames) {
  if (file_ == nullptr) return;
  std::vector<uint8_t> bytes;
  bytes.reserve(frames * 4);
  for (size_t i = 0; i < frames * 2; ++i) {
    float clipped = std::clamp(stereo[i], -1.0F, 1.0F);
    put16(bytes, static_cast<uint16_t>(static_cast<int16_t>(std::lrint(clipped * 32767.0F))));
  }
  std::fwrite(bytes.data(), 1, bytes.size(), file_);
  frames_ += frames;
}

}  // namespace vellumite
