#include <array>
#include <bit>
#include <optional>
#include <vector>

#include "common/little_endian.h"
#include "picture_reader.h"
#include "size_problem.h"

namespace vexo {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
// The red, green and blue masks follow a 40-byte information header, or
// stand at the same place inside a larger one.
constexpr size_t kMasksOffset = kFileHeaderSize + 40;

uint32_t Le32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(vexo::ReadLe32Signed(bytes.data() + at));
}

// Where one colour lies in a 32-bit pixel: a run of set bits.
struct ChannelMask {
  uint32_t mask = 0;
  int shift = 0;
  int width = 0;

  static std::optional<ChannelMask> From(uint32_t mask) {
    if (mask == 0) return std::nullopt;
    const int shift = std::countr_zero(mask);
    const int width = std::countr_one(mask >> shift);
    // Set bits above the run: the colour is not one run of bits.
    if (width < 32 - shift && (mask >> shift >> width) != 0) return std::nullopt;
    return ChannelMask{mask, shift, width};
  }

  // The colour scaled to 8 bits.
  uint8_t Extract(uint32_t pixel) const {
    const uint32_t value = (pixel & mask) >> shift;
    if (width >= 8) return static_cast<uint8_t>(value >> (width - 8));
    const uint32_t top = (uint32_t{1} << width) - 1;
    return static_cast<uint8_t>((value * 255 + top / 2) / top);
  }
};

using Masks = std::array<ChannelMask, 3>;

// The red, green and blue masks of a BI_BITFIELDS file, or nothing when they
// are missing or are not each one run of bits.
std::optional<Masks> ReadMasks(std::span<const uint8_t> bytes) {
  if (bytes.size() < kMasksOffset + 12) return std::nullopt;
  Masks masks;
  for (size_t c = 0; c < 3; ++c) {
    const auto mask = ChannelMask::From(Le32(bytes, kMasksOffset + 4 * c));
    if (!mask) return std::nullopt;
    masks[c] = *mask;
  }
  return masks;
}

// Masks that give the blue, green, red, unused byte order of BI_RGB.
constexpr Masks kRgbMasks = {ChannelMask{0x00FF0000, 16, 8}, ChannelMask{0x0000FF00, 8, 8},
                             ChannelMask{0x000000FF, 0, 8}};

}  // namespace

Result<RgbPicture> DecodeBmp(std::span<const uint8_t> bytes, const std::string& name) {
  const auto problem = [&](ErrorCode code, const std::string& what) {
    return Error{code, name + ": " + what};
  };
  if (bytes.size() < kFileHeaderSize + 40) {
    return problem(ErrorCode::kDamaged, "BMP file is too short");
  }
  const uint32_t pixelOffset = Le32(bytes, 10);
  const uint32_t infoSize = Le32(bytes, 14);
  if (infoSize < 40) {
    return problem(ErrorCode::kUnsupported,
                   "only BMP files with a 40-byte or larger header are read");
  }
  const auto width = static_cast<int32_t>(Le32(bytes, 18));
  const auto rawHeight = static_cast<int32_t>(Le32(bytes, 22));
  const uint16_t bitsPerPixel = vexo::ReadLe16(bytes.data() + 28);
  const uint32_t compression = Le32(bytes, 30);
  if ((bitsPerPixel != 24 && bitsPerPixel != 32) ||
      (compression != kBiRgb && !(compression == kBiBitfields && bitsPerPixel == 32))) {
    return problem(ErrorCode::kUnsupported,
                   "only uncompressed 24- and 32-bit BMP pictures are read");
  }
  Masks masks = kRgbMasks;
  if (compression == kBiBitfields) {
    const auto read = ReadMasks(bytes);
    if (!read) {
      return problem(ErrorCode::kUnsupported,
                     "BMP colour masks are missing or not one run of bits each");
    }
    masks = *read;
  }
  const bool topDown = rawHeight < 0;
  const int64_t height = topDown ? -static_cast<int64_t>(rawHeight) : rawHeight;
  if (width < 1 || height < 1 || width > kVexoLargestSide + 1 || height > kVexoLargestSide + 1) {
    return problem(SizeProblem(width, height), "BMP picture size " + std::to_string(width) + " x " +
                                                   std::to_string(height) + " is out of range");
  }
  const size_t pixelBytes = bitsPerPixel / 8;
  const size_t rowBytes = (pixelBytes * static_cast<size_t>(width) + 3) & ~size_t{3};
  if (pixelOffset > bytes.size() || bytes.size() - pixelOffset < rowBytes * height) {
    return problem(ErrorCode::kDamaged, "BMP pixel data is cut short");
  }
  RgbPicture picture{width, static_cast<int32_t>(height),
                     std::vector<uint8_t>(3 * static_cast<size_t>(width) * height), true};
  for (int64_t y = 0; y < height; ++y) {
    const int64_t storedRow = topDown ? y : height - 1 - y;
    const uint8_t* source = bytes.data() + pixelOffset + storedRow * rowBytes;
    uint8_t* out = picture.rgb.data() + 3 * static_cast<size_t>(width) * y;
    for (int32_t x = 0; x < width; ++x, source += pixelBytes, out += 3) {
      if (pixelBytes == 3) {
        out[0] = source[2];
        out[1] = source[1];
        out[2] = source[0];
        continue;
      }
      const auto pixel = static_cast<uint32_t>(vexo::ReadLe32Signed(source));
      for (size_t c = 0; c < 3; ++c) out[c] = masks[c].Extract(pixel);
    }
  }
  return picture;
}

}  // namespace vexo
