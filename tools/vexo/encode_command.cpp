// vexo encode: an ordinary picture to a VEXO file, checked by decoding it.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <new>
#include <ostream>

#include "batch_run.h"
#include "c_source/c_source.h"
#include "commands.h"
#include "encode_settings/encoded_file.h"
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

// `value` with `decimals` digits after the point.
std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

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

// The line every encoded file gets: the output, the picture's size, the
// file's size, the path and quality (and why, when chosen for a goal), the
// PSNR of a lossy file, and the array of a C source. Made before the file is
// written, with strings that throw rather than streams that would swallow a
// failed allocation, so that running out of memory never follows a written
// file; a long output name is never cut short.
std::string FileLine(const EncodeRequest& request, const c_source::CSourceNames* cSource,
                     const EncodeChoice& encoded, const RgbPicture& picture,
                     const std::vector<uint16_t>& decoded) {
  const std::string name =
      request.output == file_io::kStandardStream ? "standard output" : request.output;
  std::string line = name + ": " + encode_settings::FileDescription(encoded, picture, decoded);
  if (cSource) line += ", C array " + cSource->arrayName + " declared in " + cSource->headerPath;
  return line + encode_settings::ChoiceReason(encoded) + "\n";
}

// What a single encode adds: the time the encoder took.
std::string TimeLine(const RgbPicture& picture, double seconds) {
  const double megapixels = static_cast<double>(picture.width) * picture.height / 1e6;
  return "Encoding time: " + Fixed(seconds, 3) + " s (" + Fixed(megapixels / seconds, 1) +
         " megapixels per second)\n";
}

// Warnings about a transform file that costs more than it needs to, made
// before the file is written, like the file's line.
std::string WastedBitsWarnings(const EncodeRequest& request, const RgbPicture& picture,
                               size_t fileBytes) {
  std::string lines;
  for (const std::string& warning :
       encode_settings::WastedBitsWarnings(picture, request.options, fileBytes)) {
    lines += "warning: " + request.output + ": " + warning + "\n";
  }
  return lines;
}

// Writes the VEXO file, or the C source and header that hold it.
Result<void> WriteOutput(const EncodeRequest& request, const c_source::CSourceNames* cSource,
                         const std::vector<uint8_t>& file) {
  if (!cSource) return file_io::WriteWholeFile(request.output, file);
  const Result<c_source::CSourcePair> pair = c_source::MakeCSourcePair(*cSource, file);
  if (!pair) return pair.error();
  return c_source::WriteCSourcePair(*pair);
}

// Encodes one picture; the file's line goes to `out` (or to `err` when the
// file goes to standard output), with the encoding time when `timed`.
int Encode(const EncodeRequest& request, bool timed, std::ostream& out, std::ostream& err) {
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
  if (request.dryRun) {
    out << file_io::InputName(request.input) << ": would write " << request.output
        << (cSource ? " and " + cSource->headerPath + ", C array " + cSource->arrayName : "")
        << "\n";
    return 0;
  }
  const Result<RgbPicture> read = ReadPicture(request.input, request.background);
  if (!read) {
    err << read.error().message << "\n";
    return 1;
  }
  const RgbPicture& picture = *read;
  const auto start = std::chrono::steady_clock::now();
  const Result<EncodeChoice> encoded =
      encode_settings::EncodeAsAsked(picture, {request.options, request.choice});
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  if (!encoded) {
    err << file_io::InputName(request.input) << ": " << encoded.error().message
        << (request.choice ? "; nothing was written\n" : "\n");
    return 1;
  }
  const std::vector<uint8_t>& file = encoded->file;

  std::vector<uint16_t> decoded;
  if (const std::string problem =
          encode_settings::CheckByDecoding(file, picture, encoded->options, decoded);
      !problem.empty()) {
    err << file_io::InputName(request.input) << ": " << problem << "\n";
    return 1;
  }
  const c_source::CSourceNames* const names = cSource ? &*cSource : nullptr;
  const std::string lines = FileLine(request, names, *encoded, picture, decoded) +
                            (timed ? TimeLine(picture, seconds.count()) : std::string());
  // A chosen file says why in its line instead.
  const std::string warnings =
      request.choice ? std::string() : WastedBitsWarnings(request, picture, file.size());
  if (const Result<void> written = WriteOutput(request, names, file); !written) {
    err << written.error().message << "\n";
    return 1;
  }
  (request.output == file_io::kStandardStream ? err : out) << lines;
  err << warnings;
  return 0;
}

int RunEncodeTimed(const EncodeRequest& request, bool timed, std::ostream& out, std::ostream& err) {
  try {
    return Encode(request, timed, out, err);
  } catch (const std::bad_alloc&) {
    err << file_io::InputName(request.input) << ": Not enough memory to encode this picture\n";
    return 1;
  }
}

}  // namespace

int RunEncode(const EncodeRequest& request, std::ostream& out, std::ostream& err) {
  return RunEncodeTimed(request, true, out, err);
}

namespace {

// Arrays of one name, or of one name in capitals (their macros), cannot go
// into one firmware: `a-b.png` and `a_b.png` both give `a_b`. Each file is
// still right on its own, so this warns and converts them all.
void WarnOfSharedArrayNames(const BatchPlan& plan, const std::string& requestedName,
                            std::ostream& err) {
  std::map<std::string, std::string> firstSourceOf;
  for (const BatchJob& job : plan.jobs) {
    const Result<c_source::CSourceNames> names =
        c_source::CSourceNamesFor(job.output, requestedName);
    if (!names) continue;  // the job itself reports it
    const std::string macros = c_source::MacroPrefix(names->arrayName);
    const auto [first, isNew] = firstSourceOf.emplace(macros, names->sourcePath);
    if (!isNew) {
      err << "warning: " << names->sourcePath << ": declares the array " << names->arrayName
          << " (macros " << macros << "_*), as " << first->second
          << " does; rename one of the pictures to link both into one program\n";
    }
  }
}

}  // namespace

int RunEncodeBatch(const BatchRequest& batch, const EncodeRequest& request, std::ostream& out,
                   std::ostream& err) {
  const auto outputName = request.format == EncodeOutput::kCSource ? CSourceNameFor : VexoNameFor;
  const BatchNaming naming{IsPictureName, outputName, outputName, NoPictures()};
  const ConvertOneFile encodeOne = [&request](const BatchJob& job, std::ostream& lines,
                                              std::ostream& messages) {
    if (!CreateOutputFolder(job.output, messages)) return 1;
    EncodeRequest one = request;
    one.input = job.input;
    one.output = job.output;
    return RunEncodeTimed(one, false, lines, messages);  // the batch times itself
  };
  const BatchPlan plan = PlanBatch(batch.inputs, batch.outputFolder, naming);
  if (request.format == EncodeOutput::kCSource) {
    WarnOfSharedArrayNames(plan, request.arrayName, err);
  }
  return RunBatch(plan, {batch.threads, batch.showProgress, "encode", batch.outputFolder},
                  encodeOne, out, err);
}

}  // namespace vexo::cli
