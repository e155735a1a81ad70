#include <vector>

#include "picture_reader.h"

namespace {

constexpr size_t kFileHeaderSize = 14;

uint32_t Le32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(ReadLe32Signed(bytes.data() + at));
}

}  // namespace

PictureOrError DecodeBmp(std::span<const uint8_t> bytes, const std::string& name) {
  const auto problem = [&](const std::string& what) { return name + ": " + what; };
  if (bytes.size() < kFileHeaderSize + 40) return problem("BMP file is too short");
  const uint32_t pixelOffset = Le32(bytes, 10);
  const uint32_t infoSize = Le32(bytes, 14);
  if (infoSize < 40) return problem("only BMP files with a 40-byte or larger header are read");
  const auto width = static_cast<int32_t>(Le32(bytes, 18));
  const auto rawHeight = static_cast<int32_t>(Le32(bytes, 22));
  const uint16_t bitsPerPixel = ReadLe16(bytes.data() + 28);
  const uint32_t compression = Le32(bytes, 30);
  // BI_RGB, or BI_BITFIELDS with the usual masks of 32-bit pictures.
  if ((bitsPerPixel != 24 && bitsPerPixel != 32) || (compression != 0 && compression != 3)) {
    return problem("only uncompressed 24- and 32-bit BMP pictures are read");
  }
  const bool topDown = rawHeight < 0;
  const int64_t height = topDown ? -static_cast<int64_t>(rawHeight) : rawHeight;
  if (width < 1 || height < 1 || width > kLargestEncodableSide + 1 ||
      height > kLargestEncodableSide + 1) {
    return problem("BMP picture size " + std::to_string(width) + " x " + std::to_string(height) +
                   " is out of range");
  }
  const size_t pixelBytes = bitsPerPixel / 8;
  const size_t rowBytes = (pixelBytes * static_cast<size_t>(width) + 3) & ~size_t{3};
  if (pixelOffset > bytes.size() || bytes.size() - pixelOffset < rowBytes * height) {
    return problem("BMP pixel data is cut short");
  }
  RgbPicture picture{width, static_cast<int32_t>(height),
                     std::vector<uint8_t>(3 * static_cast<size_t>(width) * height), true};
  for (int64_t y = 0; y < height; ++y) {
    const int64_t storedRow = topDown ? y : height - 1 - y;
    const uint8_t* source = bytes.data() + pixelOffset + storedRow * rowBytes;
    uint8_t* out = picture.rgb.data() + 3 * static_cast<size_t>(width) * y;
    for (int32_t x = 0; x < width; ++x, source += pixelBytes, out += 3) {
      out[0] = source[2];
      out[1] = source[1];
      out[2] = source[0];
    }
  }
  return picture;
}
