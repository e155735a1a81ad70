// The header of a file, read and checked once into what every entry of the
// decoder works from: the family, the coding path and the picture's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "vexo_header.h"
#include "vexo_status.h"

namespace vexo {

struct DecodePlan {
  VexoHeader header;
  VexoFamily family;
  VexoPath path;
  int32_t width;  // the header's sides, sign-extended
  int32_t height;
  // The path's own header after the 12 bytes (ReadPathFields): the signed
  // 32-bit fields at offsets 12 and 16, those the path has.
  int32_t pathFields[2];

  bool HasPixels() const { return width > 0 && height > 0; }
  // Block rows of 4 picture rows, the last one possibly shorter.
  int32_t BlockRows() const { return HasPixels() ? (height + 3) / 4 : 0; }
};

// Reads the header of a file of fileSize bytes whose first bytes are `head`
// (at least min(fileSize, kVexoHeaderSize) of them). Fails as a bad magic,
// as truncated (shorter than the header) or as a bad version: a version byte
// of another family than `family`, or of no family when `family` is empty.
VexoStatus ReadPlan(const uint8_t* head, uint64_t fileSize, std::optional<VexoFamily> family,
                    DecodePlan& plan);

// What a decode of the planned file finds before it reads any coded data:
// a transform quality above 51 (malformed).
VexoStatus CheckPlanQuality(const DecodePlan& plan);

// False when the file is certainly too short for the picture: the path's
// header fields and the shortest coding of its blocks do not fit (truncated).
bool FileCanHoldPlan(const DecodePlan& plan, uint64_t fileSize);

// Bytes of the path's own header after the 12-byte one: 4 on the
// predictive path, 8 on the fast path, none on the transform path.
size_t PathHeaderBytes(const DecodePlan& plan);

// Reads the path's own header from the bytes that follow the 12-byte one
// (PathHeaderBytes of them, held where FileCanHoldPlan holds).
void ReadPathFields(DecodePlan& plan, const uint8_t* afterHeader);

}  // namespace vexo
