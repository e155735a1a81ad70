// The C interface against the re-entrant C++ decode: the same status, result
// and pixels on random streams of every path and on every prefix of a file,
// into rows wider than the picture (the gaps never written), with and
// without byte swapping, and with a workspace of exactly the size it asks
// for (one byte less fails) at any alignment.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "bit_writer.h"
#include "decode_helpers.h"
#include "example_files.h"
#include "fast_file_builder.h"
#include "transform_stream.h"
#include "vexo.h"
#include "vexo_decoder.h"

namespace vexo {
namespace {

using testing::DecodeWith;

constexpr uint16_t kGap = 0xBEEF;
constexpr size_t kExtraColumns = 3;

struct CDecode {
  int status = 0;
  int32_t result = 0;
  size_t stride = 0;
  std::vector<uint16_t> rows;  // (height + 1) rows of `stride`, gaps included
  bool workspaceKept = true;   // no byte written round the workspace given
};

CDecode DecodeThroughC(const std::vector<uint8_t>& file, unsigned flags, ptrdiff_t workspaceDelta,
                       size_t workspaceOffset = 0) {
  CDecode out;
  vexo_info info{};
  const int infoStatus = vexo_read_info(file.data(), file.size(), &info);
  const int32_t width = infoStatus == VEXO_OK ? std::max(info.width, 0) : 0;
  const int32_t height = infoStatus == VEXO_OK ? std::max(info.height, 0) : 0;
  out.stride = static_cast<size_t>(width) + kExtraColumns;
  // One row more than the picture, so a write past its last row shows.
  out.rows.assign(out.stride * (static_cast<size_t>(height) + 1), kGap);
  const size_t need = infoStatus == VEXO_OK ? vexo_workspace_size(&info) : 0;
  std::vector<uint8_t> workspace(need + 16, 0x5A);
  const auto size = static_cast<size_t>(static_cast<ptrdiff_t>(need) + workspaceDelta);
  out.status = vexo_decode(file.data(), file.size(), out.rows.data(), out.stride, flags,
                           workspace.data() + workspaceOffset, size, &out.result);
  for (size_t i = 0; i < workspace.size(); ++i) {
    if (i < workspaceOffset || i >= workspaceOffset + size) {
      out.workspaceKept = out.workspaceKept && workspace[i] == 0x5A;
    }
  }
  return out;
}

uint16_t Swapped(uint16_t pixel) {
  return static_cast<uint16_t>(pixel << 8 | pixel >> 8);
}

// Both decodes agree, and nothing outside the picture was written.
void ExpectSameDecode(const std::vector<uint8_t>& file, unsigned flags, const std::string& what) {
  const auto header = ReadVexoHeader(file);
  const VexoFamily family =
      header ? FamilyOfVersion(header->codecVersion).value_or(VexoFamily::k101) : VexoFamily::k101;
  const testing::DecodedPicture reference = DecodeWith(family, file, 0);
  const CDecode c = DecodeThroughC(file, flags, 0);
  ASSERT_EQ(c.status, static_cast<int>(reference.outcome.status)) << what;
  if (c.status != VEXO_OK) return;
  ASSERT_EQ(c.result, reference.outcome.result) << what;
  const size_t width = reference.pixels.empty() ? 0 : static_cast<size_t>(header->SignedWidth());
  const size_t height = width == 0 ? 0 : reference.pixels.size() / width;
  for (size_t i = 0; i < c.rows.size(); ++i) {
    const size_t y = i / c.stride, x = i % c.stride;
    if (x >= width || y >= height) {
      ASSERT_EQ(c.rows[i], kGap) << what << ": wrote outside the picture at " << x << ", " << y;
      continue;
    }
    const uint16_t expected = reference.pixels[y * width + x];
    ASSERT_EQ(c.rows[i], (flags & VEXO_OUTPUT_BYTE_SWAPPED) ? Swapped(expected) : expected)
        << what << " at " << x << ", " << y;
  }
}

TEST(CInterface, DecodesRandomStreamsOfEveryPathAsTheCppEntry) {
  int index = 0;
  for (const auto& file : testing::RandomFilesOfEveryPath()) {
    for (const unsigned flags : {0u, VEXO_OUTPUT_BYTE_SWAPPED}) {
      ExpectSameDecode(file, flags,
                       "file " + std::to_string(index) + " flags " + std::to_string(flags));
    }
    ++index;
  }
}

TEST(CInterface, DecodesEveryPrefixAsTheCppEntry) {
  const auto files = testing::RandomFilesOfEveryPath();
  for (size_t which = 0; which < 6; ++which) {
    const auto& file = files[which];
    for (size_t size = 0; size <= file.size(); ++size) {
      const std::vector<uint8_t> prefix(file.begin(), file.begin() + static_cast<ptrdiff_t>(size));
      ExpectSameDecode(prefix, VEXO_OUTPUT_BYTE_SWAPPED,
                       "file " + std::to_string(which) + " prefix " + std::to_string(size));
    }
  }
}

TEST(CInterface, TransformWorkspaceIsExactlyWhatItAsksFor) {
  const auto file = testing::MakeRandomTransformFile(37, 9, 24, 5, testing::kTypicalMix);
  vexo_info info{};
  ASSERT_EQ(vexo_read_info(file.data(), file.size(), &info), VEXO_OK);
  ASSERT_GT(vexo_workspace_size(&info), 0u);
  EXPECT_EQ(DecodeThroughC(file, 0, 0).status, VEXO_OK);
  EXPECT_EQ(DecodeThroughC(file, 0, -1).status, VEXO_ERROR_WORKSPACE);
  // Any alignment, for a single block column too: the same pixels, and
  // nothing written round the workspace.
  for (const auto& picture :
       {file, testing::MakeRandomTransformFile(3, 9, 24, 6, testing::kWildMix)}) {
    const CDecode aligned = DecodeThroughC(picture, 0, 0);
    for (size_t offset = 1; offset < 4; ++offset) {
      const CDecode shifted = DecodeThroughC(picture, 0, 0, offset);
      EXPECT_EQ(shifted.rows, aligned.rows) << "offset " << offset;
      EXPECT_TRUE(shifted.workspaceKept) << "offset " << offset;
    }
  }
  std::vector<uint16_t> pixels(37 * 9);
  EXPECT_EQ(vexo_decode(file.data(), file.size(), pixels.data(), 37, 0, nullptr, 1 << 20, nullptr),
            VEXO_ERROR_WORKSPACE);
}

TEST(CInterface, RefusesUnusableCalls) {
  const auto file = testing::HandCheckedFile();  // 4 x 2, predictive
  std::vector<uint16_t> pixels(16);
  int32_t result = 0;
  EXPECT_EQ(vexo_decode(file.data(), file.size(), pixels.data(), 4, 0, nullptr, 0, &result),
            VEXO_OK);
  EXPECT_EQ(result, 24);
  EXPECT_EQ(vexo_decode(file.data(), file.size(), pixels.data(), 3, 0, nullptr, 0, nullptr),
            VEXO_ERROR_MALFORMED);
  EXPECT_EQ(vexo_decode(file.data(), file.size(), nullptr, 4, 0, nullptr, 0, nullptr),
            VEXO_ERROR_MALFORMED);
  EXPECT_EQ(vexo_decode(file.data(), file.size(), pixels.data(), 4, 2, nullptr, 0, nullptr),
            VEXO_ERROR_MALFORMED);
  EXPECT_EQ(vexo_decode(nullptr, 4, pixels.data(), 4, 0, nullptr, 0, nullptr),
            VEXO_ERROR_MALFORMED);
  EXPECT_EQ(vexo_decode(file.data(), 3, pixels.data(), 4, 0, nullptr, 0, nullptr),
            VEXO_ERROR_BAD_MAGIC);
  EXPECT_EQ(vexo_decode(file.data(), 11, pixels.data(), 4, 0, nullptr, 0, nullptr),
            VEXO_ERROR_TRUNCATED);
  const auto otherVersion = testing::WithByte(file, 11, 102);
  EXPECT_EQ(vexo_decode(otherVersion.data(), otherVersion.size(), pixels.data(), 4, 0, nullptr, 0,
                        nullptr),
            VEXO_ERROR_BAD_VERSION);
}

TEST(CInterface, ReadsTheHeader) {
  auto file = testing::MakeRandomTransformFile(40000 % 65536, 7, 51, 1, testing::kTypicalMix);
  vexo_info info{};
  ASSERT_EQ(vexo_read_info(file.data(), file.size(), &info), VEXO_OK);
  EXPECT_EQ(info.width, 40000 - 65536);  // signed 16-bit: no pixels
  EXPECT_EQ(info.height, 7);
  EXPECT_EQ(info.quality, 51);
  EXPECT_EQ(info.family, 101);
  EXPECT_EQ(info.path, VEXO_PATH_TRANSFORM);
  EXPECT_EQ(vexo_workspace_size(&info), 0u);

  const auto fast = testing::MakeFastPicture({.width = 8, .height = 8, .layout = {}});
  ASSERT_EQ(vexo_read_info(fast.data(), fast.size(), &info), VEXO_OK);
  EXPECT_EQ(info.family, 201);
  EXPECT_EQ(info.path, VEXO_PATH_FAST);
  EXPECT_EQ(info.path_flag, 1);
  EXPECT_EQ(vexo_workspace_size(&info), 0u);
  EXPECT_EQ(vexo_read_info(fast.data(), 11, &info), VEXO_ERROR_TRUNCATED);
  EXPECT_EQ(vexo_read_info(fast.data(), 2, &info), VEXO_ERROR_BAD_MAGIC);
}

TEST(CInterface, NamesStatusesAndVersion) {
  EXPECT_STREQ(vexo_status_text(VEXO_OK), "ok");
  EXPECT_STREQ(vexo_status_text(VEXO_ERROR_WORKSPACE), "the workspace is missing or too small");
  EXPECT_STREQ(vexo_status_text(12345), "unknown status");
  EXPECT_EQ(std::string(vexo_version()), std::to_string(VEXO_VERSION_MAJOR) + "." +
                                             std::to_string(VEXO_VERSION_MINOR) + "." +
                                             std::to_string(VEXO_VERSION_PATCH));
}

}  // namespace
}  // namespace vexo
