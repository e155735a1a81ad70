#include "byteloom/byte_list_decoder.h"

#include <array>

namespace byteloom {
namespace {

constexpr signed char kOther = -1;
constexpr signed char kSeparator = -2;

// For every character: its value as a hexadecimal digit, kSeparator, or kOther.
constexpr std::array<signed char, 256> MakeCharTable() {
  std::array<signed char, 256> table{};
  table.fill(kOther);
  for (int digit = 0; digit < 10; ++digit) table['0' + digit] = static_cast<signed char>(digit);
  for (int letter = 0; letter < 6; ++letter) {
    table['a' + letter] = static_cast<signed char>(10 + letter);
    table['A' + letter] = static_cast<signed char>(10 + letter);
  }
  for (const unsigned char separator : {' ', ',', '\r', '\n', '\t'}) table[separator] = kSeparator;
  return table;
}

constexpr std::array<signed char, 256> kCharTable = MakeCharTable();

signed char Classify(int c) {
  return kCharTable[static_cast<unsigned char>(c)];
}

bool IsPrefixMark(char c) {
  return c == 'x' || c == 'X';
}

}  // namespace

bool ByteListDecoder::Decode(std::string_view text, std::string& bytes) {
  // Each byte takes two characters; one more may finish a pair begun in the previous feed.
  const std::size_t start = bytes.size();
  bytes.resize(start + text.size() / 2 + 1);
  char* out = bytes.data() + start;
  bool valid = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (pending_ == kNothingPending) {
      if (Classify(c) != kSeparator) {
        pending_ = static_cast<unsigned char>(c);
        pendingOffset_ = offset_ + i;
      }
      continue;
    }
    // Any character followed by an 'x' is a prefix such as "0x" and carries no data.
    if (!IsPrefixMark(c)) {
      const signed char high = Classify(pending_);
      const signed char low = Classify(c);
      valid = high >= 0 && low >= 0;
      if (!valid) break;
      *out++ = static_cast<char>(high << 4 | low);
    }
    pending_ = kNothingPending;
  }
  offset_ += text.size();
  bytes.resize(static_cast<std::size_t>(out - bytes.data()));
  return valid;
}

bool ByteListDecoder::Finish() {
  return pending_ == kNothingPending;
}

}  // namespace byteloom
