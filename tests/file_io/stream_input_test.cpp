// Input read as a stream: pipes, which cannot seek, and a bound on size.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <thread>

#include "file_io/input_file.h"
#include "temp_folder_test.h"

namespace {

using file_io::ReadWholeFile;
using vexo::ErrorCode;

class StreamInputTest : public vexo::testing::TempFolderTest {};

TEST_F(StreamInputTest, ReadsANamedPipeThatCannotSeek) {
  const std::string pipe = (folder_ / "pipe").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(pipe, std::ios::binary) << std::string(100000, 'v'); });
  const vexo::Result<std::vector<uint8_t>> read = ReadWholeFile(pipe, 1 << 20);
  writer.join();
  ASSERT_TRUE(read) << read.error().message;
  EXPECT_EQ(read->size(), 100000u);
}

TEST_F(StreamInputTest, RefusesMoreThanTheBoundOrAMissingFile) {
  const std::string path = Write("f", std::vector<uint8_t>(1000, 1));
  EXPECT_EQ(ReadWholeFile(path, 1000)->size(), 1000u);
  const auto tooLarge = ReadWholeFile(path, 999);
  EXPECT_EQ(tooLarge.error().code, ErrorCode::kTooLarge);
  EXPECT_EQ(tooLarge.error().message, "Cannot read " + path + ": larger than 999 bytes");
  const std::string none = (folder_ / "none").string();
  EXPECT_EQ(ReadWholeFile(none, 100).error().code, ErrorCode::kUnreadable);
}

}  // namespace
