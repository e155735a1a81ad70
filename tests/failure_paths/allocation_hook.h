// The test program's own operator new: it counts what is allocated, keeps the
// peak, and can make one chosen allocation fail as if memory had run out.
#pragma once

#include <cstddef>
#include <cstdint>

namespace allocation_hook {

// Restarts the count; the allocation with number `failAt` (0 is the next
// one) throws std::bad_alloc, every other one succeeds.
void FailOnce(uint64_t failAt);
// No allocation fails any more.
void Disarm();
// True when the chosen allocation has been reached since FailOnce.
bool HasFailed();

// Bytes allocated and not yet freed, and the most of them since ResetPeak.
size_t LiveBytes();
size_t PeakBytes();
void ResetPeak();

}  // namespace allocation_hook
