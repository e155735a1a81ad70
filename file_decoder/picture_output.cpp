#include "picture_output.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <vector>

#include "bmp_file.h"
#include "file_io/whole_file.h"
#include "pixel_conversion.h"
#include "ppm_file.h"

namespace vexo {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::vector<uint8_t> Concatenate(std::span<const uint8_t> head, std::span<const uint8_t> body) {
  std::vector<uint8_t> bytes;
  bytes.reserve(head.size() + body.size());
  bytes.insert(bytes.end(), head.begin(), head.end());
  bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

std::span<const uint8_t> BytesOf(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Straight from the decoder's pixels into the file's bytes, behind the header.
Result<std::vector<uint8_t>> EncodeBmp(int32_t width, int32_t height,
                                       std::span<const uint16_t> image565) {
  const size_t imageBytes = BitmapRowBytes(width) * static_cast<size_t>(height);
  const auto header = MakeBmpHeader(width, height, static_cast<uint32_t>(imageBytes));
  std::vector<uint8_t> bytes(header.size() + imageBytes);
  std::copy(header.begin(), header.end(), bytes.begin());
  Rgb565ToBitmap24(image565, width, height, std::span(bytes).subspan(header.size()));
  return bytes;
}

// Rows top to bottom, each pixel's two bytes in the order asked for.
std::vector<uint8_t> EncodeRaw(std::span<const uint16_t> image565, PixelByteOrder order) {
  const size_t high = order == PixelByteOrder::kLittle ? 1 : 0;
  std::vector<uint8_t> bytes(image565.size() * 2);
  for (size_t i = 0; i < image565.size(); ++i) {
    bytes[2 * i + high] = static_cast<uint8_t>(image565[i] >> 8);
    bytes[2 * i + 1 - high] = static_cast<uint8_t>(image565[i]);
  }
  return bytes;
}

Result<std::vector<uint8_t>> EncodeFromRgb(OutputFormat format, int32_t width, int32_t height,
                                           std::span<const uint8_t> rgb) {
  switch (format) {
    case OutputFormat::kPng:
      return EncodePng(width, height, rgb);
    case OutputFormat::kPpm:
      return Concatenate(BytesOf(PpmHeader(width, height)), rgb);
    case OutputFormat::kBmp:
    case OutputFormat::kRaw:
      break;  // written from the 5-6-5 pixels
  }
  return Error{ErrorCode::kInvalidRequest, "unknown output format"};
}

}  // namespace

std::optional<OutputFormat> OutputFormatNamed(std::string_view name) {
  for (const auto format :
       {OutputFormat::kBmp, OutputFormat::kPng, OutputFormat::kPpm, OutputFormat::kRaw}) {
    if (SameIgnoringCase(name, OutputFormatExtension(format).substr(1))) return format;
  }
  return std::nullopt;
}

std::optional<OutputFormat> OutputFormatOfPath(std::string_view path) {
  const size_t dot = path.find_last_of("./");
  if (dot == std::string_view::npos || path[dot] != '.') return std::nullopt;
  return OutputFormatNamed(path.substr(dot + 1));
}

std::string_view OutputFormatExtension(OutputFormat format) {
  switch (format) {
    case OutputFormat::kBmp:
      return ".bmp";
    case OutputFormat::kPng:
      return ".png";
    case OutputFormat::kPpm:
      return ".ppm";
    case OutputFormat::kRaw:
      return ".raw";
  }
  return {};
}

Result<std::vector<uint8_t>> EncodeOutputFile(OutputFormat format, int32_t width, int32_t height,
                                              std::span<const uint16_t> image565,
                                              PixelByteOrder order) {
  if (width < 1 || height < 1 ||
      image565.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return Error{ErrorCode::kInvalidRequest, "the pixels do not match the picture's size"};
  }
  try {
    if (format == OutputFormat::kBmp) return EncodeBmp(width, height, image565);
    if (format == OutputFormat::kRaw) return EncodeRaw(image565, order);
    std::vector<uint8_t> rgb(image565.size() * 3);
    ExpandRgb565(image565, rgb);
    return EncodeFromRgb(format, width, height, rgb);
  } catch (const std::bad_alloc&) {
    return Error{ErrorCode::kOutOfMemory, "not enough memory to write this picture"};
  }
}

Result<void> WriteOutputFile(const std::string& path, OutputFormat format, int32_t width,
                             int32_t height, std::span<const uint16_t> image565,
                             PixelByteOrder order) {
  const Result<std::vector<uint8_t>> bytes =
      EncodeOutputFile(format, width, height, image565, order);
  if (!bytes)
    return Error{bytes.error().code, "Cannot write " + path + ": " + bytes.error().message};
  return file_io::WriteWholeFile(path, *bytes);
}

}  // namespace vexo
