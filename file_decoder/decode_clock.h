// The finest monotonic clock the platform offers, as ticks and ticks a
// second, for timing the decoder call.
#pragma once

#include <chrono>
#include <cstdint>

namespace vexo {

struct DecodeClock {
  using Clock = std::chrono::steady_clock;

  static int64_t Now() { return Clock::now().time_since_epoch().count(); }
  static double Frequency() {
    return static_cast<double>(Clock::period::den) / static_cast<double>(Clock::period::num);
  }
};

}  // namespace vexo
