#include "file_decoder.h"

#include <new>

#include "bmp_file.h"
#include "decode_clock.h"
#include "file_io/input_file.h"
#include "pixel_conversion.h"
#include "vexo_classic.h"
#include "vexo_decoder.h"

namespace vexo {
namespace {

FileDecodeOutcome Fail(FileDecodeStatus status, std::string detail = {}) {
  return {status, std::move(detail)};
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

// Sizes a reused buffer. One that must grow is released first, so that the
// old and the new block never live at once.
template <class T>
void ResizeReused(std::vector<T>& buffer, size_t size) {
  if (buffer.capacity() < size) std::vector<T>().swap(buffer);
  buffer.resize(size);
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

FileDecoder::FileDecoder() : counterFrequency_(DecodeClock::Frequency()) {}

FileDecodeOutcome FileDecoder::Decode(const std::string& path) {
  try {
    return ReadAndDecode(path);
  } catch (const std::bad_alloc&) {
    return Fail(FileDecodeStatus::kOutOfMemory);
  }
}

FileDecodeOutcome FileDecoder::DecodeBytes(const std::string& path, std::span<const uint8_t> file) {
  try {
    if (FileDecodeOutcome checked = CheckHeader(file); checked.status != FileDecodeStatus::kOk) {
      return checked;
    }
    return DecodeFileData(path, *ReadVexoHeader(file), file);
  } catch (const std::bad_alloc&) {
    return Fail(FileDecodeStatus::kOutOfMemory);
  }
}

// The header is read and checked before the rest, so that neither a file
// that is no VEXO file nor an impossible picture is read whole.
FileDecodeOutcome FileDecoder::ReadAndDecode(const std::string& path) {
  file_io::InputFile input;
  if (const Result<void> step = input.Open(path); !step) {
    return Fail(FileDecodeStatus::kCannotOpen, step.error().message);
  }
  std::vector<uint8_t> file;
  if (const Result<void> step = input.Read(file, kVexoHeaderSize); !step) {
    return Fail(FileDecodeStatus::kCannotOpen, step.error().message);
  }
  if (FileDecodeOutcome checked = CheckHeader(file); checked.status != FileDecodeStatus::kOk) {
    return checked;
  }
  if (const Result<void> step = input.ReadRest(file, kLargestVexoFile); !step) {
    return Fail(FileDecodeStatus::kCannotOpen, step.error().message);
  }
  return DecodeFileData(path, *ReadVexoHeader(file), file);
}

FileDecodeOutcome CheckHeader(std::span<const uint8_t> file) {
  if (!HasVexoMagic(file)) return Fail(FileDecodeStatus::kNotVexo);
  const auto header = ReadVexoHeader(file);
  if (!header) return Fail(FileDecodeStatus::kDamaged);
  if (!FamilyByVersionQuery(header->codecVersion)) {
    return Fail(FileDecodeStatus::kWrongVersion,
                "the file has version " + std::to_string(header->codecVersion) +
                    "; this decoder knows " + std::to_string(kVexoFamily101Version) + " and " +
                    std::to_string(kVexoFamily201Version));
  }
  if (!VexoSidesInRange(*header)) return Fail(FileDecodeStatus::kDamaged);
  return {};
}

FileDecodeStatus VerdictOf(VexoStatus status) {
  if (status == VexoStatus::kOk) return FileDecodeStatus::kOk;
  return FileDecodeStatus::kDamaged;
}

FileDecodeOutcome FileDecoder::DecodeFileData(const std::string& path, const VexoHeader& header,
                                              std::span<const uint8_t> fileData) {
  const size_t fileSize = fileData.size();
  if (!VexoFileCanHoldPicture(header, fileSize)) return Fail(FileDecodeStatus::kDamaged);

  const int32_t width = header.width;
  const int32_t height = header.height;
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  // Separate buffers first: a failure keeps the previous picture intact.
  // Every path writes each pixel, so the reused buffers need no clearing.
  std::vector<uint16_t>& image565 = nextImage565_;
  std::vector<uint8_t>& bitmap = nextBitmap_;
  ResizeReused(image565, pixels);
  ResizeReused(bitmap, BitmapRowBytes(width) * static_cast<size_t>(height));

  const auto family = *FamilyByVersionQuery(header.codecVersion);
  const int64_t start = DecodeClock::Now();
  const VexoDecodeResult decoded = context_.Decode(family, fileData, image565);
  const int64_t end = DecodeClock::Now();
  if (decoded.status != VexoStatus::kOk) {
    // A damaged file keeps nothing of its size alive.
    std::vector<uint16_t>().swap(nextImage565_);
    std::vector<uint8_t>().swap(nextBitmap_);
    return Fail(VerdictOf(decoded.status));
  }

  const size_t imageByteCount = Rgb565ToBitmap24(image565, width, height, bitmap);
  DecodeStatistics statistics{path,
                              static_cast<int64_t>(fileSize),
                              width,
                              height,
                              header.depthFlag,
                              header.pathFlag,
                              header.quality,
                              header.codecVersion,
                              FormatDecodeTime(end - start, counterFrequency_)};
  // Nothing below allocates: the previous picture stays whole until here.
  imageByteCount_ = imageByteCount;
  image565_.swap(image565);
  bitmap_.swap(bitmap);
  imageWidth_ = width;
  imageHeight_ = height;
  lastDecodeTicks_ = end - start;
  decodeResult_ = decoded.result;
  statistics_ = std::move(statistics);
  return {};
}

std::string FileDecoder::BmpPath() const {
  return BmpFileNameFor(statistics_.path);
}

Result<void> FileDecoder::SaveBmp() const {
  return WriteBmpFile(BmpPath(), imageWidth_, imageHeight_, Bitmap());
}

}  // namespace vexo
