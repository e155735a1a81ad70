// The 12-byte header that starts every VEXO file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "vexo_status.h"

namespace vexo {

inline constexpr size_t kVexoHeaderSize = 12;
inline constexpr uint8_t kVexoFamily101Version = 101;
inline constexpr uint8_t kVexoFamily201Version = 201;
// The decoders read the sides as signed 16-bit values, so no side is larger.
inline constexpr int32_t kVexoLargestSide = 32767;

struct VexoHeader {
  uint16_t width = 0;   // as stored; the decoders read it as signed 16-bit
  uint16_t height = 0;  // likewise
  uint8_t depthFlag = 0;
  uint8_t pathFlag = 0;
  uint8_t quality = 0;
  uint8_t codecVersion = 0;

  int32_t SignedWidth() const { return static_cast<int16_t>(width); }
  int32_t SignedHeight() const { return static_cast<int16_t>(height); }
};

enum class VexoFamily : uint8_t { k101 = 101, k201 = 201 };
enum class VexoPath : uint8_t { kPredictive, kTransform, kFast };

// True when the file starts with the four bytes "VEXO".
bool HasVexoMagic(std::span<const uint8_t> file);

// The header fields, or nothing when the file is shorter than the header.
// The magic is not checked here.
std::optional<VexoHeader> ReadVexoHeader(std::span<const uint8_t> file);

// The family whose version byte this is, if any.
std::optional<VexoFamily> FamilyOfVersion(uint8_t codecVersion);

// The coding path a family runs for this header: predictive when pathFlag is
// 0, otherwise the family's own path.
VexoPath SelectVexoPath(VexoFamily family, const VexoHeader& header);

// True when both sides are 1 to kVexoLargestSide.
bool VexoSidesInRange(const VexoHeader& header);

// Pixels of the picture the header announces: width x height when both are
// at least 1 as signed 16-bit values, otherwise 0.
size_t VexoPixelCount(const VexoHeader& header);

// False when the file is certainly too short to code the picture its header
// announces: every block costs a minimum number of bits on each path. A file
// that decodes within its own bounds always passes. Lets callers refuse a
// tiny file that claims a huge picture before allocating for it.
bool VexoFileCanHoldPicture(const VexoHeader& header, size_t fileSize);

// What a decode of `file` as `family` finds before it reads any coded data:
// a bad magic, a file shorter than its header, a version byte of another
// family, or a transform quality above 51; kOk when none of these.
VexoStatus VexoCheckHeader(VexoFamily family, std::span<const uint8_t> file);

}  // namespace vexo
