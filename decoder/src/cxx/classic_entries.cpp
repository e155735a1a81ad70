// The classic per-family entries and their last errors, over VexoDecode.
#include <new>
#include <span>

#include "vexo_classic.h"
#include "vexo_decoder.h"

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
  VexoDecodeResult decoded;
  try {
    decoded = VexoDecode(family, file, std::span(image565, pixels));
  } catch (const std::bad_alloc&) {
    // The decode's working memory could not be had.
    decoded = {VexoStatus::kWorkspace, -1};
  }
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

}  // namespace vexo
