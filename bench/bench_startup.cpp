// Start-up of the real program: to the first presented frame with the generated data, and with 100
// and 1,000 camera-sized (4000x3000) JPEG pictures the time to the title (title_ms), the time until
// every picture is loaded (the iteration time) and the peak memory (maxrss_MB), against decoding
// the same files with `djpeg -scale 1/4` one after another in the same run. Needs a display.
//
// The photos are made once into /tmp/pipkin-bench-photos (25 different pictures, each under 40
// names: decoding costs the same, and 1,000 distinct files would take minutes to write and 4 GB).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "bench/bench_pictures.hpp"

namespace {

const std::string kPhotoCache = "/tmp/pipkin-bench-photos";
std::string work_dir;

using bench::now_ms;
using bench::sh;

// Runs cmd with sh; returns wall seconds and peak memory in MB.
double run_child(const std::string& cmd, double& maxrss_mb) {
  auto t0 = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage ru{};
  wait4(pid, &status, 0, &ru);
  maxrss_mb = ru.ru_maxrss / 1024.0;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void prepare() {
  bench::make_photo_cache(kPhotoCache);
  char tmpl[] = "/tmp/pipkin-bench-start-XXXXXX";
  work_dir = mkdtemp(tmpl);
  bench::copy_program_with_photos(work_dir + "/generated", kPhotoCache, 0);
  for (int n : {100, 1000}) bench::copy_program_with_photos(work_dir + "/photos" + std::to_string(n), kPhotoCache, n);
}

void BM_StartToFirstFrame(benchmark::State& st, const char* which) {
  std::string prog = work_dir + "/" + which + "/pipkin";
  double peak = 0;
  for (auto _ : st) {
    double mb = 0;
    st.SetIterationTime(run_child("SDL_AUDIODRIVER=dummy '" + prog + "' --test-quit-after-first-frame 2>/dev/null", mb));
    peak = std::max(peak, mb);
  }
  st.counters["maxrss_MB"] = peak;
}

// Iteration time: start until every picture is loaded. title_ms: start until the title is on screen.
void BM_StartUntilAllPictures(benchmark::State& st, const char* which) {
  std::string prog = work_dir + "/" + which + "/pipkin";
  std::string times = work_dir + "/times.txt";
  double peak = 0, title = 0;
  for (auto _ : st) {
    sh("rm -f '" + times + "'");
    double mb = 0;
    double t0 = now_ms();
    run_child("SDL_AUDIODRIVER=dummy '" + prog + "' --test-quit-after-pictures --test-startup-times='" + times +
                  "' 2>/dev/null",
              mb);
    std::ifstream f(times);
    std::string what;
    double at = 0, title_at = 0, loaded_at = 0;
    while (f >> what >> at) (what == "title" ? title_at : loaded_at) = at;
    if (title_at <= 0 || loaded_at <= 0) {
      st.SkipWithError("the program did not report its start-up times");
      return;
    }
    st.SetIterationTime((loaded_at - t0) / 1000.0);
    title = std::max(title, title_at - t0);
    peak = std::max(peak, mb);
  }
  st.counters["title_ms"] = title;
  st.counters["maxrss_MB"] = peak;
}

void BM_DjpegQuarterScale(benchmark::State& st, const char* which) {
  std::string cmd = "for f in '" + work_dir + "/" + which + "'/data/pics/*.jpg; do djpeg -scale 1/4 \"$f\" >/dev/null; done";
  double peak = 0;
  for (auto _ : st) {
    double mb = 0;
    st.SetIterationTime(run_child(cmd, mb));
    peak = std::max(peak, mb);
  }
  st.counters["maxrss_MB"] = peak;
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY")) {
    std::fprintf(stderr, "bench_startup: needs a display (run under scripts/with-xvfb)\n");
    return 1;
  }
  prepare();
  benchmark::RegisterBenchmark("BM_StartToFirstFrame/generated_data", BM_StartToFirstFrame, "generated")
      ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_StartUntilAllPictures/100_photos_4000x3000", BM_StartUntilAllPictures, "photos100")
      ->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_DjpegQuarterScale/100_photos_one_after_another", BM_DjpegQuarterScale, "photos100")
      ->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_StartUntilAllPictures/1000_photos_4000x3000", BM_StartUntilAllPictures, "photos1000")
      ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_DjpegQuarterScale/1000_photos_one_after_another", BM_DjpegQuarterScale, "photos1000")
      ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  sh("rm -rf '" + work_dir + "'");
  return 0;
}
