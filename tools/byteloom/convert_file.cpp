#include "byteloom/convert_file.h"

#include <cerrno>
#include <cstdio>
#include <new>
#include <optional>
#include <string>

#include "byteloom/byte_list_decoder.h"
#include "byteloom/byte_list_encoder.h"
#include "byteloom/extension_table.h"
#include "byteloom/output_name.h"
#include "file_io/atomic_output_file.h"
#include "file_io/file_handle.h"
#include "file_io/same_file.h"

namespace byteloom {
using file_io::AtomicOutputFile;
using file_io::FileHandle;
using file_io::LastErrorNumber;
using file_io::OpenFile;
namespace {

// Large enough that system calls are rare; fixed, so that memory use does not grow with the
// file.
constexpr std::size_t kBinaryChunkSize = std::size_t{64} << 10;
constexpr std::size_t kTextChunkSize = std::size_t{256} << 10;

int Report(std::ostream& messages, int result, std::string_view what, int errorNumber) {
  messages << what << "[" << errorNumber << "]\n";
  return result;
}

int ReportReadFailure(std::ostream& messages, int errorNumber) {
  return Report(messages, kConvertSourceFailed, "read source file fail!", errorNumber);
}

int ReportWriteFailure(std::ostream& messages, int errorNumber) {
  return Report(messages, kConvertDestinationFailed, "write destination file fail!", errorNumber);
}

// Replaces `chunk` with the next at most `size` bytes of `source`; returns 0 or an errno.
int ReadChunk(std::FILE* source, std::size_t size, std::string& chunk) {
  chunk.resize(size);
  errno = 0;
  chunk.resize(std::fread(chunk.data(), 1, size, source));
  return std::ferror(source) ? LastErrorNumber() : 0;
}

int ReportInvalidText(std::ostream& messages, const ByteListDecoder& decoder) {
  messages << "invalid byte-list text at offset " << decoder.errorOffset() << "!\n";
  return kConvertInvalidText;
}

// Reads `source` in chunks of `chunkSize`, lets `convert` turn each into the
// output's bytes (it returns kConvertOk or the result of its own failure), and
// writes them. The first failure ends the conversion with its result.
template <class ConvertChunk>
int ConvertInChunks(std::FILE* source, std::size_t chunkSize, AtomicOutputFile& output,
                    std::ostream& messages, ConvertChunk convert) {
  std::string chunk;
  std::string converted;
  while (!std::feof(source)) {
    if (const int error = ReadChunk(source, chunkSize, chunk)) {
      return ReportReadFailure(messages, error);
    }
    converted.clear();
    if (const int result = convert(chunk, converted); result != kConvertOk) return result;
    if (const int error = output.Write(converted)) return ReportWriteFailure(messages, error);
  }
  return kConvertOk;
}

int BinaryToText(std::FILE* source, AtomicOutputFile& output, std::ostream& messages) {
  ByteListEncoder encoder;
  return ConvertInChunks(source, kBinaryChunkSize, output, messages,
                         [&encoder](std::string_view bytes, std::string& text) {
                           encoder.Encode(bytes, text);
                           return kConvertOk;
                         });
}

int TextToBinary(std::FILE* source, AtomicOutputFile& output, std::ostream& messages) {
  ByteListDecoder decoder;
  const int result = ConvertInChunks(
      source, kTextChunkSize, output, messages, [&](std::string_view text, std::string& bytes) {
        return decoder.Decode(text, bytes) ? kConvertOk : ReportInvalidText(messages, decoder);
      });
  if (result != kConvertOk) return result;
  return decoder.Finish() ? kConvertOk : ReportInvalidText(messages, decoder);
}

// The output name, or empty after printing why it cannot be used. Checked before anything is
// opened, so that a bad name can never cost data.
std::optional<std::string> SafeOutputName(std::string_view sourceExtension,
                                          std::string_view destinationExtension,
                                          const std::string& sourcePath, std::ostream& messages) {
  std::optional<std::string> name =
      MakeOutputName(sourcePath, sourceExtension, destinationExtension);
  if (!name) {
    messages << "source file path is shorter than its extension!\n";
  } else if (file_io::NamesSameFile(sourcePath, *name)) {
    messages << "destination file would overwrite the source file!\n";
    name.reset();
  }
  return name;
}

// False, after saying why, when the destination extension names the kind of file the source
// already is: a binary file would get text under a binary name, or the reverse.
bool DestinationSideFits(std::string_view sourceExtension, std::string_view destinationExtension,
                         std::ostream& messages) {
  const bool toText = IsBinaryExtension(sourceExtension);
  const ExtensionSide destination = SideOf(destinationExtension);
  if (toText && destination == ExtensionSide::kBinary) {
    messages << "destination extension must be a text extension (icn, dat, mel) for a binary "
                "source!\n";
    return false;
  }
  if (!toText && destination == ExtensionSide::kText) {
    messages << "destination extension must be a binary extension (vxo, mmf, midi) for a text "
                "source!\n";
    return false;
  }
  return true;
}

int Convert(std::string_view sourceExtension, std::string_view destinationExtension,
            const std::string& sourcePath, std::ostream& messages) {
  const std::optional<std::string> outputName =
      SafeOutputName(sourceExtension, destinationExtension, sourcePath, messages);
  if (!outputName) return kConvertUnsafeOutputName;
  if (!DestinationSideFits(sourceExtension, destinationExtension, messages)) {
    return kConvertSameSide;
  }

  const FileHandle source = OpenFile(sourcePath, "rb");
  if (!source) {
    return Report(messages, kConvertSourceFailed, "open source file fail!", LastErrorNumber());
  }
  AtomicOutputFile output;
  if (const int error = output.Open(*outputName)) {
    return Report(messages, kConvertDestinationFailed, "open destination file fail!", error);
  }
  const int result = IsBinaryExtension(sourceExtension)
                         ? BinaryToText(source.get(), output, messages)
                         : TextToBinary(source.get(), output, messages);
  if (result != kConvertOk) return result;
  if (const int error = output.Commit()) return ReportWriteFailure(messages, error);
  return kConvertOk;
}

}  // namespace

int ConvertFile(std::string_view sourceExtension, std::string_view destinationExtension,
                std::string_view sourcePath, std::ostream& messages) {
  try {
    return Convert(sourceExtension, destinationExtension, std::string(sourcePath), messages);
  } catch (const std::bad_alloc&) {
    messages << "malloc fail!\n";
    return kConvertNoMemory;
  }
}

}  // namespace byteloom
