#include "bytes_decoder.h"

#include <new>

#include "vexo_decoder.h"

namespace orvane {
namespace {

DecodedVexoPicture Fail(FileDecodeStatus status) {
  return {status, 0, 0, {}};
}

}  // namespace

DecodedVexoPicture DecodeVexoBytes(std::span<const uint8_t> file) {
  if (!HasVexoMagic(file)) return Fail(FileDecodeStatus::kNotVexo);
  const auto header = ReadVexoHeader(file);
  if (!header) return Fail(FileDecodeStatus::kDamaged);
  const auto family = FamilyOfVersion(header->codecVersion);
  if (!family) return Fail(FileDecodeStatus::kWrongVersion);
  if (!VexoSidesInRange(*header) || !VexoFileCanHoldPicture(*header, file.size())) {
    return Fail(FileDecodeStatus::kDamaged);
  }
  DecodedVexoPicture picture{FileDecodeStatus::kOk, header->width, header->height, {}};
  try {
    picture.image565.resize(VexoPixelCount(*header));
  } catch (const std::bad_alloc&) {
    return Fail(FileDecodeStatus::kOutOfMemory);
  }
  const VexoStatus status = VexoDecode(*family, file, picture.image565).status;
  if (status == VexoStatus::kOutOfMemory) return Fail(FileDecodeStatus::kOutOfMemory);
  if (status != VexoStatus::kOk) return Fail(FileDecodeStatus::kDamaged);
  return picture;
}

}  // namespace orvane
