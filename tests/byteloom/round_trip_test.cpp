// Any binary file survives the way to byte-list text and back unchanged.

#include <random>
#include <string>

#include "program_runner.h"

namespace byteloom::testing {
namespace {

// Lengths around a line end, and across the program's buffer sizes: there
// the text reaches the decoder split at many places, inside "0x" or a pair too.
TEST_F(FolderTest, TextConvertsBackToIdenticalBytes) {
  for (const std::size_t length : {1, 9, 65536, 200003}) {
    std::mt19937 generator(static_cast<std::mt19937::result_type>(length));
    std::string original(length, '\0');
    for (char& c : original) c = static_cast<char>(generator());
    Populate({{"data.vxo", original}});
    ASSERT_EQ(Run({"vxo", "icn", "data.vxo"}).exitStatus, 0);
    ASSERT_EQ(Run({"icn", "mmf", "data.icn"}).exitStatus, 0);
    EXPECT_EQ(ReadFile(work_ / "data.mmf"), original) << length;
  }
}

}  // namespace
}  // namespace byteloom::testing
