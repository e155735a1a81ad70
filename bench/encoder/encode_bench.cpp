// Encoding speed of each path on a full-HD picture.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "vexo_encoder.h"

namespace vexo {
namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;

// Smooth gradients with a little noise and a few hard edges: closer to a
// photograph than pure noise or a flat fill.
const RgbPicture& FullHdPicture() {
  static const RgbPicture picture = [] {
    RgbPicture made{kWidth, kHeight, std::vector<uint8_t>(3 * size_t{kWidth} * kHeight), true};
    std::mt19937 random(5);
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) {
        uint8_t* pixel = &made.rgb[3 * (size_t{static_cast<size_t>(y)} * kWidth + x)];
        const int noise = static_cast<int>(random() % 5) - 2;
        const bool band = (x / 240 + y / 180) % 3 == 0;
        pixel[0] = static_cast<uint8_t>(std::clamp(x * 255 / kWidth + noise, 0, 255));
        pixel[1] = static_cast<uint8_t>(std::clamp(y * 255 / kHeight + noise, 0, 255));
        pixel[2] = static_cast<uint8_t>(band ? 220 : 40 + (x + y) % 64);
      }
    }
    return made;
  }();
  return picture;
}

void Encode(benchmark::State& state, EncodeOptions options) {
  options.quality = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const std::vector<uint8_t> file = EncodeVexo(FullHdPicture(), options).value();
    benchmark::DoNotOptimize(file.data());
  }
  const double pixels = double{kWidth} * kHeight;
  state.counters["MP/s"] = benchmark::Counter(
      pixels * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

void BM_EncodePredictive(benchmark::State& state) {
  Encode(state, {VexoPath::kPredictive, VexoFamily::k101, 0});
}
BENCHMARK(BM_EncodePredictive)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_EncodeFast(benchmark::State& state) {
  Encode(state, {VexoPath::kFast, VexoFamily::k201, 0});
}
BENCHMARK(BM_EncodeFast)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_EncodeTransform(benchmark::State& state) {
  Encode(state, {VexoPath::kTransform, VexoFamily::k101, 0});
}
BENCHMARK(BM_EncodeTransform)->Arg(10)->Arg(28)->Arg(40)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace vexo
