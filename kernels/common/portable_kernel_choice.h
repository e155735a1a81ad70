// The kernels of a build for a processor without variants of its own (an
// x86 in 32-bit mode, a 64-bit ARM, RISC-V ...): the plain ones, with the
// word-wide packing where words are stored little-endian.
#pragma once

#include <bit>
#include <type_traits>

#include "common/kernel_sets.h"
#include "fast/pixel_pair_chain.h"
#include "predictive/code_shift.h"
#include "transform/portable_transform_kernels.h"

namespace vexo {

struct BuildKernels {
  static constexpr const char* kName = "portable";
  using CodeShift = CodeShiftPlain;
  using CodeShiftSets = KernelSets<>;
  using PixelPairChain = PixelPairChainPlain;
  using Transform = std::conditional_t<std::endian::native == std::endian::little,
                                       WordTransformKernels, PlainTransformKernels>;
  // A 64-bit processor cuts from a wide window as it is; a 32-bit one with
  // registers to spare keeps the mask in one.
  static constexpr bool kFastSymbolMaskInRegister = sizeof(void*) < 8;
};

}  // namespace vexo
