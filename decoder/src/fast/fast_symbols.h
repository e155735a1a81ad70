// Cutting a delta block's 16 symbols out of its symbol bytes.
//
// A block of symbol width n owns 2 x n bytes that hold 16 n-bit symbols,
// most significant bit first. FastSymbolCutter takes them one at a time, in
// order, from a window register into which it shifts the bytes as the
// symbols reach them: one byte at a time on a 32-bit processor (a byte load
// and an OR each), four at a time where the window is 64 bits wide. Which
// bytes come in before which symbol, and the shift of each symbol, are fixed
// at compile time, so every width compiles to straight-line code with no
// loop and no branch, and no symbol waits in memory.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "fast/fast_format.h"
#include "fast/fast_kernels.h"

namespace vexo {

using FastSymbols = std::array<uint32_t, kFastBlockPixels>;

// The window the symbols are cut from: as wide as a pointer.
using FastSymbolWord = std::conditional_t<(sizeof(void*) >= 8), uint64_t, uint32_t>;

// Bytes a cutter shifts into its window at a time.
inline constexpr int kFastSymbolChunkBytes = sizeof(FastSymbolWord) >= 8 ? 4 : 1;

// Bytes that a cutter reads from its start for symbol width `bits`: the
// block's own 2 x bits, rounded up to whole chunks. Bytes beyond the
// block's own never change a symbol.
inline constexpr size_t FastSymbolBytesRead(int bits) {
  constexpr size_t kChunk = kFastSymbolChunkBytes;
  return (2 * static_cast<size_t>(bits) + kChunk - 1) / kChunk * kChunk;
}

// Bytes that a cutter may read from its start, for every width.
inline constexpr size_t kFastSymbolReadBytes = FastSymbolBytesRead(kFastMaxSymbolBits);

template <int kBits>
class FastSymbolCutter {
  static_assert(kBits >= 1 && kBits <= kFastMaxSymbolBits);
  static constexpr int kChunkBytes = kFastSymbolChunkBytes;
  static constexpr int kChunkBits = 8 * kChunkBytes;
  // Chunks in the window once symbol kIndex is all in it.
  static constexpr int ChunksFor(int index) {
    return ((index + 1) * kBits + kChunkBits - 1) / kChunkBits;
  }
  static_assert(kBits + kChunkBits - 1 <= 8 * static_cast<int>(sizeof(FastSymbolWord)),
                "a symbol's bits are still in the window when it is cut");
  static_assert(static_cast<size_t>(ChunksFor(kFastBlockPixels - 1) * kChunkBytes) ==
                FastSymbolBytesRead(kBits));

 public:
  // FastSymbolBytesRead(kBits) bytes from `bytes` on must be readable.
  explicit FastSymbolCutter(const uint8_t* bytes) : bytes_(bytes) {
    if constexpr (kFastSymbolMaskInRegister) __asm__("" : "+r"(mask_));
  }

  // Symbol kIndex; the symbols are cut in order, from 0 to 15.
  template <int kIndex>
  uint32_t Cut() {
    static_assert(kIndex >= 0 && kIndex < kFastBlockPixels);
    constexpr int kBefore = kIndex == 0 ? 0 : ChunksFor(kIndex - 1);
    constexpr int kAfter = ChunksFor(kIndex);
    if constexpr (kAfter > kBefore) window_ = window_ << kChunkBits | LoadChunk(kBefore);
    if constexpr (kAfter > kBefore + 1) window_ = window_ << kChunkBits | LoadChunk(kBefore + 1);
    static_assert(kAfter <= kBefore + 2);
    constexpr int kShift = kAfter * kChunkBits - (kIndex + 1) * kBits;
    return static_cast<uint32_t>(window_ >> kShift) & mask_;
  }

 private:
  FastSymbolWord LoadChunk(int chunk) const {
    const uint8_t* at = bytes_ + chunk * kChunkBytes;
    if constexpr (kChunkBytes == 1) {
      return at[0];
    } else {
      uint32_t word;
      std::memcpy(&word, at, sizeof word);
      if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap32(word);
      return word;
    }
  }

  const uint8_t* bytes_;
  FastSymbolWord window_ = 0;
  uint32_t mask_ = (1u << kBits) - 1;
};

namespace fast_detail {

template <int kBits, int... kIndex>
inline FastSymbols CutEverySymbol(const uint8_t* bytes, std::integer_sequence<int, kIndex...>) {
  FastSymbolCutter<kBits> cutter(bytes);
  FastSymbols symbols{};
  ((symbols[kIndex] = cutter.template Cut<kIndex>()), ...);
  return symbols;
}

}  // namespace fast_detail

// The 16 symbols of width kBits (1..9) that start at `bytes`, symbol 0 first.
// FastSymbolBytesRead(kBits) bytes from `bytes` on must be readable.
template <int kBits>
inline FastSymbols CutSymbols(const uint8_t* bytes) {
  return fast_detail::CutEverySymbol<kBits>(bytes,
                                            std::make_integer_sequence<int, kFastBlockPixels>{});
}

}  // namespace vexo
