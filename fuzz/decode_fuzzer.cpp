// Fuzz target for the decode entries: the first byte picks the family, how
// large the output buffer is, and for the C interface the gap after each row
// and the byte order; the rest is the file. The C interface must decode
// exactly what the C++ entry decodes, and never write into the gaps; its
// band-by-band decode must agree with its whole decode, and the band decode
// through a reader with a small input buffer with the one from memory.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "band_check.h"
#include "reader_check.h"
#include "vexo.h"
#include "vexo_decoder.h"

namespace {

// Pictures larger than this are refused before allocating, as the file
// decode does, so the fuzzer spends its time in the decoders.
constexpr size_t kMaximumPixels = 1u << 22;
constexpr uint16_t kGap = 0xD00D;

struct Choices {
  vexo::VexoFamily family;
  bool shortOutput;
  size_t extraColumns;
  bool byteSwapped;
};

Choices ChoicesOf(uint8_t byte) {
  return {(byte & 1) ? vexo::VexoFamily::k201 : vexo::VexoFamily::k101, (byte & 2) != 0,
          static_cast<size_t>((byte >> 2) & 7), (byte & 0x20) != 0};
}

// The C interface's decode of the same file into rows `extraColumns` wider
// than the picture, compared with the C++ entry's pixels.
void CheckCInterface(std::span<const uint8_t> file, const vexo::VexoHeader& header,
                     const Choices& choices, const vexo::VexoDecodeResult& expected,
                     const std::vector<uint16_t>& pixels) {
  // The C interface takes the family from the version byte.
  const bool magic = vexo::HasVexoMagic(file);
  if (magic && header.codecVersion != static_cast<uint8_t>(choices.family)) return;
  vexo_info info{};
  if (vexo_read_info(file.data(), file.size(), &info) != VEXO_OK && magic) __builtin_trap();
  const size_t width = pixels.empty() ? 0 : static_cast<size_t>(info.width);
  const size_t height = width == 0 ? 0 : pixels.size() / width;
  const size_t stride = width + choices.extraColumns;
  std::vector<uint16_t> rows(stride * (height + 1), kGap);
  std::vector<uint8_t> workspace(vexo_workspace_size(&info));
  int32_t result = 0;
  const int status = vexo_decode(file.data(), file.size(), rows.data(), stride,
                                 choices.byteSwapped ? VEXO_OUTPUT_BYTE_SWAPPED : 0u,
                                 workspace.data(), workspace.size(), &result);
  if (status != static_cast<int>(expected.status)) __builtin_trap();
  if (status != VEXO_OK) return;
  if (result != expected.result) __builtin_trap();
  for (size_t i = 0; i < rows.size(); ++i) {
    const size_t x = i % stride, y = i / stride;
    uint16_t want = kGap;
    if (x < width && y < height) {
      want = pixels[y * width + x];
      if (choices.byteSwapped) want = static_cast<uint16_t>(want << 8 | want >> 8);
    }
    if (rows[i] != want) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const Choices choices = ChoicesOf(data[0]);
  const std::span<const uint8_t> file(data + 1, size - 1);

  size_t pixels = 0;
  const auto header = vexo::ReadVexoHeader(file);
  if (header) {
    if (!vexo::VexoFileCanHoldPicture(*header, file.size())) return 0;
    pixels = vexo::VexoPixelCount(*header);
  }
  if (pixels > kMaximumPixels) return 0;
  if (choices.shortOutput && pixels > 0) --pixels;
  std::vector<uint16_t> image(pixels);
  const vexo::VexoDecodeResult result = vexo::VexoDecode(choices.family, file, image);
  if (choices.shortOutput && result.status == vexo::VexoStatus::kOk && !image.empty()) {
    __builtin_trap();
  }
  if (header && !choices.shortOutput) CheckCInterface(file, *header, choices, result, image);
  const vexo::testing::BandCheck how{choices.byteSwapped ? VEXO_OUTPUT_BYTE_SWAPPED : 0u,
                                     choices.extraColumns};
  if (!vexo::testing::CheckBandsAgainstWhole(file, how).empty()) __builtin_trap();
  const vexo::testing::ReaderCheck through{64 + 7 * choices.extraColumns, how.flags, -1};
  if (!vexo::testing::CheckReaderAgainstMemory(file, through).empty()) __builtin_trap();
  return 0;
}
