// Any binary file survives the way to byte-list text and back unchanged.

#include <random>
#include <string>

#include "byteloom/byte_list_decoder.h"
#include "byteloom/byte_list_encoder.h"
#include "program_runner.h"

namespace byteloom::testing {
namespace {

std::string RandomBytes(std::size_t length) {
  std::mt19937 generator(static_cast<std::mt19937::result_type>(length));
  std::string bytes(length, '\0');
  for (char& c : bytes) c = static_cast<char>(generator());
  return bytes;
}

class RoundTripTest : public FolderTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(RoundTripTest, TextConvertsBackToIdenticalBytes) {
  const std::string original = RandomBytes(GetParam());
  Populate({{"data.vxo", original}});

  ASSERT_EQ(Run({"vxo", "icn", "data.vxo"}).exitStatus, 0);
  ASSERT_EQ(Run({"icn", "mmf", "data.icn"}).exitStatus, 0);

  EXPECT_EQ(Snapshot()["data.mmf"], original);
}

// Lengths around line ends, and around and across the program's buffer sizes.
INSTANTIATE_TEST_SUITE_P(Lengths, RoundTripTest, ::testing::Values(1, 8, 9, 65536, 200003));

// The decoder keeps its place when text arrives split anywhere, even inside "0x" or a pair.
class PieceSizeTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(PieceSizeTest, DecodingTextInPiecesRestoresBytes) {
  const std::string original = RandomBytes(300);
  std::string text;
  ByteListEncoder().Encode(original, text);

  ByteListDecoder decoder;
  std::string decoded;
  for (std::size_t at = 0; at < text.size(); at += GetParam()) {
    ASSERT_TRUE(decoder.Decode(std::string_view(text).substr(at, GetParam()), decoded));
  }
  EXPECT_TRUE(decoder.Finish());
  EXPECT_EQ(decoded, original);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PieceSizeTest, ::testing::Range<std::size_t>(1, 8));

}  // namespace
}  // namespace byteloom::testing
