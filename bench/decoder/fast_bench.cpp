// Decoding speed of the fast path on a full-HD picture of mixed block modes.
#include <benchmark/benchmark.h>

#include <vector>

#include "fast_file_builder.h"
#include "vexo_decoder.h"

namespace vexo {
namespace {

void BM_FastDecode(benchmark::State& state) {
  constexpr uint16_t kWidth = 1920;
  constexpr uint16_t kHeight = 1080;
  vexo::testing::FastPictureRecipe recipe;
  recipe.width = kWidth;
  recipe.height = kHeight;
  recipe.quality = static_cast<uint8_t>(state.range(0));
  const std::vector<uint8_t> file = vexo::testing::MakeFastPicture(recipe);
  std::vector<uint16_t> image(size_t{kWidth} * kHeight);

  for (auto _ : state) {
    const VexoDecodeResult decoded = VexoDecode(VexoFamily::k201, file, image);
    if (decoded.status != VexoStatus::kOk) {
      state.SkipWithError("the picture did not decode");
      break;
    }
    benchmark::DoNotOptimize(image.data());
    benchmark::ClobberMemory();
  }
  state.counters["megapixels/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kWidth * kHeight / 1e6,
                         benchmark::Counter::kIsRate);
  state.counters["file_bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_FastDecode)->ArgName("quality")->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace vexo
