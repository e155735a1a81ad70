// Holds the band-by-band decode through a reader to the band-by-band decode
// of the same file in memory, for the tests and the decode fuzzer alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vexo::testing {

struct ReaderCheck {
  size_t inputBytes = 512;
  unsigned flags = 0;
  // The reader fails every read that covers this offset (none when
  // negative).
  int64_t failAt = -1;
};

// What the reader was asked for.
struct ReaderUse {
  uint32_t calls = 0;
  uint64_t bytesRead = 0;
  uint32_t mostReadsOfAByte = 0;  // how often the most read byte was read
};

// Decodes `file` band by band from memory and through a reader that serves
// it from memory, into band buffers of the same garbage, and checks that:
//  - both give the same bands and the same statuses, call by call (a file
//    shorter than its 12-byte header fails as truncated through a reader);
//  - the reader is asked for at most inputBytes at once, and only for
//    bytes inside the file;
//  - with failAt, the decode fails with VEXO_ERROR_READ at the latest at
//    the band where the memory decode ends or fails, the bands before it
//    are the memory decode's, every later call fails alike, and the reader
//    is not called again after its failure.
// Returns an empty string when all holds, otherwise what does not; `use`
// receives what the reader was asked for.
std::string CheckReaderAgainstMemory(std::span<const uint8_t> file, const ReaderCheck& how,
                                     ReaderUse* use = nullptr);

}  // namespace vexo::testing
