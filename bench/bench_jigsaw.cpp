// Jigsaw costs against the floor of every redraw (one full-screen image and present): building a
// puzzle of the largest cut (reading it and cutting every piece, while the thinking image shows)
// and a redraw of "pj" with every piece loose. Runs in a real window (under Xvfb in CI).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "activities/jigsaw.hpp"
#include "app/shell.hpp"
#include "bench/bench_floor.hpp"
#include "bench/bench_pictures.hpp"
#include "media/display.hpp"
#include "media/draw.hpp"
#include "media/image.hpp"

using namespace media;

namespace {

constexpr int kLargestCut = 13;  // 5 x 6 pieces

void prepare_shell() {
  app::Shell& s = app::shell();
  s.data_dir = std::string(PIPKIN_DATA_DIR) + "/";
  s.default_blend = get_blend();
  s.sound_on = false;
  s.pictures.clear();
  s.pictures.add(image_from_pixmap(bench::photo_pixmap(1024, 768), 0));
}

}  // namespace


static void BM_BuildLargestPuzzle(benchmark::State& st) {
  for (auto _ : st) {
    activities::TJigsaw j;
    if (!j.init(kLargestCut, 0, "pj")) {
      st.SkipWithError("the cut cannot be read");
      break;
    }
    j.setup();
    benchmark::DoNotOptimize(j.pieces.data());
  }
}
BENCHMARK(BM_BuildLargestPuzzle)->Unit(benchmark::kMillisecond);

static void BM_RedrawLoosePieces(benchmark::State& st) {
  activities::TJigsaw j;
  if (!j.init(kLargestCut, 0, "pj")) {
    st.SkipWithError("the cut cannot be read");
    return;
  }
  j.setup();
  st.counters["pieces"] = static_cast<double>(j.pieces.size());
  for (auto _ : st) {
    j.draw();
    present(0);
  }
}
BENCHMARK(BM_RedrawLoosePieces)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (!open_graphics(1024, 768, 0, 60)) {
    std::fprintf(stderr, "bench_jigsaw: no display\n");
    return 1;
  }
  prepare_shell();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  app::shell().pictures.clear();
  close_graphics();
  return 0;
}
