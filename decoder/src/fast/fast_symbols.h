// Cutting a delta block's 16 symbols out of its symbol bytes.
//
// A block of symbol width n owns 2 x n bytes that hold 16 n-bit symbols,
// most significant bit first. The bytes are loaded as big-endian words as wide
// as the processor's (64 bits, or 32 on a 32-bit processor, where 64-bit
// shifts and byte swaps are slow) and every symbol is taken with shifts and a
// mask fixed at compile time, so each width compiles to straight-line code
// with no loop and no branch.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "fast/fast_format.h"

namespace vexo {

using FastSymbols = std::array<uint32_t, kFastBlockPixels>;

// Bytes that CutSymbols may read from its argument, for every width: whole
// words over the 18 bytes of the widest block. Bytes beyond the block's own
// never change a symbol.
inline constexpr size_t kFastSymbolReadBytes = 24;

// The word the symbols are cut from: as wide as a pointer.
using FastSymbolWord = std::conditional_t<(sizeof(void*) >= 8), uint64_t, uint32_t>;
inline constexpr int kFastSymbolWordBits = static_cast<int>(8 * sizeof(FastSymbolWord));
static_assert(kFastSymbolReadBytes % sizeof(FastSymbolWord) == 0);

namespace fast_detail {

inline FastSymbolWord LoadBigEndian(const uint8_t* bytes) {
  if constexpr (sizeof(FastSymbolWord) == 8) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
    return word;
  } else {
    // Byte by byte: a load and a byte reverse where the processor has them,
    // four byte loads and no call where it has not.
    return static_cast<FastSymbolWord>(static_cast<uint32_t>(bytes[0]) << 24 |
                                       static_cast<uint32_t>(bytes[1]) << 16 |
                                       static_cast<uint32_t>(bytes[2]) << 8 | bytes[3]);
  }
}

template <int kBits, int kIndex, size_t kWords>
inline uint32_t CutSymbol(const std::array<FastSymbolWord, kWords>& words) {
  constexpr int kW = kFastSymbolWordBits;
  constexpr int kFirstBit = kIndex * kBits;
  constexpr int kWord = kFirstBit / kW;
  constexpr int kOffset = kFirstBit % kW;
  constexpr uint32_t kMask = (1u << kBits) - 1;
  if constexpr (kOffset + kBits <= kW) {
    return static_cast<uint32_t>(words[kWord] >> (kW - kOffset - kBits)) & kMask;
  } else {
    // The symbol straddles two words: its low bits start the next one.
    constexpr int kLowBits = kOffset + kBits - kW;
    return static_cast<uint32_t>((words[kWord] << kLowBits) |
                                 (words[kWord + 1] >> (kW - kLowBits))) &
           kMask;
  }
}

template <int kBits, size_t kWords, int... kIndex>
inline FastSymbols CutEverySymbol(const std::array<FastSymbolWord, kWords>& words,
                                  std::integer_sequence<int, kIndex...>) {
  return FastSymbols{CutSymbol<kBits, kIndex>(words)...};
}

}  // namespace fast_detail

// The 16 symbols of width kBits (1..9) that start at `bytes`, symbol 0 first.
// kFastSymbolReadBytes bytes from `bytes` on must be readable.
template <int kBits>
inline FastSymbols CutSymbols(const uint8_t* bytes) {
  static_assert(kBits >= 1 && kBits <= kFastMaxSymbolBits);
  constexpr size_t kWordBytes = sizeof(FastSymbolWord);
  constexpr size_t kWords = (2 * kBits + kWordBytes - 1) / kWordBytes;
  std::array<FastSymbolWord, kWords> words;
  for (size_t w = 0; w < kWords; ++w) words[w] = fast_detail::LoadBigEndian(bytes + kWordBytes * w);
  return fast_detail::CutEverySymbol<kBits>(words,
                                            std::make_integer_sequence<int, kFastBlockPixels>{});
}

}  // namespace vexo
