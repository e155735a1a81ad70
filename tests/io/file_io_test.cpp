// The one way every output is written, tried through the whole-file writer of
// `vexo encode` (the viewer's tests try the BMP writer that shares it): the
// old file stays whole until the new one is complete, and no temporary stays.
// And input read as a stream: pipes, which cannot seek, and a bound on size.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "file_io/atomic_output_file.h"
#include "file_io/input_file.h"
#include "file_io/whole_file.h"
#include "temp_folder_test.h"

namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t> kBytes(16, 7);

class FileIoTest : public vexo::testing::TempFolderTest {
 protected:
  std::string Target(const std::string& name) const { return (folder_ / name).string(); }
  size_t EntryCount() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder_), {}));
  }
};

TEST_F(FileIoTest, ReplacesAFileAndKeepsItsPermissions) {
  const std::string target = Write("out", std::vector<uint8_t>(100, 1));
  const auto permissions = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(target, permissions);
  ASSERT_TRUE(file_io::WriteWholeFile(target, kBytes));
  EXPECT_EQ(fs::file_size(target), kBytes.size());
  EXPECT_EQ(fs::status(target).permissions(), permissions);
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(FileIoTest, WritesThroughASymbolicLinkThatStays) {
  Write("real", {1});
  fs::create_symlink("real", folder_ / "link");
  ASSERT_TRUE(file_io::WriteWholeFile(Target("link"), kBytes));
  EXPECT_TRUE(fs::is_symlink(folder_ / "link"));
  EXPECT_EQ(fs::file_size(Target("real")), kBytes.size());
}

TEST_F(FileIoTest, AFailedOrUnfinishedWriteLeavesTheFolderAsItWas) {
  const std::string kept = Write("out", {'k', 'e', 'p', 't'});
  fs::create_directory(folder_ / "folder");
  const vexo::Result<void> refused = file_io::WriteWholeFile(Target("folder"), kBytes);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().code, vexo::ErrorCode::kWriteFailed);
  EXPECT_EQ(refused.error().message, "Cannot write " + Target("folder") + ": Is a directory");
  {
    file_io::AtomicOutputFile output;
    ASSERT_EQ(output.Open(kept), 0);
    ASSERT_EQ(output.Write("never committed"), 0);
  }
  EXPECT_EQ(fs::file_size(kept), 4u);
  EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(FileIoTest, TwoWritersOfOneTargetNeverShareATemporary) {
  file_io::AtomicOutputFile first, second;
  ASSERT_TRUE(first.Open(Target("out")) == 0 && second.Open(Target("out")) == 0);
  ASSERT_TRUE(first.Write("first") == 0 && second.Write("second") == 0);
  ASSERT_TRUE(first.Commit() == 0 && second.Commit() == 0);
  EXPECT_EQ(fs::file_size(Target("out")), 6u);  // "second", whole
}

TEST_F(FileIoTest, ReadsANamedPipeAndRefusesMoreThanTheBound) {
  const std::string pipe = Target("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(pipe, std::ios::binary) << std::string(100000, 'v'); });
  const vexo::Result<std::vector<uint8_t>> read = file_io::ReadWholeFile(pipe, 1 << 20);
  writer.join();
  ASSERT_TRUE(read) << read.error().message;
  EXPECT_EQ(read->size(), 100000u);

  const std::string path = Write("f", std::vector<uint8_t>(1000, 1));
  EXPECT_EQ(file_io::ReadWholeFile(path, 1000)->size(), 1000u);
  const auto tooLarge = file_io::ReadWholeFile(path, 999);
  EXPECT_EQ(tooLarge.error().code, vexo::ErrorCode::kTooLarge);
  EXPECT_EQ(tooLarge.error().message, "Cannot read " + path + ": larger than 999 bytes");
}

}  // namespace
