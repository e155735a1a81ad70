// Interactive mode: both menus with refused answers, quitting, and the scripts
// it writes. (The menus' wording is a constant of the program, not checked here.)

#include <filesystem>
#include <fstream>
#include <string>

#include "program_runner.h"

namespace byteloom::testing {
namespace {

namespace fs = std::filesystem;

struct Session {
  std::string input;
  int menus;           // menus shown: one per answer asked, refused ones included
  std::string ending;  // the last text on the screen
  std::string script;  // the batch script written ("from To to"), empty when none
  int exitStatus = 0;
};

TEST_F(FolderTest, ASessionAsksUntilAnsweredAndWritesTheScripts) {
  const std::string quit = "\n\n Exit byteloom\n\n";
  const Session sessions[] = {
      {"1\n4\n", 2, "\n Now Excute vxoToicn.bat, again.\n\n", "vxo icn"},
      // A binary extension pairs only with a text extension.
      {"2\n1\n2\n3\n7\n5\n", 6, "\n Now Excute mmfTodat.bat, again.\n\n", "mmf dat"},
      // Each stray character costs one more menu; the last number read stays the answer.
      {"9\nabc\n-1\n 6\n1\n", 7, "\n Now Excute melTovxo.bat, again.\n\n", "mel vxo"},
      {"3\n1\n0\n", 3, quit, ""},
      {"5\n4\n", 3, quit, ""},  // the input ends
      // A folder holds the batch script's name.
      {"1\n4\n", 2, "open data file fail!\n", "", kScriptFailed}};
  for (const Session& session : sessions) {
    SCOPED_TRACE(session.input);
    Clear();
    if (session.exitStatus == kScriptFailed) fs::create_directory(work_ / "vxoToicn.bat");
    const RunResult run = Run({}, session.input);
    EXPECT_EQ(run.exitStatus, session.exitStatus);
    int menus = 0;
    for (size_t at = run.output.find("Select ->"); at != std::string::npos;
         at = run.output.find("Select ->", at + 1)) {
      ++menus;
    }
    EXPECT_EQ(menus, session.menus);
    EXPECT_TRUE(run.output.ends_with(session.ending)) << run.output;
    Folder expected;
    if (session.exitStatus == kScriptFailed) expected["vxoToicn.bat"] = kDirectory;
    if (!session.script.empty()) {
      const std::string from = session.script.substr(0, 3), to = session.script.substr(4);
      const std::string name = from + "To" + to;
      expected[name + ".bat"] =
          "@for /r %%f in (*." + from + ") do byteloom " + from + " " + to + " \"%%f\"";
      expected[name + ".sh"] = ReadFile(work_ / (name + ".sh"));  // run by the next test
    }
    EXPECT_EQ(Snapshot(), expected);
  }
}

// The shell script runs here, unlike the batch script, and converts the whole tree.
TEST_F(FolderTest, ShellScriptIsExecutableAndConvertsTheFolderTree) {
  ASSERT_EQ(Run({}, "1\n4\n").exitStatus, 0);
  fs::create_directories(work_ / "sub" / "deeper");
  std::ofstream(work_ / "sub" / "deeper" / "a b.VXO", std::ios::binary) << "\x1f\x8b";
  const std::string command = "cd '" + work_.string() + "' && PATH='" +
                              fs::path(BYTELOOM_PROGRAM).parent_path().string() +
                              "':\"$PATH\" ./vxoToicn.sh >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadFile(work_ / "sub" / "deeper" / "a b.icn"), "0x1f, 0x8b, ");
}

}  // namespace
}  // namespace byteloom::testing
