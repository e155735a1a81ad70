// The code-shift kernel this build uses (on ARM one shift by the table entry
// itself) against the plain one, on random accumulators and on entries whose
// low byte is a code length and whose other bits are noise.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "predictive/predictive_kernels.h"

namespace vexo {
namespace {

TEST(CodeShift, BuildsKernelMatchesThePlainOne) {
  std::mt19937 random(17);
  for (int trial = 0; trial < 10000; ++trial) {
    const uint32_t accumulator = static_cast<uint32_t>(random());
    const uint32_t entry = (static_cast<uint32_t>(random()) & ~0xFFu) | trial % 32;
    ASSERT_EQ(ShiftOutCode(accumulator, entry), ShiftOutCodePlain(accumulator, entry))
        << "trial " << trial << (VEXO_HAS_CODE_SHIFT_ARM ? " (arm)" : " (plain)");
  }
}

}  // namespace
}  // namespace vexo
