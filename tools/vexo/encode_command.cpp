// vexo encode: an ordinary picture to a VEXO file, checked by decoding it.
#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <iomanip>
#include <map>
#include <new>
#include <ostream>

#include "batch_run.h"
#include "c_source/c_source.h"
#include "commands.h"
#include "file_io/input_file.h"
#include "file_io/whole_file.h"
#include "file_names.h"
#include "picture_reader.h"
#include "vexo_decoder.h"

namespace vexo::cli {
namespace {

// The pictures a folder search takes for encoding.
constexpr std::array<std::string_view, 5> kPictureExtensions = {".png", ".jpg", ".jpeg", ".bmp",
                                                                ".ppm"};

bool IsPictureName(std::string_view name) {
  return std::any_of(
      kPictureExtensions.begin(), kPictureExtensions.end(),
      [name](std::string_view extension) { return vexo::EndsWithIgnoringCase(name, extension); });
}

// "no pictures (.png, .jpg, .jpeg, .bmp, .ppm)"
std::string NoPictures() {
  std::string text = "no pictures (";
  for (std::string_view extension : kPictureExtensions) {
    if (extension != kPictureExtensions.front()) text += ", ";
    text += extension;
  }
  return text + ")";
}

std::string VexoNameFor(const std::string& path) {
  return std::filesystem::path(path).replace_extension(".vxo").string();
}

std::string CSourceNameFor(const std::string& path) {
  return std::filesystem::path(path).replace_extension(".c").string();
}

// Decodes the new file with the library; lossless output must give back the
// quantised picture exactly.
std::string CheckByDecoding(const std::vector<uint8_t>& file, const RgbPicture& picture,
                            const EncodeOptions& options, std::vector<uint16_t>& decoded) {
  decoded.assign(static_cast<size_t>(picture.width) * picture.height, 0);
  const VexoDecodeResult result = VexoDecode(options.family, file, decoded);
  // Reported as every other failed allocation of the encode is.
  if (result.status == VexoStatus::kOutOfMemory) throw std::bad_alloc();
  if (result.status != VexoStatus::kOk) {
    return std::string("the encoded file does not decode (") +
           std::string(VexoStatusName(result.status)) + ")";
  }
  if (IsLosslessEncoding(options) && decoded != QuantiseToRgb565(picture, options.dither)) {
    return "the encoded file does not decode to the picture";
  }
  return {};
}

// The summary after a successful encode. Built with streams rather than a
// fixed buffer, so that a long output name is never cut short.
void PrintSummary(const EncodeRequest& request, const c_source::CSourceNames* cSource,
                  const EncodeOptions& options, const std::string& why, const RgbPicture& picture,
                  size_t fileBytes, double seconds, const std::vector<uint16_t>& decoded,
                  std::ostream& out) {
  const double pixels = static_cast<double>(picture.width) * picture.height;
  // Nothing here allocates: the file is already written and must not be
  // followed by a failure.
  const std::string_view name = request.output == file_io::kStandardStream
                                    ? std::string_view("standard output")
                                    : std::string_view(request.output);
  out << std::fixed << std::setprecision(3) << name << ": " << picture.width << " x "
      << picture.height << ", " << fileBytes << " bytes, "
      << 8.0 * static_cast<double>(fileBytes) / pixels << " bits per pixel\n";
  if (cSource) {
    out << "C array: " << cSource->arrayName << ", declared in " << cSource->headerPath << "\n";
  }
  if (!why.empty()) out << "Chose " << why << "\n";
  if (!IsLosslessEncoding(options)) {
    out << std::setprecision(2) << "PSNR: " << PsnrAgainstSource(picture, decoded) << " dB\n";
  }
  out << std::setprecision(3) << "Encoding time: " << seconds << " s (" << std::setprecision(1)
      << pixels / 1e6 / seconds << " megapixels per second)\n";
}

// Warnings about a transform file that costs more than it needs to: larger
// than the lossless predictive file of the same picture, or a quality whose
// levels are too small to correct a prediction. The lossless paths are not
// compared: they keep every pixel, which the transform path never does.
// Made before the file is written, with strings that throw rather than
// streams that would swallow a failed allocation, so that running out of
// memory never follows a written file.
std::string WastedBitsWarnings(const EncodeRequest& request, const RgbPicture& picture,
                               size_t fileBytes) {
  if (request.options.path != VexoPath::kTransform) return {};
  std::string warnings;
  if (request.options.quality == 0) {
    warnings += "warning: " + request.output +
                ": transform quality 0 carries levels of at most 2, too small to correct its "
                "predictions; quality 1 gives the best picture\n";
  }
  // The picture passed the same checks for the request's own path.
  const EncodeOptions lossless{VexoPath::kPredictive, VexoFamily::k101, 0};
  const size_t losslessBytes = EncodeVexo(picture, lossless).value().size();
  if (fileBytes > losslessBytes) {
    warnings += "warning: " + request.output + ": " + std::to_string(fileBytes) +
                " bytes, larger than the lossless predictive file of this picture (" +
                std::to_string(losslessBytes) + " bytes, --path predictive --quality 0)\n";
  }
  return warnings;
}

// The file the request asks for, with its options; `why` is empty when the
// request named the path and quality itself.
Result<EncodeChoice> EncodeAsAsked(const EncodeRequest& request, const RgbPicture& picture) {
  if (request.choice) return ChooseEncoding(picture, *request.choice);
  Result<std::vector<uint8_t>> encoded = EncodeVexo(picture, request.options);
  if (!encoded) return encoded.error();
  return EncodeChoice{request.options, std::move(*encoded)};
}

// Writes the VEXO file, or the C source and header that hold it.
Result<void> WriteOutput(const EncodeRequest& request, const c_source::CSourceNames* cSource,
                         const std::vector<uint8_t>& file) {
  if (!cSource) return file_io::WriteWholeFile(request.output, file);
  const Result<c_source::CSourcePair> pair = c_source::MakeCSourcePair(*cSource, file);
  if (!pair) return pair.error();
  return c_source::WriteCSourcePair(*pair);
}

int Encode(const EncodeRequest& request, std::ostream& out, std::ostream& err) {
  std::optional<c_source::CSourceNames> cSource;
  if (request.format == EncodeOutput::kCSource) {
    Result<c_source::CSourceNames> names =
        c_source::CSourceNamesFor(request.output, request.arrayName);
    if (!names) {
      err << names.error().message << "\n";
      return 1;
    }
    cSource = std::move(*names);
  }
  for (const std::string& output :
       {request.output, cSource ? cSource->headerPath : request.output}) {
    if (const auto refused =
            RefuseOutput(request.input, output, cSource ? "C source" : "VEXO file")) {
      err << refused->message << "\n";
      return refused->exitCode;
    }
  }
  const Result<RgbPicture> read = ReadPicture(request.input, request.background);
  if (!read) {
    err << read.error().message << "\n";
    return 1;
  }
  const RgbPicture& picture = *read;
  const auto start = std::chrono::steady_clock::now();
  const Result<EncodeChoice> encoded = EncodeAsAsked(request, picture);
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  if (!encoded) {
    err << file_io::InputName(request.input) << ": " << encoded.error().message
        << (request.choice ? "; nothing was written\n" : "\n");
    return 1;
  }
  const std::vector<uint8_t>& file = encoded->file;
  const EncodeOptions& options = encoded->options;

  std::vector<uint16_t> decoded;
  if (const std::string problem = CheckByDecoding(file, picture, options, decoded);
      !problem.empty()) {
    err << file_io::InputName(request.input) << ": " << problem << "\n";
    return 1;
  }
  // A chosen file says why in the summary instead.
  const std::string warnings =
      request.choice ? std::string() : WastedBitsWarnings(request, picture, file.size());
  const c_source::CSourceNames* const names = cSource ? &*cSource : nullptr;
  if (const Result<void> written = WriteOutput(request, names, file); !written) {
    err << written.error().message << "\n";
    return 1;
  }
  // When the file goes to standard output, the summary goes to standard error.
  PrintSummary(request, names, options, encoded->why, picture, file.size(), seconds.count(),
               decoded, request.output == file_io::kStandardStream ? err : out);
  err << warnings;
  return 0;
}

}  // namespace

int RunEncode(const EncodeRequest& request, std::ostream& out, std::ostream& err) {
  try {
    return Encode(request, out, err);
  } catch (const std::bad_alloc&) {
    err << file_io::InputName(request.input) << ": Not enough memory to encode this picture\n";
    return 1;
  }
}

namespace {

// Arrays of one name cannot be linked into one firmware: `a-b.png` and
// `a_b.png` both give `a_b`. Each file is still right on its own, so this
// warns and converts them all.
void WarnOfSharedArrayNames(const BatchPlan& plan, const std::string& requestedName,
                            std::ostream& err) {
  std::map<std::string, std::string> firstSourceOf;
  for (const BatchJob& job : plan.jobs) {
    const Result<c_source::CSourceNames> names =
        c_source::CSourceNamesFor(job.output, requestedName);
    if (!names) continue;  // the job itself reports it
    const auto [first, isNew] = firstSourceOf.emplace(names->arrayName, names->sourcePath);
    if (!isNew) {
      err << "warning: " << names->sourcePath << ": declares the array " << names->arrayName
          << ", as " << first->second
          << " does; rename one of the pictures to link both into one program\n";
    }
  }
}

}  // namespace

int RunEncodeBatch(const BatchRequest& batch, const EncodeRequest& request, std::ostream& out,
                   std::ostream& err) {
  const auto outputName = request.format == EncodeOutput::kCSource ? CSourceNameFor : VexoNameFor;
  const BatchNaming naming{IsPictureName, outputName, outputName, NoPictures()};
  const ConvertOneFile encodeOne = [&request](const BatchJob& job, std::ostream& messages) {
    if (!CreateOutputFolder(job.output, messages)) return 1;
    EncodeRequest one = request;
    one.input = job.input;
    one.output = job.output;
    std::ostream summary(nullptr);  // a batch prints no summary per file
    return RunEncode(one, summary, messages);
  };
  const BatchPlan plan = PlanBatch(batch.inputs, batch.outputFolder, naming);
  if (request.format == EncodeOutput::kCSource) {
    WarnOfSharedArrayNames(plan, request.arrayName, err);
  }
  return RunBatch(plan, {batch.threads, batch.showProgress, "encode", batch.outputFolder},
                  encodeOne, out, err);
}

}  // namespace vexo::cli
