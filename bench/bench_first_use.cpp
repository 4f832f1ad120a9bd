// The first use of picture frames, timed from outside as a parent would see it: the program starts;
// once its title is on screen, key 1 is pressed and the pointer leaves and enters the first frame
// every 40 ms until a photo fills it. The iteration time is that wait after the title (median_ms over
// the runs); title_ms is the start to the title.
// - Grainy JPEG photos (4000x3000, quality 90, grain strong enough that each takes djpeg about as
//   long as an indoor phone photo) in the portable copy's data/pics; in the same run,
//   BM_DjpegQuarterScale decodes 16 of them with `djpeg -scale 1/4`, one after another, as the
//   yardstick (ms_per_photo).
// - Phone photos (tests/support/phone_photos: 4032x3024 HEIC grids with a thumbnail, WebP, AVIF) in
//   the installed program's folder (~/Pictures/Pipkin), at a first start (no fitted copies cached),
//   and for HEIC a second start (BM_SecondStart).
// - BM_FullQuality: a first start until every photo is in at full quality (the program's own
//   "full" note), with the peak memory (peak_MB); BM_HeifConvert decodes the same files one after
//   another with libheif's heif-convert (to JPEG) as the yardstick.
// Needs a display (scripts/with-xvfb). The photos are made once into /tmp/pipkin-bench-*.
// Before Xlib, whose None macro would clash with a name of its own.
#include "tests/support/phone_photos.hpp"
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
// clang-format on
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_pictures.hpp"

namespace {

const std::string kPhotoCache = "/tmp/pipkin-bench-grainy";
constexpr int kGrain = 40;
std::string work_dir;
Display* display = nullptr;

using bench::now_ms;
using bench::sh;

constexpr int kDistinctPhonePhotos = 20;

// n phone photos of a format in one folder, made once: kDistinctPhonePhotos different ones (two at a
// time), then hard links to them in turn under phone names (IMG_0001.heic ...).
std::string phone_photo_cache(phone_photos::Format f) {
  const std::string dir = std::string("/tmp/pipkin-bench-phone-") + phone_photos::extension(f);
  if (bench::exists(dir + "/" + phone_photos::file_name(f, 1000))) return dir;
  std::fprintf(stderr, "bench: making the %s photos in %s (once)\n", phone_photos::extension(f), dir.c_str());
  sh("rm -rf '" + dir + "' && mkdir -p '" + dir + "/distinct'");
  std::vector<std::thread> makers;
  for (int half = 0; half < 2; ++half)
    makers.emplace_back([&, half] {
      for (int k = half; k < kDistinctPhonePhotos; k += 2) {
        phone_photos::Options o;
        o.format = f;
        o.seed = static_cast<uint32_t>(k + 1);
        std::ofstream(dir + "/distinct/" + std::to_string(k), std::ios::binary) << phone_photos::make(o);
      }
    });
  for (std::thread& t : makers) t.join();
  for (int i = 0; i < 1000; ++i)
    sh("ln '" + dir + "/distinct/" + std::to_string(i % kDistinctPhonePhotos) + "' '" + dir + "/" +
       phone_photos::file_name(f, i + 1) + "'");
  return dir;
}

// A copy of the program laid out as the package installs it (usr/bin, usr/share/pipkin) with a home
// of its own, and the first n photos of a cache in the home's Pictures/Pipkin.
void copy_installed_with_photos(const std::string& dir, const std::string& cache, phone_photos::Format f, int n) {
  const std::string build = PIPKIN_BUILD_DIR;
  const std::string pics = dir + "/home/Pictures/Pipkin";
  sh("mkdir -p '" + dir + "/usr/bin' '" + dir + "/usr/share' '" + pics + "' && cp '" + build + "/pipkin' '" + dir + "/usr/bin/' && cp -r '" +
     build + "/data' '" + dir + "/usr/share/pipkin'");
  for (int i = 1; i <= n; ++i) sh("ln '" + cache + "/" + phone_photos::file_name(f, i) + "' '" + pics + "/'");
}

// How a benchmark starts the program: the executable, its HOME (installed copies), and whether the
// fitted copies of an earlier start are thrown away first.
struct Copy {
  std::string exe;
  std::string home;
  bool first_start = true;
};

Copy portable_copy(int photos) { return {work_dir + "/photos" + std::to_string(photos) + "/pipkin", "", true}; }
Copy installed_copy(phone_photos::Format f, int photos, bool first_start = true) {
  return {work_dir + "/" + phone_photos::extension(f) + std::to_string(photos) + "/usr/bin/pipkin",
          work_dir + "/" + phone_photos::extension(f) + std::to_string(photos) + "/home", first_start};
}

void prepare() {
  bench::make_photo_cache(kPhotoCache, kGrain);
  char tmpl[] = "/tmp/pipkin-bench-first-XXXXXX";
  work_dir = mkdtemp(tmpl);
  for (int n : {16, 100, 1000}) bench::copy_program_with_photos(work_dir + "/photos" + std::to_string(n), kPhotoCache, n);
  for (phone_photos::Format f : {phone_photos::Format::Heic, phone_photos::Format::Webp, phone_photos::Format::Avif}) {
    const std::string cache = phone_photo_cache(f);
    for (int n : {20, 1000})
      copy_installed_with_photos(work_dir + "/" + phone_photos::extension(f) + std::to_string(n), cache, f, n);
  }
}

// The middle of the runs' times (the figure the notes give).
double median(std::vector<double> runs) {
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

// Starts the copy with its start-up notes going to `times`; the child's pid.
pid_t spawn(const Copy& c, const std::string& times, bool quit_at_full_quality = false) {
  if (!c.home.empty() && c.first_start) sh("rm -rf '" + c.home + "/.cache/pipkin' '" + c.home + "/.local/state'");
  sh("rm -f '" + times + "'");
  pid_t pid = fork();
  if (pid == 0) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!c.home.empty()) setenv("HOME", c.home.c_str(), 1);
    const std::string noting = "--test-startup-times=" + times;
    // execl's list ends at the first null: no quitting option when it is not wanted.
    const char* quitting = quit_at_full_quality ? "--test-quit-after-pictures" : nullptr;
    execl(c.exe.c_str(), "pipkin", "--window", noting.c_str(), quitting, static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// A start-up note's time (--test-startup-times), or 0 while the program has not noted it.
double noted(const std::string& times, const std::string& note) {
  std::ifstream f(times);
  std::string what;
  double at = 0;
  while (f >> what >> at)
    if (what == note) return at;
  return 0;
}

uint32_t pixel(int x, int y) {
  XImage* img = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
  if (!img) return 0;
  uint32_t p = static_cast<uint32_t>(XGetPixel(img, 0, 0));
  XDestroyImage(img);
  return p;
}

// An empty frame is a flat cream; a photo there is anything else.
bool photo_at(int x, int y) {
  uint32_t p = pixel(x, y);
  int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
  return !(r > 235 && g > 225 && b > 200);
}

void move_pointer(int x, int y) {
  XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
  XFlush(display);
}

void press_key(const char* keysym) {
  KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysym));
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XFlush(display);
}

void BM_TitleToFramesUsable(benchmark::State& st, Copy copy) {
  const std::string times = work_dir + "/times.txt";
  std::vector<double> waits, titles;
  for (auto _ : st) {
    if (!copy.first_start) {  // a start before this one fills the fitted-picture cache
      copy.first_start = true;
      const pid_t filler = spawn(copy, times, true);
      waitpid(filler, nullptr, 0);
      copy.first_start = false;
    }
    move_pointer(512, 384);
    const double t0 = now_ms();
    const pid_t pid = spawn(copy, times);
    double title = 0;
    while ((title = noted(times, "title")) == 0 && now_ms() - t0 < 30000)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (title == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      st.SkipWithError("the title never came");
      return;
    }
    press_key("1");
    // Frame 1 spans (94, 74) to (446, 307); (512, 384) lies between the frames.
    double used = 0;
    for (bool inside = false; now_ms() - title < 60000; inside = !inside) {
      move_pointer(inside ? 512 : 270, inside ? 384 : 190);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (photo_at(270, 130)) {
        used = now_ms();
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    if (used == 0) {
      st.SkipWithError("the first frame never showed a photo");
      return;
    }
    st.SetIterationTime((used - title) / 1000.0);
    waits.push_back(used - title);
    titles.push_back(title - t0);
  }
  st.counters["median_ms"] = median(waits);
  st.counters["worst_ms"] = *std::max_element(waits.begin(), waits.end());
  st.counters["title_ms"] = median(titles);
  st.counters["title_worst_ms"] = *std::max_element(titles.begin(), titles.end());
}

// A first start until the last photo is at full quality; the iteration time is from the start.
void BM_FullQuality(benchmark::State& st, Copy copy) {
  const std::string times = work_dir + "/times.txt";
  double peak_mb = 0;
  std::vector<double> runs;
  for (auto _ : st) {
    const double t0 = now_ms();
    const pid_t pid = spawn(copy, times, true);
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    const double full = noted(times, "full");
    if (full == 0) {
      st.SkipWithError("the program ended before every photo was at full quality");
      return;
    }
    st.SetIterationTime((full - t0) / 1000.0);
    runs.push_back(full - t0);
    peak_mb = std::max(peak_mb, double(ru.ru_maxrss) / 1024.0);
  }
  st.counters["median_ms"] = median(runs);
  st.counters["peak_MB"] = peak_mb;
}

// libheif's own heif-convert on the same files, one after another, each to a JPEG.
void BM_HeifConvert(benchmark::State& st, int photos) {
  const std::string cache = phone_photo_cache(phone_photos::Format::Heic);
  const std::string out = work_dir + "/converted.jpg";
  std::string cmd = "for i in $(seq 1 " + std::to_string(photos) + "); do heif-convert -q 90 \"$(printf '" + cache +
                    "/IMG_%04d.heic' $i)\" '" + out + "' >/dev/null || exit 1; done";
  std::vector<double> runs;
  for (auto _ : st) {
    const double t0 = now_ms();
    if (sh(cmd) != 0) {
      st.SkipWithError("heif-convert failed");
      return;
    }
    runs.push_back(now_ms() - t0);
    st.SetIterationTime(runs.back() / 1000.0);
  }
  st.counters["median_ms"] = median(runs);
}

void BM_DjpegQuarterScale(benchmark::State& st) {
  const std::string cmd = "for f in '" + work_dir + "/photos16/data/pics'/*.jpg; do djpeg -scale 1/4 \"$f\" >/dev/null; done";
  double total = 0;
  for (auto _ : st) {
    const double t0 = now_ms();
    sh(cmd);
    st.SetIterationTime((now_ms() - t0) / 1000.0);
    total += now_ms() - t0;
  }
  st.counters["ms_per_photo"] = total / double(st.iterations()) / 16;
}

void add(const std::string& name, std::function<void(benchmark::State&)> fn) {
  benchmark::RegisterBenchmark(name.c_str(), std::move(fn))->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
  display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "bench_first_use: needs a display (run under scripts/with-xvfb)\n");
    return 1;
  }
  prepare();
  using phone_photos::Format;
  add("BM_DjpegQuarterScale/16_photos_one_after_another", BM_DjpegQuarterScale);
  for (int n : {100, 1000})
    add("BM_TitleToFramesUsable/jpeg_grainy/" + std::to_string(n) + "_photos",
        [n](benchmark::State& st) { BM_TitleToFramesUsable(st, portable_copy(n)); });
  for (Format f : {Format::Heic, Format::Webp, Format::Avif})
    for (int n : {20, 1000})
      add(std::string("BM_TitleToFramesUsable/") + phone_photos::extension(f) + "/" + std::to_string(n) + "_photos",
          [f, n](benchmark::State& st) { BM_TitleToFramesUsable(st, installed_copy(f, n)); });
  add("BM_SecondStart/heic/20_photos", [](benchmark::State& st) { BM_TitleToFramesUsable(st, installed_copy(Format::Heic, 20, false)); });
  for (int n : {20, 1000}) {
    add("BM_FullQuality/heic/" + std::to_string(n) + "_photos",
        [n](benchmark::State& st) { BM_FullQuality(st, installed_copy(Format::Heic, n)); });
    add("BM_HeifConvert/" + std::to_string(n) + "_photos", [n](benchmark::State& st) { BM_HeifConvert(st, n); });
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  XCloseDisplay(display);
  sh("rm -rf '" + work_dir + "'");
  return 0;
}
