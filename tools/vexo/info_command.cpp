// vexo info: the header fields, the path, the memory a decode on a device
// needs, and the verdict on the whole file: the library's status and result
// ("status:" and "result:", read by other tools) and what vexo decode and the
// viewer say of it ("verdict:"), which always agree.
#include <new>
#include <ostream>
#include <vector>

#include "commands.h"
#include "file_decoder.h"
#include "file_io/input_file.h"
#include "vexo.h"
#include "vexo_decoder.h"
#include "vexo_encoder.h"

namespace vexo::cli {
namespace {

void PrintHeader(const VexoHeader& header, std::ostream& out) {
  out << "width: " << header.SignedWidth() << "\n"
      << "height: " << header.SignedHeight() << "\n"
      << "depth-flag: " << int{header.depthFlag} << "\n"
      << "path-flag: " << int{header.pathFlag} << "\n"
      << "quality: " << int{header.quality} << "\n"
      << "codec-version: " << int{header.codecVersion} << "\n";
  const auto family = FamilyOfVersion(header.codecVersion);
  if (family) {
    out << "path: " << VexoPathName(SelectVexoPath(*family, header)) << "\n";
  } else {
    out << "path: " << (header.pathFlag == 0 ? "predictive" : "unknown") << "\n";
  }
}

// What a decode on a device needs beside the file: the picture it writes
// (16 bits a pixel) and the workspace the caller hands to vexo_decode; both
// 0 for a picture without pixels.
void PrintDecodeMemory(std::span<const uint8_t> file, std::ostream& out) {
  vexo_info info;
  if (vexo_read_info(file.data(), file.size(), &info) != VEXO_OK) return;
  const bool hasPixels = info.width > 0 && info.height > 0;
  const uint64_t outputBytes = hasPixels ? uint64_t{2} * static_cast<uint64_t>(info.width) *
                                               static_cast<uint64_t>(info.height)
                                         : 0;
  out << "output-bytes: " << outputBytes << "\n"
      << "workspace-bytes: " << vexo_workspace_size(&info) << "\n";
}

// The library's re-entrant decode of the whole file, after the checks of the
// file decode that the library leaves to its callers. A side of 0 or above
// 32767 leaves the library nothing to write, but no picture either: such a
// header holds a value outside the format. A file that fails the
// block-count check would certainly run out of data, so it is reported as
// truncated without allocating for its picture, but only once every check
// that a decode makes before reading coded data has passed.
VexoDecodeResult DecodeWholeFile(std::span<const uint8_t> file) {
  const auto header = ReadVexoHeader(file);
  const auto family = header ? FamilyOfVersion(header->codecVersion) : std::nullopt;
  const VexoFamily decodeAs = family.value_or(VexoFamily::k101);
  if (const VexoStatus status = VexoCheckHeader(decodeAs, file); status != VexoStatus::kOk) {
    return {status, -1};
  }
  if (!VexoSidesInRange(*header)) return {VexoStatus::kMalformed, -1};
  if (!VexoFileCanHoldPicture(*header, file.size())) return {VexoStatus::kTruncated, -1};
  std::vector<uint16_t> image(VexoPixelCount(*header));
  return VexoDecode(decodeAs, file, image);
}

// What `vexo decode` and the viewer say of a file with this status: "ok" or
// their failure text.
std::string Verdict(VexoStatus status) {
  const vexo::FileDecodeStatus verdict = vexo::VerdictOf(status);
  return verdict == vexo::FileDecodeStatus::kOk ? "ok" : std::string(vexo::FailureText(verdict));
}

}  // namespace

int DescribeVexoFile(std::span<const uint8_t> file, std::ostream& out) {
  // Without the magic, the bytes where the header would be mean nothing.
  if (const auto header = ReadVexoHeader(file); header && HasVexoMagic(file)) {
    PrintHeader(*header, out);
    PrintDecodeMemory(file, out);
  }
  const VexoDecodeResult decoded = DecodeWholeFile(file);
  out << "status: " << VexoStatusName(decoded.status) << "\n"
      << "result: " << decoded.result << "\n"
      << "verdict: " << Verdict(decoded.status) << "\n";
  return decoded.status == VexoStatus::kOk ? 0 : 1;
}

int RunInfo(const std::string& input, std::ostream& out, std::ostream& err) {
  try {
    const Result<std::vector<uint8_t>> read = file_io::ReadWholeFile(input, vexo::kLargestVexoFile);
    if (!read) {
      err << read.error().message << "\n";
      return 1;
    }
    return DescribeVexoFile(*read, out);
  } catch (const std::bad_alloc&) {
    err << file_io::InputName(input) << ": "
        << vexo::FailureText(vexo::FileDecodeStatus::kOutOfMemory) << "\n";
    return 1;
  }
}

}  // namespace vexo::cli
