#include "file_decoder.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>

#include "bmp_file.h"
#include "decode_clock.h"
#include "pixel_conversion.h"
#include "vexo_decoder.h"

namespace orvane {
namespace {

constexpr int32_t kLargestSide = 32767;

FileDecodeOutcome Fail(FileDecodeStatus status, std::string detail = {}) {
  return {status, std::move(detail)};
}

FileDecodeOutcome CannotRead(const std::string& path) {
  return Fail(FileDecodeStatus::kCannotOpen,
              "Cannot read " + path + ": " + std::strerror(errno ? errno : EIO));
}

// The family whose version query matches the file's version byte.
std::optional<VexoFamily> FamilyByVersionQuery(uint8_t codecVersion) {
  int32_t version = 0;
  Vexo101GetVersion(&version);
  if (static_cast<uint8_t>(version) == codecVersion) return VexoFamily::k101;
  Vexo201GetVersion(&version);
  if (static_cast<uint8_t>(version) == codecVersion) return VexoFamily::k201;
  return std::nullopt;
}

bool SidesAreDecodable(const VexoHeader& header) {
  return header.width >= 1 && header.width <= kLargestSide && header.height >= 1 &&
         header.height <= kLargestSide;
}

}  // namespace

std::string_view FailureText(FileDecodeStatus status) {
  switch (status) {
    case FileDecodeStatus::kNotVexo:
      return "This is not the VEXO file";
    case FileDecodeStatus::kWrongVersion:
      return "Incorrect Decoder Version";
    case FileDecodeStatus::kDamaged:
      return "The VEXO file is damaged";
    case FileDecodeStatus::kOutOfMemory:
      return "Not enough memory to decode this picture";
    case FileDecodeStatus::kOk:
    case FileDecodeStatus::kCannotOpen:
      break;
  }
  return {};
}

VexoFileDecoder::VexoFileDecoder() : counterFrequency_(DecodeClock::Frequency()) {}

FileDecodeOutcome VexoFileDecoder::Decode(const std::string& path) {
  errno = 0;
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    errno = EISDIR;
    return CannotRead(path);
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) return CannotRead(path);
  uint8_t start[kVexoHeaderSize] = {};
  file.read(reinterpret_cast<char*>(start), sizeof start);
  const auto startBytes = std::span<const uint8_t>(start, static_cast<size_t>(file.gcount()));
  if (!HasVexoMagic(startBytes)) return Fail(FileDecodeStatus::kNotVexo);
  const auto header = ReadVexoHeader(startBytes);
  if (!header) return Fail(FileDecodeStatus::kDamaged);
  if (!FamilyByVersionQuery(header->codecVersion)) return Fail(FileDecodeStatus::kWrongVersion);
  if (!SidesAreDecodable(*header)) return Fail(FileDecodeStatus::kDamaged);
  return DecodeFileData(path, *header);
}

FileDecodeOutcome VexoFileDecoder::DecodeFileData(const std::string& path,
                                                  const VexoHeader& header) {
  errno = 0;
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return CannotRead(path);
  const auto fileSize = static_cast<size_t>(file.tellg());
  if (!VexoFileCanHoldPicture(header, fileSize)) return Fail(FileDecodeStatus::kDamaged);

  const int32_t width = header.width;
  const int32_t height = header.height;
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<uint8_t> fileData;
  std::vector<uint16_t> image565;
  std::vector<uint8_t> imageRgb, bitmap;
  try {
    // New buffers first: a failure keeps the previous picture intact.
    fileData.resize(fileSize);
    image565.resize(pixels);
    imageRgb.resize(pixels * 3);
    bitmap.resize(BitmapRowBytes(width) * static_cast<size_t>(height));
  } catch (const std::bad_alloc&) {
    return Fail(FileDecodeStatus::kOutOfMemory);
  }
  file.seekg(0);
  file.read(reinterpret_cast<char*>(fileData.data()), static_cast<std::streamsize>(fileSize));
  if (static_cast<size_t>(file.gcount()) != fileSize) return CannotRead(path);

  const auto family = *FamilyByVersionQuery(header.codecVersion);
  const int64_t start = DecodeClock::Now();
  const VexoDecodeResult decoded = VexoDecode(family, fileData, image565);
  const int64_t end = DecodeClock::Now();
  if (decoded.status == VexoStatus::kOutOfMemory) return Fail(FileDecodeStatus::kOutOfMemory);
  if (decoded.status != VexoStatus::kOk) return Fail(FileDecodeStatus::kDamaged);

  ExpandRgb565(image565, imageRgb);
  imageByteCount_ = FlipToBitmap24(imageRgb, width, height, bitmap);
  image565_ = std::move(image565);
  bitmap_ = std::move(bitmap);
  imageWidth_ = width;
  imageHeight_ = height;
  lastDecodeTicks_ = end - start;
  decodeResult_ = decoded.result;
  statistics_ = {path,
                 static_cast<int64_t>(fileSize),
                 width,
                 height,
                 header.depthFlag,
                 header.pathFlag,
                 header.quality,
                 header.codecVersion,
                 FormatDecodeTime(lastDecodeTicks_, counterFrequency_)};
  return {};
}

std::string VexoFileDecoder::BmpPath() const {
  return BmpFileNameFor(statistics_.path);
}

std::string VexoFileDecoder::SaveBmp() const {
  return WriteBmpFile(BmpPath(), imageWidth_, imageHeight_, Bitmap());
}

}  // namespace orvane
