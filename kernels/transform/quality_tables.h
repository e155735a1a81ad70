// The transform path's quality tables and the parameters a quality index
// selects. Shared by the decoder and the encoder.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace vexo {

inline constexpr int kCoefficientCount = 16;
inline constexpr int kQualityCount = 52;  // quality indexes 0 to 51
inline constexpr int kScaleRowCount = 6;

// Dequantisation scales by scan position (not by coefficient index), one row
// per quality mod 6. Bytes, as every scale fits one: a quarter of the
// constant data on a small device.
inline constexpr std::array<std::array<uint8_t, kCoefficientCount>, kScaleRowCount>
    LevelScaleTable = {{
        {10, 13, 13, 10, 16, 10, 13, 13, 13, 13, 16, 10, 16, 13, 13, 16},
        {11, 14, 14, 11, 18, 11, 14, 14, 14, 14, 18, 11, 18, 14, 14, 18},
        {13, 16, 16, 13, 20, 13, 16, 16, 16, 16, 20, 13, 20, 16, 16, 20},
        {14, 18, 18, 14, 23, 14, 18, 18, 18, 18, 23, 14, 23, 18, 18, 23},
        {16, 20, 20, 16, 25, 16, 20, 20, 20, 20, 25, 16, 25, 20, 20, 25},
        {18, 23, 23, 18, 29, 18, 23, 23, 23, 23, 29, 18, 29, 23, 23, 29},
    }};

// Number of magnitude bits after an escape symbol, by quality index.
inline constexpr std::array<uint8_t, kQualityCount> EscapeWidthTable = {
    0,                          // 0
    11, 11, 11,                 // 1 to 3
    10, 10, 10, 10, 10, 10,     // 4 to 9
    9,  9,  9,  9,  9,  9,      // 10 to 15
    8,  8,  8,  8,  8,  8,      // 16 to 21
    7,  7,  7,  7,  7,  7,  7,  // 22 to 28
    6,  6,  6,  6,  6,  6,      // 29 to 34
    5,  5,  5,  5,  5,  5,      // 35 to 40
    4,  4,  4,  4,  4,  4,      // 41 to 46
    3,  3,  3,  3,  3,          // 47 to 51
};

// Scan position -> coefficient index (4 x row + column). The scan starts
// downwards: scan position 1 is row 1, column 0.
inline constexpr std::array<uint8_t, kCoefficientCount> ScanOrder = {0, 4, 1, 2,  5,  8,  12, 9,
                                                                     6, 3, 7, 10, 13, 14, 11, 15};

// What one quality index fixes for a whole picture.
struct TransformQuality {
  int32_t quantShift;   // left shift of dequantisation
  int32_t scaleRow;     // row of LevelScaleTable
  int32_t escapeWidth;  // magnitude bits of an escaped level
};

// The parameters of a quality index, or nothing above 51 (such files are
// malformed).
constexpr std::optional<TransformQuality> TransformQualityFor(int quality) {
  if (quality < 0 || quality >= kQualityCount) return std::nullopt;
  return TransformQuality{quality / 6, quality % 6, EscapeWidthTable[quality]};
}

}  // namespace vexo
