// The viewer's whole playback tick for a 352 x 288 picture of each coding
// path (file read, decode, conversion to the Bitmap24, hand-over to the
// display and the statistics through the logic's interfaces), beside the
// decode alone of the same file. Their difference is what the tick adds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "current_file_decode.h"
#include "picture_placement.h"
#include "picture_reader.h"
#include "statistics_text.h"
#include "test_pictures.h"
#include "vexo_decoder.h"
#include "vexo_encoder.h"

namespace vexo {
namespace {

namespace fs = std::filesystem;

constexpr int32_t kWidth = 352;
constexpr int32_t kHeight = 288;

// The bench photograph of this size (bench/images), or a generated picture
// without it.
RgbPicture TickPicture() {
  const auto read = ReadPicture(VEXO_TICK_PICTURE);
  if (read) return *read;
  return testing::MakeTestPicture(testing::PictureKind::kEdges, kWidth, kHeight);
}

// A display that keeps its copy as the real pane does, and sinks that take
// the texts without showing them.
class FakeWindow : public orvane::DisplaySink,
                   public orvane::StatisticsSink,
                   public orvane::MessageSink,
                   public orvane::StatusSink,
                   public orvane::PlaybackTimer {
 public:
  void SetImageSize(int32_t width, int32_t height) override {
    display_.SetImageSize(width, height);
  }
  void SetImage(std::span<const uint8_t> bitmap24) override { display_.SetImage(bitmap24); }
  void ShowStatistics(const DecodeStatistics& statistics) override {
    UpdateStatisticsTexts(texts_, statistics);
    benchmark::DoNotOptimize(texts_.fileName.data());
  }
  void ShowMessage(std::string_view) override {}
  void ShowStatus(std::string_view) override {}
  void Arm(int) override {}
  void Kill() override {}

 private:
  orvane::DisplayState display_;
  StatisticsTexts texts_;
};

// The picture of one path, encoded once into a file of its own.
class TickFile {
 public:
  explicit TickFile(const EncodeOptions& options)
      : path_(fs::temp_directory_path() /
              ("vexo-tick-" + std::to_string(static_cast<int>(options.path)) + "-" +
               std::to_string(::getpid()) + ".vxo")),
        bytes_(EncodeVexo(TickPicture(), options).value()) {
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes_.data()),
               static_cast<std::streamsize>(bytes_.size()));
  }
  ~TickFile() { fs::remove(path_); }
  TickFile(const TickFile&) = delete;
  TickFile& operator=(const TickFile&) = delete;

  std::string Path() const { return path_.string(); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  fs::path path_;
  std::vector<uint8_t> bytes_;
};

EncodeOptions OptionsFor(int64_t path) {
  switch (path) {
    case 1:
      return {VexoPath::kFast, VexoFamily::k201, 0};
    case 2:
      return {VexoPath::kTransform, VexoFamily::k101, 24};
    default:
      return {VexoPath::kPredictive, VexoFamily::k101, 0};
  }
}

void BM_DecodeOnly(benchmark::State& state) {
  const TickFile file(OptionsFor(state.range(0)));
  std::vector<uint16_t> image(static_cast<size_t>(kWidth) * kHeight);
  const VexoFamily family = OptionsFor(state.range(0)).family;
  for (auto _ : state) {
    if (VexoDecode(family, file.Bytes(), image).status != VexoStatus::kOk) {
      state.SkipWithError("the picture did not decode");
      break;
    }
    benchmark::DoNotOptimize(image.data());
  }
}

void BM_WholeTick(benchmark::State& state) {
  const TickFile file(OptionsFor(state.range(0)));
  FakeWindow window;
  orvane::CurrentFileDecode decode({window, window, window, window, window});
  decode.currentFilePath = file.Path();
  for (auto _ : state) {
    if (decode.DecodeCurrentFile() != 1) {
      state.SkipWithError("the tick did not show the picture");
      break;
    }
  }
}

// The fastest of five runs ("_min" lines): the machine may be shared, and
// what is wanted is the work a tick does, not how often it was interrupted.
double Fastest(const std::vector<double>& runs) {
  return *std::min_element(runs.begin(), runs.end());
}

// Argument: 0 predictive, 1 fast, 2 transform.
BENCHMARK(BM_DecodeOnly)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", Fastest)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_WholeTick)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", Fastest)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace vexo
