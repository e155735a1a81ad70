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

}  // namespace vexo::testing
