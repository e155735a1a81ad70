// The block operations of the fast path: how one 4 x 4 block rebuilds its
// pixels from the raw-pixel stream, the symbol stream and the pixels around
// it. Each is a template over the streams' reader (checked or unchecked), the
// delta operations also over the symbol width and the direction, so every
// combination compiles to its own straight-line routine.
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
  uint16_t* pixels;         // the block's top-left pixel in the picture
  ptrdiff_t stride;         // pixels from one picture row's start to the next
  const uint16_t* above;    // the four pixels above the block; zeros above the picture
  uint16_t leftOfFirstRow;  // the pixel left of row 0; zero before the picture
  // From a block row's first pixel to the pixel left of it: -1, or in the
  // first block column the end of the picture row above.
  ptrdiff_t leftOffset;
};

namespace fast_detail {

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
inline uint16_t ChainStart(const FastBlockPlace& place, int chain) {
  if constexpr (kVertical) {
    return place.above[chain];
  } else {
    return chain == 0 ? place.leftOfFirstRow
                      : place.pixels[chain * place.stride + place.leftOffset];
  }
}

}  // namespace fast_detail

// Mode 0, either direction: 16 raw pixels, row by row.
template <class Streams>
inline void FastModeRaw(Streams& streams, const FastBlockPlace& place, const FastSymbolDeltas&) {
  for (int r = 0; r < kFastBlockSize; ++r) {
    uint16_t* row = place.pixels + r * place.stride;
    row[0] = streams.NextRaw();
    row[1] = streams.NextRaw();
    row[2] = streams.NextRaw();
    row[3] = streams.NextRaw();
  }
}

// Modes 1 to 9: 16 symbols of kBits bits; symbol 0 takes a raw pixel, any
// other adds its delta to the chain's predecessor.
template <int kBits, bool kVertical, class Streams>
inline void FastModeDelta(Streams& streams, const FastBlockPlace& place,
                          const FastSymbolDeltas& deltas) {
  const FastSymbols symbols = CutSymbols<kBits>(streams.SymbolBytes(2 * kBits));
  const ptrdiff_t step = fast_detail::ChainStep<kVertical>(place);
  for (int chain = 0; chain < kFastBlockSize; ++chain) {
    uint16_t* pixel = fast_detail::ChainPixels<kVertical>(place, chain);
    const uint32_t* chainSymbols = symbols.data() + kFastBlockSize * chain;
    uint16_t value = fast_detail::ChainStart<kVertical>(place, chain);
    pixel[0] = value = streams.DeltaPixel(chainSymbols[0], value, deltas);
    pixel[step] = value = streams.DeltaPixel(chainSymbols[1], value, deltas);
    pixel[2 * step] = value = streams.DeltaPixel(chainSymbols[2], value, deltas);
    pixel[3 * step] = streams.DeltaPixel(chainSymbols[3], value, deltas);
  }
}

// Mode 10: every chain repeats its starting pixel. Reads no stream.
template <bool kVertical, class Streams>
inline void FastModeFill(Streams&, const FastBlockPlace& place, const FastSymbolDeltas&) {
  const ptrdiff_t step = fast_detail::ChainStep<kVertical>(place);
  for (int chain = 0; chain < kFastBlockSize; ++chain) {
    uint16_t* pixel = fast_detail::ChainPixels<kVertical>(place, chain);
    const uint16_t value = fast_detail::ChainStart<kVertical>(place, chain);
    pixel[0] = pixel[step] = pixel[2 * step] = pixel[3 * step] = value;
  }
}

}  // namespace vexo
