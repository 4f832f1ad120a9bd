// The cache of fitted photos: a hit gives back the bytes the miss kept; a changed file, another fit
// size or a damaged entry is a miss (and the damaged entry goes); a folder that cannot be written
// leaves the program working without a cache; the folder's bound removes the least recently used
// entries; workers loading the same file at once never leave a mixed entry; and through the real
// store, a WebP photo's second start reads the fitted copy instead of the file. Entry times are set
// by the tests, never waited for.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <latch>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "app/pictures/picture_cache.hpp"
#include "app/pictures/picture_loading.hpp"
#include "app/pictures/picture_store.hpp"
#include "app/pictures/pictures.hpp"
#include "media/display/image.hpp"
#include "tests/unit/sample_images.hpp"
#include "tests/unit/webp_images.hpp"

namespace fs = std::filesystem;
using app::CompactPicture;
using app::PictureCache;
using app::PictureCodec;

namespace {

// The first bytes of a WebP file, enough for the cache to take a file for one.
const std::string kWebpStart = std::string("RIFF\x10\0\0\0WEBPVP8 ", 16);
const std::string kJpegStart = std::string("\xFF\xD8\xFF\xE0", 4);

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

void write_file(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

struct timespec mtime_of(const fs::path& p) {
  struct stat st {};
  EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
  return st.st_mtim;
}

void set_mtime(const fs::path& p, struct timespec t) {
  const struct timespec times[2] = {t, t};
  ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0) << p;
}

void set_mtime(const fs::path& p, time_t seconds) { set_mtime(p, timespec{seconds, 0}); }

// A stand-in for the screen codec that counts its loads: the "fitted JPEG" is a fixed text and the
// file's own bytes, so a stale or mixed copy shows. A file whose name holds "drawing" is kept as
// packed pixels, as a lossless picture would be.
struct CountingCodec {
  std::atomic<int> loads{0};
  std::string padding;  // makes every fitted copy this much longer

  PictureCodec codec() {
    PictureCodec c;
    c.load = [this](const std::string& path, CompactPicture& out, std::string& error) {
      ++loads;
      const std::string bytes = read_file(path);
      if (bytes.empty()) {
        error = "cannot be read";
        return false;
      }
      if (path.find("drawing") != std::string::npos) {
        out.packed.bytes = bytes;
        return true;
      }
      out.jpeg = "fitted:" + bytes + padding;
      return true;
    };
    c.restore = [](const CompactPicture&) { return std::make_shared<media::Image>(); };
    return c;
  }
};

class PictureCacheTest : public testing::Test {
 protected:
  fs::path dir, pics, cache_dir;
  void SetUp() override {
    // One folder per test: ctest runs them side by side.
    dir = fs::path(testing::TempDir()) /
          ("picture-cache-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    pics = dir / "pics";
    cache_dir = dir / "cache/pipkin/fitted";
    fs::create_directories(pics);
  }
  void TearDown() override { fs::remove_all(dir); }

  // The cache folder's files, by name.
  std::set<std::string> cached_files() const {
    std::set<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(cache_dir, ec)) out.insert(e.path().filename().string());
    return out;
  }

  static std::string load(const PictureCodec& c, const fs::path& path) {
    CompactPicture out;
    std::string error;
    EXPECT_TRUE(c.load(path.string(), out, error)) << path << ": " << error;
    return out.jpeg;
  }
};

TEST_F(PictureCacheTest, AHitGivesBackTheBytesTheMissKeptOnlyForSlowFormatPhotos) {
  CountingCodec inner;
  const PictureCodec c = app::cached_codec(inner.codec(), std::make_shared<PictureCache>(cache_dir.string()), 1024, 768);
  write_file(pics / "a.webp", kWebpStart + "photo a");
  EXPECT_EQ(load(c, pics / "a.webp"), "fitted:" + kWebpStart + "photo a");
  EXPECT_EQ(inner.loads, 1);
  ASSERT_EQ(cached_files().size(), 1u);
  EXPECT_EQ(load(c, pics / "a.webp"), "fitted:" + kWebpStart + "photo a");
  EXPECT_EQ(inner.loads, 1) << "the second load came from the cache";
  // Another start (a new cache on the same folder) finds it too, by the same name on every build.
  const PictureCodec again = app::cached_codec(inner.codec(), std::make_shared<PictureCache>(cache_dir.string()), 1024, 768);
  EXPECT_EQ(load(again, pics / "a.webp"), "fitted:" + kWebpStart + "photo a");
  EXPECT_EQ(inner.loads, 1);
  EXPECT_EQ(*cached_files().begin(),
            PictureCache(cache_dir.string()).entry_path(PictureCache::identity((pics / "a.webp").string(), 1024, 768))
                .substr(cache_dir.string().size() + 1));
  // The hash is the fixed FNV-1a: known values, not the standard library's hash of this build.
  EXPECT_EQ(app::fnv1a64(""), 0xcbf29ce484222325ull);
  EXPECT_EQ(app::fnv1a64("a"), 0xaf63dc4c8601ec8cull);

  // A JPEG (its reduced decode is as fast as the copy) and a drawing kept as exact pixels are not kept.
  write_file(pics / "b.jpg", kJpegStart + "photo b");
  write_file(pics / "drawing.webp", kWebpStart + "lossless");
  load(c, pics / "b.jpg");
  load(c, pics / "b.jpg");
  load(c, pics / "drawing.webp");
  load(c, pics / "drawing.webp");
  EXPECT_EQ(inner.loads, 5);
  EXPECT_EQ(cached_files().size(), 1u);
  // HEIC and AVIF files (an ISO "ftyp" box first) are slow too; other files are not.
  EXPECT_TRUE(app::slow_to_fit(std::string("\0\0\0\x18" "ftypheic\0\0\0\0", 16)));
  EXPECT_TRUE(app::slow_to_fit(std::string("\0\0\0\x1c" "ftypavif\0\0\0\0", 16)));
  EXPECT_FALSE(app::slow_to_fit(kJpegStart));
  EXPECT_FALSE(app::slow_to_fit("\x89PNG\r\n\x1a\n\0\0\0\rIHDR"));
  EXPECT_FALSE(app::slow_to_fit("RIFF\0\0\0\0WAVEfmt "));

  // A file that fails to load fails as before, and leaves nothing behind.
  write_file(pics / "empty.webp", "");
  CompactPicture out;
  std::string error;
  EXPECT_FALSE(c.load((pics / "empty.webp").string(), out, error));
  EXPECT_EQ(error, "cannot be read");
  EXPECT_EQ(cached_files().size(), 1u);
}

TEST_F(PictureCacheTest, AChangedFileOrAnotherFitSizeIsAMiss) {
  CountingCodec inner;
  auto cache = std::make_shared<PictureCache>(cache_dir.string());
  const PictureCodec c = app::cached_codec(inner.codec(), cache, 1024, 768);
  const fs::path a = pics / "a.webp";
  write_file(a, kWebpStart + "first");
  set_mtime(a, 1'600'000'000);
  load(c, a);
  ASSERT_EQ(inner.loads, 1);

  // The same size, a new time (one nanosecond later): fitted again, and the new picture is shown.
  write_file(a, kWebpStart + "other");
  set_mtime(a, timespec{1'600'000'000, 1});
  EXPECT_EQ(load(c, a), "fitted:" + kWebpStart + "other");
  EXPECT_EQ(inner.loads, 2);
  EXPECT_EQ(load(c, a), "fitted:" + kWebpStart + "other");
  EXPECT_EQ(inner.loads, 2);

  // The same time, another size.
  write_file(a, kWebpStart + "longer one");
  set_mtime(a, timespec{1'600'000'000, 1});
  EXPECT_EQ(load(c, a), "fitted:" + kWebpStart + "longer one");
  EXPECT_EQ(inner.loads, 3);

  // The same file fitted to another screen.
  const PictureCodec wide = app::cached_codec(inner.codec(), cache, 1280, 800);
  load(wide, a);
  EXPECT_EQ(inner.loads, 4);
  load(wide, a);
  load(c, a);
  EXPECT_EQ(inner.loads, 4) << "both fits are kept side by side";

  // The same bytes under another name are another file.
  fs::copy_file(a, pics / "b.webp");
  set_mtime(pics / "b.webp", timespec{1'600'000'000, 1});
  load(c, pics / "b.webp");
  EXPECT_EQ(inner.loads, 5);
}

TEST_F(PictureCacheTest, DamagedEntriesAreMissesAndRemoved) {
  CountingCodec inner;
  auto cache = std::make_shared<PictureCache>(cache_dir.string());
  const PictureCodec c = app::cached_codec(inner.codec(), cache, 1024, 768);
  const fs::path a = pics / "a.webp", b = pics / "b.webp";
  write_file(a, kWebpStart + "picture a");
  write_file(b, kWebpStart + "picture b");
  const std::string want_a = "fitted:" + kWebpStart + "picture a";
  load(c, a);
  load(c, b);
  const std::string id_a = PictureCache::identity(a.string(), 1024, 768);
  const fs::path entry_a = cache->entry_path(id_a), entry_b = cache->entry_path(PictureCache::identity(b.string(), 1024, 768));
  const std::string good = read_file(entry_a);
  ASSERT_FALSE(good.empty());

  struct Damage {
    const char* what;
    std::string bytes;
  };
  std::vector<Damage> damages = {
      {"empty", ""},
      {"cut short in the header", good.substr(0, 10)},
      {"cut short in the picture", good.substr(0, good.size() - 3)},
      {"a byte too many", good + "x"},
      {"another picture's entry", read_file(entry_b)},
  };
  for (size_t at : {size_t{0}, size_t{9}, size_t{13}, size_t{17}, size_t{30}, good.size() - 1}) {
    std::string flipped = good;
    flipped[at] = char(flipped[at] ^ 0x20);
    damages.push_back({"a flipped byte", flipped});
  }
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    write_file(entry_a, d.bytes);
    std::string got = "untouched";
    EXPECT_FALSE(cache->read(id_a, got));
    EXPECT_EQ(got, "untouched");
    EXPECT_FALSE(fs::exists(entry_a)) << "a damaged entry is removed";
    EXPECT_GT(cache->damaged(), 0u);
    // Through the codec: the file is fitted again, and the entry is whole again.
    write_file(entry_a, d.bytes);
    const int before = inner.loads;
    EXPECT_EQ(load(c, a), want_a);
    EXPECT_EQ(inner.loads, before + 1);
    EXPECT_EQ(read_file(entry_a), good);
  }
  EXPECT_EQ(load(c, a), want_a);
  EXPECT_EQ(inner.loads, 2 + int(damages.size()));
}

TEST_F(PictureCacheTest, AFolderThatCannotBeMadeMeansNoCacheAndNoFailure) {
  // Under a plain file: no folder can be made there, whoever runs the test.
  write_file(dir / "file", "not a folder");
  CountingCodec inner;
  auto cache = std::make_shared<PictureCache>((dir / "file/pipkin/fitted").string());
  const PictureCodec c = app::cached_codec(inner.codec(), cache, 1024, 768);
  write_file(pics / "a.webp", kWebpStart + "photo");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(load(c, pics / "a.webp"), "fitted:" + kWebpStart + "photo");
  EXPECT_EQ(inner.loads, 3);
  cache->trim();  // nothing to list: quiet

  // No cache folder at all (the portable copy): the codec is the inner one.
  const PictureCodec none = app::cached_codec(inner.codec(), nullptr, 1024, 768);
  EXPECT_EQ(load(none, pics / "a.webp"), "fitted:" + kWebpStart + "photo");
  const PictureCodec empty = app::cached_codec(inner.codec(), std::make_shared<PictureCache>(""), 1024, 768);
  EXPECT_EQ(load(empty, pics / "a.webp"), "fitted:" + kWebpStart + "photo");
  EXPECT_EQ(inner.loads, 5);
}

TEST_F(PictureCacheTest, TheBoundRemovesTheLeastRecentlyUsedEntries) {
  const std::string jpeg(1000, 'j');
  // Every entry is the same size: identities of the same length.
  auto id = [](int i) { return "identity " + std::to_string(i); };
  uint64_t entry_bytes = 0;
  {
    PictureCache big(cache_dir.string());
    big.write(id(0), jpeg);
    entry_bytes = fs::file_size(big.entry_path(id(0)));
    fs::remove(big.entry_path(id(0)));
  }
  // Room for four and a half entries.
  PictureCache cache(cache_dir.string(), entry_bytes * 9 / 2);
  for (int i = 1; i <= 4; ++i) cache.write(id(i), jpeg);
  // Used long ago, 1 the longest.
  for (int i = 1; i <= 4; ++i) set_mtime(cache.entry_path(id(i)), 1'500'000'000 + i * 100);
  write_file(cache_dir / "notes.txt", std::string(size_t(entry_bytes * 10), 'n'));  // not ours: never counted or removed
  // Using entry 1 makes it the most recent.
  std::string got;
  ASSERT_TRUE(cache.read(id(1), got));
  EXPECT_EQ(got, jpeg);
  EXPECT_GT(mtime_of(cache.entry_path(id(1))).tv_sec, 1'500'000'400);

  // A fifth entry passes the bound: the least recently used go until three quarters are left
  // (3.375 entries' worth: three stay).
  cache.write(id(5), jpeg);
  EXPECT_FALSE(fs::exists(cache.entry_path(id(2))));
  EXPECT_FALSE(fs::exists(cache.entry_path(id(3))));
  for (int i : {1, 4, 5}) EXPECT_TRUE(fs::exists(cache.entry_path(id(i)))) << i;  // not read: that is a use
  EXPECT_TRUE(fs::exists(cache_dir / "notes.txt"));

  // The next start trims at its first write, counting a temporary file a stopped start left behind
  // (oldest here, so it goes first).
  write_file(cache_dir / "0123456789abcdef.fit.99-1.tmp", std::string(size_t(entry_bytes), 't'));
  set_mtime(cache_dir / "0123456789abcdef.fit.99-1.tmp", 1'000'000'000);
  PictureCache next(cache_dir.string(), entry_bytes * 9 / 2);
  next.write(id(6), jpeg);  // four entries and the temporary file: over, down to three
  EXPECT_FALSE(fs::exists(cache_dir / "0123456789abcdef.fit.99-1.tmp"));
  EXPECT_FALSE(fs::exists(next.entry_path(id(4))));
  for (int i : {1, 5, 6}) EXPECT_TRUE(fs::exists(next.entry_path(id(i)))) << i;

  // A start with a smaller bound brings the folder within it at its first write.
  for (int i : {1, 5, 6}) set_mtime(next.entry_path(id(i)), 1'500'000'000 + i * 100);
  PictureCache smaller(cache_dir.string(), entry_bytes * 2);
  smaller.write(id(7), jpeg);
  EXPECT_EQ(cached_files(), (std::set<std::string>{"notes.txt", fs::path(smaller.entry_path(id(7))).filename().string()}));
}

TEST_F(PictureCacheTest, WorkersLoadingTheSameFileAtOnceNeverLeaveAMixedEntry) {
  CountingCodec inner;
  inner.padding = std::string(size_t{1} << 20, 'p');  // a long write, so that the writers overlap
  write_file(pics / "a.webp", kWebpStart + "photo");
  const std::string want = "fitted:" + kWebpStart + "photo" + inner.padding;
  const std::string id = PictureCache::identity((pics / "a.webp").string(), 1024, 768);
  constexpr int kThreads = 4, kRounds = 20;
  std::atomic<int> wrong{0};
  for (int round = 0; round < kRounds; ++round) {
    // Two starts at once, two workers each, all on the same file; the entry is gone at each start.
    fs::remove_all(cache_dir);
    auto first = std::make_shared<PictureCache>(cache_dir.string());
    auto second = std::make_shared<PictureCache>(cache_dir.string());
    std::latch go(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
      threads.emplace_back([&, t] {
        const PictureCodec c = app::cached_codec(inner.codec(), t % 2 ? first : second, 1024, 768);
        go.arrive_and_wait();
        for (int i = 0; i < 3; ++i) {
          CompactPicture out;
          std::string error;
          if (!c.load((pics / "a.webp").string(), out, error) || out.jpeg != want) ++wrong;
        }
      });
    for (std::thread& t : threads) t.join();
    std::string kept;
    ASSERT_TRUE(PictureCache(cache_dir.string()).read(id, kept)) << "round " << round;
    EXPECT_EQ(kept, want);
    EXPECT_EQ(cached_files().size(), 1u) << "no temporary file is left behind";
    EXPECT_EQ(first->damaged() + second->damaged(), 0u) << "no worker saw a half-written entry";
  }
  EXPECT_EQ(wrong, 0);
}

// Through the real store and codec: a lossy WebP photo is fitted at the first start and read from
// the cache at the second. The evidence that the second start does not decode the file: its bytes
// are replaced by rubbish of the same size and time, and the picture is still there, pixel for pixel.
TEST_F(PictureCacheTest, TheStoresSecondStartReadsTheFittedCopyNotTheWebP) {
  const fs::path photo = pics / "photo.webp";
  write_file(photo, webp_images::photo(1600, 1200, 85));
  samples::JpegSpec spec;
  spec.width = 320, spec.height = 240;
  write_file(pics / "small.jpg", samples::encode_jpeg(spec, [](int x, int y, uint8_t* px) { samples::photo_pixel(x, y, px); }));
  const std::vector<app::PictureFolder> folders = {{pics.string(), app::NameRule::Relaxed}};
  auto start = [&] {
    app::PictureStore s;
    app::prepare_pictures(s, folders, 1024, 768, cache_dir.string() + "/");
    s.run();
    s.wait();
    return s;
  };

  app::PictureStore first = start();
  ASSERT_EQ(first.count(), 2u);
  EXPECT_EQ(cached_files().size(), 1u) << "the WebP photo only, not the JPEG";
  const size_t i = 0;  // photo.webp: a parent's folder is read in name order
  media::ImagePtr shown = first.at(i);
  ASSERT_TRUE(shown && shown->source);
  EXPECT_EQ(shown->width, 1024);
  EXPECT_EQ(shown->height, 768);

  const struct timespec when = mtime_of(photo);
  const uintmax_t size = fs::file_size(photo);
  write_file(photo, std::string(size, '\x5a'));
  set_mtime(photo, when);
  app::PictureStore second = start();
  ASSERT_EQ(second.count(), 2u) << "the rubbish was not decoded";
  media::ImagePtr again = second.at(i);
  ASSERT_TRUE(again && again->source);
  EXPECT_EQ(again->source->width, shown->source->width);
  EXPECT_EQ(again->source->height, shown->source->height);
  EXPECT_TRUE(again->source->pixels == shown->source->pixels) << "the same fitted picture";

  // Once the file's time changes, it is read again: rubbish is left out.
  set_mtime(photo, timespec{when.tv_sec + 1, when.tv_nsec});
  app::PictureStore third = start();
  EXPECT_EQ(third.count(), 1u);
  const std::vector<app::FolderReport> reports = third.folder_reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].left_out, 1u);
}

}  // namespace
