// The fast path's kernels and choices as the decoder asks them, from the set
// this build's processor choice names (kernel_choice.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "fast/pixel_pair_chain.h"
#include "kernel_choice.h"

namespace vexo {

// Whether the symbol cutting keeps its mask in a register: where an AND
// takes a shifted register operand, a symbol is then cut with one
// instruction that also tests it for 0, instead of a shift and an AND with
// a constant.
inline constexpr bool kFastSymbolMaskInRegister = BuildKernels::kFastSymbolMaskInRegister;

// As PixelPairChainPlain::Chain.
inline void ChainPixelPairs(uint8_t* rows, ptrdiff_t rowBytes, uint32_t start,
                            const uint32_t* deltas) {
  BuildKernels::PixelPairChain::Chain(rows, rowBytes, start, deltas);
}

}  // namespace vexo
