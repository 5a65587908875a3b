#include "audio/wave_file.h"

#include <sndfile.h>

#include <cstring>

namespace vellumite {
namespace {

uint32_t le32(std::string_view b, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

// libsndfile reads the file through these calls, never past its end.
struct MemoryFile {
  std::string bytes;
  sf_count_t pos = 0;
};

sf_count_t mem_length(void* user) {
  return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size());
}

sf_count_t mem_seek(sf_count_t offset, int whence, void* user) {
  auto* f = static_cast<MemoryFile*>(user);
  sf_count_t size = static_cast<sf_count_t>(f->bytes.size());
  sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->pos : size;
  sf_count_t to = base + offset;
  if (to < 0 || to > size) return -1;
  f->pos = to;
  return to;
}

sf_count_t mem_read(void* out, sf_count_t count, void* user) {
  auto* f = static_cast<MemoryFile*>(user);
  sf_count_t left = static_cast<sf_count_t>(f->bytes.size()) - f->pos;
  sf_count_t n = count < left ? count : left;
  if (n <= 0) return 0;
  std::memcpy(out, f->bytes.data() + f->pos, static_cast<size_t>(n));
  f->pos += n;
  return n;
}

sf_count_t mem_write(const void*, sf_count_t, void*) { return 0; }
sf_count_t mem_tell(void* user) { return static_cast<MemoryFile*>(user)->pos; }

class SndfileDecoder final : public Decoder {
 public:
  explicit SndfileDecoder(std::string bytes) { file_.bytes = std::move(bytes); }
  ~SndfileDecoder() override {
    if (sf_ != nullptr) sf_close(sf_);
  }
  bool open() {
    SF_VIRTUAL_IO io{mem_length, mem_seek, mem_read, mem_write, mem_tell};
    sf_ = sf_open_virtual(&io, SFM_READ, &info_, &file_);
    return sf_ != nullptr && info_.channels >= 1 && info_.samplerate > 0;
  }
  int rate() const override { return info_.samplerate; }
  int channels() const override { return info_.channels; }
  size_t read(float* out, size_t frames) override {
    sf_count_t got = sf_readf_float(sf_, out, static_cast<sf_count_t>(frames));
    return got > 0 ? static_cast<size_t>(got) : 0;
  }
  bool rewind() override { return sf_seek(sf_, 0, SEEK_SET) == 0; }

 private:
  MemoryFile file_;  // libsndfile holds its address: never moved
  SF_INFO info_{};
  SNDFILE* sf_ = nullptr;
};

}  // namespace

bool wave_chunks_fit(std::string_view b) {
  if (b.size() < 12 || b.substr(0, 4) != "RIFF") return true;
  if (b.substr(8, 4) != "WAVE") return false;
  bool fmt = false;
  bool data = false;
  uint64_t at = 12;
  while (at + 8 <= b.size()) {
    std::string_view id = b.substr(static_cast<size_t>(at), 4);
    uint64_t size = le32(b, static_cast<size_t>(at) + 4);
    at += 8;
    if (size > b.size() - at) return false;  // claims more than the file holds
    if (id == "fmt ") fmt = true;
    if (id == "data") data = true;
    at += size + (size & 1);
  }
  return fmt && data;
}

std::unique_ptr<Decoder> open_sound_bytes(std::string bytes) {
  if (!wave_chunks_fit(bytes)) return nullptr;
  auto decoder = std::make_unique<SndfileDecoder>(std::move(bytes));
  if (!decoder->open()) return nullptr;
  return decoder;
}

}  // namespace vellumite
