// The kernel variants of this build and the check that holds each to its
// plain version: a table of entries (kernel, variant, plain version, the
// variant, the input generator), each run on random input with its output
// between guard bytes, which must stay as they were.
//
// The same table and checker run everywhere: in the GoogleTest programs
// (kernels_test.cpp: x86, and ARMv5TE under qemu-arm) and on Cortex-M cores
// (tests/cortex-m/check_kernels.c). So this is C++ without a runtime:
// nothing is thrown or allocated, and no local object is static.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vexo::kernel_check {

// xorshift32: the same input on every core, nothing from a C library.
class Random {
 public:
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // 0 to `count` - 1.
  uint32_t Below(uint32_t count) { return Next() % count; }

 private:
  uint32_t state_ = 0x9E3779B9u;
};

inline constexpr size_t kMaxInputBytes = 1024;
inline constexpr size_t kMaxOutputBytes = 1024;

// One trial: the bytes a kernel reads, and what its output holds before the
// call (a kernel may read it: the reconstruction rebuilds a prediction in
// place). The output starts on a 16-byte boundary; an entry that takes
// other alignments places its kernel's output inside it.
struct TrialData {
  alignas(16) uint8_t input[kMaxInputBytes];
  alignas(16) uint8_t output[kMaxOutputBytes];
};

using GenerateTrial = void (*)(Random& random, int trial, TrialData& data);
// Runs one version of a kernel on `input`, writing only within the entry's
// output bytes at `output`.
using RunKernel = void (*)(const uint8_t* input, uint8_t* output);

struct KernelEntry {
  const char* kernel;
  const char* variant;
  RunKernel plain;
  RunKernel tested;
  GenerateTrial generate;
  size_t outputBytes;  // at most kMaxOutputBytes
  int trials;
  bool (*runsHere)();  // nullptr: wherever the build runs
};

struct CheckResult {
  bool passed;
  int trial;         // the first trial that failed
  ptrdiff_t offset;  // of the first wrong byte from the output's start
  const char* what;  // what went wrong
};

// Every trial of `entry`; the entry must run here.
CheckResult CheckKernel(const KernelEntry& entry);

// The kernels' variants this build holds, each different from its plain
// version: the build's own (kernel_choice.h) and the portable ones.
std::span<const KernelEntry> KernelEntries();

}  // namespace vexo::kernel_check
