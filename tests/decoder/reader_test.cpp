// The band-by-band decode through a reader against the same decode from
// memory (see CheckReaderAgainstMemory for what is held): on random streams
// of every path, every prefix of a few, and the samples, with input buffers
// from the least to generous; a reader that fails at chosen offsets; and on
// the samples no byte read twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bit_writer.h"
#include "example_files.h"
#include "fast_file_builder.h"
#include "reader_check.h"
#include "vexo.h"

namespace vexo::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr size_t kInputSizes[] = {64, 100, 512, 4096};

std::vector<std::pair<std::string, Bytes>> Samples() {
  std::vector<std::pair<std::string, Bytes>> samples;
  for (const auto& entry : fs::directory_iterator(fs::path(VEXO_SOURCE_DIR) / "samples")) {
    if (entry.path().extension() != ".vxo") continue;
    std::ifstream stream(entry.path(), std::ios::binary);
    samples.emplace_back(entry.path().filename().string(),
                         Bytes{std::istreambuf_iterator<char>(stream), {}});
  }
  return samples;
}

TEST(Reader, MatchesMemoryOnRandomStreamsOfEveryPath) {
  int index = 0;
  for (const Bytes& file : RandomFilesOfEveryPath()) {
    for (const size_t input : kInputSizes) {
      const ReaderCheck how{input, index % 2 ? VEXO_OUTPUT_BYTE_SWAPPED : 0u, -1};
      EXPECT_EQ(CheckReaderAgainstMemory(file, how), "") << "file " << index << ", input " << input;
    }
    ++index;
  }
}

TEST(Reader, MatchesMemoryOnEveryPrefix) {
  const auto files = RandomFilesOfEveryPath();
  for (size_t which = 0; which < 9 && !HasFailure(); ++which) {
    for (size_t size = 0; size <= files[which].size() && !HasFailure(); ++size) {
      const ReaderCheck how{kInputSizes[size % 4], 0, -1};
      EXPECT_EQ(CheckReaderAgainstMemory(std::span(files[which]).first(size), how), "")
          << "file " << which << " cut to " << size;
    }
  }
}

// Files whose raw pixels crowd: fast blocks that are all raw pixels or
// mostly raw escapes, and a predictive stream of random codes, so that the
// raw-pixel window runs low in the middle of blocks, on every buffer size.
TEST(Reader, MatchesMemoryWhereRawPixelsCrowd) {
  std::mt19937 random(7);
  FastFileBuilder fast;
  for (int block = 0; block < 24 * 24; ++block) {
    if (block % 3 != 0) {
      fast.Code(false, 0);
      std::vector<uint16_t> raw(16);
      for (auto& pixel : raw) pixel = static_cast<uint16_t>(random());
      fast.Raw(raw);
    } else {
      fast.Code(block % 2 == 0, 2);
      std::array<uint32_t, 16> symbols{};
      for (auto& symbol : symbols) symbol = random() % 2 == 0 ? 0 : random() % 4;
      fast.Symbols(2, symbols);
      std::vector<uint16_t> escaped(
          static_cast<size_t>(std::count(symbols.begin(), symbols.end(), 0u)));
      for (auto& pixel : escaped) pixel = static_cast<uint16_t>(random());
      fast.Raw(escaped);
    }
  }
  std::vector<uint8_t> bits(2 * 96 * 96);
  for (auto& byte : bits) byte = static_cast<uint8_t>(random());
  std::vector<uint16_t> raw(96 * 96);
  for (auto& pixel : raw) pixel = static_cast<uint16_t>(random());
  const Bytes files[] = {fast.Build(FastHeader(96, 96)),
                         MakePredictiveFile({.width = 96, .height = 96}, bits, raw)};
  for (const Bytes& file : files) {
    vexo_info info{};
    ASSERT_EQ(vexo_read_info(file.data(), file.size(), &info), VEXO_OK);
    std::vector<uint16_t> picture(96 * 96);
    std::vector<uint8_t> workspace(vexo_workspace_size(&info));
    ASSERT_EQ(vexo_decode(file.data(), file.size(), picture.data(), 96, 0, workspace.data(),
                          workspace.size(), nullptr),
              VEXO_OK);
    for (const size_t input : kInputSizes) {
      EXPECT_EQ(CheckReaderAgainstMemory(file, {input, 0, -1}), "") << "input " << input;
    }
  }
}

// Every sample through every buffer size decodes as from memory, reading
// no byte twice; the calls it takes with 512 bytes are printed for the
// record.
TEST(Reader, ReadsEverySampleOnceAsFromMemory) {
  for (const auto& [name, file] : Samples()) {
    for (const size_t input : kInputSizes) {
      ReaderUse use;
      EXPECT_EQ(CheckReaderAgainstMemory(file, {input, 0, -1}, &use), "") << name << " " << input;
      EXPECT_LE(use.mostReadsOfAByte, 1u) << name << ", input " << input;
      if (input == 512) {
        RecordProperty(name, std::to_string(use.calls) + " reads, " +
                                 std::to_string(use.bytesRead) + " bytes");
      }
    }
  }
}

// Reads that fail at offsets all over a file of each path: the decode fails
// as a read where it would have used the bytes, and never calls again.
TEST(Reader, ReportsAFailedReadAndStops) {
  for (const auto& [name, file] : Samples()) {
    if (file.size() > 100000) continue;
    for (int64_t at = 0; at < static_cast<int64_t>(file.size()); at += 997) {
      EXPECT_EQ(CheckReaderAgainstMemory(file, {100, 0, at}), "") << name << " failing at " << at;
    }
  }
}

TEST(Reader, AnswersUnusualCalls) {
  const Bytes file = HandCheckedFile();
  vexo_info info{};
  ASSERT_EQ(vexo_read_info(file.data(), file.size(), &info), VEXO_OK);
  std::vector<uint8_t> workspace(vexo_band_reader_workspace_size(&info, 64));
  EXPECT_EQ(vexo_band_begin_reader(workspace.data(), workspace.size(), nullptr, 64, 0),
            VEXO_ERROR_MALFORMED);
  const auto never = [](void*, uint32_t, uint8_t*, size_t) -> long { return -1; };
  const vexo_reader failing{never, nullptr, static_cast<uint32_t>(file.size())};
  EXPECT_EQ(vexo_band_begin_reader(workspace.data(), workspace.size(), &failing, 64, 0),
            VEXO_ERROR_READ);
  EXPECT_EQ(vexo_band_next(workspace.data(), nullptr, 4, nullptr), VEXO_ERROR_READ);
  const vexo_reader tiny{never, nullptr, 11};
  EXPECT_EQ(vexo_band_begin_reader(workspace.data(), workspace.size(), &tiny, 64, 0),
            VEXO_ERROR_TRUNCATED);
  // The header reads; the workspace or the buffering is short.
  EXPECT_EQ(CheckReaderAgainstMemory(file, {63, 0, -1}), "");
  EXPECT_GT(vexo_band_reader_workspace_size(&info, 512), vexo_band_workspace_size(&info) + 511);
}

}  // namespace
}  // namespace vexo::testing
