// Header fields, path choice and the size plausibility check.
#include <gtest/gtest.h>

#include "bit_writer.h"
#include "vexo_header.h"

namespace vexo::testing {
namespace {

TEST(Header, FieldsAreLittleEndianAndSignedWhereTheDecodersSaySo) {
  const auto bytes =
      MakeHeader({.width = 0x8001, .height = 288, .depthFlag = 1, .pathFlag = 2, .quality = 37});
  const auto header = ReadVexoHeader(bytes);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->width, 0x8001);
  EXPECT_EQ(header->SignedWidth(), -32767);
  EXPECT_EQ(header->SignedHeight(), 288);
  EXPECT_EQ(header->depthFlag, 1);
  EXPECT_EQ(header->pathFlag, 2);
  EXPECT_EQ(header->quality, 37);
  EXPECT_EQ(header->codecVersion, 101);
  EXPECT_FALSE(ReadVexoHeader(std::span(bytes).first(11)));
}

TEST(Header, MagicNeedsAllFourBytes) {
  EXPECT_TRUE(HasVexoMagic(MakeHeader({})));
  const std::vector<uint8_t> shortFile = {'V', 'E', 'X'};
  EXPECT_FALSE(HasVexoMagic(shortFile));
  const std::vector<uint8_t> other = {'V', 'E', 'X', 'P'};
  EXPECT_FALSE(HasVexoMagic(other));
}

TEST(Header, AnyNonZeroPathFlagSelectsTheFamilysOwnPath) {
  VexoHeader header;
  EXPECT_EQ(SelectVexoPath(VexoFamily::k101, header), VexoPath::kPredictive);
  EXPECT_EQ(SelectVexoPath(VexoFamily::k201, header), VexoPath::kPredictive);
  header.pathFlag = 2;
  EXPECT_EQ(SelectVexoPath(VexoFamily::k101, header), VexoPath::kTransform);
  EXPECT_EQ(SelectVexoPath(VexoFamily::k201, header), VexoPath::kFast);
  EXPECT_EQ(FamilyOfVersion(101), VexoFamily::k101);
  EXPECT_EQ(FamilyOfVersion(201), VexoFamily::k201);
  EXPECT_FALSE(FamilyOfVersion(102));
}

TEST(Header, TinyFileCannotHoldAHugePicture) {
  VexoHeader header{.width = 32767, .height = 32767};
  EXPECT_FALSE(VexoFileCanHoldPicture(header, 40));
  // 8 x 8 predictive: four blocks of at least 2 bits fit in one byte.
  header = {.width = 8, .height = 8, .codecVersion = 101};
  EXPECT_TRUE(VexoFileCanHoldPicture(header, 17));
  EXPECT_FALSE(VexoFileCanHoldPicture(header, 16));
  header.width = 0;
  EXPECT_TRUE(VexoFileCanHoldPicture(header, 12));
}

}  // namespace
}  // namespace vexo::testing
