#include "vexo_status.h"

namespace vexo {

std::string_view VexoStatusName(VexoStatus status) {
  switch (status) {
    case VexoStatus::kOk:
      return "ok";
    case VexoStatus::kBadMagic:
      return "bad-magic";
    case VexoStatus::kBadVersion:
      return "bad-version";
    case VexoStatus::kTruncated:
      return "truncated";
    case VexoStatus::kMalformed:
      return "malformed";
    case VexoStatus::kOutOfMemory:
      return "out-of-memory";
  }
  return "unknown";
}

}  // namespace vexo
