// Interactive mode: the exact screen text, both menus with invalid answers, quitting, and
// the batch script it writes.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "program_runner.h"

namespace byteloom::testing {
namespace {

const std::string kBanner =
    "#######################################################\n"
    "#                                                     #\n"
    "# Now byteloom will make script(.BAT)                 #\n"
    "#                                                     #\n"
    "#######################################################\n";

std::string Menus(const std::string& role, int times) {
  std::string menus;
  for (int i = 0; i < times; ++i) {
    menus += "\n\n You can select converting " + role +
             " file extension.\nSelect ->\n"
             "[1] vxo\t[2] mmf\t[3] midi\t\n[4] icn\t[5] dat\t[6] mel\t\n\n[0] quit\t: ";
  }
  return menus;
}

// The screen of a session that shows each menu so often and then ends with `ending`.
std::string Screen(int sourceMenus, int destinationMenus, const std::string& ending) {
  return kBanner + Menus("source", sourceMenus) + Menus("destination", destinationMenus) + ending;
}

const std::string kQuit = "\n\n Exit byteloom\n\n";

// The shell script written beside each batch script.
std::string ShellScript(const std::string& from, const std::string& to) {
  return "#!/bin/sh\n# Converts every ." + from + " file in this folder tree to ." + to +
         " with byteloom, as " + from + "To" + to + ".bat does.\nexec find . -type f -iname '*." +
         from + "' -exec byteloom " + from + " " + to + " {} \\;\n";
}

// The batch script and the shell script a session writes.
Folder Scripts(const std::string& from, const std::string& to) {
  return {{from + "To" + to + ".bat",
           "@for /r %%f in (*." + from + ") do byteloom " + from + " " + to + " \"%%f\""},
          {from + "To" + to + ".sh", ShellScript(from, to)}};
}

const ProgramCase kSessions[] = {
    {.name = "VxoToIcn",
     .input = "1\n4\n",
     .output = Screen(1, 1, "\n Now Excute vxoToicn.bat, again.\n\n"),
     .changes = Scripts("vxo", "icn")},
    // A binary extension pairs only with a text extension.
    {.name = "MmfToDatAfterInvalidDestinations",
     .input = "2\n1\n2\n3\n7\n5\n",
     .output = Screen(1, 5, "\n Now Excute mmfTodat.bat, again.\n\n"),
     .changes = Scripts("mmf", "dat")},
    // Each stray character costs one more menu; the last number read stays the answer.
    {.name = "InvalidSources",
     .before = {{"melTovxo.bat", "older"}},
     .input = "9\nabc\n-1\n 6\n1\n",
     .output = Screen(6, 1, "\n Now Excute melTovxo.bat, again.\n\n"),
     .changes = Scripts("mel", "vxo")},
    {.name = "QuitInDestinationMenu", .input = "3\n1\n0\n", .output = Screen(1, 2, kQuit)},
    {.name = "InputEndsInDestinationMenu", .input = "5\n4\n", .output = Screen(1, 2, kQuit)},
    {.name = "ScriptCannotBeCreated",
     .before = {{"vxoToicn.bat", kDirectory}},
     .input = "1\n4\n",
     .exitStatus = kScriptFailed,
     .output = Screen(1, 1, "open data file fail!\n")},
};

INSTANTIATE_TEST_SUITE_P(Sessions, ProgramTest, ::testing::ValuesIn(kSessions), CaseName);

// The shell script runs here, unlike the batch script, and converts the whole tree.
TEST_F(FolderTest, ShellScriptIsExecutableAndConvertsTheFolderTree) {
  namespace fs = std::filesystem;
  ASSERT_EQ(Run({}, "1\n4\n").exitStatus, 0);
  fs::create_directories(Work() / "sub" / "deeper");
  std::ofstream(Work() / "sub" / "deeper" / "a b.VXO", std::ios::binary) << "\x1f\x8b";
  const std::string command = "cd '" + Work().string() + "' && PATH='" +
                              fs::path(BYTELOOM_PROGRAM).parent_path().string() +
                              "':\"$PATH\" ./vxoToicn.sh >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream converted(Work() / "sub" / "deeper" / "a b.icn");
  const std::string text{std::istreambuf_iterator<char>(converted), {}};
  EXPECT_EQ(text, "0x1f, 0x8b, ");
}

}  // namespace
}  // namespace byteloom::testing
