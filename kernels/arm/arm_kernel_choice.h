// The kernels of a 32-bit ARM build, chosen at build time for the ARM
// variant the compiler targets, which a firmware cannot change when it runs:
//
// - ARM state (ARMv4T, ARMv5TE: the ARM7TDMI and ARM9 class): the code
//   shifts in ARM instructions, the reconstruction for 32-bit processors
//   and the word-wide packing;
// - Thumb-1 (ARMv4T and ARMv5TE in Thumb state, ARMv6-M: Cortex-M0, M0+):
//   the same with the Thumb-1 code shifts;
// - Thumb-2 (ARMv7-M: Cortex-M3): the same with the Thumb-2 code shifts;
// - Thumb-2 with the two-lane instructions (ARMv7E-M: Cortex-M4, M7): the
//   Thumb-2 code shifts, the two-lane transform kernels and UADD16 for the
//   pixel-pair chain;
// - ARM state with the two-lane instructions (ARMv6 and later: ARM11 ...):
//   the ARM state kernels, and UADD16 for the pixel-pair chain. The
//   two-lane transform kernels would assemble there too, but no count here
//   measures such a core.
//
// A Thumb-2 core runs the Thumb-1 code shifts too, which its kernel table
// checks as well.
//
// The symbol cutting of the fast path keeps its mask in a register where an
// AND takes a shifted register operand (ARM state, Thumb-2); Thumb-1 has no
// such operand and too few registers.
#pragma once

#include "arm/arm_transform_kernels.h"
#include "common/kernel_sets.h"
#include "fast/pixel_pair_chain.h"

#if defined(__thumb2__)
#include "arm/code_shift_thumb1.h"
#include "arm/code_shift_thumb2.h"
#elif defined(__thumb__)
#include "arm/code_shift_thumb1.h"
#else
#include "arm/code_shift_arm.h"
#endif
#if defined(__ARM_FEATURE_SIMD32)
#include "arm/dsp_transform_kernels.h"
#include "arm/pixel_pair_chain_dsp.h"
#endif

namespace vexo {

#if defined(__thumb2__) && defined(__ARM_FEATURE_SIMD32)
struct BuildKernels {
  static constexpr const char* kName = "ARMv7E-M (Thumb-2, two-lane instructions)";
  using CodeShift = CodeShiftThumb2;
  using CodeShiftSets = KernelSets<CodeShiftThumb2, CodeShiftThumb1>;
  using PixelPairChain = PixelPairChainDsp;
  using Transform = DspTransformKernels;
  static constexpr bool kFastSymbolMaskInRegister = true;
};
#elif defined(__thumb2__)
struct BuildKernels {
  static constexpr const char* kName = "ARMv7-M (Thumb-2)";
  using CodeShift = CodeShiftThumb2;
  using CodeShiftSets = KernelSets<CodeShiftThumb2, CodeShiftThumb1>;
  using PixelPairChain = PixelPairChainPlain;
  using Transform = ArmTransformKernels;
  static constexpr bool kFastSymbolMaskInRegister = true;
};
#elif defined(__thumb__)
struct BuildKernels {
  static constexpr const char* kName = "Thumb-1";
  using CodeShift = CodeShiftThumb1;
  using CodeShiftSets = KernelSets<CodeShiftThumb1>;
  using PixelPairChain = PixelPairChainPlain;
  using Transform = ArmTransformKernels;
  static constexpr bool kFastSymbolMaskInRegister = false;
};
#elif defined(__ARM_FEATURE_SIMD32)
struct BuildKernels {
  static constexpr const char* kName = "ARM state, two-lane instructions";
  using CodeShift = CodeShiftArm;
  using CodeShiftSets = KernelSets<CodeShiftArm>;
  using PixelPairChain = PixelPairChainDsp;
  using Transform = ArmTransformKernels;
  static constexpr bool kFastSymbolMaskInRegister = true;
};
#else
struct BuildKernels {
  static constexpr const char* kName = "ARM state";
  using CodeShift = CodeShiftArm;
  using CodeShiftSets = KernelSets<CodeShiftArm>;
  using PixelPairChain = PixelPairChainPlain;
  using Transform = ArmTransformKernels;
  static constexpr bool kFastSymbolMaskInRegister = true;
};
#endif

}  // namespace vexo
