// The kernel table (tests/kernels/kernel_table.h) for the C program
// check_kernels.c: C++ without a runtime, nothing thrown or allocated.
#include <cstddef>

#include "kernel_choice.h"
#include "kernel_table.h"

using vexo::kernel_check::KernelEntries;

// The processor variant this build's kernels were chosen for.
extern "C" const char* vexo_kernel_choice(void) {
  return vexo::BuildKernels::kName;
}

extern "C" size_t vexo_kernel_entry_count(void) {
  return KernelEntries().size();
}

extern "C" const char* vexo_kernel_entry_kernel(size_t index) {
  return KernelEntries()[index].kernel;
}

extern "C" const char* vexo_kernel_entry_variant(size_t index) {
  return KernelEntries()[index].variant;
}

// NULL when entry `index` matches its plain version, else what went wrong;
// `trial` and `offset` tell where.
extern "C" const char* vexo_kernel_entry_check(size_t index, int* trial, int* offset) {
  const vexo::kernel_check::CheckResult result = CheckKernel(KernelEntries()[index]);
  *trial = result.trial;
  *offset = static_cast<int>(result.offset);
  return result.passed ? nullptr : result.what;
}
