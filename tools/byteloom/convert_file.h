#pragma once

#include <ostream>
#include <string_view>

namespace byteloom {

// Results of ConvertFile. Every failure has printed one line saying why.
enum ConvertResult : int {
  kConvertOk = 0,
  kConvertNoMemory = -1,           // "malloc fail!"
  kConvertSourceFailed = -2,       // the source cannot be opened or read
  kConvertDestinationFailed = -3,  // the output cannot be created or written
  kConvertUnsafeOutputName = -4,   // the output name is unusable or would replace the source
  kConvertInvalidText = -5,        // the source is not byte-list text
  kConvertSameSide = -6,           // the destination extension is of the source's kind
};

// Converts the file at `sourcePath` and writes the result beside it under the name given by
// MakeOutputName. A source whose extension is binary (vxo, mmf, midi in any letter case)
// becomes byte-list text; any other source is read as byte-list text and becomes binary.
// The destination extension names the output; one that the extension table puts on the
// source's side (binary to binary, text to text) is refused, because the output would hold
// text under a binary name or the reverse. Extensions outside the table are allowed.
//
// The conversion streams through fixed-size buffers, so files of any size work. The output
// appears only when the whole conversion succeeded; on failure an existing file of that name
// is left as it was. Messages go to `messages`.
int ConvertFile(std::string_view sourceExtension, std::string_view destinationExtension,
                std::string_view sourcePath, std::ostream& messages);

}  // namespace byteloom
