// Fuzz target for the file decode as the viewer and `vexo decode` run it: the
// input is written to a file on disk and read back through FileDecoder,
// which must report every failure as a status.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "file_decoder.h"
#include "pixel_conversion.h"

namespace {

// One file per process, so that parallel fuzzing jobs never share it.
const std::string& ScratchPath() {
  static const std::string path =
      "/tmp/vexo-file-decode-fuzz-" + std::to_string(::getpid()) + ".vxo";
  return path;
}

bool WriteScratch(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!WriteScratch(data, size)) __builtin_trap();
  vexo::FileDecoder decoder;
  const vexo::FileDecodeOutcome outcome = decoder.Decode(ScratchPath());
  // The file exists and is readable: only the decode's own verdicts may come back.
  if (outcome.status == vexo::FileDecodeStatus::kCannotOpen) __builtin_trap();
  if (outcome.status == vexo::FileDecodeStatus::kOk &&
      decoder.Bitmap().size() !=
          vexo::BitmapRowBytes(decoder.ImageWidth()) * static_cast<size_t>(decoder.ImageHeight())) {
    __builtin_trap();
  }
  return 0;
}
