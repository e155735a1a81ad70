// Different files decoded on several threads at once give exactly what a
// decode on one thread gives, through the re-entrant entry, the file decode
// and the classic entries with their per-thread last errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "example_files.h"
#include "file_decoder.h"
#include "vexo_decoder.h"

namespace vexo {
namespace {

constexpr size_t kThreads = 4;
constexpr int kRoundsPerThread = 3;

struct Sample {
  std::string path;
  std::vector<uint8_t> bytes;
};

std::vector<Sample> SmallSamples() {
  std::vector<Sample> samples;
  for (const auto& entry : std::filesystem::directory_iterator(VEXO_SAMPLES_DIR)) {
    // The full-HD sample would only make the run longer, not the test stronger.
    if (entry.path().extension() != ".vxo" || entry.file_size() > 100000) continue;
    std::ifstream file(entry.path(), std::ios::binary);
    samples.push_back({entry.path().string(), {std::istreambuf_iterator<char>(file), {}}});
  }
  return samples;
}

std::vector<uint16_t> DecodeAlone(const std::vector<uint8_t>& file) {
  const auto header = ReadVexoHeader(file);
  std::vector<uint16_t> image(VexoPixelCount(*header));
  const auto family = *FamilyOfVersion(header->codecVersion);
  EXPECT_EQ(VexoDecode(family, file, image).status, VexoStatus::kOk);
  return image;
}

// Every thread decodes every sample, in its own order, several times, through
// the re-entrant entry and the file decode (one decoder per thread, as
// documented); any result unlike the one-thread decode is counted.
TEST(Reentrancy, ManyThreadsMatchOneThread) {
  const std::vector<Sample> samples = SmallSamples();
  ASSERT_GE(samples.size(), 4u);
  std::vector<std::vector<uint16_t>> pixels;
  std::vector<std::vector<uint8_t>> bitmaps;
  for (const Sample& sample : samples) {
    pixels.push_back(DecodeAlone(sample.bytes));
    vexo::FileDecoder decoder;
    ASSERT_EQ(decoder.Decode(sample.path).status, vexo::FileDecodeStatus::kOk);
    bitmaps.emplace_back(decoder.Bitmap().begin(), decoder.Bitmap().end());
  }
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      vexo::FileDecoder decoder;
      for (int round = 0; round < kRoundsPerThread; ++round) {
        for (size_t n = 0; n < samples.size(); ++n) {
          const size_t i = (n + t) % samples.size();
          const bool same = DecodeAlone(samples[i].bytes) == pixels[i] &&
                            decoder.Decode(samples[i].path).status == vexo::FileDecodeStatus::kOk &&
                            std::equal(decoder.Bitmap().begin(), decoder.Bitmap().end(),
                                       bitmaps[i].begin(), bitmaps[i].end());
          if (!same) ++mismatches;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches, 0);
}

// Each thread fails in its own way; each must see its own last error.
TEST(Reentrancy, ClassicEntriesKeepALastErrorPerThread) {
  using vexo::testing::WithByte;
  const auto good = vexo::testing::HandCheckedFile();
  const std::vector<std::pair<std::vector<uint8_t>, int32_t>> failures = {
      {WithByte(good, 0, 'X'), VexoErrorBadMagic},
      {WithByte(good, 11, 201), VexoErrorBadVersion},
      {{good.begin(), good.end() - 3}, VexoErrorTruncated},
      {WithByte(WithByte(good, 9, 1), 10, 52), VexoErrorMalformed}};
  std::vector<int> wrong(failures.size(), 0);
  std::vector<std::thread> threads;
  for (size_t t = 0; t < failures.size(); ++t) {
    threads.emplace_back([&, t] {
      std::vector<uint16_t> pixels(8);
      for (int round = 0; round < 2000; ++round) {
        const auto& file = round % 2 ? failures[t].first : good;
        Vexo101Decode(file.data(), file.size(), pixels.data());
        if (Vexo101LastError() != failures[t].second && round > 0) ++wrong[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(failures.size(), 0));
}

}  // namespace

}  // namespace vexo
