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

// Standard output and error of a command run in the test.
struct CommandTexts {
  FixedText outText, errText;
  std::ostream out{&outText}, err{&errText};

  void Reset() {
    outText.Reset();
    errText.Reset();
    out.clear();
    err.clear();
  }
};

// Fails allocation 0, 1, 2, ... of `run` until a run no longer reaches the
// chosen one; `check(outcome, failed)` judges each run once the allocator is
// back to normal. Returns how many allocations a clean run makes.
template <typename Run, typename Check>
uint64_t FailEachAllocation(Run run, Check check) {
  for (uint64_t failAt = 0;; ++failAt) {
    allocation_hook::FailOnce(failAt);
    const auto outcome = run();
    const bool failed = allocation_hook::HasFailed();
    allocation_hook::Disarm();
    check(outcome, failed);
    if (!failed) return failAt;
  }
}

size_t EntriesIn(const std::filesystem::path& folder) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// Fails each allocation of a command that writes into `folder`: a clean run
// succeeds; every other says it ran out of memory and leaves the folder as
// it was, without a temporary file or a half-written output.
template <typename Command>
void FailEachAllocationOfCommand(CommandTexts& texts, const std::filesystem::path& folder,
                                 Command command) {
  const size_t entriesBefore = EntriesIn(folder);
  FailEachAllocation(
      [&] {
        texts.Reset();
        return command(texts.out, texts.err);
      },
      [&](int exitCode, bool failed) {
        if (!failed) {
          EXPECT_EQ(exitCode, 0) << texts.errText.Text();
          return;
        }
        EXPECT_EQ(exitCode, 1);
        EXPECT_NE(texts.errText.Text().find("Not enough memory"), std::string::npos)
            << texts.errText.Text();
        EXPECT_EQ(EntriesIn(folder), entriesBefore);
      });
}

const char* const kSamples[] = {"cat-176x144-predictive-101.vxo", "logo-176x144-fast-201-q2.vxo",
                                "coffee-352x288-transform-101-q24.vxo"};

class OutOfMemoryTest : public vexo::testing::TempFolderTest,
                        public ::testing::WithParamInterface<const char*> {
 protected:
  std::string Sample() const { return std::string(VEXO_SAMPLES_DIR) + "/" + GetParam(); }

  CommandTexts texts_;
};

TEST_P(OutOfMemoryTest, FileDecodeReportsItAndKeepsThePreviousPicture) {
  orvane::VexoFileDecoder decoder;
  const std::string previous =
      std::string(VEXO_SAMPLES_DIR) + "/coffee-176x144-predictive-201-q1.vxo";
  ASSERT_EQ(decoder.Decode(previous).status, orvane::FileDecodeStatus::kOk);
  const std::string sample = Sample();
  const uint64_t allocations =
      FailEachAllocation([&] { return decoder.Decode(sample).status; },
                         [&](orvane::FileDecodeStatus status, bool failed) {
                           if (!failed) {
                             EXPECT_EQ(status, orvane::FileDecodeStatus::kOk);
                             return;
                           }
                           EXPECT_EQ(status, orvane::FileDecodeStatus::kOutOfMemory);
                           EXPECT_EQ(decoder.Statistics().path, previous);
                         });
  EXPECT_GE(allocations, 3u);  // file, output and Bitmap24 at least
}

TEST_P(OutOfMemoryTest, DecodeCommandReportsItAndWritesNothing) {
  const vexo_cli::DecodeOptions options{Sample(), (folder_ / "out.bmp").string()};
  FailEachAllocationOfCommand(texts_, folder_, [&](std::ostream& out, std::ostream& err) {
    return vexo_cli::RunDecode(options, out, err);
  });
}

INSTANTIATE_TEST_SUITE_P(Samples, OutOfMemoryTest, ::testing::ValuesIn(kSamples));

class EncodeOutOfMemoryTest : public vexo::testing::TempFolderTest,
                              public ::testing::WithParamInterface<VexoPath> {
 protected:
  CommandTexts texts_;
};

TEST_P(EncodeOutOfMemoryTest, EncodeCommandReportsItAndWritesNothing) {
  std::string ppm = "P6 16 8 255\n";
  for (int i = 0; i < 3 * 16 * 8; ++i) ppm += static_cast<char>(i * 37);
  const std::string input = (folder_ / "in.ppm").string();
  std::ofstream(input, std::ios::binary) << ppm;
  const std::string output = (folder_ / "out.vxo").string();
  const VexoFamily family = GetParam() == VexoPath::kFast ? VexoFamily::k201 : VexoFamily::k101;
  const vexo_cli::EncodeRequest request{input, output, {GetParam(), family, 1}};
  FailEachAllocationOfCommand(texts_, folder_, [&](std::ostream& out, std::ostream& err) {
    return vexo_cli::RunEncode(request, out, err);
  });
}

INSTANTIATE_TEST_SUITE_P(Paths, EncodeOutOfMemoryTest,
                         ::testing::Values(VexoPath::kPredictive, VexoPath::kFast,
                                           VexoPath::kTransform));

}  // namespace
