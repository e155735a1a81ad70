#include <cstring>

#include "kernel_table.h"

namespace vexo::kernel_check {
namespace {

constexpr size_t kGuardBytes = 32;

// The output between guard bytes, one for each version of the kernel. In
// static storage: a Cortex-M stack is small.
struct GuardedOutput {
  alignas(16) uint8_t bytes[kGuardBytes + kMaxOutputBytes + kGuardBytes];
  uint8_t* Output() { return bytes + kGuardBytes; }
};

TrialData trialData;
GuardedOutput plainOutput;
GuardedOutput testedOutput;

void Prepare(GuardedOutput& guarded, size_t outputBytes, uint8_t guard) {
  std::memset(guarded.bytes, guard, sizeof guarded.bytes);
  std::memcpy(guarded.Output(), trialData.output, outputBytes);
}

// The offset from the output's start of the first guard byte changed, or
// `outputBytes` when none is.
ptrdiff_t FirstGuardChanged(const GuardedOutput& guarded, size_t outputBytes, uint8_t guard) {
  for (size_t i = 0; i < kGuardBytes; ++i) {
    if (guarded.bytes[i] != guard) return static_cast<ptrdiff_t>(i) - ptrdiff_t{kGuardBytes};
  }
  for (size_t i = kGuardBytes + outputBytes; i < 2 * kGuardBytes + outputBytes; ++i) {
    if (guarded.bytes[i] != guard) return static_cast<ptrdiff_t>(i - kGuardBytes);
  }
  return static_cast<ptrdiff_t>(outputBytes);
}

}  // namespace

CheckResult CheckKernel(const KernelEntry& entry) {
  const auto bytes = static_cast<ptrdiff_t>(entry.outputBytes);
  Random random;
  for (int trial = 0; trial < entry.trials; ++trial) {
    std::memset(&trialData, 0, sizeof trialData);
    entry.generate(random, trial, trialData);
    const auto guard = static_cast<uint8_t>(random.Next());
    Prepare(plainOutput, entry.outputBytes, guard);
    Prepare(testedOutput, entry.outputBytes, guard);
    entry.plain(trialData.input, plainOutput.Output());
    entry.tested(trialData.input, testedOutput.Output());
    ptrdiff_t at = FirstGuardChanged(plainOutput, entry.outputBytes, guard);
    if (at != bytes)
      return {false, trial, at, "the plain version wrote outside the entry's output"};
    at = FirstGuardChanged(testedOutput, entry.outputBytes, guard);
    if (at != bytes) return {false, trial, at, "the variant wrote outside its output"};
    for (at = 0; at < bytes; ++at) {
      if (testedOutput.Output()[at] != plainOutput.Output()[at]) {
        return {false, trial, at, "the variant's output differs from the plain version's"};
      }
    }
  }
  return {true, entry.trials, 0, "matches"};
}

}  // namespace vexo::kernel_check
