// The 24-bit BMP file written beside a decoded picture.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "vexo_result.h"

namespace vexo {

inline constexpr size_t kBmpHeaderSize = 54;

// The 54-byte header for a bottom-up 24-bit picture of imageByteCount bytes.
std::array<uint8_t, kBmpHeaderSize> MakeBmpHeader(int32_t width, int32_t height,
                                                  uint32_t imageByteCount);

// The BMP name for a picture file: "1.bmp" in place of a ".vxo" ending in any
// letter case, otherwise "1.bmp" appended. cat.vxo gives cat1.bmp, dir/ab
// gives dir/ab1.bmp.
std::string BmpFileNameFor(const std::string& picturePath);

// Writes header and bitmap to `path` ("-": standard output), replacing any
// file of that name the one safe way every output uses.
Result<void> WriteBmpFile(const std::string& path, int32_t width, int32_t height,
                          std::span<const uint8_t> bitmap);

}  // namespace vexo
