// JPEG pictures through libjpeg-turbo. Corrupt data, which the library would
// otherwise paper over with grey, is refused like any other damage.
#include <csetjmp>
#include <cstdio>

// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "picture_reader.h"

namespace vexo {

namespace {

// Working memory libjpeg may take for one picture. A baseline picture needs
// little at any size; a progressive one keeps all its coefficients, 3 bytes a
// pixel at the usual 4:2:0 sampling, so this allows about 350 megapixels and
// bounds what a tiny damaged file can make the reader allocate.
constexpr long kMostWorkingMemory = 1L << 30;
// Progressive pictures with absurd scan counts only cost time.
constexpr int kMostScans = 500;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool tooLarge = false;
};

[[noreturn]] void Stop(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

[[noreturn]] void StopOnError(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  errors->base.format_message(info, errors->message);
  Stop(info);
}

// Level -1 is a warning about corrupt data; the others are trace messages.
void StopOnWarning(j_common_ptr info, int level) {
  if (level < 0) StopOnError(info);
}

void LimitScans(j_common_ptr info) {
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMostScans) return;
  std::snprintf(reinterpret_cast<ErrorManager*>(info->err)->message, JMSG_LENGTH_MAX,
                "more than %d progressive scans", kMostScans);
  Stop(info);
}

// The libjpeg steps. Every error jumps out of here, so nothing in it may own
// resources: the picture is the caller's, the decompressor is released by
// the caller.
void ReadPixels(jpeg_decompress_struct& info, std::span<const uint8_t> bytes, RgbPicture& picture,
                ErrorManager& errors) {
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  if (info.image_width > kVexoLargestSide + 1 || info.image_height > kVexoLargestSide + 1) {
    std::snprintf(errors.message, JMSG_LENGTH_MAX, "picture size is out of range");
    errors.tooLarge = true;
    Stop(reinterpret_cast<j_common_ptr>(&info));
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  picture.width = static_cast<int32_t>(info.output_width);
  picture.height = static_cast<int32_t>(info.output_height);
  picture.from24BitSource = info.num_components >= 3;
  const size_t rowBytes = 3 * static_cast<size_t>(info.output_width);
  // Rows are added as they arrive, so a picture cut short touches little
  // memory before it is refused.
  picture.rgb.reserve(rowBytes * info.output_height);
  while (info.output_scanline < info.output_height) {
    picture.rgb.resize(picture.rgb.size() + rowBytes);
    JSAMPROW row = picture.rgb.data() + picture.rgb.size() - rowBytes;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
}

// Returns false when libjpeg stopped on an error or a warning. Nothing here
// lives across the jump but what the caller owns.
bool ReadUntilAnyProblem(jpeg_decompress_struct& info, std::span<const uint8_t> bytes,
                         RgbPicture& picture, ErrorManager& errors, jpeg_progress_mgr& progress) {
  if (setjmp(errors.jump) != 0) return false;
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = kMostWorkingMemory;
  info.progress = &progress;
  ReadPixels(info, bytes, picture, errors);
  return true;
}

}  // namespace

Result<RgbPicture> DecodeJpeg(std::span<const uint8_t> bytes, const std::string& name) {
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  jpeg_progress_mgr progress{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = StopOnError;
  errors.base.emit_message = StopOnWarning;
  progress.progress_monitor = LimitScans;

  RgbPicture picture;
  const bool read = ReadUntilAnyProblem(info, bytes, picture, errors, progress);
  // Safe also when creating it failed: a decompressor without memory manager
  // is left alone.
  jpeg_destroy_decompress(&info);
  if (!read) {
    return Error{errors.tooLarge ? ErrorCode::kTooLarge : ErrorCode::kDamaged,
                 name + ": not a readable JPEG picture (" + errors.message + ")"};
  }
  return picture;
}

}  // namespace vexo
