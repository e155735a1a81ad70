// The row kernel's choice on x86-64: a form per run-time level, the widest
// the process's level (ActiveSimdLevel) allows.
#include "bgr_row_kernels.h"
#include "bgr_row_kernels_x86.h"
#include "x86/simd_level.h"

namespace vexo {
namespace {

template <SimdLevel kLevel>
bool Runs() {
  return ProcessorRuns(kLevel);
}

template <SimdLevel kLevel>
constexpr BgrRowVariant At(BgrRowKernel kernel) {
  return {SimdLevelName(kLevel).data(), kernel, Runs<kLevel>};
}

// By level, as SimdLevel counts them and VEXO_SIMD names them; the 16-byte
// form, which needs only SSSE3, is the SSE4.1 level's.
constexpr BgrRowVariant kVariants[] = {
    At<SimdLevel::kPlain>(Rgb565RowToBgrPlain),
    At<SimdLevel::kSse41>(Rgb565RowToBgrSsse3),
    At<SimdLevel::kAvx2>(Rgb565RowToBgrAvx2),
};

}  // namespace

std::span<const BgrRowVariant> BgrRowVariants() {
  return kVariants;
}

const BgrRowVariant& ActiveBgrRowVariant() {
  static const BgrRowVariant& variant = kVariants[static_cast<int>(ActiveSimdLevel())];
  return variant;
}

}  // namespace vexo
