// Jigsaw costs against the floor of every redraw (one full-screen image and present): building a
// puzzle of the largest cut (reading it and cutting every piece, while the thinking image shows)
// a redraw of the jigsaw with every piece loose, and redraws of uncover and "where" part revealed. Runs in a real window (under Xvfb in CI).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "activities/jigsaw.hpp"
#include "activities/uncover.hpp"
#include "activities/where.hpp"
#include "bench/bench_floor.hpp"
#include "bench/bench_pictures.hpp"
#include "bench/bench_world.hpp"
#include "media/display/display.hpp"
#include "media/display/draw.hpp"
#include "media/display/image.hpp"

using namespace media;

namespace {

constexpr int kLargestCut = 13;  // 5 x 6 pieces

void prepare_pictures() { bench::world().set_pictures({image_from_pixmap(bench::photo_pixmap(1024, 768), 0)}); }

}  // namespace


static void BM_BuildLargestPuzzle(benchmark::State& st) {
  for (auto _ : st) {
    auto j = activities::puzzle_on_cut<activities::Jigsaw>(bench::world().context, kLargestCut, 0);
    if (!j) {
      st.SkipWithError("the cut cannot be read");
      break;
    }
    benchmark::DoNotOptimize(j->pieces().data());
  }
}
BENCHMARK(BM_BuildLargestPuzzle)->Unit(benchmark::kMillisecond);

static void BM_RedrawLoosePieces(benchmark::State& st) {
  auto j = activities::puzzle_on_cut<activities::Jigsaw>(bench::world().context, kLargestCut, 0);
  if (!j) {
    st.SkipWithError("the cut cannot be read");
    return;
  }
  st.counters["pieces"] = static_cast<double>(j->pieces().size());
  for (auto _ : st) {
    j->draw();
    present(0);
  }
}
BENCHMARK(BM_RedrawLoosePieces)->Unit(benchmark::kMillisecond);

// Uncover and "where" with a share of the pieces revealed (Arg: how many of the 30).
template <class Puzzle>
void redraw_revealed(benchmark::State& st) {
  auto j = activities::puzzle_on_cut<Puzzle>(bench::world().context, kLargestCut, 0);
  if (!j) {
    st.SkipWithError("the cut cannot be read");
    return;
  }
  const auto revealed = static_cast<size_t>(st.range(0));
  for (size_t i = 0; i < j->pieces().size() && i < revealed; ++i) j->pieces()[i]->visible = true;
  for (auto _ : st) {
    j->draw();
    present(0);
  }
}
static void BM_RedrawUncover(benchmark::State& st) { redraw_revealed<activities::Uncover>(st); }
BENCHMARK(BM_RedrawUncover)->Arg(0)->Arg(15)->Arg(29)->Unit(benchmark::kMillisecond);
static void BM_RedrawWhere(benchmark::State& st) { redraw_revealed<activities::Where>(st); }
BENCHMARK(BM_RedrawWhere)->Arg(0)->Arg(15)->Arg(29)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (!open_graphics(1024, 768, 0, 60)) {
    std::fprintf(stderr, "bench_jigsaw: no display\n");
    return 1;
  }
  prepare_pictures();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  bench::world().set_pictures({});
  close_graphics();
  return 0;
}
