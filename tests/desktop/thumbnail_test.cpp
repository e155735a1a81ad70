// Thumbnails: the size rule, the area averaging, and the program as a file
// manager runs it.
#include "thumbnail.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "area_scaling.h"
#include "picture_reader.h"
#include "temp_folder_test.h"

namespace vexo::thumbnailer {
namespace {

TEST(ThumbnailSize, KeepsTheAspectRatioAndNeverEnlarges) {
  EXPECT_EQ(ThumbnailSize({1920, 1080}, 128), (PictureSize{128, 72}));
  EXPECT_EQ(ThumbnailSize({1080, 1920}, 256), (PictureSize{144, 256}));
  EXPECT_EQ(ThumbnailSize({352, 288}, 128), (PictureSize{128, 105}));
  EXPECT_EQ(ThumbnailSize({176, 144}, 256), (PictureSize{176, 144}));
  EXPECT_EQ(ThumbnailSize({32767, 1}, 128), (PictureSize{128, 1}));
}

TEST(AreaScaling, AveragesTheCoveredAreaWithPartialWeights) {
  // One row of three pixels to two: each output pixel covers 1.5 source
  // pixels, the middle one shared half and half.
  const std::vector<uint8_t> row = {0, 0, 0, 90, 90, 90, 240, 240, 240};
  EXPECT_EQ(ShrinkByAreaAveraging(row, 3, 1, 2, 1),
            (std::vector<uint8_t>{30, 30, 30, 190, 190, 190}));
  // A 2 x 2 checkerboard becomes its mean; a flat picture stays flat.
  const std::vector<uint8_t> board = {0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0};
  EXPECT_EQ(ShrinkByAreaAveraging(board, 2, 2, 1, 1), (std::vector<uint8_t>{128, 128, 128}));
  const std::vector<uint8_t> flat(3 * 7 * 5, 77);
  EXPECT_EQ(ShrinkByAreaAveraging(flat, 7, 5, 3, 2), std::vector<uint8_t>(3 * 3 * 2, 77));
}

class ThumbnailerProgramTest : public vexo::testing::TempFolderTest {
 protected:
  int Run(const std::string& arguments) {
    const std::string command =
        std::string("'") + THUMBNAILER_PROGRAM + "' " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST_F(ThumbnailerProgramTest, WritesAPngOfTheAskedSize) {
  const auto output = (folder_ / "thumb.png").string();
  ASSERT_EQ(Run("-s 256 " VEXO_SAMPLES_DIR "/sunset-1920x1080-transform-101-q28.vxo " + output), 0);
  const auto read = ReadPicture(output);
  ASSERT_TRUE(read) << read.error().message;
  EXPECT_EQ(read->width, 256);
  EXPECT_EQ(read->height, 144);
}

TEST_F(ThumbnailerProgramTest, RefusesWhatItCannotReadAndWritesNothing) {
  const auto output = (folder_ / "thumb.png").string();
  const std::string damaged = Write("cut.vxo", {'V', 'E', 'X', 'O', 9, 0, 9, 0, 0, 1, 0, 101});
  EXPECT_EQ(Run("-s 128 " + damaged + " " + output), 1);
  EXPECT_EQ(Run("-s 128 " + folder_.string() + " " + output), 1);
  EXPECT_EQ(Run("-s 0 " + damaged + " " + output), 2);
  // Never over its own input.
  const auto picture = folder_ / "cat.vxo";
  std::filesystem::copy_file(VEXO_SAMPLES_DIR "/cat-176x144-predictive-101.vxo", picture);
  const auto size = std::filesystem::file_size(picture);
  EXPECT_EQ(Run("-s 64 " + picture.string() + " " + picture.string()), 1);
  EXPECT_EQ(std::filesystem::file_size(picture), size);
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_EQ(Run("--help"), 0);
}

}  // namespace
}  // namespace vexo::thumbnailer
