// The kernels that have a variant for the core being built for (inline
// assembly: the code shifts in ARM, Thumb-1 or Thumb-2 state, UADD16 where
// the DSP extension has it), against their plain versions on random input,
// the outputs in memory between guard bytes. On a Cortex-M core, where the
// GoogleTest tests do not run: C++ without a runtime (nothing thrown or
// allocated), called from the C program check_kernels.c.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "arm/pixel_pair_chain.h"
#include "predictive/predictive_kernels.h"

namespace vexo {
namespace {

// xorshift32: the same input on every core, nothing from a C library.
class Random {
 public:
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

 private:
  uint32_t state_ = 0x9E3779B9u;
};

// Every low byte of the shift amount (0 to 255), with noise above it.
bool CodeShiftsMatch(Random& random) {
  for (uint32_t trial = 0; trial < 20000; ++trial) {
    const uint32_t value = random.Next();
    const uint32_t amount = (random.Next() & ~0xFFu) | (trial & 0xFFu);
    if (ShiftLeftByLowByte(value, amount) != ShiftLeftByLowBytePlain(value, amount)) return false;
    if (ShiftRightByLowByte(value, amount) != ShiftRightByLowBytePlain(value, amount)) {
      return false;
    }
    const uint32_t second = random.Next();
    const uint32_t offset = amount - (trial & 0xE0u);  // a low byte of 0 to 31
    if (JoinWindow(value, second, offset) != JoinWindowPlain(value, second, offset)) return false;
  }
  return true;
}

constexpr uint8_t kGuard = 0xA5;
constexpr ptrdiff_t kGuardBytes = 16;
constexpr ptrdiff_t kRowBytes = 10;  // wider than the pair, and rows not 4-byte aligned
constexpr size_t kChainBufferBytes = 2 * kGuardBytes + kPixelPairChainLength * kRowBytes;

using ChainKernel = void (*)(uint8_t*, ptrdiff_t, uint32_t, const uint32_t*);

void RunChainBetweenGuards(ChainKernel kernel, uint32_t start, const uint32_t* deltas,
                           uint8_t (&buffer)[kChainBufferBytes]) {
  std::memset(buffer, kGuard, sizeof buffer);
  kernel(buffer + kGuardBytes + 2, kRowBytes, start, deltas);
}

bool PixelPairChainsMatch(Random& random) {
  for (int trial = 0; trial < 5000; ++trial) {
    const uint32_t start = random.Next();
    uint32_t deltas[kPixelPairChainLength];
    for (uint32_t& delta : deltas) delta = random.Next();
    uint8_t got[kChainBufferBytes];
    uint8_t expected[kChainBufferBytes];
    RunChainBetweenGuards(ChainPixelPairs, start, deltas, got);
    RunChainBetweenGuards(ChainPixelPairsPlain, start, deltas, expected);
    if (std::memcmp(got, expected, sizeof got) != 0) return false;
  }
  return true;
}

}  // namespace
}  // namespace vexo

#if !VEXO_HAS_CODE_SHIFT_ARM
#define VEXO_CODE_SHIFT_VARIANT "plain"
#elif defined(__thumb2__)
#define VEXO_CODE_SHIFT_VARIANT "Thumb-2"
#elif defined(__thumb__)
#define VEXO_CODE_SHIFT_VARIANT "Thumb-1"
#else
#define VEXO_CODE_SHIFT_VARIANT "ARM"
#endif
#if VEXO_HAS_PIXEL_PAIR_DSP
#define VEXO_PIXEL_PAIR_VARIANT "UADD16"
#else
#define VEXO_PIXEL_PAIR_VARIANT "plain"
#endif

// Which variant of each kernel this build checks.
extern "C" const char* vexo_kernel_variants(void) {
  return "code shift " VEXO_CODE_SHIFT_VARIANT ", pixel-pair chain " VEXO_PIXEL_PAIR_VARIANT;
}

// The name of the first kernel whose variant differs from its plain version,
// or NULL.
extern "C" const char* vexo_first_kernel_mismatch(void) {
  vexo::Random random;
  if (!vexo::CodeShiftsMatch(random)) return "code shift";
  if (!vexo::PixelPairChainsMatch(random)) return "pixel-pair chain";
  return nullptr;
}
