// Every allocation a decode or an encode makes is failed in turn: each time
// the program must say it ran out of memory, never crash or throw, and leave
// no file behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <streambuf>

#include "allocation_hook.h"
#include "commands.h"
#include "file_decoder.h"
#include "temp_folder_test.h"
#include "vexo_decoder.h"

namespace vexo {
namespace {

// A stream buffer that never allocates, so that the test's own capture of
// the program's texts cannot be the allocation that fails.
class FixedText : public std::streambuf {
 public:
  FixedText() { Reset(); }
  void Reset() { setp(text_, text_ + sizeof text_); }
  std::string Text() const { return {pbase(), pptr()}; }

 private:
  char text_[4096];
};

class CommandOutOfMemoryTest : public vexo::testing::TempFolderTest {
 protected:
  // Fails allocation 0, 1, 2, ... of a command that writes into the folder
  // until a run no longer reaches the chosen one: that clean run succeeds;
  // every other says it ran out of memory and leaves the folder as it was,
  // without a temporary file or a half-written output.
  template <typename Command>
  void FailEachAllocationOf(Command command) {
    const auto entries = [this] {
      return std::distance(std::filesystem::directory_iterator(folder_), {});
    };
    const auto entriesBefore = entries();
    for (uint64_t failAt = 0;; ++failAt) {
      outText_.Reset();
      errText_.Reset();
      out_.clear();
      err_.clear();
      allocation_hook::FailOnce(failAt);
      const int exitCode = command(out_, err_);
      const bool failed = allocation_hook::HasFailed();
      allocation_hook::Disarm();
      if (!failed) {
        EXPECT_EQ(exitCode, 0) << errText_.Text();
        return;
      }
      EXPECT_EQ(exitCode, 1);
      EXPECT_NE(errText_.Text().find("Not enough memory"), std::string::npos) << errText_.Text();
      EXPECT_EQ(entries(), entriesBefore);
    }
  }

  FixedText outText_, errText_;
  std::ostream out_{&outText_}, err_{&errText_};
};

TEST_F(CommandOutOfMemoryTest, EncodeReportsItAndWritesNothing) {
  std::string ppm = "P6 16 8 255\n";
  for (int i = 0; i < 3 * 16 * 8; ++i) ppm += static_cast<char>(i * 37);
  const std::string input = (folder_ / "in.ppm").string();
  std::ofstream(input, std::ios::binary) << ppm;
  const std::string output = (folder_ / "out.vxo").string();
  for (const VexoPath path : {VexoPath::kPredictive, VexoPath::kFast, VexoPath::kTransform}) {
    const VexoFamily family = path == VexoPath::kFast ? VexoFamily::k201 : VexoFamily::k101;
    const vexo::cli::EncodeRequest request{input, output, {path, family, 1}};
    FailEachAllocationOf([&](std::ostream& out, std::ostream& err) {
      return vexo::cli::RunEncode(request, out, err);
    });
    std::filesystem::remove(output);
  }
}

class DecodeOutOfMemoryTest : public CommandOutOfMemoryTest,
                              public ::testing::WithParamInterface<const char*> {};

TEST_P(DecodeOutOfMemoryTest, FileDecodeReportsItAndKeepsThePreviousPicture) {
  vexo::FileDecoder decoder;
  const std::string previous = VEXO_SAMPLES_DIR "/coffee-176x144-predictive-201-q1.vxo";
  ASSERT_EQ(decoder.Decode(previous).status, vexo::FileDecodeStatus::kOk);
  const std::string sample = std::string(VEXO_SAMPLES_DIR "/") + GetParam();
  uint64_t allocations = 0;
  for (;; ++allocations) {
    allocation_hook::FailOnce(allocations);
    const vexo::FileDecodeStatus status = decoder.Decode(sample).status;
    const bool failed = allocation_hook::HasFailed();
    allocation_hook::Disarm();
    if (!failed) {
      EXPECT_EQ(status, vexo::FileDecodeStatus::kOk);
      break;
    }
    EXPECT_EQ(status, vexo::FileDecodeStatus::kOutOfMemory);
    EXPECT_EQ(decoder.Statistics().path, previous);
  }
  EXPECT_GE(allocations, 3u);  // file, output and Bitmap24 at least
}

TEST_P(DecodeOutOfMemoryTest, DecodeCommandReportsItAndWritesNothing) {
  const vexo::cli::DecodeOptions options{std::string(VEXO_SAMPLES_DIR "/") + GetParam(),
                                         (folder_ / "out.bmp").string()};
  FailEachAllocationOf([&](std::ostream& out, std::ostream& err) {
    return vexo::cli::RunDecode(options, out, err);
  });
}

INSTANTIATE_TEST_SUITE_P(Samples, DecodeOutOfMemoryTest,
                         ::testing::Values("cat-176x144-predictive-101.vxo",
                                           "logo-176x144-fast-201-q2.vxo",
                                           "coffee-352x288-transform-101-q24.vxo"));

}  // namespace

}  // namespace vexo
