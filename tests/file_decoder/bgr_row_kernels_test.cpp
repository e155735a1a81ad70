// Every form of the 5-6-5 row kernel the processor runs against the plain
// one, on random pixels, with guard bytes around the output.
#include "bgr_row_kernels.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace vexo {
namespace {

using vexo::SimdLevel;

constexpr size_t kGuard = 64;
constexpr uint8_t kGuardByte = 0xA5;

class BgrRowKernelTest : public ::testing::TestWithParam<SimdLevel> {};

TEST_P(BgrRowKernelTest, MatchesPlainWithinItsRow) {
  if (!vexo::ProcessorRuns(GetParam())) GTEST_SKIP() << "processor lacks this level";
  const BgrRowKernel kernel = BgrRowKernelFor(GetParam());
  std::mt19937 random(7);
  for (const size_t count : {0, 1, 7, 15, 16, 17, 31, 32, 33, 48, 63, 64, 65, 100, 352, 1001}) {
    // An odd start, so that no form may rely on alignment.
    std::vector<uint16_t> pixels(count + 1);
    for (uint16_t& pixel : pixels) pixel = static_cast<uint16_t>(random());
    std::vector<uint8_t> expected(3 * count);
    Rgb565RowToBgrPlain(pixels.data() + 1, count, expected.data());

    std::vector<uint8_t> out(kGuard + 3 * count + kGuard, kGuardByte);
    kernel(pixels.data() + 1, count, out.data() + kGuard);
    const std::vector<uint8_t> written(out.begin() + kGuard, out.end() - kGuard);
    EXPECT_EQ(written, expected) << count << " pixels";
    for (size_t i = 0; i < kGuard; ++i) {
      ASSERT_EQ(out[i], kGuardByte) << "before the row, " << count << " pixels";
      ASSERT_EQ(out[out.size() - 1 - i], kGuardByte) << "after the row, " << count << " pixels";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, BgrRowKernelTest,
                         ::testing::Values(SimdLevel::kPlain, SimdLevel::kSse41, SimdLevel::kAvx2),
                         [](const auto& info) {
                           return std::string(info.param == SimdLevel::kSse41
                                                  ? "sse41"
                                                  : vexo::SimdLevelName(info.param));
                         });

}  // namespace
}  // namespace vexo
