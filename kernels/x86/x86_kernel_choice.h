// The kernels of an x86-64 build. SSE2 is the baseline of every x86-64, so
// its variants are chosen here at build time; the wider instruction sets
// are never assumed: their variants (the file decoder's row conversion) are
// chosen once per process from the run-time level (x86/simd_level.h).
#pragma once

#include "common/kernel_sets.h"
#include "fast/pixel_pair_chain.h"
#include "predictive/code_shift.h"
#include "x86/sse2_transform_kernels.h"

namespace vexo {

struct BuildKernels {
  static constexpr const char* kName = "x86-64 (SSE2)";
  using CodeShift = CodeShiftPlain;
  using CodeShiftSets = KernelSets<>;
  using PixelPairChain = PixelPairChainPlain;
  using Transform = Sse2TransformKernels;
  // The symbols are cut from a 64-bit window as it is.
  static constexpr bool kFastSymbolMaskInRegister = false;
};

}  // namespace vexo
