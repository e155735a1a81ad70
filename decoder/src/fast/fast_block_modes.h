// The block operations of the fast path's block loop: how one 4 x 4 block in
// its regular place rebuilds its pixels from the raw-pixel stream, the symbol
// stream and the pixels around it. The delta operations are templates over
// the symbol width and the direction, so every combination compiles to its
// own straight-line routine, in which a pixel costs a symbol cut, a test for
// raw, a table load, an addition and a store.
//
// A delta or fill block works along four chains of four pixels: the columns
// of the block (vertical) or its rows (horizontal). Chain i is governed by
// symbols 4i to 4i + 3 in both directions, and starts from the pixel just
// outside the block: above its column, or left of its row.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fast/fast_delta_table.h"
#include "fast/fast_symbols.h"

namespace vexo {

struct FastBlockPlace {
  uint16_t* pixels;       // the block's top-left pixel in the picture
  ptrdiff_t stride;       // pixels from one picture row's start to the next
  const uint16_t* above;  // the four pixels above the block; zeros above the picture
  // The pixel left of the block's row 0 (the left of row r is `stride` x r
  // further on): the one before the block, or in the first block column the
  // end of the picture row above. Never used for the picture's first block,
  // left of which there is no pixel.
  const uint16_t* left;
};

namespace fast_detail {

// Makes the compiler take `value` as it is in its register. On a 32-bit
// processor this keeps the 16-bit pixel arithmetic in whole registers (else
// the compiler narrows it and zero-extends every pixel) and the rare raw
// pixel on a branch of its own (else it computes both outcomes under
// conditions, each instruction counted). It emits nothing.
template <class T>
inline void KeepInRegister(T& value) {
  if constexpr (sizeof(void*) < 8) __asm__("" : "+r"(value));
}

template <bool kVertical>
inline uint16_t* ChainPixels(const FastBlockPlace& place, int chain) {
  return place.pixels + (kVertical ? chain : chain * place.stride);
}

template <bool kVertical>
inline ptrdiff_t ChainStep(const FastBlockPlace& place) {
  return kVertical ? place.stride : 1;
}

// Read when the chain begins, not before: in a picture one block wide, the
// start of a row is the last pixel of the block's own row above.
template <bool kVertical>
inline uint32_t ChainStart(const FastBlockPlace& place, int chain) {
  if constexpr (kVertical) {
    return place.above[chain];
  } else {
    return place.left[chain * place.stride];
  }
}

// The pixel of a kBits-bit `symbol` after `predecessor`, in the low 16 bits;
// the bits above them are left as the addition makes them. A 1-bit symbol
// other than 0 is 1, a copy at every scale, so it needs no table.
template <int kBits, class Streams>
[[gnu::always_inline]] inline uint32_t NextPixel(Streams& streams, uint32_t symbol,
                                                 uint32_t predecessor,
                                                 const FastSymbolDeltas& deltas) {
  static_assert(FastDeltaTable[0] == 0, "symbol 1 copies its predecessor");
  uint32_t value;
  if (symbol == 0) [[unlikely]] {
    value = streams.NextRaw();
    KeepInRegister(value);
  } else if constexpr (kBits == 1) {
    value = predecessor;
  } else {
    value = predecessor + deltas[symbol];
  }
  KeepInRegister(value);
  return value;
}

// Chain kChain of a delta block, governed by symbols 4 x kChain to
// 4 x kChain + 3. Only the low 16 bits of the value are stored.
template <int kChain, bool kVertical, int kBits, class Streams>
[[gnu::always_inline]] inline void DeltaChain(Streams& streams, FastSymbolCutter<kBits>& cutter,
                                              const FastBlockPlace& place,
                                              const FastSymbolDeltas& deltas) {
  constexpr int kFirst = kFastBlockSize * kChain;
  uint16_t* pixel = ChainPixels<kVertical>(place, kChain);
  const ptrdiff_t step = ChainStep<kVertical>(place);
  uint32_t value = ChainStart<kVertical>(place, kChain);
  value = NextPixel<kBits>(streams, cutter.template Cut<kFirst>(), value, deltas);
  pixel[0] = static_cast<uint16_t>(value);
  value = NextPixel<kBits>(streams, cutter.template Cut<kFirst + 1>(), value, deltas);
  pixel[step] = static_cast<uint16_t>(value);
  value = NextPixel<kBits>(streams, cutter.template Cut<kFirst + 2>(), value, deltas);
  pixel[2 * step] = static_cast<uint16_t>(value);
  value = NextPixel<kBits>(streams, cutter.template Cut<kFirst + 3>(), value, deltas);
  pixel[3 * step] = static_cast<uint16_t>(value);
}

}  // namespace fast_detail

// Mode 0, either direction: 16 raw pixels, row by row.
template <class Streams>
[[gnu::always_inline]] inline void FastModeRaw(Streams& streams, const FastBlockPlace& place) {
  for (int r = 0; r < kFastBlockSize; ++r) {
    uint16_t* row = place.pixels + r * place.stride;
    row[0] = static_cast<uint16_t>(streams.NextRaw());
    row[1] = static_cast<uint16_t>(streams.NextRaw());
    row[2] = static_cast<uint16_t>(streams.NextRaw());
    row[3] = static_cast<uint16_t>(streams.NextRaw());
  }
}

// Modes 1 to 9: 16 symbols of kBits bits; symbol 0 takes a raw pixel, any
// other adds its delta to the chain's predecessor. Each symbol is cut just
// before its pixel, so the block runs in registers from its first symbol
// byte to its last store.
template <int kBits, bool kVertical, class Streams>
[[gnu::always_inline]] inline void FastModeDelta(Streams& streams, const FastBlockPlace& place,
                                                 const FastSymbolDeltas& deltas) {
  FastSymbolCutter<kBits> cutter(streams.SymbolBytes(2 * kBits));
  fast_detail::DeltaChain<0, kVertical>(streams, cutter, place, deltas);
  fast_detail::DeltaChain<1, kVertical>(streams, cutter, place, deltas);
  fast_detail::DeltaChain<2, kVertical>(streams, cutter, place, deltas);
  fast_detail::DeltaChain<3, kVertical>(streams, cutter, place, deltas);
}

// Mode 10: every chain repeats its starting pixel. Reads no stream.
template <bool kVertical>
[[gnu::always_inline]] inline void FastModeFill(const FastBlockPlace& place) {
  const ptrdiff_t step = fast_detail::ChainStep<kVertical>(place);
  for (int chain = 0; chain < kFastBlockSize; ++chain) {
    uint16_t* pixel = fast_detail::ChainPixels<kVertical>(place, chain);
    const auto value = static_cast<uint16_t>(fast_detail::ChainStart<kVertical>(place, chain));
    pixel[0] = pixel[step] = pixel[2 * step] = pixel[3 * step] = value;
  }
}

}  // namespace vexo
