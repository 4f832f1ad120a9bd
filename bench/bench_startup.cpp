// Start-up to the first presented frame of the real program, with the generated data and with 100
// camera-sized (4000x3000) JPEG pictures, against decoding the same files with `djpeg -scale 1/4`
// one after another. Each run reports the child's peak memory (maxrss_MB). Needs a display.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "bench/bench_pictures.hpp"

namespace {

std::string work_dir;

int sh(const std::string& cmd) { return std::system(cmd.c_str()); }

// Runs argv[0] with stdout and stderr discarded; returns wall seconds and peak memory in MB.
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
  char tmpl[] = "/tmp/pipkin-bench-start-XXXXXX";
  work_dir = mkdtemp(tmpl);
  std::string build = PIPKIN_BUILD_DIR;
  for (const char* copy : {"generated", "photos"}) {
    std::string d = work_dir + "/" + copy;
    sh("mkdir -p '" + d + "' && cp '" + build + "/pipkin' '" + d + "/' && cp -r '" + build + "/data' '" + d + "/data'");
  }
  std::string photos = work_dir + "/photos/data/pics";
  sh("rm -rf '" + photos + "' && mkdir -p '" + photos + "'");
  std::string one = bench::write_photo_jpeg(photos + "/photo000.jpg", 4000, 3000, 90);
  for (int i = 1; i < 100; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/photo%03d.jpg", i);
    sh("cp '" + one + "' '" + photos + name + "'");
  }
}

void BM_StartToFirstFrame(benchmark::State& st, const char* which) {
  std::string prog = work_dir + "/" + which + "/pipkin";
  double peak = 0;
  for (auto _ : st) {
    double mb = 0;
    st.SetIterationTime(run_child("PIPKIN_QUIT_AFTER_FIRST_FRAME=1 SDL_AUDIODRIVER=dummy '" + prog + "' 2>/dev/null", mb));
    peak = std::max(peak, mb);
  }
  st.counters["maxrss_MB"] = peak;
}

void BM_DjpegQuarterScale100(benchmark::State& st) {
  std::string cmd = "for f in '" + work_dir + "'/photos/data/pics/*.jpg; do djpeg -scale 1/4 \"$f\" >/dev/null; done";
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
  benchmark::RegisterBenchmark("BM_StartToFirstFrame/100_photos_4000x3000", BM_StartToFirstFrame, "photos")
      ->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_DjpegQuarterScale/100_photos_one_after_another", BM_DjpegQuarterScale100)
      ->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  sh("rm -rf '" + work_dir + "'");
  return 0;
}
