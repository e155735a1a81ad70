// The decode of one VEXO file from disk: read, check, decode with the timer
// running around the decoder call alone, convert to a 24-bit bottom-up
// picture, and make the statistics. Failures come back as values; the
// caller decides how to show them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "statistics_text.h"
#include "vexo_decoder.h"
#include "vexo_header.h"
#include "vexo_result.h"
#include "vexo_status.h"

namespace vexo {

enum class FileDecodeStatus {
  kOk,
  kCannotOpen,    // the file could not be opened or read
  kNotVexo,       // "This is not the VEXO file"
  kWrongVersion,  // "Incorrect Decoder Version"
  kDamaged,       // "The VEXO file is damaged"
  kOutOfMemory,   // "Not enough memory to decode this picture"
};

// The largest file the decode reads: the largest picture stored as raw
// pixels, with room to spare. Input past it is refused rather than read.
inline constexpr size_t kLargestVexoFile = size_t{3} << 30;

// The text the user sees for a failure ("" for kOk and kCannotOpen, whose
// detail is in FileDecodeOutcome::detail).
std::string_view FailureText(FileDecodeStatus status);

struct FileDecodeOutcome {
  FileDecodeStatus status = FileDecodeStatus::kOk;
  // What was wrong. For kCannotOpen, why the file could not be opened or
  // read, naming it; for the other failures, what the decode found, to show
  // beside the fixed text: "the file is truncated".
  std::string detail;
};

// "name: what was wrong", for a line that names the failed file:
// "sunset.vxo: the file is truncated". Only the file name of `path` is used.
std::string FailureReport(const std::string& path, const FileDecodeOutcome& outcome);

// The message of a program that names its input as given: "path: the fixed
// text (what was wrong)", or why the file could not be read.
std::string FailureMessage(const std::string& path, const FileDecodeOutcome& outcome);

// What the header alone says: kOk, or the failure a decode would report
// before reading the rest of the file.
FileDecodeOutcome CheckHeader(std::span<const uint8_t> file);

// What the file decode says of a file whose whole decode by the library has
// this status (after the file decode's own checks of the header).
FileDecodeStatus VerdictOf(VexoStatus status);

// Keeps the picture of the last successful decode until the next one, like
// the file list view that owns it. Not thread-safe; one instance per thread.
class FileDecoder {
 public:
  FileDecoder();

  // Reads the file at `path` ("-": standard input) as a stream, so pipes work
  // too, and decodes it. Every failure, running out of memory included, comes
  // back as a status.
  FileDecodeOutcome Decode(const std::string& path);
  // The same for a file already in memory; `path` names it in the statistics.
  FileDecodeOutcome DecodeBytes(const std::string& path, std::span<const uint8_t> file);

  // The last successful decode. The picture stays until the next success.
  int32_t ImageWidth() const { return imageWidth_; }
  int32_t ImageHeight() const { return imageHeight_; }
  std::span<const uint8_t> Bitmap() const { return {bitmap_.data(), imageByteCount_}; }
  std::span<const uint16_t> Image565() const { return image565_; }
  const DecodeStatistics& Statistics() const { return statistics_; }
  int64_t LastDecodeTicks() const { return lastDecodeTicks_; }
  double CounterFrequency() const { return counterFrequency_; }
  int32_t DecodeResult() const { return decodeResult_; }

  // Writes the last picture beside its source by the "1.bmp" naming rule.
  Result<void> SaveBmp() const;
  std::string BmpPath() const;

 private:
  FileDecodeOutcome ReadAndDecode(const std::string& path);
  FileDecodeOutcome DecodeFileData(const std::string& path, const VexoHeader& header,
                                   std::span<const uint8_t> fileData);

  VexoDecodeContext context_;  // the decoder's working memory, kept between files
  std::vector<uint16_t> image565_;
  std::vector<uint8_t> bitmap_;
  // The next decode's buffers: the previous picture's, kept when a new one
  // replaced them, so that a run of pictures allocates nothing per picture.
  std::vector<uint16_t> nextImage565_;
  std::vector<uint8_t> nextBitmap_;
  size_t imageByteCount_ = 0;
  int32_t imageWidth_ = 352;
  int32_t imageHeight_ = 288;
  int64_t lastDecodeTicks_ = 0;
  double counterFrequency_;
  int32_t decodeResult_ = 0;
  DecodeStatistics statistics_;
};

}  // namespace vexo
