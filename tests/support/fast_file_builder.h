// Test-side writer of fast-path files. Block codes, symbols and raw pixels are
// collected stream by stream, then laid out behind the header in a chosen
// order, with filler bytes between the streams if wanted.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bit_writer.h"

namespace vexo::testing {

// A family-201 header that selects the fast path.
HeaderFields FastHeader(uint16_t width, uint16_t height, uint8_t quality = 0, uint8_t pathFlag = 1);

// Where the symbol and raw-pixel streams go; the block codes always start at
// offset 20. Filler bytes are non-zero, so reading them by mistake shows.
struct FastLayout {
  bool rawFirst = false;     // the raw-pixel stream before the symbol stream
  size_t gapAfterCodes = 0;  // filler bytes after the block-code stream
  size_t gapBetween = 0;     // filler bytes between the other two streams
};

class FastFileBuilder {
 public:
  // One block code; modes 11 to 15 are allowed too.
  FastFileBuilder& Code(bool vertical, int mode);
  // A block's 16 symbols of `bits` bits each, packed into the symbol stream.
  FastFileBuilder& Symbols(int bits, const std::array<uint32_t, 16>& symbols);
  FastFileBuilder& SymbolBytes(const std::vector<uint8_t>& bytes);
  FastFileBuilder& Raw(const std::vector<uint16_t>& pixels);

  std::vector<uint8_t> Build(const HeaderFields& fields, const FastLayout& layout = {}) const;

 private:
  BitWriter codes_;
  std::vector<uint8_t> symbols_;
  std::vector<uint16_t> raw_;
};

// A picture of random blocks in a plausible mix: mostly delta blocks of
// narrow symbols, some fills, a few raw blocks and raw escapes.
struct FastPictureRecipe {
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t quality = 0;
  uint32_t seed = 1;
  bool undefinedModes = false;  // sprinkle block codes of modes 11 to 15
  FastLayout layout;
};

std::vector<uint8_t> MakeFastPicture(const FastPictureRecipe& recipe);

}  // namespace vexo::testing
