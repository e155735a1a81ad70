// Decode entries and the choice of coding path.
#include "vexo_decoder.h"

#include "fast/fast_decoder.h"
#include "predictive/predictive_decoder.h"
#include "transform/quality_tables.h"
#include "transform/transform_decoder.h"

namespace vexo {

namespace {

// The per-family last errors of the classic entries, one pair a thread like
// errno, so that threads calling the classic entries never race. The
// re-entrant VexoDecode never touches them.
thread_local int32_t vexo101LastError = 0;
thread_local int32_t vexo201LastError = 0;

VexoDecodeResult RunPath(VexoFamily family, const VexoHeader& header, const PathInput& input) {
  switch (SelectVexoPath(family, header)) {
    case VexoPath::kPredictive:
      return DecodePredictive(input);
    case VexoPath::kTransform:
      return DecodeTransform(input);
    case VexoPath::kFast:
      return DecodeFast(input);
  }
  return {VexoStatus::kMalformed, -1};
}

int32_t ClassicDecode(VexoFamily family, int32_t& lastError, const uint8_t* fileData,
                      size_t fileSize, uint16_t* image565) {
  // A null pointer with something behind it is a malformed call, not a crash.
  if (fileData == nullptr && fileSize > 0) {
    lastError = VexoErrorMalformed;
    return -1;
  }
  const std::span<const uint8_t> file(fileData, fileSize);
  const auto header = ReadVexoHeader(file);
  const size_t pixels = header && image565 != nullptr ? VexoPixelCount(*header) : 0;
  const VexoDecodeResult decoded = VexoDecode(family, file, std::span(image565, pixels));
  if (decoded.status != VexoStatus::kOk) {
    lastError = static_cast<int32_t>(decoded.status);
    return -1;
  }
  return decoded.result;
}

}  // namespace

int Vexo101GetVersion(int32_t* version) {
  *version = kVexoFamily101Version;
  return 0;
}

int Vexo201GetVersion(int32_t* version) {
  *version = kVexoFamily201Version;
  return 0;
}

int32_t Vexo101Decode(const uint8_t* fileData, size_t fileSize, uint16_t* image565) {
  return ClassicDecode(VexoFamily::k101, vexo101LastError, fileData, fileSize, image565);
}

int32_t Vexo201Decode(const uint8_t* fileData, size_t fileSize, uint16_t* image565) {
  return ClassicDecode(VexoFamily::k201, vexo201LastError, fileData, fileSize, image565);
}

int32_t Vexo101LastError() {
  return vexo101LastError;
}
int32_t Vexo201LastError() {
  return vexo201LastError;
}

VexoStatus VexoCheckHeader(VexoFamily family, std::span<const uint8_t> file) {
  if (!HasVexoMagic(file)) return VexoStatus::kBadMagic;
  const auto header = ReadVexoHeader(file);
  if (!header) return VexoStatus::kTruncated;
  if (header->codecVersion != static_cast<uint8_t>(family)) return VexoStatus::kBadVersion;
  if (SelectVexoPath(family, *header) == VexoPath::kTransform &&
      !TransformQualityFor(header->quality)) {
    return VexoStatus::kMalformed;
  }
  return VexoStatus::kOk;
}

VexoDecodeResult VexoDecode(VexoFamily family, std::span<const uint8_t> file,
                            std::span<uint16_t> image565) {
  VexoDecodeContext context;
  return context.Decode(family, file, image565);
}

VexoDecodeResult VexoDecodeContext::Decode(VexoFamily family, std::span<const uint8_t> file,
                                           std::span<uint16_t> image565) {
  if (const VexoStatus status = VexoCheckHeader(family, file); status != VexoStatus::kOk) {
    return {status, -1};
  }
  const auto header = ReadVexoHeader(file);
  const size_t pixels = VexoPixelCount(*header);
  if (image565.size() < pixels) return {VexoStatus::kMalformed, -1};
  KeptMemory memory(kept_, keptBytes_);
  const PathInput input{file,
                        header->SignedWidth(),
                        header->SignedHeight(),
                        header->quality,
                        image565.first(pixels),
                        &memory};
  return RunPath(family, *header, input);
}

}  // namespace vexo
