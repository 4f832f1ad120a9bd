// A folder of fitted photos kept between starts, so a photo in a format with no reduced-size decode
// (WebP, HEIC, AVIF: the whole 12-megapixel picture must be decoded before it can be made small)
// pays that decode only the first time it is shown. Later starts read the small JPEG the store kept
// of it. JPEG, PNG and BMP files are never cached: a JPEG decodes at a reduced scale about as fast
// as its fitted copy would, and drawings keep exact pixels.
//
// An entry is one file named by a fixed 64-bit hash of what makes the fitted picture what it is
// (the file's absolute path, size, modification time in nanoseconds, the fit size and the version
// of the fitting). Its header repeats that identity in full and holds the length and a checksum of
// the JPEG bytes: a damaged, cut-short or foreign entry is a miss and is removed, never shown. An
// entry is written to a temporary file and renamed into place, so readers (other workers, another
// start) see a whole entry or none. A hit sets the entry's time to now; the least recently used
// entries go when the folder grows past its bound. Every failure to write (read-only home, full
// disk) is quiet: the picture is decoded as it would be without a cache.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "app/pictures/screen_codec.hpp"

namespace app {

class PictureCache {
 public:
  // About a thousand to two thousand fitted photos (150 to 300 KB each at 1024x768).
  static constexpr uint64_t kDefaultMaxBytes = uint64_t{300} << 20;
  // Larger fitted copies are not kept (a 1024x768 JPEG is far smaller).
  static constexpr size_t kMaxEntryBytes = size_t{16} << 20;

  // Entries live in `folder`, made when the first one is written. Once the entries hold more than
  // max_bytes in all, the least recently used go until they hold three quarters of it.
  explicit PictureCache(std::string folder, uint64_t max_bytes = kDefaultMaxBytes);

  const std::string& folder() const { return folder_; }

  // What one fitted picture depends on. Empty when the file cannot be looked at.
  static std::string identity(const std::string& path, int width, int height);
  // The entry's file for an identity: 16 hex digits of its hash and ".fit".
  std::string entry_path(std::string_view identity) const;

  // The kept bytes for the identity; false on a miss. A damaged entry is removed. A hit marks the
  // entry as just used.
  bool read(const std::string& identity, std::string& bytes);
  // Keeps the bytes for the identity (atomically; quietly not at all when it cannot).
  void write(const std::string& identity, const std::string& bytes);
  // Removes the least recently used entries while the folder holds more than the bound. Runs by
  // itself from write() the first time (once per start) and whenever the entries written since
  // take the folder past the bound; callable directly (tests).
  void trim();
  // How many damaged entries read() found and removed (tests: a half-written entry is never seen).
  size_t damaged() const { return damaged_; }

  // Threads may call read, write and trim at once.
 private:
  void trim_locked();
  std::string folder_;
  uint64_t max_bytes_;
  std::mutex mutex_;
  bool scanned_ = false;    // trim has run in this start
  bool unwritable_ = false;  // the folder cannot be made: writing is not tried again
  uint64_t total_ = 0;      // bytes of the entries, as of the last trim plus what was written since
  std::atomic<size_t> damaged_{0};
};

// The fixed 64-bit hash of entry names (FNV-1a): the same on every build and every machine.
uint64_t fnv1a64(std::string_view bytes, uint64_t seed = 0xcbf29ce484222325ull);

// Whether a file's first bytes show a format with no reduced-size decode (WebP, and the ISO
// container of HEIC and AVIF), whose fitted copies are worth keeping.
bool slow_to_fit(std::string_view first_bytes);

// `inner` (the real screen codec, or a test's) with the cache in front of its load for pictures
// fitted to width x height: a hit is the kept JPEG; a miss loads through inner and keeps the result
// when it is a JPEG of a slow format's file that did not change while it was read. No cache when
// cache is null. Restoring is inner's own (the JPEG decoder checks the bytes again).
PictureCodec cached_codec(PictureCodec inner, std::shared_ptr<PictureCache> cache, int width, int height);

}  // namespace app
