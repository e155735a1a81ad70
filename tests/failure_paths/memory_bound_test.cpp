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

struct PathCase {
  const char* name;
  uint8_t pathFlag;
  uint8_t codecVersion;
};

void PrintTo(const PathCase& c, std::ostream* out) {
  *out << c.name;
}

std::vector<uint8_t> FileWithSides(const PathCase& c, uint16_t side, size_t size) {
  const auto low = static_cast<uint8_t>(side), high = static_cast<uint8_t>(side >> 8);
  std::vector<uint8_t> file{'V', 'E',  'X', 'O',        low, high,
                            low, high, 0,   c.pathFlag, 0,   c.codecVersion};
  file.resize(size);
  return file;
}

// The largest square picture a file of `size` bytes passes the block-count
// check with: the worst a file of that size can make the decode allocate.
uint16_t LargestSidePassing(const PathCase& c, size_t size) {
  uint16_t low = 1, high = 32767;
  while (low < high) {
    const auto middle = static_cast<uint16_t>((low + high + 1) / 2);
    const auto header = ReadVexoHeader(FileWithSides(c, middle, 12));
    if (VexoFileCanHoldPicture(*header, size)) {
      low = middle;
    } else {
      high = static_cast<uint16_t>(middle - 1);
    }
  }
  return low;
}

class MemoryBoundTest : public vexo::testing::TempFolderTest,
                        public ::testing::WithParamInterface<PathCase> {
 protected:
  // The most the file decode and `vexo info` hold at once for this file.
  size_t PeakOfDecoding(const std::vector<uint8_t>& file) {
    const std::string path = Write("f.vxo", file);
    allocation_hook::ResetPeak();
    const size_t before = allocation_hook::LiveBytes();
    {
      vexo::FileDecoder decoder;
      decoder.Decode(path);
      std::ostringstream out;
      vexo::cli::DescribeVexoFile(file, out);
    }
    return allocation_hook::PeakBytes() - before;
  }
};

TEST_P(MemoryBoundTest, HugeSidesOnShortFilesCostAtMostAConstantTimesTheFileSize) {
  for (const size_t size : {size_t{16}, size_t{40}, size_t{4096}, size_t{65536}}) {
    for (const uint16_t side : {uint16_t{32767}, LargestSidePassing(GetParam(), size)}) {
      const size_t peak = PeakOfDecoding(FileWithSides(GetParam(), side, size));
      EXPECT_LE(peak, kBytesPerFileByte * size + kFixedBytes) << size << " bytes, side " << side;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, MemoryBoundTest,
                         ::testing::Values(PathCase{"Predictive101", 0, 101},
                                           PathCase{"Predictive201", 0, 201},
                                           PathCase{"Transform101", 1, 101},
                                           PathCase{"Fast201", 1, 201}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

}  // namespace vexo
