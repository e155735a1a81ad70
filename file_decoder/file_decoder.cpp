#include "file_decoder.h"

#include <filesystem>
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

// A side as the decoders read it, signed: 65535 is -1.
std::string SideProblem(const char* side, int32_t value) {
  return "the " + std::string(side) + ", " + std::to_string(value) + ", is not from 1 to " +
         std::to_string(kVexoLargestSide);
}

// What a failed library decode of this file found.
std::string ProblemOf(VexoStatus status, const VexoHeader& header) {
  switch (status) {
    case VexoStatus::kTruncated:
      return "the file is truncated";
    case VexoStatus::kMalformed:
      // The only value a whole decode into a picture of the header's size
      // can find outside the format.
      return "the transform quality, " + std::to_string(header.quality) + ", is above 51";
    default:
      return {};
  }
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

std::string FailureReport(const std::string& path, const FileDecodeOutcome& outcome) {
  if (outcome.status == FileDecodeStatus::kCannotOpen) return outcome.detail;
  const std::string name = std::filesystem::path(path).filename().string();
  const std::string problem =
      outcome.detail.empty() ? std::string(FailureText(outcome.status)) : outcome.detail;
  return name + ": " + problem;
}

std::string FailureMessage(const std::string& path, const FileDecodeOutcome& outcome) {
  const std::string_view text = FailureText(outcome.status);
  if (text.empty()) return outcome.detail;
  std::string message = file_io::InputName(path) + ": " + std::string(text);
  if (!outcome.detail.empty()) message += " (" + outcome.detail + ")";
  return message;
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
  if (!HasVexoMagic(file)) {
    return Fail(FileDecodeStatus::kNotVexo, "the file does not begin with \"VEXO\"");
  }
  const auto header = ReadVexoHeader(file);
  if (!header) {
    return Fail(FileDecodeStatus::kDamaged,
                "the file ends within its " + std::to_string(kVexoHeaderSize) + "-byte header");
  }
  if (!FamilyByVersionQuery(header->codecVersion)) {
    return Fail(FileDecodeStatus::kWrongVersion,
                "the file has version " + std::to_string(header->codecVersion) +
                    "; this decoder knows " + std::to_string(kVexoFamily101Version) + " and " +
                    std::to_string(kVexoFamily201Version));
  }
  if (!VexoSidesInRange(*header)) {
    const bool width = header->SignedWidth() < 1;
    return Fail(FileDecodeStatus::kDamaged,
                SideProblem(width ? "width" : "height",
                            width ? header->SignedWidth() : header->SignedHeight()));
  }
  return {};
}

FileDecodeStatus VerdictOf(VexoStatus status) {
  switch (status) {
    case VexoStatus::kOk:
      return FileDecodeStatus::kOk;
    case VexoStatus::kBadMagic:
      return FileDecodeStatus::kNotVexo;
    case VexoStatus::kBadVersion:
      return FileDecodeStatus::kWrongVersion;
    case VexoStatus::kTruncated:
    case VexoStatus::kMalformed:
    case VexoStatus::kWorkspace:
    case VexoStatus::kRead:
      break;
  }
  return FileDecodeStatus::kDamaged;
}

FileDecodeOutcome FileDecoder::DecodeFileData(const std::string& path, const VexoHeader& header,
                                              std::span<const uint8_t> fileData) {
  const size_t fileSize = fileData.size();
  if (!VexoFileCanHoldPicture(header, fileSize)) {
    return Fail(FileDecodeStatus::kDamaged, "the file is truncated: " + std::to_string(fileSize) +
                                                " bytes cannot code a " +
                                                std::to_string(header.width) + " x " +
                                                std::to_string(header.height) + " picture");
  }

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
    return Fail(VerdictOf(decoded.status), ProblemOf(decoded.status, header));
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
