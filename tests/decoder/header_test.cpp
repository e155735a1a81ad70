// The magic check and the size plausibility check on short or implausible files.
#include <gtest/gtest.h>

#include "bit_writer.h"
#include "vexo_header.h"

namespace vexo::testing {
namespace {

TEST(Header, MagicNeedsAllFourBytes) {
  const std::vector<uint8_t> header = MakeHeader({});
  EXPECT_TRUE(HasVexoMagic(header));
  EXPECT_FALSE(HasVexoMagic(std::vector<uint8_t>{'V', 'E', 'X'}));
  EXPECT_FALSE(HasVexoMagic(std::vector<uint8_t>{'V', 'E', 'X', 'P'}));
  EXPECT_FALSE(ReadVexoHeader(std::span(header).first(11)));
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
