// The first use of picture frames with a folder of grainy phone photos, timed from outside as a
// parent would see it: the program starts; once its title is on screen, key 1 is pressed and the
// pointer leaves and enters the first frame every 40 ms until a photo fills it. The iteration time
// is that wait after the title (median_ms over the runs); title_ms is the start to the title. In
// the same run, BM_DjpegQuarterScale decodes the 16 photos frames needs with `djpeg -scale 1/4`,
// one after another, as the yardstick. Needs a display (scripts/with-xvfb).
//
// The photos (4000x3000, JPEG quality 90, grain strong enough that each takes djpeg about as long
// as an indoor phone photo) are made once into /tmp/pipkin-bench-grainy.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
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

void prepare() {
  bench::make_photo_cache(kPhotoCache, kGrain);
  char tmpl[] = "/tmp/pipkin-bench-first-XXXXXX";
  work_dir = mkdtemp(tmpl);
  for (int n : {16, 100, 1000}) bench::copy_program_with_photos(work_dir + "/photos" + std::to_string(n), kPhotoCache, n);
}

// The title's time as the program notes it (PIPKIN_STARTUP_TIMES), or 0 while it has not.
double title_noted(const std::string& times) {
  std::ifstream f(times);
  std::string what;
  double at = 0;
  while (f >> what >> at)
    if (what == "title") return at;
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

void BM_TitleToFramesUsable(benchmark::State& st, int photos) {
  const std::string dir = work_dir + "/photos" + std::to_string(photos);
  const std::string times = work_dir + "/times.txt";
  std::vector<double> waits, titles;
  for (auto _ : st) {
    sh("rm -f '" + times + "' '" + dir + "/data/pipkin.txt'");
    move_pointer(512, 384);
    const double t0 = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
      setenv("PIPKIN_STARTUP_TIMES", times.c_str(), 1);
      setenv("SDL_AUDIODRIVER", "dummy", 1);
      execl((dir + "/pipkin").c_str(), "pipkin", "--window", static_cast<char*>(nullptr));
      _exit(127);
    }
    double title = 0;
    while ((title = title_noted(times)) == 0 && now_ms() - t0 < 30000)
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
  std::sort(waits.begin(), waits.end());
  st.counters["median_ms"] = waits[waits.size() / 2];
  st.counters["worst_ms"] = waits.back();
  st.counters["title_ms"] = *std::max_element(titles.begin(), titles.end());
}

void BM_DjpegQuarterScale(benchmark::State& st) {
  const std::string cmd = "for f in '" + work_dir + "/photos16/data/pics'/*.jpg; do djpeg -scale 1/4 \"$f\" >/dev/null; done";
  for (auto _ : st) {
    const double t0 = now_ms();
    sh(cmd);
    st.SetIterationTime((now_ms() - t0) / 1000.0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "bench_first_use: needs a display (run under scripts/with-xvfb)\n");
    return 1;
  }
  prepare();
  benchmark::RegisterBenchmark("BM_DjpegQuarterScale/16_photos_one_after_another", BM_DjpegQuarterScale)
      ->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
  for (int n : {100, 1000})
    benchmark::RegisterBenchmark(("BM_TitleToFramesUsable/" + std::to_string(n) + "_photos").c_str(),
                                 BM_TitleToFramesUsable, n)
        ->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  XCloseDisplay(display);
  sh("rm -rf '" + work_dir + "'");
  return 0;
}
