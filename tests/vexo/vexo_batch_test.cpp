// vexo decode and encode over several files and folders, and the output
// formats, as a user runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

#include "vexo_cli_fixture.h"

namespace {

namespace fs = std::filesystem;
using vexo_cli_test::RunResult;
using vexo_cli_test::VexoCliTest;

const fs::path kSamples = VEXO_SAMPLES_DIR;

class VexoBatchTest : public VexoCliTest {
 protected:
  std::string In(const fs::path& path) const { return "'" + (folder_ / path).string() + "'"; }

  void CopySample(const std::string& sample, const fs::path& to) const {
    fs::create_directories((folder_ / to).parent_path());
    fs::copy_file(kSamples / sample, folder_ / to);
  }

  // Every file under `root` by its relative path, with its content.
  std::map<std::string, std::string> Tree(const fs::path& root) const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder_ / root)) {
      if (entry.is_regular_file()) {
        files[fs::relative(entry.path(), folder_ / root).string()] = Slurp(entry.path());
      }
    }
    return files;
  }
};

// A damaged file deep in the tree, a hidden folder, another kind of file and
// a link back up the tree: the rest is converted into a mirrored tree, the
// same whatever the thread count, and encode reads that tree back.
TEST_F(VexoBatchTest, ABatchReportsTheDamagedFileAndConvertsTheRest) {
  CopySample("cat-176x144-predictive-101.vxo", "top/a.vxo");
  CopySample("logo-176x144-fast-201-q2.vxo", "top/m/n/z.VXO");
  CopySample("coffee-176x144-predictive-201-q1.vxo", "top/m/c.vxo");
  CopySample("cat-176x144-predictive-101.vxo", "top/.hidden/h.vxo");
  Write("top/m/damaged.vxo", {'V', 'E', 'X', 'O', 176, 0, 144, 0, 0, 0, 0, 101, 1});
  Write("top/m/notes.txt", {'n'});
  fs::create_directory_symlink("..", folder_ / "top/m/up");
  for (const std::string threads : {"1", "4"}) {
    const RunResult run =
        Run("decode --format png -j " + threads + " -o " + In("j" + threads) + " " + In("top"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, (folder_ / "top/m/damaged.vxo").string() +
                           ": The VEXO file is damaged (the file is truncated: 13 bytes cannot "
                           "code a 176 x 144 picture)\n");
    EXPECT_EQ(run.out.rfind("decode: 3 files done, 1 failed, ", 0), 0u) << run.out;
  }
  const std::map<std::string, std::string> tree = Tree("j4");
  EXPECT_EQ(tree.size(), 3u);
  EXPECT_TRUE(tree.contains("a.png") && tree.contains("m/c.png") && tree.contains("m/n/z.png"));
  EXPECT_TRUE(Tree("j1") == tree);
  const RunResult encode = Run("encode " + In("j4"));
  EXPECT_EQ(encode.exitCode, 0) << encode.err;
  // One line for every file, then the summary.
  EXPECT_NE(encode.out.find((folder_ / "j4/m/c.vxo").string() + ": 176 x 144, "), std::string::npos)
      << encode.out;
  EXPECT_EQ(std::count(encode.out.begin(), encode.out.end(), '\n'), 4) << encode.out;
  EXPECT_EQ(Tree("j4").size(), 6u);  // each VEXO file beside its picture
  // Two names without an output's extension are two inputs, even one file twice.
  const RunResult twice = Run("decode " + In("top/a.vxo") + " " + In("top/a.vxo"));
  EXPECT_EQ(twice.exitCode, 0) << twice.err;
  EXPECT_EQ(twice.out.rfind("decode: 1 file done, 0 failed", 0), 0u) << twice.out;
}

}  // namespace
