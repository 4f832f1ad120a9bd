// Colouring costs in a real window (under Xvfb in CI): flood_fill of a whole 768x768 area and of
// the outer area of drawing 7, with the real Escape check (answered a row at a time) and with a test-style
// probe asked once per step through a function pointer, against OpenCV's
// 4-connected cv::floodFill on the same pixels as a 32-bit single-channel matrix; and a redraw of
// the colouring screen against the floor (one 1024x768 image drawn plus present).
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "activities/colour.hpp"
#include "activities/flood_fill.hpp"
#include "activities/turtle.hpp"
#include "bench/bench_world.hpp"
#include "bench/bench_floor.hpp"
#include "bench/bench_pictures.hpp"
#include "media/display/display.hpp"
#include "media/display/draw.hpp"
#include "media/input/events.hpp"
#include "media/display/image.hpp"

using namespace media;

namespace {

constexpr uint32_t kBlue = 0xFF000046;
constexpr uint32_t kColours[2] = {0xFFEB2828, 0xFF1EA546};  // alternate, so the area stays one area

media::PixmapPtr whole;    // 768x768 of dark blue
media::PixmapPtr drawing;  // drawing 7 as the turtle makes it

// The check the colouring activity makes after every step: the loop's Escape watch.
bool escape_watch() {
  static media::EscapeWatch watch;
  return watch.pressed();
}

cv::Mat as_mat(const Pixmap& p) {
  cv::Mat m(p.height, p.width, CV_32SC1);
  for (int y = 0; y < p.height; ++y) std::memcpy(m.ptr(y), p.row(y), static_cast<size_t>(p.width) * 4);
  return m;
}

// The area filled from (x, y) must hold this many pixels, or the comparison is unfair.
int64_t area_of(const Pixmap& src, int x, int y) {
  Pixmap p = src;
  activities::flood_fill(0xFF123456, x, y, p);
  int64_t n = 0;
  for (int j = 0; j < p.height; ++j)
    for (int i = 0; i < p.width; ++i) n += read_pixel(p, i, j) == 0xFF123456u;
  return n;
}

void fill_ours(benchmark::State& st, const PixmapPtr& src, int x, int y, const activities::StopCheck& stop) {
  Pixmap p = *src;
  int i = 0;
  for (auto _ : st) activities::flood_fill(kColours[i++ & 1], x, y, p, stop);
  st.counters["pixels"] = static_cast<double>(area_of(*src, x, y));
}

void fill_opencv(benchmark::State& st, const PixmapPtr& src, int x, int y) {
  cv::Mat m = as_mat(*src);
  int i = 0;
  int64_t filled = 0;
  for (auto _ : st) {
    filled = cv::floodFill(m, cv::Point(x, y), cv::Scalar(static_cast<int32_t>(kColours[i++ & 1])), nullptr,
                           cv::Scalar(), cv::Scalar(), 4);
  }
  st.counters["pixels"] = static_cast<double>(filled);
}

void BM_FloodFillWhole_EscapeWatch(benchmark::State& st) { fill_ours(st, whole, 384, 384, escape_watch); }
void BM_FloodFillWhole_NoKeyCheck(benchmark::State& st) { fill_ours(st, whole, 384, 384, {}); }
void BM_FloodFillWhole_OpenCV(benchmark::State& st) { fill_opencv(st, whole, 384, 384); }
void BM_FloodFillPattern7_EscapeWatch(benchmark::State& st) { fill_ours(st, drawing, 0, 0, escape_watch); }
void BM_FloodFillPattern7_NoKeyCheck(benchmark::State& st) { fill_ours(st, drawing, 0, 0, {}); }
void BM_FloodFillPattern7_OpenCV(benchmark::State& st) { fill_opencv(st, drawing, 0, 0); }

// One Escape check as the fill makes it after every step.
void BM_EscapeWatchCall(benchmark::State& st) {
  for (auto _ : st) benchmark::DoNotOptimize(escape_watch());
}


void BM_ColourRedraw(benchmark::State& st) {
  std::unique_ptr<activities::Colouring> c = activities::Colouring::make(bench::world().context);
  for (auto _ : st) {
    c->draw();
    present(0);
  }
}

// A right click: the next of the seven drawings.
void BM_ColourNextDrawing(benchmark::State& st) {
  std::unique_ptr<activities::Colouring> c = activities::Colouring::make(bench::world().context);
  for (auto _ : st) c->click(app::PointerInput{.button = Button::Right});
}

}  // namespace

BENCHMARK(BM_FloodFillWhole_EscapeWatch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFillWhole_NoKeyCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFillWhole_OpenCV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFillPattern7_EscapeWatch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFillPattern7_NoKeyCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFillPattern7_OpenCV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EscapeWatchCall);
BENCHMARK(BM_ColourRedraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourNextDrawing)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (!open_graphics(1024, 768, 0, 60)) {
    std::fprintf(stderr, "bench_colour: no display\n");
    return 1;
  }
  whole = create_pixmap(768, 768, PF_RGBA);
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 768; ++x) write_pixel(*whole, x, y, kBlue);
  activities::Turtle t;
  t.draw_pattern(7);
  t.finish();
  drawing = t.drawing();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  close_graphics();
  return 0;
}
