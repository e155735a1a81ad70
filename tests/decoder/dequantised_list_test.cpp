// The transform path's coefficient-list readers against a bit-by-bit walk
// and plain dequantisation. Prediction, the inverse transform and
// reconstruction are checked by the kernel table (tests/kernels) and by
// whole random pictures against the plain reference decoder.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "plain_kernels.h"
#include "transform/compact_list_reader.h"
#include "transform/dequantisation.h"
#include "transform/dequantised_list_reader.h"
#include "transform/level_code.h"

namespace vexo::testing {
namespace {

// The table-driven reader, the reader that dequantises as it reads (and the
// small policy's compact one), and the bit-by-bit tree walk followed by
// plain dequantisation read the same lists and the same number of bits from
// any stream, at every quality.
TEST(TransformLevelCode, TableLookupsMatchBitByBitWalk) {
  std::mt19937 random(7);
  for (int quality = 0; quality < kQualityCount; quality += 3) {
    const TransformQuality parameters = *TransformQualityFor(quality);
    const DequantSteps steps = MakeDequantSteps(parameters);
    const int escapeWidth = parameters.escapeWidth;
    // Mostly 0 bits, so that long lists and runs past the scan come up too.
    // Room for 200 lists of the longest kind: the unchecked refills never
    // pass the end.
    std::vector<uint8_t> bytes(200 * kMaxListBits / 8 + 16);
    for (auto& byte : bytes) byte = static_cast<uint8_t>(random() & random());
    VexoBitReader table(bytes.data(), bytes.size(), 0);
    VexoBitReader fused(bytes.data(), bytes.size(), 0);
    VexoBitReader walk(bytes.data(), bytes.size(), 0);
    NativeBitReader compact(bytes.data(), bytes.size(), 0);
    for (int n = 0; n < 200; ++n) {
      CoefficientList fast{}, plain{};
      ReadCoefficientList<false>(table, escapeWidth, fast);
      ReadCoefficientListBitByBit(walk, escapeWidth, plain);
      ASSERT_EQ(fast.count, plain.count);
      for (int k = 0; k < fast.count; ++k) {
        ASSERT_EQ(fast.entries[k].level, plain.entries[k].level);
        ASSERT_EQ(fast.entries[k].run, plain.entries[k].run);
      }
      BlockCoefficients expected{}, got{};
      got.fill(0x5A5A5A5A);  // must be overwritten wherever the mask says so
      const CoefficientMask expectedMask = DequantiseList(plain, steps, expected);
      ASSERT_EQ(ReadDequantisedList<false>(fused, escapeWidth, steps, got), expectedMask);
      if (expectedMask != 0) {
        ASSERT_EQ(got, expected);
      }
      got.fill(0x5A5A5A5A);
      ASSERT_EQ(ReadCompactList(compact, escapeWidth, steps, got), expectedMask);
      if (expectedMask != 0) {
        ASSERT_EQ(got, expected);
      }
      ASSERT_EQ(table.ConsumedBits(), walk.ConsumedBits());
      ASSERT_EQ(fused.ConsumedBits(), walk.ConsumedBits());
      ASSERT_EQ(compact.ConsumedBits(), walk.ConsumedBits());
    }
  }
}

}  // namespace
}  // namespace vexo::testing
