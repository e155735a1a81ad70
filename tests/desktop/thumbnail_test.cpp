// Thumbnails: the area averaging, and the program as a file manager runs it
// (which shows the size rule).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "area_scaling.h"
#include "picture_reader.h"
#include "temp_folder_test.h"

namespace vexo::thumbnailer {
namespace {

TEST(AreaScaling, AveragesTheCoveredAreaWithPartialWeights) {
  // One row of three pixels to two: each output pixel covers 1.5 source
  // pixels, the middle one shared half and half.
  const std::vector<uint8_t> row = {0, 0, 0, 90, 90, 90, 240, 240, 240};
  EXPECT_EQ(ShrinkByAreaAveraging(row, 3, 1, 2, 1),
            (std::vector<uint8_t>{30, 30, 30, 190, 190, 190}));
}

using ThumbnailerProgramTest = vexo::testing::TempFolderTest;

// A PNG of the asked size; nothing for a damaged file, nor over its own input.
TEST_F(ThumbnailerProgramTest, WritesAPngOfTheAskedSizeOrNothing) {
  const auto run = [](const std::string& arguments) {
    const int status = std::system(
        (std::string("'") + THUMBNAILER_PROGRAM + "' " + arguments + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  const auto output = (folder_ / "thumb.png").string();
  const std::string damaged = Write("cut.vxo", {'V', 'E', 'X', 'O', 9, 0, 9, 0, 0, 1, 0, 101});
  EXPECT_EQ(run("-s 128 " + damaged + " " + output), 1);
  const auto picture = folder_ / "cat.vxo";
  std::filesystem::copy_file(VEXO_SAMPLES_DIR "/cat-176x144-predictive-101.vxo", picture);
  EXPECT_EQ(run("-s 64 " + picture.string() + " " + picture.string()), 1);
  EXPECT_EQ(std::filesystem::file_size(picture),
            std::filesystem::file_size(VEXO_SAMPLES_DIR "/cat-176x144-predictive-101.vxo"));
  EXPECT_FALSE(std::filesystem::exists(output));

  ASSERT_EQ(run("-s 256 " VEXO_SAMPLES_DIR "/sunset-1920x1080-transform-101-q28.vxo " + output), 0);
  const auto read = ReadPicture(output);
  ASSERT_TRUE(read) << read.error().message;
  EXPECT_EQ(std::pair(read->width, read->height), std::pair(256, 144));
  EXPECT_EQ(run("--help"), 0);
}

}  // namespace
}  // namespace vexo::thumbnailer
