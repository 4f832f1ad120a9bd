// Writes a folder of photos as a phone names and saves them, for benchmarks and trying things by
// hand: N files, of which K are distinct photos (seeds 1 to K, or from --seed on) and the rest
// copies of them in turn, so that a thousand files take only as long as K photos to make. It prints
// how long the distinct photos took to make (wall time: with --jobs above 1, several at once).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/phone_photos.hpp"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: make_phone_photos --format heic|jpeg|webp|avif --out DIR [--count N] [--distinct K]\n"
               "         [--preview normal|none|tiny|lying-size|lying-shape|marked] [--preview-size WxH]\n"
               "         [--size WxH] [--seed S] [--jobs J]\n"
               "Writes N files IMG_0001.<ext>... to DIR (made if missing): K distinct photos, then copies.\n"
               "The distinct ones are made J at a time, each on one thread.\n"
               "Defaults: 1 file, all distinct, a normal preview, 4032x3024, seed 1, 1 job.\n");
  return 2;
}

bool size_of(const std::string& text, int& w, int& h) {
  return std::sscanf(text.c_str(), "%dx%d", &w, &h) == 2 && w > 0 && h > 0;
}

bool number_of(const std::string& text, long& v) {
  char* end = nullptr;
  v = std::strtol(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0' && v >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  phone_photos::Options o;
  std::string out;
  long count = 1, distinct = 0, seed = 1, jobs = 1;
  bool have_format = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return usage();
    const std::string value = argv[++i];
    if (arg == "--format") {
      const auto f = phone_photos::format_named(value);
      if (!f) return usage();
      o.format = *f, have_format = true;
    } else if (arg == "--preview") {
      const auto p = phone_photos::preview_named(value);
      if (!p) return usage();
      o.preview = *p;
    } else if (arg == "--preview-size") {
      if (!size_of(value, o.preview_width, o.preview_height)) return usage();
    } else if (arg == "--size") {
      if (!size_of(value, o.width, o.height)) return usage();
    } else if (arg == "--out") {
      out = value;
    } else if (arg == "--count") {
      if (!number_of(value, count) || count < 1 || count > 9999) return usage();
    } else if (arg == "--distinct") {
      if (!number_of(value, distinct) || distinct < 1) return usage();
    } else if (arg == "--seed") {
      if (!number_of(value, seed)) return usage();
    } else if (arg == "--jobs") {
      if (!number_of(value, jobs) || jobs < 1) return usage();
    } else {
      return usage();
    }
  }
  if (!have_format || out.empty()) return usage();
  if (distinct == 0 || distinct > count) distinct = count;

  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  if (ec) {
    std::fprintf(stderr, "make_phone_photos: %s: %s\n", out.c_str(), ec.message().c_str());
    return 1;
  }
  try {
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> photos(size_t(distinct), "");
    std::atomic<long> next{0};
    std::string failure;
    std::mutex failure_lock;
    auto work = [&] {
      for (long k; (k = next++) < distinct;) {
        phone_photos::Options mine = o;
        mine.seed = uint32_t(seed + k);
        try {
          photos[size_t(k)] = phone_photos::make(mine);
        } catch (const std::exception& e) {
          std::lock_guard<std::mutex> hold(failure_lock);
          failure = e.what();
        }
      }
    };
    std::vector<std::thread> threads;
    for (long j = 1; j < std::min(jobs, distinct); ++j) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    if (!failure.empty()) throw std::runtime_error(failure);
    size_t bytes = 0;
    for (const std::string& p : photos) bytes += p.size();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (long n = 0; n < count; ++n) {
      const std::string path = out + "/" + phone_photos::file_name(o.format, int(n + 1));
      const std::string& photo = photos[size_t(n % distinct)];
      std::ofstream f(path, std::ios::binary | std::ios::trunc);
      f.write(photo.data(), std::streamsize(photo.size()));
      if (!f.flush()) {
        std::fprintf(stderr, "make_phone_photos: cannot write %s\n", path.c_str());
        return 1;
      }
    }
    std::printf("%ld %s files in %s: %ld distinct, %.2f MB each on average, made in %.2f s on %ld thread(s)\n", count,
                phone_photos::extension(o.format), out.c_str(), distinct, double(bytes) / distinct / 1e6, seconds,
                std::min(jobs, distinct));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_phone_photos: %s\n", e.what());
    return 1;
  }
  return 0;
}
