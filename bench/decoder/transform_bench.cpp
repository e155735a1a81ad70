// Decoding speed of the transform path on a full-HD picture.
#include <benchmark/benchmark.h>

#include <vector>

#include "transform_stream.h"
#include "vexo_decoder.h"

namespace vexo {
namespace {

constexpr uint16_t kWidth = 1920;
constexpr uint16_t kHeight = 1080;

void DecodeTransformPicture(benchmark::State& state, const vexo::testing::RandomTransformMix& mix) {
  const auto quality = static_cast<uint8_t>(state.range(0));
  const std::vector<uint8_t> file =
      vexo::testing::MakeRandomTransformFile(kWidth, kHeight, quality, 2024, mix);
  std::vector<uint16_t> image(static_cast<size_t>(kWidth) * kHeight);
  for (auto _ : state) {
    const VexoDecodeResult decoded = VexoDecode(VexoFamily::k101, file, image);
    if (decoded.status != VexoStatus::kOk) {
      state.SkipWithError("decode failed");
      break;
    }
    benchmark::DoNotOptimize(image.data());
    benchmark::ClobberMemory();
  }
  const double pixels = static_cast<double>(kWidth) * kHeight;
  state.counters["Mpixels/s"] =
      benchmark::Counter(pixels * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["coded_bytes"] = static_cast<double>(file.size());
}

void BM_TransformTypical1080p(benchmark::State& state) {
  DecodeTransformPicture(state, vexo::testing::kTypicalMix);
}
void BM_TransformDense1080p(benchmark::State& state) {
  DecodeTransformPicture(state, vexo::testing::kWildMix);
}

BENCHMARK(BM_TransformTypical1080p)->Arg(28)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransformDense1080p)->Arg(28)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace vexo
