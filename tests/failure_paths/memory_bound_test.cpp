// The decode of a file of n bytes allocates at most a constant times n: the
// worst headers claim the largest picture on the shortest file, on every path.
#include <gtest/gtest.h>

#include <sstream>

#include "allocation_hook.h"
#include "commands.h"
#include "file_decoder.h"
#include "temp_folder_test.h"
#include "vexo_decoder.h"

namespace vexo {
namespace {

// The densest path codes a 4 x 4 block in 2 bits: 64 pixels a byte, each
// held as 2 + 3 + 3 bytes by the file decode, plus the file itself and small
// fixed costs.
constexpr size_t kBytesPerFileByte = 64 * 8 + 16;
constexpr size_t kFixedBytes = 256 << 10;

// A file of `size` bytes whose header claims a square picture.
std::vector<uint8_t> FileWithSides(uint8_t pathFlag, uint8_t version, uint16_t side, size_t size) {
  const auto low = static_cast<uint8_t>(side), high = static_cast<uint8_t>(side >> 8);
  std::vector<uint8_t> file{'V', 'E', 'X', 'O', low, high, low, high, 0, pathFlag, 0, version};
  file.resize(size);
  return file;
}

// The largest side a file of `size` bytes passes the block-count check with:
// the worst a file of that size can make the decode allocate.
uint16_t LargestSidePassing(uint8_t pathFlag, uint8_t version, size_t size) {
  uint16_t low = 1, high = 32767;
  while (low < high) {
    const auto middle = static_cast<uint16_t>((low + high + 1) / 2);
    const auto header = ReadVexoHeader(FileWithSides(pathFlag, version, middle, 12));
    if (VexoFileCanHoldPicture(*header, size)) {
      low = middle;
    } else {
      high = static_cast<uint16_t>(middle - 1);
    }
  }
  return low;
}

using MemoryBoundTest = vexo::testing::TempFolderTest;

// On each path (predictive 101 and 201, transform, fast), the most the file
// decode and `vexo info` hold at once.
TEST_F(MemoryBoundTest, HugeSidesOnShortFilesCostAtMostAConstantTimesTheFileSize) {
  for (const auto& [pathFlag, version] :
       {std::pair<uint8_t, uint8_t>{0, 101}, {0, 201}, {1, 101}, {1, 201}}) {
    for (const size_t size : {size_t{16}, size_t{40}, size_t{4096}, size_t{65536}}) {
      for (const uint16_t side : {uint16_t{32767}, LargestSidePassing(pathFlag, version, size)}) {
        const auto file = FileWithSides(pathFlag, version, side, size);
        const std::string path = Write("f.vxo", file);
        allocation_hook::ResetPeak();
        const size_t before = allocation_hook::LiveBytes();
        {
          vexo::FileDecoder decoder;
          decoder.Decode(path);
          std::ostringstream out;
          vexo::cli::DescribeVexoFile(file, out);
        }
        EXPECT_LE(allocation_hook::PeakBytes() - before, kBytesPerFileByte * size + kFixedBytes)
            << "path " << int{pathFlag} << ", version " << int{version} << ", " << size
            << " bytes, side " << side;
      }
    }
  }
}

}  // namespace

}  // namespace vexo
