// Test-side writer of most-significant-bit-first bit streams, and helpers to
// assemble whole VEXO files around them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/bit_writer.h"
#include "common/file_layout.h"

namespace vexo::testing {

// The encoder's writer plus ways to spell bits out in tests.
class BitWriter : public vexo::BitWriter {
 public:
  void PutBit(bool bit) { Put(bit ? 1 : 0, 1); }

  // Appends bits written as a string of '0' and '1'; other characters (spaces
  // for readability) are skipped.
  void PutBits(std::string_view bits) {
    for (char c : bits) {
      if (c == '0' || c == '1') PutBit(c == '1');
    }
  }
};

struct HeaderFields {
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t depthFlag = 0;
  uint8_t pathFlag = 0;
  uint8_t quality = 0;
  uint8_t codecVersion = 101;
};

// The 12-byte header.
std::vector<uint8_t> MakeHeader(const HeaderFields& fields);

using vexo::AppendLe16;
using vexo::AppendLe32;

// A predictive-path file: header, rawOffset, the bit stream, then the raw
// pixels right after it.
std::vector<uint8_t> MakePredictiveFile(const HeaderFields& fields,
                                        const std::vector<uint8_t>& bitStream,
                                        const std::vector<uint16_t>& rawPixels);

}  // namespace vexo::testing
