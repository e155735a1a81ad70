// Decoding speed of the predictive path on a full-HD picture.
#include <benchmark/benchmark.h>

#include <vector>

#include "predictive_stream.h"
#include "vexo_decoder.h"
#include "whole/whole_decode.h"

namespace vexo {
namespace {

constexpr uint16_t kWidth = 1920;
constexpr uint16_t kHeight = 1080;

const std::vector<uint8_t>& FullHdFile() {
  static const std::vector<uint8_t> file =
      vexo::testing::MakeTypicalPredictiveFile(kWidth, kHeight);
  return file;
}

void ReportPixels(benchmark::State& state) {
  const double pixels = static_cast<double>(kWidth) * kHeight;
  state.counters["MP/s"] = benchmark::Counter(
      pixels * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
  state.counters["bits/px"] = static_cast<double>(FullHdFile().size()) * 8 / pixels;
}

void BM_PredictiveDecode1080p(benchmark::State& state) {
  std::vector<uint16_t> image(static_cast<size_t>(kWidth) * kHeight);
  for (auto _ : state) {
    const VexoDecodeResult result = VexoDecode(VexoFamily::k101, FullHdFile(), image);
    benchmark::DoNotOptimize(result);
    benchmark::ClobberMemory();
  }
  ReportPixels(state);
}
BENCHMARK(BM_PredictiveDecode1080p)->Unit(benchmark::kMillisecond);

// The small policy on the same picture: what a device that keeps the
// decoder small gives up.
void BM_PredictiveSmallPolicy1080p(benchmark::State& state) {
  std::vector<uint16_t> image(static_cast<size_t>(kWidth) * kHeight);
  DecodePlan plan;
  ReadPlan(FullHdFile().data(), FullHdFile().size(), std::nullopt, plan);
  for (auto _ : state) {
    const VexoDecodeResult result =
        DecodeWholePicture<SmallPolicy>(plan, FullHdFile(), {image, kWidth, false}, {});
    benchmark::DoNotOptimize(result);
    benchmark::ClobberMemory();
  }
  ReportPixels(state);
}
BENCHMARK(BM_PredictiveSmallPolicy1080p)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace vexo
