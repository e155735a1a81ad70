#include "byteloom/byte_list_encoder.h"

namespace byteloom {

void ByteListEncoder::Encode(std::string_view bytes, std::string& text) {
  static constexpr char kHexDigits[] = "0123456789abcdef";

  const std::size_t start = text.size();
  text.resize(start + MaxTextSize(bytes.size()));
  char* out = text.data() + start;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    out[0] = '0';
    out[1] = 'x';
    out[2] = kHexDigits[byte >> 4];
    out[3] = kHexDigits[byte & 0x0f];
    out[4] = ',';
    out[5] = ' ';
    out += kCharsPerByte;
    if (++bytesOnLine_ == kBytesPerLine) {
      *out++ = '\n';
      bytesOnLine_ = 0;
    }
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
}

}  // namespace byteloom
