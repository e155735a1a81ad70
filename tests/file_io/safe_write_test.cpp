// The one way every output is written, tried through each writer that uses
// it: the BMP output and the whole-file writer of `vexo encode`.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

#include "bmp_file.h"
#include "file_io/atomic_output_file.h"
#include "file_io/whole_file.h"
#include "temp_folder_test.h"

namespace {

namespace fs = std::filesystem;

struct Writer {
  const char* name;
  std::function<std::string(const std::string& path)> write;
  size_t size;  // of what it writes
};

void PrintTo(const Writer& writer, std::ostream* out) {
  *out << writer.name;
}

const std::vector<uint8_t> kBitmap(16, 7);

class SafeWriteTest : public vexo::testing::TempFolderTest,
                      public ::testing::WithParamInterface<Writer> {
 protected:
  std::string Target(const std::string& name) const { return (folder_ / name).string(); }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_P(SafeWriteTest, ReplacesAFileAndKeepsItsPermissions) {
  const std::string target = Target("out");
  std::ofstream(target) << "an older, much longer file than the new one will be";
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_EQ(GetParam().write(target), "");
  EXPECT_EQ(fs::file_size(target), GetParam().size);
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Entries(), std::vector<std::string>{"out"});
}

TEST_P(SafeWriteTest, WritesThroughASymbolicLinkThatStays) {
  std::ofstream(Target("real")) << "old";
  fs::create_symlink("real", folder_ / "link");
  fs::create_symlink("missing", folder_ / "dangling");
  ASSERT_EQ(GetParam().write(Target("link")), "");
  ASSERT_EQ(GetParam().write(Target("dangling")), "");
  EXPECT_TRUE(fs::is_symlink(folder_ / "link"));
  EXPECT_TRUE(fs::is_symlink(folder_ / "dangling"));
  EXPECT_EQ(fs::file_size(Target("real")), GetParam().size);
  EXPECT_EQ(fs::file_size(Target("missing")), GetParam().size);
}

TEST_P(SafeWriteTest, RefusesWhatCannotBeWrittenAndLeavesNoTemporary) {
  fs::create_directory(folder_ / "folder");
  const std::string intoFolder = GetParam().write(Target("folder"));
  EXPECT_EQ(intoFolder, "Cannot write " + Target("folder") + ": Is a directory");
  const std::string missing = GetParam().write(Target("none/out"));
  EXPECT_EQ(missing, "Cannot write " + Target("none/out") + ": No such file or directory");
  EXPECT_EQ(Entries(), std::vector<std::string>{"folder"});
}

TEST_P(SafeWriteTest, WritesADeviceInPlace) {
  EXPECT_EQ(GetParam().write("/dev/null"), "");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

INSTANTIATE_TEST_SUITE_P(
    Writers, SafeWriteTest,
    ::testing::Values(
        Writer{"Bmp",
               [](const std::string& path) { return orvane::WriteBmpFile(path, 2, 2, kBitmap); },
               orvane::kBmpHeaderSize + 16},
        Writer{"WholeFile",
               [](const std::string& path) { return file_io::WriteWholeFile(path, kBitmap); }, 16}),
    [](const auto& info) { return std::string(info.param.name); });

class AtomicOutputFileTest : public vexo::testing::TempFolderTest {};

TEST_F(AtomicOutputFileTest, TwoWritersOfOneTargetNeverShareATemporary) {
  file_io::AtomicOutputFile first, second;
  const std::string target = (folder_ / "out").string();
  ASSERT_EQ(first.Open(target), 0);
  ASSERT_EQ(second.Open(target), 0);
  ASSERT_EQ(first.Write("first"), 0);
  ASSERT_EQ(second.Write("second"), 0);
  ASSERT_EQ(first.Commit(), 0);
  ASSERT_EQ(second.Commit(), 0);
  std::stringstream text;
  text << std::ifstream(target).rdbuf();
  EXPECT_EQ(text.str(), "second");
}

TEST_F(AtomicOutputFileTest, AnUncommittedFileLeavesNothingBehind) {
  std::ofstream(folder_ / "out") << "kept";
  {
    file_io::AtomicOutputFile output;
    ASSERT_EQ(output.Open((folder_ / "out").string()), 0);
    ASSERT_EQ(output.Write("lost"), 0);
  }
  std::stringstream text;
  text << std::ifstream(folder_ / "out").rdbuf();
  EXPECT_EQ(text.str(), "kept");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

}  // namespace
