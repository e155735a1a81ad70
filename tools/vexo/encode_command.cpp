// vexo encode: an ordinary picture to a VEXO file, checked by decoding it.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "commands.h"
#include "picture_reader.h"
#include "vexo_decoder.h"

namespace vexo_cli {
namespace {

// Writes under a temporary name and renames, so OUTPUT appears whole or not
// at all.
std::string WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string temporary = path + ".part";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) return "cannot create " + temporary;
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
      std::remove(temporary.c_str());
      return "cannot write " + path;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::remove(temporary.c_str());
    return "cannot write " + path + ": " + error.message();
  }
  return {};
}

// Decodes the new file with the library; lossless output must give back the
// quantised picture exactly.
std::string CheckByDecoding(const std::vector<uint8_t>& file, const RgbPicture& picture,
                            const EncodeOptions& options, std::vector<uint16_t>& decoded) {
  decoded.assign(static_cast<size_t>(picture.width) * picture.height, 0);
  const VexoDecodeResult result = VexoDecode(options.family, file, decoded);
  if (result.status != VexoStatus::kOk) {
    return std::string("the encoded file does not decode (") +
           std::string(VexoStatusName(result.status)) + ")";
  }
  if (IsLosslessEncoding(options) && decoded != QuantizeToRgb565(picture)) {
    return "the encoded file does not decode to the picture";
  }
  return {};
}

}  // namespace

int RunEncode(const EncodeRequest& request, std::ostream& out, std::ostream& err) {
  PictureOrError read = ReadPicture(request.input);
  if (auto* problem = std::get_if<std::string>(&read)) {
    err << *problem << "\n";
    return 1;
  }
  const RgbPicture& picture = std::get<RgbPicture>(read);
  if (const std::string problem = EncodeOptionsProblem(picture, request.options);
      !problem.empty()) {
    err << request.input << ": " << problem << "\n";
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  const std::vector<uint8_t> file = EncodeVexo(picture, request.options);
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;

  std::vector<uint16_t> decoded;
  if (const std::string problem = CheckByDecoding(file, picture, request.options, decoded);
      !problem.empty()) {
    err << request.input << ": " << problem << "\n";
    return 1;
  }
  if (const std::string problem = WriteWholeFile(request.output, file); !problem.empty()) {
    err << problem << "\n";
    return 1;
  }
  const double pixels = static_cast<double>(picture.width) * picture.height;
  char line[160];
  std::snprintf(line, sizeof line, "%s: %d x %d, %zu bytes, %.3f bits per pixel\n",
                request.output.c_str(), picture.width, picture.height, file.size(),
                8.0 * static_cast<double>(file.size()) / pixels);
  out << line;
  if (!IsLosslessEncoding(request.options)) {
    std::snprintf(line, sizeof line, "PSNR: %.2f dB\n", PsnrAgainstSource(picture, decoded));
    out << line;
  }
  std::snprintf(line, sizeof line, "Encoding time: %.3f s (%.1f megapixels per second)\n",
                seconds.count(), pixels / 1e6 / seconds.count());
  out << line;
  return 0;
}

}  // namespace vexo_cli
