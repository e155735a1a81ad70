// The shifts by a register's low byte this build uses (on ARM one
// instruction each) against the plain ones, on random values and amounts,
// low bytes of 32 and more included.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "predictive/predictive_kernels.h"

namespace vexo {
namespace {

TEST(CodeShift, BuildsKernelsMatchThePlainOnes) {
  std::mt19937 random(17);
  for (int trial = 0; trial < 10000; ++trial) {
    const uint32_t value = static_cast<uint32_t>(random());
    // Every low byte, with noise above it.
    const uint32_t amount = (static_cast<uint32_t>(random()) & ~0xFFu) | (trial & 0xFF);
    ASSERT_EQ(ShiftLeftByLowByte(value, amount), ShiftLeftByLowBytePlain(value, amount))
        << "trial " << trial << (VEXO_HAS_CODE_SHIFT_ARM ? " (arm)" : " (plain)");
    ASSERT_EQ(ShiftRightByLowByte(value, amount), ShiftRightByLowBytePlain(value, amount))
        << "trial " << trial << (VEXO_HAS_CODE_SHIFT_ARM ? " (arm)" : " (plain)");
    const uint32_t second = static_cast<uint32_t>(random());
    const uint32_t offset = amount - (trial & 0xE0);  // a low byte of 0..31
    ASSERT_EQ(JoinWindow(value, second, offset), JoinWindowPlain(value, second, offset))
        << "trial " << trial << (VEXO_HAS_CODE_SHIFT_ARM ? " (arm)" : " (plain)");
  }
}

}  // namespace
}  // namespace vexo
