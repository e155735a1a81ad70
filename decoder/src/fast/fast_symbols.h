// Cutting a delta block's 16 symbols out of its symbol bytes.
//
// A block of symbol width n owns 2 x n bytes that hold 16 n-bit symbols,
// most significant bit first. The bytes are loaded as big-endian 64-bit words
// and every symbol is taken with shifts and a mask fixed at compile time, so
// each width compiles to straight-line code with no loop and no branch.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "fast/fast_format.h"

namespace vexo {

using FastSymbols = std::array<uint32_t, kFastBlockPixels>;

// Bytes that CutSymbols may read from its argument, for every width: whole
// 64-bit words over the 18 bytes of the widest block. Bytes beyond the
// block's own never change a symbol.
inline constexpr size_t kFastSymbolReadBytes = 24;

namespace fast_detail {

inline uint64_t LoadBigEndian64(const uint8_t* bytes) {
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
  return word;
}

template <int kBits, int kIndex, size_t kWords>
inline uint32_t CutSymbol(const std::array<uint64_t, kWords>& words) {
  constexpr int kFirstBit = kIndex * kBits;
  constexpr int kWord = kFirstBit / 64;
  constexpr int kOffset = kFirstBit % 64;
  constexpr uint32_t kMask = (1u << kBits) - 1;
  if constexpr (kOffset + kBits <= 64) {
    return static_cast<uint32_t>(words[kWord] >> (64 - kOffset - kBits)) & kMask;
  } else {
    // The symbol straddles two words: its low bits start the next one.
    constexpr int kLowBits = kOffset + kBits - 64;
    return static_cast<uint32_t>((words[kWord] << kLowBits) |
                                 (words[kWord + 1] >> (64 - kLowBits))) &
           kMask;
  }
}

template <int kBits, size_t kWords, int... kIndex>
inline FastSymbols CutEverySymbol(const std::array<uint64_t, kWords>& words,
                                  std::integer_sequence<int, kIndex...>) {
  return FastSymbols{CutSymbol<kBits, kIndex>(words)...};
}

}  // namespace fast_detail

// The 16 symbols of width kBits (1..9) that start at `bytes`, symbol 0 first.
// kFastSymbolReadBytes bytes from `bytes` on must be readable.
template <int kBits>
inline FastSymbols CutSymbols(const uint8_t* bytes) {
  static_assert(kBits >= 1 && kBits <= kFastMaxSymbolBits);
  constexpr size_t kWords = (2 * kBits + 7) / 8;
  std::array<uint64_t, kWords> words;
  for (size_t w = 0; w < kWords; ++w) words[w] = fast_detail::LoadBigEndian64(bytes + 8 * w);
  return fast_detail::CutEverySymbol<kBits>(words,
                                            std::make_integer_sequence<int, kFastBlockPixels>{});
}

}  // namespace vexo
