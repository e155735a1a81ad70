// The one way every output is written, tried through the whole-file writer of
// `vexo encode` (the viewer's tests try the BMP writer that shares it).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "file_io/atomic_output_file.h"
#include "file_io/whole_file.h"
#include "temp_folder_test.h"

namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t> kBytes(16, 7);

class SafeWriteTest : public vexo::testing::TempFolderTest {
 protected:
  std::string Target(const std::string& name) const { return (folder_ / name).string(); }
  // The message shown to the user, "" on success.
  static std::string WriteTo(const std::string& path) {
    const vexo::Result<void> written = file_io::WriteWholeFile(path, kBytes);
    return written ? std::string() : written.error().message;
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Text(const std::string& name) const {
    std::stringstream text;
    text << std::ifstream(folder_ / name).rdbuf();
    return text.str();
  }
};

TEST_F(SafeWriteTest, ReplacesAFileAndKeepsItsPermissions) {
  const std::string target = Target("out");
  std::ofstream(target) << "an older, much longer file than the new one will be";
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_EQ(WriteTo(target), "");
  EXPECT_EQ(fs::file_size(target), kBytes.size());
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Entries(), std::vector<std::string>{"out"});
}

TEST_F(SafeWriteTest, WritesThroughASymbolicLinkThatStays) {
  std::ofstream(Target("real")) << "old";
  fs::create_symlink("real", folder_ / "link");
  fs::create_symlink("missing", folder_ / "dangling");
  ASSERT_EQ(WriteTo(Target("link")), "");
  ASSERT_EQ(WriteTo(Target("dangling")), "");
  EXPECT_TRUE(fs::is_symlink(folder_ / "link"));
  EXPECT_TRUE(fs::is_symlink(folder_ / "dangling"));
  EXPECT_EQ(fs::file_size(Target("real")), kBytes.size());
  EXPECT_EQ(fs::file_size(Target("missing")), kBytes.size());
}

TEST_F(SafeWriteTest, RefusesWhatCannotBeWrittenAndLeavesNoTemporary) {
  fs::create_directory(folder_ / "folder");
  const std::string intoFolder = WriteTo(Target("folder"));
  EXPECT_EQ(intoFolder, "Cannot write " + Target("folder") + ": Is a directory");
  const std::string missing = WriteTo(Target("none/out"));
  EXPECT_EQ(missing, "Cannot write " + Target("none/out") + ": No such file or directory");
  EXPECT_EQ(Entries(), std::vector<std::string>{"folder"});
}

TEST_F(SafeWriteTest, WritesADeviceInPlace) {
  EXPECT_EQ(WriteTo("/dev/null"), "");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(SafeWriteTest, TwoWritersOfOneTargetNeverShareATemporary) {
  file_io::AtomicOutputFile first, second;
  const std::string target = (folder_ / "out").string();
  ASSERT_EQ(first.Open(target), 0);
  ASSERT_EQ(second.Open(target), 0);
  ASSERT_EQ(first.Write("first"), 0);
  ASSERT_EQ(second.Write("second"), 0);
  ASSERT_EQ(first.Commit(), 0);
  ASSERT_EQ(second.Commit(), 0);
  EXPECT_EQ(Text("out"), "second");
}

TEST_F(SafeWriteTest, AnUncommittedFileLeavesNothingBehind) {
  std::ofstream(folder_ / "out") << "kept";
  {
    file_io::AtomicOutputFile output;
    ASSERT_EQ(output.Open((folder_ / "out").string()), 0);
    ASSERT_EQ(output.Write("lost"), 0);
  }
  EXPECT_EQ(Text("out"), "kept");
  EXPECT_EQ(Entries(), std::vector<std::string>{"out"});
}

}  // namespace
