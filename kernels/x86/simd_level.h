// Which x86 instruction-set variant of the kernels chosen at run time runs.
// The default build runs on any x86-64 (SSE2 only); wider variants are
// compiled with per-function target attributes and chosen once per process
// from what the processor reports. Only x86-64 builds include it.
#pragma once

#include <cstdlib>
#include <string_view>

namespace vexo {

enum class SimdLevel { kPlain, kSse41, kAvx2 };

constexpr std::string_view SimdLevelName(SimdLevel level) {
  switch (level) {
    case SimdLevel::kSse41:
      return "sse4.1";
    case SimdLevel::kAvx2:
      return "avx2";
    case SimdLevel::kPlain:
      break;
  }
  return "plain";
}

// The widest level this processor runs.
inline SimdLevel ProcessorSimdLevel() {
  if (__builtin_cpu_supports("avx2")) return SimdLevel::kAvx2;
  if (__builtin_cpu_supports("sse4.1")) return SimdLevel::kSse41;
  return SimdLevel::kPlain;
}

// The level the decoder uses, decided on first use: the processor's, or a
// lower one named in VEXO_SIMD ("plain", "sse4.1", "avx2"), which lets the
// tests and benchmarks run every variant on one machine. A level above the
// processor's is never taken.
inline SimdLevel ActiveSimdLevel() {
  static const SimdLevel level = [] {
    const SimdLevel widest = ProcessorSimdLevel();
    const char* wanted = std::getenv("VEXO_SIMD");
    if (wanted == nullptr) return widest;
    for (SimdLevel candidate : {SimdLevel::kPlain, SimdLevel::kSse41, SimdLevel::kAvx2}) {
      if (SimdLevelName(candidate) == wanted && candidate <= widest) return candidate;
    }
    return widest;
  }();
  return level;
}

// True when `level` can run here (the tests skip variants that cannot).
inline bool ProcessorRuns(SimdLevel level) {
  return level <= ProcessorSimdLevel();
}

}  // namespace vexo
