#include "media/decode/decode.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "media/files/log.hpp"

namespace media {

static DecodeResult refused(const char* why) {
  DecodeResult r;
  r.error = why;
  return r;
}

static bool starts_with(const uint8_t* data, size_t size, const char* magic, size_t n) {
  return size >= n && std::memcmp(data, magic, n) == 0;
}

namespace {
std::atomic<int> busy{0};
thread_local int busy_depth = 0;  // this thread's BusyCore objects alive
}  // namespace

BusyCore::BusyCore() {
  if (busy_depth++ == 0) ++busy;
}

BusyCore::~BusyCore() {
  if (--busy_depth == 0) --busy;
}

int busy_cores() { return busy.load(); }

DecodeResult decode_image(const uint8_t* data, size_t size, const DecodeOptions& opt) {
  const BusyCore decoding;
  if (size == 0) return refused("empty file");
  if (starts_with(data, size, "\x89PNG\r\n\x1a\n", 8)) return decode_png(data, size);
  if (starts_with(data, size, "\xFF\xD8\xFF", 3)) return decode_jpeg(data, size, opt);
  if (starts_with(data, size, "BM", 2)) return decode_bmp(data, size);
  // RIFF....WEBP, or a file cut before the end of that.
  if (starts_with(data, size, "RIFF", 4) && (size <= 8 || std::memcmp(data + 8, "WEBP", std::min<size_t>(size - 8, 4)) == 0))
    return decode_webp(data, size, opt);
  if (is_avif(data, size)) return decode_avif(data, size, opt);
  if (is_heif_file(data, size)) return decode_heif(data, size, opt);
  return refused("not a PNG, JPEG, BMP, WebP, HEIC or AVIF file");
}

namespace {
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};
}  // namespace

std::string read_file_head(const std::string& path, size_t n) {
  std::string out(n, '\0');
  Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  size_t done = 0;
  while (f.fd >= 0 && done < n) {
    const ssize_t got = ::read(f.fd, out.data() + done, n - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  out.resize(done);
  return out;
}

PixmapPtr load_pixmap(const std::string& path) {
  std::string bytes, error;
  if (!read_whole_file(path, bytes, error)) {
    log_error("image", path + ": " + error);
    return nullptr;
  }
  DecodeResult res = decode_image(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  if (!res.pixmap) log_error("image", path + ": " + res.error);
  return res.pixmap;
}

bool read_whole_file(const std::string& path, std::string& out, std::string& error, size_t max_bytes) {
  out.clear();
  Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (f.fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(f.fd, &st) != 0) {
    error = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = "not a regular file";
    return false;
  }
  if (static_cast<uint64_t>(st.st_size) > max_bytes) {
    error = "file too big (" + std::to_string(st.st_size) + " bytes)";
    return false;
  }
  out.resize(static_cast<size_t>(st.st_size));
  size_t done = 0;
  while (done < out.size()) {
    ssize_t n = ::read(f.fd, out.data() + done, out.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = std::strerror(errno);
      out.clear();
      return false;
    }
    if (n == 0) break;  // the file shrank while we read it
    done += static_cast<size_t>(n);
  }
  out.resize(done);
  return true;
}

}  // namespace media
