// Different files decoded on several threads at once give exactly what a
// decode on one thread gives, and the classic entries keep a last error per
// thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "example_files.h"
#include "file_decoder.h"
#include "vexo_classic.h"
#include "vexo_decoder.h"

namespace vexo {
namespace {

// Every thread decodes every small sample, in its own order, several times
// (one decoder per thread, as documented), and between them fails in its own
// way through the classic entry, whose last error must be its own; any result
// unlike the one-thread decode is counted.
TEST(Reentrancy, ManyThreadsMatchOneThreadAndKeepTheirOwnLastError) {
  std::vector<std::string> paths;
  std::vector<std::vector<uint8_t>> bitmaps;
  for (const auto& entry : std::filesystem::directory_iterator(VEXO_SAMPLES_DIR)) {
    // The full-HD sample would only make the run longer, not the test stronger.
    if (entry.path().extension() != ".vxo" || entry.file_size() > 100000) continue;
    FileDecoder decoder;
    ASSERT_EQ(decoder.Decode(entry.path().string()).status, FileDecodeStatus::kOk);
    paths.push_back(entry.path().string());
    bitmaps.emplace_back(decoder.Bitmap().begin(), decoder.Bitmap().end());
  }
  ASSERT_GE(paths.size(), 4u);
  using vexo::testing::WithByte;
  const auto good = vexo::testing::HandCheckedFile();
  const std::pair<std::vector<uint8_t>, int32_t> failures[] = {
      {WithByte(good, 0, 'X'), VexoErrorBadMagic},
      {WithByte(good, 11, 201), VexoErrorBadVersion},
      {{good.begin(), good.end() - 3}, VexoErrorTruncated},
      {WithByte(WithByte(good, 9, 1), 10, 52), VexoErrorMalformed}};
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (size_t t = 0; t < std::size(failures); ++t) {
    threads.emplace_back([&, t] {
      FileDecoder decoder;
      std::vector<uint16_t> pixels(8);
      for (size_t n = 0; n < 3 * paths.size(); ++n) {
        const size_t i = (n + t) % paths.size();
        for (int round = 0; round < 100; ++round) {
          Vexo101Decode(failures[t].first.data(), failures[t].first.size(), pixels.data());
          if (Vexo101LastError() != failures[t].second) ++mismatches;
        }
        if (decoder.Decode(paths[i]).status != FileDecodeStatus::kOk ||
            !std::ranges::equal(decoder.Bitmap(), bitmaps[i])) {
          ++mismatches;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches, 0);
}

}  // namespace

}  // namespace vexo
