#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace byteloom {

// Turns raw bytes into byte-list text: every byte as "0x%02x, " (two lowercase hexadecimal
// digits, a comma and a space) and a line feed after every eighth byte. There is no header or
// footer, so the text can be pasted as the initialiser of a C byte array.
//
// Feeds may be split anywhere: the position within the current line carries over.
class ByteListEncoder {
 public:
  static constexpr int kBytesPerLine = 8;

  // Appends the text for `bytes` (raw data, one char per byte) to `text`.
  void Encode(std::string_view bytes, std::string& text);

  // The most text that `byteCount` bytes can produce.
  static constexpr std::size_t MaxTextSize(std::size_t byteCount) {
    return byteCount * kCharsPerByte + byteCount / kBytesPerLine + 1;
  }

 private:
  static constexpr std::size_t kCharsPerByte = 6;  // "0x", two digits, ", "

  int bytesOnLine_ = 0;
};

}  // namespace byteloom
