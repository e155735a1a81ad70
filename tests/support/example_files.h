// Small VEXO files several test suites share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexo::testing {

// A hand-checked 24-byte file: a 4 x 2 predictive picture coded as one block,
// with two raw pixels; it decodes with the result 24.
std::vector<uint8_t> HandCheckedFile(uint8_t quality = 0, uint8_t codecVersion = 101);

// A copy of bytes with the byte at `at` replaced.
std::vector<uint8_t> WithByte(std::vector<uint8_t> bytes, size_t at, uint8_t value);

// A 40-byte predictive file whose header announces 32767 x 32767.
std::vector<uint8_t> HugePictureInATinyFile();

// 72 small random files, three of every seed: a transform picture (alike
// typical and wild lists), a fast picture (every third with undefined
// modes) and a predictive one of random bits (of either family), of sides
// 1 to 40 by 1 to 30. Always the same files.
std::vector<std::vector<uint8_t>> RandomFilesOfEveryPath();

}  // namespace vexo::testing
