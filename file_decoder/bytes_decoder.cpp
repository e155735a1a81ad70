#include "bytes_decoder.h"

#include <new>

#include "vexo_decoder.h"

namespace vexo {
namespace {

DecodedVexoPicture Fail(FileDecodeStatus status) {
  return {status, 0, 0, {}};
}

}  // namespace

DecodedVexoPicture DecodeVexoBytes(std::span<const uint8_t> file) {
  if (const FileDecodeStatus status = CheckHeader(file).status; status != FileDecodeStatus::kOk) {
    return Fail(status);
  }
  const VexoHeader header = *ReadVexoHeader(file);
  if (!VexoFileCanHoldPicture(header, file.size())) return Fail(FileDecodeStatus::kDamaged);
  DecodedVexoPicture picture{FileDecodeStatus::kOk, header.width, header.height, {}};
  try {
    picture.image565.resize(VexoPixelCount(header));
  } catch (const std::bad_alloc&) {
    return Fail(FileDecodeStatus::kOutOfMemory);
  }
  const VexoStatus status =
      VexoDecode(*FamilyOfVersion(header.codecVersion), file, picture.image565).status;
  if (status != VexoStatus::kOk) return Fail(VerdictOf(status));
  return picture;
}

}  // namespace vexo
