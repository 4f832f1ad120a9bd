// Hostile pictures: files whose declared lengths, counts and sizes lie. Each is decoded in a child
// process whose address space is capped at 512 MB, so a decoder that believes a lie and allocates
// for it fails there instead of taking the machine's memory. The child reports the decoder's
// answer through a pipe; the parent checks the answer, that the child exited normally, the largest
// single allocation the child asked for (a refused request counts too: a decoder that copes with a
// failed gigabyte request still made it), and how much memory the child touched.
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "media/decode/decode.hpp"
#include "tests/unit/avif_images.hpp"
#include "tests/unit/heif_grid.hpp"
#include "tests/unit/heif_images.hpp"
#include "tests/unit/hostile_images.hpp"
#include "tests/unit/sample_images.hpp"
#include "tests/unit/webp_images.hpp"

using namespace media;
using namespace hostile;

#ifndef __SANITIZE_ADDRESS__  // the sanitizer has its own allocator
// The C allocator, watched in a child: every library the decoders use allocates through these.
// Only the forked child ever turns the watch on; a decoder there may run threads of its own (a
// grid's tiles).
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
namespace {
std::atomic<bool> watch_allocations{false};
std::atomic<size_t> largest_request{0};
void note_request(size_t n) {
  if (!watch_allocations.load(std::memory_order_relaxed)) return;
  size_t most = largest_request.load(std::memory_order_relaxed);
  while (n > most && !largest_request.compare_exchange_weak(most, n, std::memory_order_relaxed)) {
  }
}
}  // namespace
extern "C" void* malloc(size_t n) noexcept {
  note_request(n);
  return __libc_malloc(n);
}
extern "C" void* calloc(size_t count, size_t n) noexcept {
  note_request(n && count > SIZE_MAX / n ? SIZE_MAX : count * n);
  return __libc_calloc(count, n);
}
extern "C" void* realloc(void* p, size_t n) noexcept {
  note_request(n);
  return __libc_realloc(p, n);
}
#else
namespace {
std::atomic<bool> watch_allocations{false};
std::atomic<size_t> largest_request{0};
}  // namespace
#endif

namespace {

constexpr size_t kChildAddressSpace = size_t{512} << 20;

struct ChildAnswer {
  bool exited = false;   // normal exit with status 0
  std::string report;    // "ok WxH o=N" or "refused: <error>"
  size_t largest_request = 0;
  long extra_kb = 0;     // the child's peak resident size beyond what it started with
};

// A figure in KB from /proc/self/status: "VmRSS:" (resident now), "VmHWM:" (resident at most) or
// "VmSize:" (address space mapped).
long status_kb(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
  return 0;
}

ChildAnswer decode_in_child(const std::string& bytes) {
  ChildAnswer a;
  int fds[2];
  if (pipe(fds) != 0) {
    ADD_FAILURE() << "pipe: " << std::strerror(errno);
    return a;
  }
  malloc_trim(0);  // so that the child cannot reuse pages the test freed and hide its own use
  const pid_t pid = fork();
  if (pid < 0) {
    ADD_FAILURE() << "fork: " << std::strerror(errno);
    return a;
  }
  if (pid == 0) {
    close(fds[0]);
#ifndef __SANITIZE_ADDRESS__  // the sanitizer's shadow memory needs terabytes of address space
    // On top of what the child already has mapped (the whole test process: threads' stacks and
    // arenas from earlier tests), so the cap bounds the decode, not the tests that ran before it.
    const size_t cap_bytes = static_cast<size_t>(status_kb("VmSize:")) * 1024 + kChildAddressSpace;
    const rlimit cap{cap_bytes, cap_bytes};
    if (setrlimit(RLIMIT_AS, &cap) != 0) _exit(3);
#endif
    std::string out;
    {
      // Measured in the child itself: it starts with its parent's resident pages, and its high-water
      // mark starts there too, so only what the decode adds is counted however large the parent is.
      const long start_kb = status_kb("VmRSS:");
      watch_allocations = true;
      DecodeResult r = decode_image(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      if (r.pixmap)
        out = "ok " + std::to_string(r.pixmap->width) + "x" + std::to_string(r.pixmap->height) +
              " o=" + std::to_string(r.orientation);
      else
        out = "refused: " + r.error;
      watch_allocations = false;
      out += "\n" + std::to_string(largest_request.load()) + "\n" + std::to_string(status_kb("VmHWM:") - start_kb);
    }
    const char* p = out.data();
    size_t left = out.size();
    while (left > 0) {
      const ssize_t n = write(fds[1], p, left);
      if (n <= 0) _exit(4);
      p += n, left -= static_cast<size_t>(n);
    }
    _exit(0);
  }
  close(fds[1]);
  char buf[512];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    a.report.append(buf, static_cast<size_t>(n));
  }
  close(fds[0]);
  // The report, then the largest request and the growth on lines of their own.
  const size_t last = a.report.rfind('\n');
  const size_t before = last == std::string::npos || last == 0 ? std::string::npos : a.report.rfind('\n', last - 1);
  if (before != std::string::npos) {
    a.largest_request = std::stoull(a.report.substr(before + 1, last - before - 1));
    a.extra_kb = std::stol(a.report.substr(last + 1));
    a.report.resize(before);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  a.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!WIFEXITED(status)) a.report += " [killed by signal " + std::to_string(WTERMSIG(status)) + "]";
  return a;
}

// `answer` is the exact report; `max_extra_mb` bounds the memory the child may touch.
void expect_bounded(const std::string& what, const std::string& bytes, const std::string& answer, long max_extra_mb) {
  SCOPED_TRACE(what);
  const ChildAnswer a = decode_in_child(bytes);
  std::printf("  %-40s largest request %7zu KB, peak +%7ld KB: %s\n", what.c_str(), a.largest_request >> 10,
              a.extra_kb, a.report.c_str());
  EXPECT_TRUE(a.exited) << a.report;
  EXPECT_EQ(a.report, answer);
  EXPECT_EQ(a.report.find('\n'), std::string::npos);
#ifndef __SANITIZE_ADDRESS__
  EXPECT_LE(a.largest_request, static_cast<size_t>(max_extra_mb) << 20) << "largest single allocation";
  EXPECT_LE(a.extra_kb, max_extra_mb * 1024) << "peak memory beyond the start, in KB";
#endif
}

// ---- PNG ----

TEST(DecodeBounds, PngChunksThatClaimMoreThanTheFileHolds) {
  // Every ancillary chunk type, and ones nobody knows, claiming about a gigabyte.
  for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT", "pCAL", "sCAL", "iCCP", "eXIf", "gAMA", "cHRM",
                           "sRGB", "bKGD", "hIST", "pHYs", "sBIT", "tIME", "tRNS", "oFFs", "prVt", "quUx"}) {
    const std::string file = kPngMagic + ihdr(1, 1) + lying_chunk(type, 0x3FFFFFF0u);
    expect_bounded(std::string(type) + " of 1 GB", file, "refused: truncated", 24);
  }
  EXPECT_LT((kPngMagic + ihdr(1, 1) + lying_chunk("tEXt", 0x3FFFFFF0u)).size(), 64u);
  expect_bounded("IDAT of 2 GB", kPngMagic + ihdr(64, 64) + lying_chunk("IDAT", 0x7FFFFFFFu), "refused: truncated", 24);
  expect_bounded("IDAT of 4 GB", kPngMagic + ihdr(64, 64) + lying_chunk("IDAT", 0xFFFFFFFFu), "refused: truncated", 24);
  expect_bounded("IHDR of 1 GB", kPngMagic + lying_chunk("IHDR", 0x3FFFFFF0u), "refused: truncated", 24);
  // The largest picture the limits allow, with its pixel data cut off: refused before any pixel.
  const std::string big = png_of_zeros(16000, 4000, 6, 4);
  expect_bounded("64 M pixels, cut", big.substr(0, big.size() / 2), "refused: truncated", 24);
  expect_bounded("chunk after IEND is ignored", small_png_with("") + lying_chunk("tEXt", 0x3FFFFFF0u), "ok 2x2 o=1", 24);
}

TEST(DecodeBounds, PngChunksThatInflateOrRepeatAreSkipped) {
  // Real chunks whose content is harmless in the file but huge once inflated or stored.
  const std::string bomb = zlib_of_zeros(size_t{200} << 20);
  expect_bounded("iCCP inflating to 200 MB", small_png_with(samples::png_chunk("iCCP", std::string("icc\0\0", 5) + bomb)),
                 "ok 2x2 o=1", 40);
  expect_bounded("zTXt inflating to 200 MB", small_png_with(samples::png_chunk("zTXt", std::string("Comment\0\0", 9) + bomb)),
                 "ok 2x2 o=1", 40);
  std::string profile_header;  // an uncompressed ICC header claiming a 1 GB profile
  put32be(profile_header, 0x40000000u);
  profile_header += std::string(128, '\0');
  expect_bounded("iCCP claiming 1 GB",
                 small_png_with(samples::png_chunk("iCCP", std::string("icc\0\0", 5) + deflated(profile_header))),
                 "ok 2x2 o=1", 40);
  std::string many;
  for (int i = 0; i < 20000; ++i) many += samples::png_chunk("tEXt", std::string("Key\0", 4) + std::string(1000, 'x'));
  expect_bounded("20000 text chunks", small_png_with(many), "ok 2x2 o=1", 64);
  many.clear();
  for (int i = 0; i < 300; ++i) many += samples::png_chunk("sPLT", std::string("p\0", 2) + std::string(1, '\x08') + std::string(60000, '\x01'));
  expect_bounded("300 suggested palettes", small_png_with(many), "ok 2x2 o=1", 64);
}

TEST(DecodeBounds, LargestPngStaysWithinItsPixels) {
  // 64 M RGBA pixels: 244 MB of pixels from a file of a quarter of a megabyte, decoded in full.
  const std::string big = png_of_zeros(16000, 4000, 6, 4);
  ASSERT_LT(big.size(), 1u << 20);
  expect_bounded("64 M pixels", big, "ok 16000x4000 o=1", 16000L * 4000 * 4 / (1 << 20) + 16 + 16);
}

// ---- JPEG ----

std::string small_jpeg(bool progressive = false) {
  samples::JpegSpec s;
  s.width = 32, s.height = 16, s.progressive = progressive;
  return samples::encode_jpeg(s, [](int x, int y, uint8_t* px) { samples::photo_pixel(x, y, px); });
}

TEST(DecodeBounds, JpegSegmentsAndFramesThatLie) {
  const std::string good = small_jpeg();
  expect_bounded("frame 65000 square", with_frame_size(good, 65000, 65000), "refused: too large: 65000x65000", 24);
  expect_bounded("frame 16384 square", with_frame_size(good, 16384, 16384), "refused: too large: 16384x16384", 24);
  expect_bounded("progressive frame of 64 M pixels", with_frame_size(small_jpeg(true), 8000, 8000),
                 "refused: too large: 8000x8000", 24);
  for (uint8_t m : {0xE0, 0xE1, 0xE2, 0xED, 0xEE, 0xFE, 0xDB, 0xC4}) {
    std::string cut{char(0xFF), char(m), char(0xFF), char(0xF0)};  // declares 65520 bytes
    expect_bounded("segment " + std::to_string(m) + " past the end", good.substr(0, 2) + cut + "Exif", "refused: truncated", 24);
  }
  // A frame of the largest size whose scan is cut off: the pixels may be made, nothing more.
  const std::string big = with_frame_size(good, 16000, 4000);
  expect_bounded("64 M pixels, data of 32 x 16", big, "refused: corrupt data", 16000L * 4000 * 3 / (1 << 20) + 16 + 16);
}

TEST(DecodeBounds, JpegMetadataIsReadWithinBounds) {
  const std::string good = small_jpeg();
  expect_bounded("lying EXIF", jpeg_with(segment(0xE1, lying_exif()), good), "ok 32x16 o=1", 24);
  std::string segments;
  for (int i = 0; i < 300; ++i) segments += segment(0xE2, "ICC_PROFILE" + std::string(1, '\0') + std::string(65000, 'i'));
  for (int i = 0; i < 300; ++i) segments += segment(0xE1, "Exif" + std::string(2, '\0') + std::string(65000, 'e'));
  expect_bounded("600 large APP segments", jpeg_with(segments, good), "ok 32x16 o=1", 24);
  expect_bounded("EXIF orientation still read", jpeg_with(segment(0xE1, samples::exif_orientation(6, false)), good),
                 "ok 32x16 o=6", 24);
}

// ---- BMP ----

TEST(DecodeBounds, BmpHeadersThatLie) {
  const std::string pal2(8, '\x7F');
  expect_bounded("2^31 colours", bmp_header(4, 4, 8, 0, 0x7FFFFFFF, 62) + pal2 + std::string(16, 0), "refused: bad palette size", 24);
  expect_bounded("256 colours, 2 present", bmp_header(4, 4, 8, 0, 256, 62) + pal2 + std::string(16, 0), "refused: truncated", 24);
  expect_bounded("offset 4 GB", bmp_header(4, 4, 24, 0, 0, 0xFFFFFFF0u) + std::string(48, 0), "refused: bad data offset", 24);
  expect_bounded("header of 4 GB", bmp_header(4, 4, 24, 0, 0, 54, 0xFFFFFFF0u) + std::string(48, 0),
                 "refused: unsupported header size 4294967280", 24);
  expect_bounded("header longer than the file", bmp_header(4, 4, 24, 0, 0, 138, 124), "refused: truncated", 24);
  expect_bounded("2^31 square", bmp_header(0x7FFFFFFF, 0x7FFFFFFF, 24, 0, 0, 54) + std::string(48, 0),
                 "refused: too large: 2147483647x2147483647", 24);
  expect_bounded("64 M pixels, rows missing", bmp_header(16000, 4000, 24, 0, 0, 54) + std::string(48, 0),
                 "refused: truncated", 24);
  expect_bounded("64 M pixels with alpha, rows missing", bmp_header(16000, 4000, 32, 0, 0, 54) + std::string(48, 0),
                 "refused: truncated", 24);
}

TEST(DecodeBounds, BmpRunLengthBombs) {
  const std::string pal(8, '\x40');
  const std::string head = bmp_header(16000, 4000, 8, 1, 2, 62) + pal;
  expect_bounded("run-length stream cut", head + std::string("\x10\x01\x10\x01", 4), "refused: truncated", 24);
  std::string overrun;
  for (int i = 0; i < 100; ++i) overrun += std::string("\xFF\x01", 2);  // 25500 pixels on one row
  expect_bounded("run past the row", head + overrun, "refused: RLE overrun", 24);
  std::string down;
  for (int i = 0; i < 20; ++i) down += std::string("\x00\x02\x00\xFF", 4);  // move up 255 rows, 20 times
  expect_bounded("move past the top", head + down, "refused: RLE overrun", 24);
  // A legal four-byte stream that ends the picture at once: 64 M pixels of colour 0, no more.
  expect_bounded("end of bitmap at once", head + std::string("\x00\x01", 2), "ok 16000x4000 o=1",
                 16000L * 4000 * 3 / (1 << 20) + 16);
  const std::string head4 = bmp_header(16000, 4000, 4, 2, 2, 62) + pal;
  expect_bounded("RLE4 stream cut", head4 + std::string("\x10\x01\x10\x01", 4), "refused: truncated", 24);
}

}  // namespace

namespace {

// Multi-scan files keep every coefficient while decoding; the reservation must cover them, or
// libjpeg would stop short of its cap on a good picture.
TEST(DecodeBounds, MultiScanJpegsFitTheirReservation) {
  auto photo = [](int x, int y, uint8_t* px) { samples::photo_pixel(x, y, px); };
  samples::JpegSpec s;
  s.width = 2400, s.height = 1600, s.progressive = true, s.full_chroma = true;
  const std::string full = samples::encode_jpeg(s, photo);
  expect_bounded("progressive 4:4:4", full, "ok 2400x1600 o=1", 2400L * 1600 * (3 + 6) / (1 << 20) + 16 + 16);
  s.full_chroma = false;
  expect_bounded("progressive 4:2:0", samples::encode_jpeg(s, photo), "ok 2400x1600 o=1",
                 2400L * 1600 * (3 + 3) / (1 << 20) + 16 + 16);
  s.components = 4, s.width = 1200, s.height = 900;
  expect_bounded("progressive CMYK", samples::encode_jpeg(s, [](int x, int y, uint8_t* px) {
    px[0] = uint8_t(x), px[1] = uint8_t(y), px[2] = 7, px[3] = 200;
  }), "ok 1200x900 o=1", 1200L * 900 * (3 + 8) / (1 << 20) + 16 + 16);
  // Reduced-scale decoding keeps the full coefficient store but makes fewer pixels.
  DecodeOptions opt{600, 400};
  DecodeResult r = decode_image(reinterpret_cast<const uint8_t*>(full.data()), full.size(), opt);
  ASSERT_TRUE(r.pixmap) << r.error;
  EXPECT_EQ(r.pixmap->width, 600);
}

// ---- HEIC ----

// A refusal whose words start with `prefix` (the rest is libheif's own), within max_extra_mb.
void expect_refused_within(const std::string& what, const std::string& bytes, const std::string& prefix, long max_extra_mb) {
  SCOPED_TRACE(what);
  const ChildAnswer a = decode_in_child(bytes);
  std::printf("  %-40s largest request %7zu KB, peak +%7ld KB: %s\n", what.c_str(), a.largest_request >> 10,
              a.extra_kb, a.report.c_str());
  EXPECT_TRUE(a.exited) << a.report;
  EXPECT_EQ(a.report.rfind("refused: " + prefix, 0), 0u) << a.report;
#ifndef __SANITIZE_ADDRESS__
  EXPECT_LE(a.largest_request, static_cast<size_t>(max_extra_mb) << 20) << "largest single allocation";
  EXPECT_LE(a.extra_kb, max_extra_mb * 1024) << "peak memory beyond the start, in KB";
#endif
}

// Good pictures stay within what the decoder reserves for them (10 bytes a pixel for 8-bit colour,
// plus the working memory and the file); sizes and tile counts that lie are refused before any
// decoder allocates their pixels; files cut short are refused before any decoder starts.
TEST(DecodeBounds, HeicPicturesAndLies) {
  if (!heif_samples::can_encode(heif_compression_HEVC)) GTEST_SKIP() << "this libheif has no HEVC encoder";
  heif_samples::HeifSpec s;
  s.width = 1600, s.height = 1200;
  const std::string good = heif_samples::photo_heif(s);
  ASSERT_FALSE(good.empty());
  expect_bounded("good 1600x1200", good, "ok 1600x1200 o=1", long((1600 * 1200 * 10 + good.size() + (1 << 20) - 1) >> 20) + 16);
  s.width = 64, s.height = 48;
  const std::string small = heif_samples::photo_heif(s);
  expect_refused_within("ispe 60000x60000", heif_samples::with_ispe(small, 60000, 60000), "too large", 8);
  expect_refused_within("ispe 16000x16000", heif_samples::with_ispe(small, 16000, 16000), "too large", 8);
  expect_refused_within("cut in the picture data", small.substr(0, small.size() - 40), "truncated", 4);
  expect_refused_within("grid of 4000 tiles", heif_samples::grid_of(4000), "too large", 4);
  expect_refused_within("grid of 65535 tiles", heif_samples::grid_of(65535), "too large", 4);
  // A grid of one 13 x 9 tile whose canvas is said to be 132 million pixels.
  s.width = 13, s.height = 9;
  expect_refused_within("grid canvas of 15616x8448", heif_samples::with_grid_size(heif_samples::photo_heif(s), 15616, 8448),
                        "too large", 8);
  // A camera's layout: a grid of 512 x 512 tiles, as many decoded at once as there are tile threads.
  const std::string grid = heif_grid::encode_grid(1536, 1024, 512, heif_grid::Coding{}, [](int x, int y, uint8_t* px) {
    samples::photo_pixel(x, y, px);
  });
  ASSERT_FALSE(grid.empty());
  expect_bounded("grid of 6 tiles", grid, "ok 1536x1024 o=1", long((1536 * 1024 * 10 + grid.size() + (1 << 20) - 1) >> 20) + 16);
}

// The decoder sizes its frame by the sequence parameter set, whatever the stated size says (a
// 16000 x 8000 one in a 64 x 48 picture makes it take over half a gigabyte): a small stated size
// with a huge SPS is refused before the decoder starts, and one the budget can hold is decoded (or
// refused) within what was reserved for the SPS's frame.
TEST(DecodeBounds, HeicParameterSetsThatLie) {
  if (!heif_samples::can_encode(heif_compression_HEVC)) GTEST_SKIP() << "this libheif has no HEVC encoder";
  heif_samples::HeifSpec s;
  const std::string small = heif_samples::photo_heif(s);
  expect_refused_within("SPS 16384 square, ispe 64x48", heif_samples::with_sps_size(small, 16384, 16384), "too large", 8);
  expect_refused_within("SPS 60000x16, ispe 64x48", heif_samples::with_sps_size(small, 60000, 16), "too large", 8);
  expect_refused_within("SPS 8000 square, ispe 64x48", heif_samples::with_sps_size(small, 8000, 8000), "too large", 8);
  expect_refused_within("SPS 16000x8000 in the data", heif_samples::with_sps_in_data(small, 16000, 8000), "too large", 8);
  expect_refused_within("two pictures in one image", heif_samples::with_two_pictures(small), "corrupt", 8);
  expect_refused_within("60000 copies of the picture's data", heif_samples::with_overlapping_extents(small, 60000), "corrupt", 8);
  expect_refused_within("SPS 5000 square, ispe 64x48", heif_samples::with_sps_size(small, 5000, 5000), "",
                        5000L * 5000 * 10 / (1 << 20) + 16 + 1);
  // Whole parameter sets, which the decoder takes in full: refused before it starts when past the
  // limits; within them, the frame the decoder makes is inside what was reserved for it.
  expect_refused_within("whole SPS 16000x8000, ispe 64x48", heif_samples::with_whole_sps_size(small, 16000, 8000),
                        "too large", 8);
  // (The decoder crops its frame to the stated size: a 64 x 48 picture from a 12-megapixel frame.)
  expect_bounded("whole SPS 4096x3072, ispe 64x48", heif_samples::with_whole_sps_size(small, 4096, 3072), "ok 64x48 o=1",
                 (4096L * 3072 * 10 + (16L << 20)) / (1 << 20) + 1);
}

}  // namespace

// ---- WebP ----

namespace {

TEST(DecodeBounds, WebpHeadersThatLie) {
  namespace w = webp_images;
  const std::string lossy = w::photo(64, 48, 80);
  const std::string lossless = w::encode(64, 48, 3, w::pixels(64, 48, 3, [](int x, int y, uint8_t* p) { samples::photo_pixel(x, y, p); }), -1);
  expect_bounded("lossy frame 16383 square", w::with_vp8_size(lossy, 16383, 16383), "refused: too large: 16383x16383", 24);
  expect_bounded("lossless 16384 square", w::with_vp8l_size(lossless, 16384, 16384), "refused: too large: 16384x16384", 24);
  expect_bounded("animation canvas 2^24 wide", w::riff(w::vp8x(0x02, 1 << 24, 200) + w::anim() + w::anmf(0, 0, 64, 48, w::body(lossy))),
                 "refused: too large: 16777216x200", 24);
  expect_bounded("still canvas 2^24 square", w::riff(w::vp8x(0, 1 << 24, 1 << 24) + w::body(lossy)), "refused: corrupt data", 24);
  expect_bounded("RIFF of 4 GB", w::riff(w::body(lossy), 0xFFFFFFF0u), "refused: truncated", 24);
  std::string vp8_4gb = "VP8 ";
  samples::put32(vp8_4gb, 0xFFFFFFF0u);
  // The file is whole by its RIFF size; its one chunk contradicts it.
  expect_bounded("VP8 chunk of 4 GB", w::riff(vp8_4gb + w::body(lossy).substr(8)), "refused: corrupt data", 24);
  std::string anmf_4gb = "ANMF";
  samples::put32(anmf_4gb, 0xFFFFFFF0u);
  expect_bounded("frame of 4 GB", w::riff(w::vp8x(0x02, 64, 48) + w::anim() + anmf_4gb + std::string(40, '\0')),
                 "refused: truncated", 24);
  // The largest pictures the limits allow, with the data of a small one: a lossy one may make its
  // pixels, a lossless one (which libwebp keeps whole at 4 bytes a pixel besides) is too large for
  // the budget and refused before anything.
  expect_bounded("lossy 64 M pixels, data of 64 x 48", w::with_vp8_size(lossy, 8000, 8000), "refused: truncated",
                 8000L * 8000 * 3 / (1 << 20) + 16 + 16);
  expect_bounded("lossless 64 M pixels, data of 64 x 48", w::with_vp8l_size(lossless, 8000, 8000),
                 "refused: too large: 8000x8000", 24);
  expect_bounded("lossless 12 M pixels, data of 64 x 48", w::with_vp8l_size(lossless, 4000, 3000), "refused: corrupt data",
                 4000L * 3000 * (3 + 5) / (1 << 20) + 16 + 16);
}

TEST(DecodeBounds, WebpPicturesStayWithinTheirReservation) {
  namespace w = webp_images;
  auto flat = [](int x, int y, uint8_t* p) { p[0] = uint8_t(x / 50), p[1] = uint8_t(y / 50), p[2] = 90, p[3] = uint8_t(x); };
  const std::vector<uint8_t> rgba = w::pixels(2000, 1500, 4, flat);
  expect_bounded("lossless 2000x1500 with alpha", w::encode(2000, 1500, 4, rgba, -1), "ok 2000x1500 o=1",
                 2000L * 1500 * (4 + 5) / (1 << 20) + 16 + 16);
  expect_bounded("lossy 2000x1500 with alpha", w::encode(2000, 1500, 4, rgba, 80), "ok 2000x1500 o=1",
                 2000L * 1500 * (4 + 5) / (1 << 20) + 16 + 16);
  const std::vector<uint8_t> rgb = w::pixels(2000, 1500, 3, [](int x, int y, uint8_t* p) { samples::photo_pixel(x, y, p); });
  expect_bounded("lossy 2000x1500", w::encode(2000, 1500, 3, rgb, 80), "ok 2000x1500 o=1",
                 2000L * 1500 * 3 / (1 << 20) + 16 + 16);
}

}  // namespace

// ---- AVIF ----

namespace {

// What decode_avif reserves for a w x h picture of 8-bit samples, in MB: its output pixels, the
// planes twice, the AV1 decoder's state, half a megabyte for each AV1 decoder (one a grid cell, the
// picture's and its alpha's own) and kDecodeWorkBytes; and 16 MB for the test's own slack.
long avif_reservation_mb(long w, long h, int channels, double planes_per_pixel, long cells = 0) {
  const double pixels = double(w) * h;
  return long((pixels * channels + 2 * planes_per_pixel * pixels + 2 * pixels) / (1 << 20)) + (cells + 2) / 2 + 16 + 16;
}

TEST(DecodeBounds, AvifContainersThatLie) {
  namespace a = avif_images;
  const std::string small = a::encode(64, 48, 3, a::pixels(64, 48, 3, [](int x, int y, uint8_t* p) { samples::photo_pixel(x, y, p); }));
  expect_bounded("ispe 16384 square", a::with_ispe(small, 16384, 16384), "refused: too large: 16384x16384", 24);
  expect_bounded("ispe 2^31 square", a::with_ispe(small, 1u << 31, 1u << 31), "refused: corrupt data", 24);
  expect_bounded("ispe 64 M pixels", a::with_ispe(small, 8000, 8000), "refused: too large: 8000x8000", 24);
  // Within the limits: libavif scales the small frame up to the size its container says.
  expect_bounded("ispe 12 M pixels, frame of 64 x 48", a::with_ispe(small, 4000, 3000), "ok 4000x3000 o=1",
                 avif_reservation_mb(4000, 3000, 3, 3));
  // The other way round: the AV1 decoder would allocate the frame its own headers give.
  a::Spec flat;
  flat.quantizer = 60;
  flat.yuv = AVIF_PIXEL_FORMAT_YUV420;
  const std::string large = a::encode(4000, 3000, 3, a::pixels(4000, 3000, 3, [](int, int, uint8_t* p) { p[0] = 200; }), flat);
  expect_bounded("ispe 64 x 48, frame of 12 M pixels", a::with_ispe(large, 64, 48), "refused: corrupt data", 24);
  std::string box_4gb = small;
  a::put32(box_4gb, (size_t(uint8_t(small[2])) << 8) | uint8_t(small[3]), 0xFFFFFFF0u);
  expect_bounded("metadata box of 4 GB", box_4gb, "refused: truncated", 24);
}

TEST(DecodeBounds, AvifPicturesStayWithinTheirReservation) {
  namespace a = avif_images;
  a::Spec lossy;
  lossy.quantizer = 20;
  lossy.yuv = AVIF_PIXEL_FORMAT_YUV420;
  const auto photo = [](int x, int y, uint8_t* p) { samples::photo_pixel(x, y, p); };
  expect_bounded("lossy 4:2:0 2000x1500", a::encode(2000, 1500, 3, a::pixels(2000, 1500, 3, photo), lossy),
                 "ok 2000x1500 o=1", avif_reservation_mb(2000, 1500, 3, 1.5));
  const auto with_alpha = [](int x, int y, uint8_t* p) { samples::photo_pixel(x, y, p), p[3] = uint8_t(x); };
  expect_bounded("lossy 4:2:0 with alpha 1200x900", a::encode(1200, 900, 4, a::pixels(1200, 900, 4, with_alpha), lossy),
                 "ok 1200x900 o=1", avif_reservation_mb(1200, 900, 4, 2.5));
  a::Spec deep;
  deep.depth = 10;
  deep.quantizer = 20;
  expect_bounded("lossy 4:4:4 10-bit 1200x900", a::encode(1200, 900, 3, a::pixels(1200, 900, 3, photo), deep),
                 "ok 1200x900 o=1", avif_reservation_mb(1200, 900, 3, 6));
  expect_bounded("grid of 2 x 2 at 2000x1500", a::grid(2, 2, 1000, 750, 3, a::pixels(2000, 1500, 3, photo), lossy),
                 "ok 2000x1500 o=1", avif_reservation_mb(2000, 1500, 3, 1.5, 4));
  // Many small cells: libavif opens an AV1 decoder for each, all at once, whatever the cell's size.
  expect_bounded("grid of 16 x 16 cells of 64 x 64", a::grid(16, 16, 64, 64, 3, a::pixels(1024, 1024, 3, photo), lossy),
                 "ok 1024x1024 o=1", avif_reservation_mb(1024, 1024, 3, 1.5, 256));
  expect_bounded("grid of 32 x 32 cells of 64 x 64", a::grid(32, 32, 64, 64, 3, a::pixels(2048, 2048, 3, photo), lossy),
                 "refused: too large: a grid of 1024 cells at 2048x2048", 24);
  expect_bounded("sequence of 3 at 800x600", a::sequence(800, 600, 3, std::vector(3, a::pixels(800, 600, 3, photo)), lossy),
                 "ok 800x600 o=1", avif_reservation_mb(800, 600, 3, 1.5));
}

}  // namespace
