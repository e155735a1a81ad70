// The C++ entries: the re-entrant VexoDecode and its context, which own the
// decode's working memory, and the classic per-family entries with their
// last errors. All of them run the one decode core.
#include "vexo_decoder.h"

#include <new>

#include "decode_core.h"

namespace vexo {

namespace {

// The per-family last errors of the classic entries, one pair a thread like
// errno, so that threads calling the classic entries never race. Nothing
// else touches them.
thread_local int32_t vexo101LastError = 0;
thread_local int32_t vexo201LastError = 0;

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

VexoDecodeResult VexoDecode(VexoFamily family, std::span<const uint8_t> file,
                            std::span<uint16_t> image565) {
  VexoDecodeContext context;
  return context.Decode(family, file, image565);
}

VexoDecodeResult VexoDecodeContext::Decode(VexoFamily family, std::span<const uint8_t> file,
                                           std::span<uint16_t> image565) {
  // Only a file that can be decoded gets memory: the core reports the rest.
  size_t needed = 0;
  if (VexoCheckHeader(family, file) == VexoStatus::kOk) {
    const VexoHeader header = *ReadVexoHeader(file);
    if (VexoFileCanHoldPicture(header, file.size())) needed = PathWorkspaceBytes(family, header);
  }
  if (needed > keptBytes_) {
    kept_.reset();
    keptBytes_ = 0;
    kept_.reset(new (std::nothrow) uint8_t[needed]);
    if (!kept_) return {VexoStatus::kOutOfMemory, -1};
    keptBytes_ = needed;
  }
  const auto header = ReadVexoHeader(file);
  const int32_t width = header ? header->SignedWidth() : 0;
  const PictureOutput output{image565, width, false};
  return DecodeVexoFile(family, file, output, std::span(kept_.get(), keptBytes_));
}

}  // namespace vexo
