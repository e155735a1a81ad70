// Holds the band-by-band decode of the C interface to its whole decode, for
// the tests and the decode fuzzer alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vexo::testing {

struct BandCheck {
  unsigned flags = 0;  // 0 or VEXO_OUTPUT_BYTE_SWAPPED, for both decodes
  size_t gap = 0;      // pixels between the width and the stride of the bands
};

// Decodes `file` with vexo_decode, then band by band into two band buffers
// used in turn (rows `gap` pixels wider than the picture, with guard pixels
// round them), in a workspace of exactly vexo_band_workspace_size at an odd
// address between guard bytes, and checks that:
//  - the workspace is within its bounds (2 x width + 256 bytes on the
//    predictive and fast paths, 4 x the padded width + 512 on the transform
//    path), and one byte less fails as VEXO_ERROR_WORKSPACE;
//  - the bands cover the picture's rows in order, 4 at a time, the last one
//    what is left, and together equal the whole decode;
//  - where the whole decode fails, the bands fail with its status, except
//    that a fast-path block of an undefined mode fails its band as
//    malformed (the bands before it still equal the whole decode's rows);
//  - the end and a failure are answered again by every later call;
//  - nothing is written outside the bands' pixels and the workspace.
// Returns an empty string when all holds, otherwise what does not.
std::string CheckBandsAgainstWhole(std::span<const uint8_t> file, const BandCheck& how = {});

}  // namespace vexo::testing
