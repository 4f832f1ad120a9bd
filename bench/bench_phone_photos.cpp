// Making one phone-sized photo (4032x3024, tests/support/phone_photos) in each format, on one
// thread (CPU time is the whole process's, codec threads included): the scene, the encoding and, for HEIC, putting the grid file together. Benchmarks and
// tests make their photos with it, so this is what a folder of K distinct photos costs.
#include <benchmark/benchmark.h>

#include "tests/support/phone_photos.hpp"

namespace {

void BM_MakePhonePhoto(benchmark::State& state, phone_photos::Format format) {
  phone_photos::Options o;
  o.format = format;
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string file = phone_photos::make(o);
    bytes = file.size();
    benchmark::DoNotOptimize(file.data());
  }
  state.counters["MB"] = double(bytes) / 1e6;
}

void BM_PhonePhotoScene(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(phone_photos::picture(4032, 3024, 1).rgb.data());
}

BENCHMARK_CAPTURE(BM_MakePhonePhoto, heic, phone_photos::Format::Heic)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_MakePhonePhoto, jpeg, phone_photos::Format::Jpeg)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_MakePhonePhoto, webp, phone_photos::Format::Webp)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_MakePhonePhoto, avif, phone_photos::Format::Avif)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_PhonePhotoScene)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
