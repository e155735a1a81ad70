// Decode speed of our three paths beside QOI, lossless WebP and
// libjpeg-turbo on the same pictures, in one run on one thread: MP/s per
// picture, geometric means and the ratios against the best peers.
//
//   peers_bench [FOLDER]   (default: the bench pictures, bench/images)
//
// Google Benchmark's own flags (--benchmark_min_time=...) pass through.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

#include "bgr_row_kernels.h"
#include "peer_codecs.h"
#include "picture_reader.h"
#include "pixel_conversion.h"

namespace vexo {
namespace {

using vexo::bench::AllCodecs;
using vexo::bench::BenchPicture;
using vexo::bench::DecodeCase;

// Reduces a picture to 5-6-5 and back to 8 bits, the data every codec gets.
BenchPicture MakeBenchPicture(const std::string& name, const RgbPicture& source) {
  BenchPicture picture{name, source.width, source.height, QuantiseToRgb565(source), source};
  vexo::ExpandRgb565(picture.rgb565, picture.rgb.rgb);
  return picture;
}

std::vector<BenchPicture> LoadPictures(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() == ".png") paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  std::vector<BenchPicture> pictures;
  for (const auto& path : paths) {
    const Result<RgbPicture> read = ReadPicture(path.string());
    if (!read) {
      std::fprintf(stderr, "skipping %s\n", read.error().message.c_str());
      continue;
    }
    pictures.push_back(MakeBenchPicture(path.stem().string(), *read));
  }
  return pictures;
}

// Collects MP/s by codec and picture while printing as usual.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
      const std::string name = run.benchmark_name();
      const auto slash = name.find('/');
      speeds[name.substr(0, slash)][name.substr(slash + 1)] = run.counters.at("MP/s");
    }
  }
  std::map<std::string, std::map<std::string, double>> speeds;  // codec -> picture -> MP/s
};

double GeometricMean(const std::map<std::string, double>& values) {
  double logSum = 0;
  for (const auto& [picture, value] : values) logSum += std::log(value);
  return values.empty() ? 0 : std::exp(logSum / static_cast<double>(values.size()));
}

void PrintSummary(const SummaryReporter& reporter) {
  std::map<std::string, double> means;
  std::printf("\n%-28s %12s\n", "geometric mean", "MP/s");
  for (const auto& codec : AllCodecs()) {
    const auto found = reporter.speeds.find(codec.name);
    if (found == reporter.speeds.end()) continue;
    means[codec.name] = GeometricMean(found->second);
    std::printf("%-28s %12.1f\n", codec.name.c_str(), means[codec.name]);
  }
  const auto ratio = [&](const char* ours, const char* peer, double goal) {
    if (!means.count(ours) || !means.count(peer) || means[peer] <= 0) return;
    const double value = means[ours] / means[peer];
    std::printf("%-20s / %-26s %6.2f x  (goal %.1f x: %s)\n", ours, peer, value, goal,
                value >= goal ? "met" : "not met");
  };
  std::printf("\n");
  ratio("vexo transform q24", "libjpeg-turbo q90 4:4:4", 1.0);
  ratio("vexo predictive q0", "QOI (565 data)", 2.5);
  ratio("vexo fast q0", "QOI (565 data)", 5.0);
  if (means.count("565 to Bitmap24")) {
    std::printf("%-49s %6.0f MP/s (goal 2000)\n", "565 to Bitmap24", means["565 to Bitmap24"]);
  }
  std::printf("\nkernel variant: %s (VEXO_SIMD=plain|sse4.1|avx2 lowers it)\n",
              vexo::ActiveBgrRowVariant().name);
}

int RunPeersBench(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const std::filesystem::path folder = argc > 1 ? argv[1] : VEXO_PEER_PICTURES;
  static const std::vector<BenchPicture> pictures = LoadPictures(folder);
  if (pictures.empty()) {
    std::fprintf(stderr, "peers_bench: no PNG pictures in %s\n", folder.c_str());
    return 1;
  }
  for (const auto& codec : AllCodecs()) {
    for (const BenchPicture& picture : pictures) {
      std::shared_ptr<DecodeCase> prepared = codec.prepare(picture);
      if (!prepared) continue;
      const double megapixels = picture.width * static_cast<double>(picture.height) / 1e6;
      benchmark::RegisterBenchmark((codec.name + "/" + picture.name).c_str(),
                                   [prepared, megapixels](benchmark::State& state) {
                                     for (auto _ : state) {
                                       if (!prepared->Decode())
                                         state.SkipWithError("decode failed");
                                     }
                                     state.counters["MP/s"] = benchmark::Counter(
                                         megapixels, benchmark::Counter::kIsIterationInvariantRate);
                                     state.counters["bytes"] =
                                         static_cast<double>(prepared->CodedBytes());
                                   })
          ->Unit(benchmark::kMicrosecond);
    }
  }
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintSummary(reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace
}  // namespace vexo

int main(int argc, char** argv) {
  return vexo::RunPeersBench(argc, argv);
}
