#include "app/pictures/picture_cache.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "media/decode/decode.hpp"

namespace fs = std::filesystem;

namespace app {

namespace {

// Changes whenever screen_codec fits or keeps a picture differently (its scale slack, its JPEG
// quality, how it turns or cuts), so that a new build never shows an old build's fitted copies.
constexpr int kFittingVersion = 1;

// An entry: the magic (which also names the layout), the identity's length and the JPEG's length
// (32 bits each, little-endian), the JPEG's FNV-1a 64 checksum, then the identity and the JPEG.
constexpr std::string_view kMagic{"PipkFit1", 8};
constexpr size_t kHeaderBytes = 8 + 4 + 4 + 8;
// An identity holds a path; longer ones than this are not from us.
constexpr size_t kMaxIdentityBytes = 8192;
constexpr std::string_view kEntryEnding = ".fit";
constexpr std::string_view kTempEnding = ".tmp";

void put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += char((v >> (8 * i)) & 255);
}
void put64(std::string& s, uint64_t v) {
  for (int i = 0; i < 8; ++i) s += char((v >> (8 * i)) & 255);
}
uint64_t get(const std::string& s, size_t at, int n) {
  uint64_t v = 0;
  for (int i = 0; i < n; ++i) v |= uint64_t(uint8_t(s[at + i])) << (8 * i);
  return v;
}

bool ends_with(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::string hex16(uint64_t v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}

// Reads `size` bytes of fd (its whole size, known beforehand).
bool read_all(int fd, std::string& out, size_t size) {
  out.resize(size);
  size_t got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, out.data() + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    got += static_cast<size_t>(n);
  }
  return true;
}

bool write_all(int fd, const std::string& bytes) {
  size_t put = 0;
  while (put < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + put, bytes.size() - put);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    put += static_cast<size_t>(n);
  }
  return true;
}

// The first bytes of a file, enough to tell its format; "" when it cannot be read.
}  // namespace

uint64_t fnv1a64(std::string_view bytes, uint64_t seed) {
  uint64_t h = seed;
  for (char c : bytes) {
    h ^= uint8_t(c);
    h *= 0x100000001b3ull;
  }
  return h;
}

bool slow_to_fit(std::string_view b) {
  if (b.size() >= 12 && b.substr(0, 4) == "RIFF" && b.substr(8, 4) == "WEBP") return true;
  // HEIC and AVIF files open with an ISO "ftyp" box.
  return b.size() >= 12 && b.substr(4, 4) == "ftyp";
}

PictureCache::PictureCache(std::string folder, uint64_t max_bytes) : folder_(std::move(folder)), max_bytes_(max_bytes) {
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
}

std::string PictureCache::identity(const std::string& path, int width, int height) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return "";
  std::error_code ec;
  const fs::path whole = fs::absolute(path, ec);
  if (ec) return "";
  const int64_t mtime_ns = int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  // The path last: the numbers before it end at spaces, so no two files share an identity.
  return "fit" + std::to_string(kFittingVersion) + " " + std::to_string(st.st_size) + " " + std::to_string(mtime_ns) +
         " " + std::to_string(width) + "x" + std::to_string(height) + " " + whole.lexically_normal().string();
}

std::string PictureCache::entry_path(std::string_view identity) const {
  return folder_ + "/" + hex16(fnv1a64(identity)) + std::string(kEntryEnding);
}

bool PictureCache::read(const std::string& identity, std::string& bytes) {
  if (folder_.empty() || identity.empty()) return false;
  const std::string file = entry_path(identity);
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  std::string whole;
  const bool read_ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= off_t(kHeaderBytes) &&
                       st.st_size <= off_t(kHeaderBytes + kMaxIdentityBytes + kMaxEntryBytes) &&
                       read_all(fd, whole, static_cast<size_t>(st.st_size));
  bool good = false;
  if (read_ok && whole.compare(0, kMagic.size(), kMagic) == 0) {
    const size_t id_len = get(whole, 8, 4), jpeg_len = get(whole, 12, 4);
    const uint64_t sum = get(whole, 16, 8);
    good = jpeg_len > 0 && kHeaderBytes + id_len + jpeg_len == whole.size() &&
           whole.compare(kHeaderBytes, id_len, identity) == 0 && id_len == identity.size() &&
           fnv1a64(std::string_view(whole).substr(kHeaderBytes + id_len)) == sum;
    if (good) {
      bytes.assign(whole, kHeaderBytes + id_len, jpeg_len);
      ::futimens(fd, nullptr);  // used now; quietly not when the folder is read-only
    }
  }
  ::close(fd);
  if (!good) {
    ::unlink(file.c_str());  // damaged, cut short or another picture's: decoded again instead
    ++damaged_;
  }
  return good;
}

void PictureCache::write(const std::string& identity, const std::string& bytes) {
  if (folder_.empty() || identity.empty() || identity.size() > kMaxIdentityBytes || bytes.empty() ||
      bytes.size() > kMaxEntryBytes)
    return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (unwritable_) return;
  }
  std::error_code ec;
  fs::create_directories(folder_, ec);
  if (ec || !fs::is_directory(folder_, ec)) {
    std::lock_guard<std::mutex> lock(mutex_);
    unwritable_ = true;
    return;
  }
  std::string entry(kMagic);
  put32(entry, static_cast<uint32_t>(identity.size()));
  put32(entry, static_cast<uint32_t>(bytes.size()));
  put64(entry, fnv1a64(bytes));
  entry += identity;
  entry += bytes;

  // A name of its own for every writer, in this process or another, so none writes into another's
  // half-written file; the rename puts a whole entry in place at once.
  static std::atomic<unsigned> serial{0};
  const std::string file = entry_path(identity);
  const std::string temp = file + "." + std::to_string(::getpid()) + "-" + std::to_string(serial++) + std::string(kTempEnding);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const bool written = write_all(fd, entry);
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp.c_str(), file.c_str()) != 0) {
    ::unlink(temp.c_str());
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  total_ += entry.size();
  if (!scanned_ || total_ > max_bytes_) trim_locked();
}

void PictureCache::trim() {
  std::lock_guard<std::mutex> lock(mutex_);
  trim_locked();
}

void PictureCache::trim_locked() {
  scanned_ = true;
  total_ = 0;
  if (folder_.empty()) return;
  struct Found {
    int64_t mtime_ns;
    uint64_t size;
    std::string path;
  };
  std::vector<Found> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string path = it->path().string();
    // Only our own files: entries, and temporary ones a stopped start may have left behind.
    if (!ends_with(path, kEntryEnding) && !ends_with(path, kTempEnding)) continue;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    found.push_back({int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec, uint64_t(st.st_size), path});
    total_ += uint64_t(st.st_size);
  }
  if (total_ <= max_bytes_) return;
  // Down to three quarters, so that the next pictures written do not each start another trim.
  const uint64_t goal = max_bytes_ / 4 * 3;
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.mtime_ns < b.mtime_ns; });
  for (const Found& f : found) {
    if (total_ <= goal) break;
    if (::unlink(f.path.c_str()) == 0 || errno == ENOENT) total_ -= f.size;
  }
}

PictureCodec cached_codec(PictureCodec inner, std::shared_ptr<PictureCache> cache, int width, int height) {
  if (!cache || cache->folder().empty()) return inner;
  PictureCodec c;
  c.restore = inner.restore;
  // A photo fitted before needs no preview: its fitted copy is as quick to read.
  if (inner.preview)
    c.preview = [preview = std::move(inner.preview), cache, width, height](const std::string& path, CompactPicture& out) {
      const std::string id = PictureCache::identity(path, width, height);
      struct stat st;
      if (!id.empty() && ::stat(cache->entry_path(id).c_str(), &st) == 0) return false;
      return preview(path, out);
    };
  c.load = [load = std::move(inner.load), cache, width, height](const std::string& path, CompactPicture& out,
                                                                 std::string& error) {
    const std::string id = PictureCache::identity(path, width, height);
    std::string kept;
    if (!id.empty() && cache->read(id, kept)) {
      out = CompactPicture{};
      out.jpeg = std::move(kept);
      return true;
    }
    if (!load(path, out, error)) return false;
    // Only a photo kept as a JPEG, of a format worth it, and only when the file is still the one
    // the identity was taken of (a file replaced while it was read gets no entry under the old one).
    if (!id.empty() && !out.jpeg.empty() && out.packed.bytes.empty() && slow_to_fit(media::read_file_head(path, 16)) &&
        PictureCache::identity(path, width, height) == id)
      cache->write(id, out.jpeg);
    return true;
  };
  return c;
}

}  // namespace app
