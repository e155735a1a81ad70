// vexo info: the header fields, the path, and the library's own verdict on
// the whole file ("status:" and "result:", read by other tools).
#include <fstream>
#include <iterator>
#include <new>
#include <ostream>
#include <vector>

#include "commands.h"
#include "vexo_decoder.h"

namespace vexo_cli {
namespace {

std::string_view PathName(VexoPath path) {
  switch (path) {
    case VexoPath::kPredictive:
      return "predictive";
    case VexoPath::kTransform:
      return "transform";
    case VexoPath::kFast:
      return "fast";
  }
  return "unknown";
}

void PrintHeader(const VexoHeader& header, std::ostream& out) {
  out << "width: " << header.width << "\n"
      << "height: " << header.height << "\n"
      << "depth-flag: " << int{header.depthFlag} << "\n"
      << "path-flag: " << int{header.pathFlag} << "\n"
      << "quality: " << int{header.quality} << "\n"
      << "codec-version: " << int{header.codecVersion} << "\n";
  const auto family = FamilyOfVersion(header.codecVersion);
  if (family) {
    out << "path: " << PathName(SelectVexoPath(*family, header)) << "\n";
  } else {
    out << "path: " << (header.pathFlag == 0 ? "predictive" : "unknown") << "\n";
  }
}

VexoDecodeResult DecodeWholeFile(const std::vector<uint8_t>& file) {
  const auto header = ReadVexoHeader(file);
  // A file far too short for its picture would only run out of data.
  if (header && HasVexoMagic(file) && !VexoFileCanHoldPicture(*header, file.size())) {
    return {VexoStatus::kTruncated, -1};
  }
  const auto family = header ? FamilyOfVersion(header->codecVersion) : std::nullopt;
  std::vector<uint16_t> image(header ? VexoPixelCount(*header) : 0);
  return VexoDecode(family.value_or(VexoFamily::k101), file, image);
}

}  // namespace

int RunInfo(const std::string& input, std::ostream& out, std::ostream& err) {
  std::ifstream stream(input, std::ios::binary);
  if (!stream) {
    err << "Cannot open " << input << "\n";
    return 1;
  }
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(stream)),
                                  std::istreambuf_iterator<char>());
  if (stream.bad()) {
    err << "Cannot read " << input << "\n";
    return 1;
  }
  if (const auto header = ReadVexoHeader(file)) PrintHeader(*header, out);
  VexoDecodeResult decoded;
  try {
    decoded = DecodeWholeFile(file);
  } catch (const std::bad_alloc&) {
    err << input << ": Not enough memory to decode this picture\n";
    return 1;
  }
  out << "status: " << VexoStatusName(decoded.status) << "\n"
      << "result: " << decoded.result << "\n";
  return decoded.status == VexoStatus::kOk ? 0 : 1;
}

}  // namespace vexo_cli
