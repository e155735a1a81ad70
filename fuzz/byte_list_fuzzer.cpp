// Fuzz target for byteloom's text-to-binary conversion: any text is either
// refused or turned into bytes, and those bytes written as text and read
// back give the same bytes, whatever the text was split into.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "byteloom/byte_list_decoder.h"
#include "byteloom/byte_list_encoder.h"

namespace {

// Decodes `text` in two feeds split at `split`; false when it is refused.
bool DecodeInTwoFeeds(std::string_view text, size_t split, std::string& bytes) {
  byteloom::ByteListDecoder decoder;
  return decoder.Decode(text.substr(0, split), bytes) &&
         decoder.Decode(text.substr(split), bytes) && decoder.Finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string whole;
  byteloom::ByteListDecoder decoder;
  const bool accepted = decoder.Decode(text, whole) && decoder.Finish();

  std::string split;
  if (DecodeInTwoFeeds(text, size / 2, split) != accepted) __builtin_trap();
  if (!accepted) return 0;
  if (split != whole) __builtin_trap();

  std::string encoded;
  byteloom::ByteListEncoder().Encode(whole, encoded);
  std::string again;
  if (!DecodeInTwoFeeds(encoded, encoded.size() / 3, again) || again != whole) __builtin_trap();
  return 0;
}
