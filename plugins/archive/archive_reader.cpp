#include "archive/archive_reader.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <iconv.h>
#include <locale.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace vellumite::plugins {
namespace {

// Member names reach us as UTF-8: libarchive converts names stored in
// Shift-JIS (CP932, the usual charset of these archives) or UTF-16, and
// this thread works in a UTF-8 locale while an archive is open.
class Utf8Locale {
 public:
  Utf8Locale() {
    utf8_ = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (utf8_ != static_cast<locale_t>(nullptr)) before_ = uselocale(utf8_);
  }
  ~Utf8Locale() {
    if (utf8_ == static_cast<locale_t>(nullptr)) return;
    uselocale(before_);
    freelocale(utf8_);
  }
  Utf8Locale(const Utf8Locale&) = delete;
  Utf8Locale& operator=(const Utf8Locale&) = delete;

 private:
  locale_t utf8_ = static_cast<locale_t>(nullptr);
  locale_t before_ = static_cast<locale_t>(nullptr);
};

struct ArchiveCloser {
  void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveCloser>;

ArchivePtr new_reader() {
  ArchivePtr a(archive_read_new());
  if (a == nullptr) return a;
  archive_read_support_filter_all(a.get());
  archive_read_support_format_all(a.get());
  // Names without a charset of their own are Shift-JIS.
  for (const char* format : {"zip", "lha", "cab", "rar", "tar", "cpio", "iso9660"}) {
    archive_read_set_format_option(a.get(), format, "hdrcharset", "CP932");
  }
  return a;
}

ArchivePtr open_file(const char* path) {
  ArchivePtr a = new_reader();
  if (a == nullptr || archive_read_open_filename(a.get(), path, 65536) != ARCHIVE_OK) return {};
  return a;
}

std::optional<std::string> utf8_to_sjis(const char* utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string in(utf8), out(in.size() * 2 + 4, '\0');
  char* src = in.data();
  char* dst = out.data();
  size_t src_left = in.size(), dst_left = out.size();
  const size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - dst_left);
  return out;
}

bool sjis_lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// '/' becomes '\', and with `fold` ASCII capitals become small letters;
// the second bytes of Shift-JIS characters stay as they are.
std::string normalise(std::string_view name, bool fold) {
  std::string out(name);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (sjis_lead(c) && i + 1 < out.size()) {
      ++i;
    } else if (c == '/') {
      out[i] = '\\';
    } else if (fold && c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c + 32);
    }
  }
  // "./x" and "x" are the same member.
  while (out.size() >= 2 && out[0] == '.' && out[1] == '\\') out.erase(0, 2);
  return out;
}

// The entry's name in Shift-JIS with '\' between folders, or nullopt when it
// has none that can be written so.
std::optional<std::string> entry_name(archive_entry* entry) {
  const char* utf8 = archive_entry_pathname_utf8(entry);
  if (utf8 == nullptr) utf8 = archive_entry_pathname(entry);
  if (utf8 == nullptr) return std::nullopt;
  std::optional<std::string> sjis = utf8_to_sjis(utf8);
  if (!sjis) return std::nullopt;
  return normalise(*sjis, false);
}

std::string_view base_of(std::string_view name) {
  size_t start = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (sjis_lead(c) && i + 1 < name.size()) {
      ++i;
    } else if (c == '\\' || c == '/') {
      start = i + 1;
    }
  }
  return name.substr(start);
}

bool plain_file_name(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

// Copies the current entry's data to `fd`; false on a read or write error
// or past kMaxMemberBytes.
bool copy_data(archive* a, int fd) {
  char buffer[65536];
  uint64_t total = 0;
  for (;;) {
    const la_ssize_t n = archive_read_data(a, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) return false;
    total += static_cast<uint64_t>(n);
    if (total > kMaxMemberBytes) return false;
    for (la_ssize_t done = 0; done < n;) {
      const ssize_t w = write(fd, buffer + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      done += w;
    }
  }
}

}  // namespace

std::optional<MemberInfo> find_member(const char* archive_path, std::string_view name_sjis,
                                      bool ignore_case) {
  Utf8Locale locale;
  ArchivePtr a = open_file(archive_path);
  if (a == nullptr) return std::nullopt;
  const std::string wanted = normalise(name_sjis, ignore_case);
  archive_entry* entry = nullptr;
  uint32_t position = 0;
  while (archive_read_next_header(a.get(), &entry) == ARCHIVE_OK) {
    if (++position == 0) break;
    if (archive_entry_filetype(entry) != AE_IFREG) continue;
    std::optional<std::string> name = entry_name(entry);
    if (!name || normalise(*name, ignore_case) != wanted) continue;
    MemberInfo info;
    info.position = position;
    info.size =
        archive_entry_size_is_set(entry) ? static_cast<uint64_t>(archive_entry_size(entry)) : 0;
    info.name = *name;
    return info;
  }
  return std::nullopt;
}

bool extract_member(const char* archive_path, uint32_t position, const std::string& folder) {
  if (position == 0 || folder.empty()) return false;
  Utf8Locale locale;
  ArchivePtr a = open_file(archive_path);
  if (a == nullptr) return false;
  archive_entry* entry = nullptr;
  for (uint32_t i = 1; i <= position; ++i) {
    if (archive_read_next_header(a.get(), &entry) != ARCHIVE_OK) return false;
  }
  if (archive_entry_filetype(entry) != AE_IFREG) return false;
  std::optional<std::string> name = entry_name(entry);
  if (!name) return false;
  // Only the base name is used: a member called "..\..\x" or "/etc/x" is
  // written as "x" inside the folder, and never through a link there.
  const std::string_view base = base_of(*name);
  if (!plain_file_name(base)) return false;
  std::string path = folder;
  if (path.back() != '/') path += '/';
  path += base;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool copied = copy_data(a.get(), fd);
  const bool closed = close(fd) == 0;
  if (copied && closed) return true;
  unlink(path.c_str());
  return false;
}

uint64_t read_all_members(const void* data, size_t size) {
  Utf8Locale locale;
  ArchivePtr a = new_reader();
  if (a == nullptr || archive_read_open_memory(a.get(), data, size) != ARCHIVE_OK) return 0;
  archive_entry* entry = nullptr;
  uint64_t total = 0;
  char buffer[65536];
  while (archive_read_next_header(a.get(), &entry) == ARCHIVE_OK) {
    if (std::optional<std::string> name = entry_name(entry)) total += base_of(*name).size();
    for (la_ssize_t n; (n = archive_read_data(a.get(), buffer, sizeof buffer)) > 0;) {
      total += static_cast<uint64_t>(n);
      if (total > (uint64_t{64} << 20)) return total;
    }
  }
  return total;
}

}  // namespace vellumite::plugins
