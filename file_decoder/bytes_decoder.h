// The decode of a VEXO file already held in memory, with the same checks and
// verdicts as the decode from disk, for callers that get the bytes from
// elsewhere (an image plugin reading a device). Re-entrant: decodes may run
// on many threads at once.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "file_decoder.h"

namespace vexo {

struct DecodedVexoPicture {
  FileDecodeStatus status = FileDecodeStatus::kOk;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint16_t> image565;  // width x height pixels when status is kOk
};

// Refuses, before allocating, what the file decode refuses: a missing magic,
// an unknown version byte, a side of 0 or above 32767, a file too short for
// its header or for the picture it announces.
DecodedVexoPicture DecodeVexoBytes(std::span<const uint8_t> file);

}  // namespace vexo
