#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace byteloom {

// Turns byte-list text back into bytes. The text is a sequence of pairs of hexadecimal digits
// (either letter case), each optionally preceded by a two-character prefix ending in 'x' or 'X'
// such as "0x", separated by any run of spaces, tabs, commas, carriage returns and line feeds.
//
// Anything else is refused rather than guessed at, so that a mistyped or truncated text never
// turns silently into wrong bytes. Feeds may be split anywhere, even inside a pair.
class ByteListDecoder {
 public:
  // Appends the bytes of `text` to `bytes`. Returns false at the first malformed pair.
  bool Decode(std::string_view text, std::string& bytes);

  // Call after the last feed. Returns false if the text ended halfway through a pair.
  bool Finish();

  // Where the malformed pair starts, counted in characters from the start of the text.
  std::uint64_t errorOffset() const { return pendingOffset_; }

 private:
  static constexpr int kNothingPending = -1;

  std::uint64_t offset_ = 0;         // characters fed before the current feed
  int pending_ = kNothingPending;    // first character of an unfinished pair
  std::uint64_t pendingOffset_ = 0;  // and where it stands
};

}  // namespace byteloom
