// The one place that tells the processors apart: it takes the kernel choice
// of the architecture being built for, made in that architecture's folder
// (arm/arm_kernel_choice.h, x86/x86_kernel_choice.h) or, for any other
// processor, the portable one (common/portable_kernel_choice.h).
//
// Each choice is a struct BuildKernels that names, for every kernel family,
// the set this build uses, with the same members everywhere:
//   kName                       the processor variant, for reports;
//   CodeShift                   the predictive path's code shifts;
//   CodeShiftSets               every set of them this build runs (KernelSets),
//                               which the kernel table checks;
//   PixelPairChain              the two-column delta chain;
//   Transform                   the transform path's set;
//   kFastSymbolMaskInRegister   how the fast path cuts its symbols.
// The family headers (predictive/predictive_kernels.h, fast/fast_kernels.h,
// transform/transform_kernels.h) read it; nothing else tests a processor.
#pragma once

#if defined(__arm__)
#include "arm/arm_kernel_choice.h"
#elif defined(__x86_64__)
#include "x86/x86_kernel_choice.h"
#else
#include "common/portable_kernel_choice.h"
#endif
