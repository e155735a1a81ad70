// The band-by-band decode against the whole decode (see CheckBandsAgainstWhole
// for what is held): on random streams of every path and every prefix of a
// few, on the samples, in both byte orders and with bands wider than the
// picture; and what the interface answers to unusual calls.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "band_check.h"
#include "example_files.h"
#include "fast_file_builder.h"
#include "transform_stream.h"
#include "vexo.h"

namespace vexo::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr BandCheck kLayouts[] = {{0, 0}, {VEXO_OUTPUT_BYTE_SWAPPED, 3}};

TEST(Bands, MatchTheWholeDecodeOnRandomStreamsOfEveryPath) {
  int index = 0;
  for (const Bytes& file : RandomFilesOfEveryPath()) {
    for (const BandCheck& how : kLayouts) {
      EXPECT_EQ(CheckBandsAgainstWhole(file, how), "")
          << "file " << index << ", flags " << how.flags << ", gap " << how.gap;
    }
    ++index;
  }
}

TEST(Bands, MatchTheWholeDecodeOnEveryPrefix) {
  const auto files = RandomFilesOfEveryPath();
  for (size_t which = 0; which < 9 && !HasFailure(); ++which) {
    const Bytes& file = files[which];
    for (size_t size = 0; size <= file.size() && !HasFailure(); ++size) {
      EXPECT_EQ(CheckBandsAgainstWhole(std::span(file).first(size), kLayouts[size % 2]), "")
          << "file " << which << " cut to " << size;
    }
  }
}

TEST(Bands, MatchTheWholeDecodeOnEverySample) {
  int samples = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(VEXO_SOURCE_DIR) / "samples")) {
    if (entry.path().extension() != ".vxo") continue;
    std::ifstream stream(entry.path(), std::ios::binary);
    const Bytes file{std::istreambuf_iterator<char>(stream), {}};
    EXPECT_EQ(CheckBandsAgainstWhole(file, kLayouts[samples % 2]), "") << entry.path().filename();
    ++samples;
  }
  EXPECT_GE(samples, 8);
}

// A fast-path block of an undefined mode in the second block row: the first
// band is delivered, the second fails as malformed, and so does every call
// after it, although the whole decode decodes the file.
TEST(Bands, UndefinedFastModeFailsItsBand) {
  FastFileBuilder builder;
  builder.Code(false, 0).Raw(std::vector<uint16_t>(16, 0x1234));
  builder.Code(true, 13).Code(false, 10);
  const Bytes file = builder.Build(FastHeader(4, 12));
  std::vector<uint16_t> picture(4 * 12);
  ASSERT_EQ(vexo_decode(file.data(), file.size(), picture.data(), 4, 0, nullptr, 0, nullptr),
            VEXO_OK);
  EXPECT_EQ(CheckBandsAgainstWhole(file), "");

  vexo_info info{};
  ASSERT_EQ(vexo_read_info(file.data(), file.size(), &info), VEXO_OK);
  std::vector<uint8_t> workspace(vexo_band_workspace_size(&info));
  ASSERT_EQ(vexo_band_begin(workspace.data(), workspace.size(), file.data(), file.size(), 0),
            VEXO_OK);
  uint16_t band[16];
  EXPECT_EQ(vexo_band_next(workspace.data(), band, 4, nullptr), 4);
  EXPECT_EQ(vexo_band_next(workspace.data(), band, 4, nullptr), VEXO_ERROR_MALFORMED);
  EXPECT_EQ(vexo_band_next(workspace.data(), band, 4, nullptr), VEXO_ERROR_MALFORMED);
}

TEST(Bands, AnswerUnusualCalls) {
  const Bytes file = HandCheckedFile();  // 4 x 2, predictive
  vexo_info info{};
  ASSERT_EQ(vexo_read_info(file.data(), file.size(), &info), VEXO_OK);
  std::vector<uint8_t> workspace(vexo_band_workspace_size(&info));
  uint16_t band[16];
  // No workspace, or one that no begin set up.
  EXPECT_EQ(vexo_band_begin(nullptr, 1000, file.data(), file.size(), 0), VEXO_ERROR_WORKSPACE);
  EXPECT_EQ(vexo_band_next(nullptr, band, 4, nullptr), VEXO_ERROR_WORKSPACE);
  EXPECT_EQ(vexo_band_next(workspace.data(), band, 4, nullptr), VEXO_ERROR_WORKSPACE);
  // Unknown flags and a file pointer without bytes are malformed calls.
  EXPECT_EQ(vexo_band_begin(workspace.data(), workspace.size(), file.data(), file.size(), 2),
            VEXO_ERROR_MALFORMED);
  EXPECT_EQ(vexo_band_begin(workspace.data(), workspace.size(), nullptr, 4, 0),
            VEXO_ERROR_MALFORMED);
  // A stride below the width, or no rows, fails the decode for good.
  for (const size_t stride : {size_t{3}, size_t{4}}) {
    ASSERT_EQ(vexo_band_begin(workspace.data(), workspace.size(), file.data(), file.size(), 0),
              VEXO_OK);
    EXPECT_EQ(vexo_band_next(workspace.data(), stride == 4 ? nullptr : band, stride, nullptr),
              VEXO_ERROR_MALFORMED);
    EXPECT_EQ(vexo_band_next(workspace.data(), band, 4, nullptr), VEXO_ERROR_MALFORMED);
  }
  // A transform quality above 51 shows in the header.
  const Bytes transform = MakeTransformFile(4, 4, 52, {0xE0});
  EXPECT_EQ(
      vexo_band_begin(workspace.data(), workspace.size(), transform.data(), transform.size(), 0),
      VEXO_ERROR_MALFORMED);
  EXPECT_EQ(vexo_band_next(workspace.data(), band, 4, nullptr), VEXO_ERROR_MALFORMED);
}

TEST(Bands, PictureWithoutPixelsHasNoBands) {
  for (const uint16_t width : {0, 40000}) {
    const Bytes file = WithByte(WithByte(HandCheckedFile(), 4, static_cast<uint8_t>(width)), 5,
                                static_cast<uint8_t>(width >> 8));
    vexo_info info{};
    ASSERT_EQ(vexo_read_info(file.data(), file.size(), &info), VEXO_OK);
    std::vector<uint8_t> workspace(vexo_band_workspace_size(&info));
    EXPECT_GT(workspace.size(), 0u);
    ASSERT_EQ(vexo_band_begin(workspace.data(), workspace.size(), file.data(), file.size(), 0),
              VEXO_OK);
    int first = -1;
    EXPECT_EQ(vexo_band_next(workspace.data(), nullptr, 0, &first), 0);
    EXPECT_EQ(first, -1);
  }
}

// The workspace bounds of every width, and the whole decode's workspace,
// which needs no more.
TEST(Bands, WorkspaceGrowsWithTheWidthAlone) {
  for (int path = 0; path < 3; ++path) {
    for (int width = 1; width <= 700; width += width < 40 ? 1 : 37) {
      const vexo_info info{width,
                           1 + width % 9,
                           0,
                           path == 0 ? 0 : 1,
                           24,
                           path == 2 ? 201 : 101,
                           path == 2 ? 201 : 101,
                           path};
      const size_t padded = (static_cast<size_t>(width) + 3) / 4 * 4;
      const size_t bound = path == 1 ? 4 * padded + 512 : 2 * static_cast<size_t>(width) + 256;
      EXPECT_LE(vexo_band_workspace_size(&info), bound) << "path " << path << " width " << width;
      EXPECT_EQ(vexo_workspace_size(&info), path == 1 ? 3 * padded + 28 : 0)
          << "path " << path << " width " << width;
    }
  }
}

}  // namespace
}  // namespace vexo::testing
