// What the program allocates. A decode of a file of n bytes allocates at most
// a constant times n: the worst headers claim the largest picture on the
// shortest file, on every path. And every allocation a decode or an encode
// makes is failed in turn: each time the program must say it ran out of
// memory, never crash or throw, and leave no file behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <streambuf>

#include "allocation_hook.h"
#include "commands.h"
#include "file_decoder.h"
#include "temp_folder_test.h"
#include "vexo_decoder.h"

namespace vexo {
namespace {

using MemoryTest = vexo::testing::TempFolderTest;

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
    const bool passes = VexoFileCanHoldPicture(*header, size);
    low = passes ? middle : low;
    high = passes ? high : static_cast<uint16_t>(middle - 1);
  }
  return low;
}

// On each path (predictive 101 and 201, transform, fast), the most the file
// decode and `vexo info` hold at once.
TEST_F(MemoryTest, HugeSidesOnShortFilesCostAtMostAConstantTimesTheFileSize) {
  std::ostringstream info;
  for (const auto& [pathFlag, version] :
       {std::pair<uint8_t, uint8_t>{0, 101}, {0, 201}, {1, 101}, {1, 201}}) {
    for (const size_t size : {size_t{16}, size_t{40}, size_t{4096}, size_t{65536}}) {
      for (const uint16_t side : {uint16_t{32767}, LargestSidePassing(pathFlag, version, size)}) {
        const auto file = FileWithSides(pathFlag, version, side, size);
        const std::string path = Write("f.vxo", file);
        allocation_hook::ResetPeak();
        const size_t before = allocation_hook::LiveBytes();
        vexo::FileDecoder().Decode(path);
        vexo::cli::DescribeVexoFile(file, info);
        EXPECT_LE(allocation_hook::PeakBytes() - before, kBytesPerFileByte * size + kFixedBytes)
            << "path " << int{pathFlag} << ", version " << int{version} << ", " << size
            << " bytes, side " << side;
      }
    }
  }
}

// A stream buffer that never allocates, so that the test's own capture of
// the program's texts cannot be the allocation that fails.
class FixedText : public std::streambuf {
 public:
  void Reset() { setp(text_, text_ + sizeof text_); }
  std::string Text() const { return {pbase(), pptr()}; }

 private:
  char text_[4096];
};

// Runs `run` with allocation 0, 1, 2, ... failing in turn until a run no
// longer reaches the chosen one, and hands each outcome to `check` with
// whether an allocation failed in it. Returns the number of failed runs.
template <typename Run, typename Check>
uint64_t FailEachAllocation(const Run& run, const Check& check) {
  for (uint64_t failAt = 0;; ++failAt) {
    allocation_hook::FailOnce(failAt);
    const auto outcome = run();
    const bool failed = allocation_hook::HasFailed();
    allocation_hook::Disarm();
    check(outcome, failed);
    if (!failed) return failAt;
  }
}

// On each encoder path: the clean run succeeds; every other says it ran out
// of memory and leaves the folder as it was, without a temporary file or a
// half-written output.
TEST_F(MemoryTest, EncodeOutOfMemoryIsReportedAndWritesNothing) {
  std::string ppm = "P6 16 8 255\n";
  for (int i = 0; i < 3 * 16 * 8; ++i) ppm += static_cast<char>(i * 37);
  const std::string input = Write("in.ppm", {ppm.begin(), ppm.end()});
  const std::string output = (folder_ / "out.vxo").string();
  FixedText text;
  std::ostream stream(&text);
  for (const VexoPath path : {VexoPath::kPredictive, VexoPath::kFast, VexoPath::kTransform}) {
    const VexoFamily family = path == VexoPath::kFast ? VexoFamily::k201 : VexoFamily::k101;
    const vexo::cli::EncodeRequest request{input, output, {path, family, 1}};
    const auto encode = [&] {
      text.Reset();
      stream.clear();
      return vexo::cli::RunEncode(request, stream, stream);
    };
    FailEachAllocation(encode, [&](int exitCode, bool failed) {
      EXPECT_EQ(exitCode, failed ? 1 : 0) << text.Text();
      EXPECT_EQ(text.Text().find("Not enough memory") != std::string::npos, failed);
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), failed ? 1 : 2);
    });
    std::filesystem::remove(output);
  }
}

// The previous picture stays on show.
TEST_F(MemoryTest, FileDecodeOutOfMemoryKeepsThePreviousPicture) {
  vexo::FileDecoder decoder;
  const std::string previous = VEXO_SAMPLES_DIR "/coffee-176x144-predictive-201-q1.vxo";
  const std::string sample = VEXO_SAMPLES_DIR "/coffee-352x288-transform-101-q24.vxo";
  ASSERT_EQ(decoder.Decode(previous).status, vexo::FileDecodeStatus::kOk);
  const auto check = [&](FileDecodeStatus status, bool failed) {
    EXPECT_EQ(status, failed ? FileDecodeStatus::kOutOfMemory : FileDecodeStatus::kOk);
    EXPECT_EQ(decoder.Statistics().path, failed ? previous : sample);
  };
  // The file, the output and Bitmap24 at least.
  EXPECT_GE(FailEachAllocation([&] { return decoder.Decode(sample).status; }, check), 3u);
}

}  // namespace
}  // namespace vexo
