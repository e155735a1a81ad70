// The one table of what each status is called: its name on the command line
// and its description.
#include "vexo_status.h"

namespace vexo {
namespace {

struct StatusWords {
  VexoStatus status;
  const char* name;
  const char* text;
};

constexpr StatusWords kStatusWords[] = {
    {VexoStatus::kOk, "ok", "ok"},
    {VexoStatus::kBadMagic, "bad-magic", "not a VEXO file"},
    {VexoStatus::kBadVersion, "bad-version", "unknown codec version"},
    {VexoStatus::kTruncated, "truncated", "the file is truncated"},
    {VexoStatus::kMalformed, "malformed", "malformed file or output"},
    {VexoStatus::kWorkspace, "workspace", "the workspace is missing or too small"},
    {VexoStatus::kRead, "read", "a read of the file failed"},
};

const StatusWords* WordsOf(int32_t status) {
  for (const StatusWords& words : kStatusWords) {
    if (static_cast<int32_t>(words.status) == status) return &words;
  }
  return nullptr;
}

}  // namespace

std::string_view VexoStatusName(VexoStatus status) {
  const StatusWords* words = WordsOf(static_cast<int32_t>(status));
  return words != nullptr ? words->name : "unknown";
}

std::string_view VexoStatusText(VexoStatus status) {
  const StatusWords* words = WordsOf(static_cast<int32_t>(status));
  return words != nullptr ? words->text : "unknown status";
}

}  // namespace vexo

extern "C" const char* vexo_status_text(int status) {
  const vexo::StatusWords* words = vexo::WordsOf(status);
  return words != nullptr ? words->text : "unknown status";
}
