#include "byteloom/interactive_mode.h"

#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "byteloom/exit_codes.h"
#include "byteloom/extension_table.h"
#include "byteloom/menu_answer.h"
#include "byteloom/script_maker.h"
#include "file_io/atomic_output_file.h"

namespace byteloom {
using file_io::AtomicOutputFile;
namespace {

constexpr int kQuitAnswer = 0;

void PrintBanner(std::ostream& out) {
  constexpr std::size_t kWidth = 55;
  const std::string border(kWidth, '#');
  const std::string blank = "#" + std::string(kWidth - 2, ' ') + "#";
  std::string title = "# Now byteloom will make script(.BAT)";
  title.resize(kWidth - 1, ' ');
  title += '#';
  for (const std::string& line : {border, blank, title, blank, border}) out << line << "\n";
}

void PrintExtensions(std::ostream& out, int first, int last) {
  for (int index = first; index <= last; ++index) {
    out << "[" << index << "] " << ExtensionTable[index] << "\t";
  }
}

void PrintMenu(std::ostream& out, std::string_view role) {
  out << "\n\n You can select converting " << role << " file extension.\n";
  out << "Select ->\n";
  PrintExtensions(out, kFirstBinaryIndex, kLastBinaryIndex);
  out << "\n";
  PrintExtensions(out, kFirstTextIndex, kLastTextIndex);
  out << "\n\n[0] quit\t: ";
}

// Shows the menu until the answer passes `isValid`. Empty when the user quits.
template <typename Validity>
std::optional<int> AskForIndex(std::istream& in, std::ostream& out, std::string_view role,
                               Validity isValid) {
  int answer = -1;
  while (true) {
    PrintMenu(out, role);
    if (!ReadMenuAnswer(in, answer) || answer == kQuitAnswer) return std::nullopt;
    if (isValid(answer)) return answer;
  }
}

std::optional<int> AskForSource(std::istream& in, std::ostream& out) {
  return AskForIndex(in, out, "source",
                     [](int index) { return IsBinaryIndex(index) || IsTextIndex(index); });
}

std::optional<int> AskForDestination(std::istream& in, std::ostream& out, int source) {
  return AskForIndex(in, out, "destination", [source](int index) {
    return IsBinaryIndex(source) ? IsTextIndex(index) : IsBinaryIndex(index);
  });
}

int Quit(std::ostream& out) {
  out << "\n\n Exit byteloom\n\n";
  return kExitSuccess;
}

// Writes one script; returns kExitSuccess or, after saying so, kExitScriptFailed.
int WriteScriptFile(const std::string& name, std::string_view text, std::ostream& out) {
  AtomicOutputFile script;
  if (script.Open(name) != 0) {
    out << "open data file fail!\n";
    return kExitScriptFailed;
  }
  if (script.Write(text) != 0 || script.Commit() != 0) {
    out << "write data file fail!\n";
    return kExitScriptFailed;
  }
  return kExitSuccess;
}

// Whoever may read the script may run it.
void MakeExecutable(const std::string& name) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  const fs::perms readable = fs::status(name, ignored).permissions();
  fs::perms runnable = fs::perms::none;
  if ((readable & fs::perms::owner_read) != fs::perms::none) runnable |= fs::perms::owner_exec;
  if ((readable & fs::perms::group_read) != fs::perms::none) runnable |= fs::perms::group_exec;
  if ((readable & fs::perms::others_read) != fs::perms::none) runnable |= fs::perms::others_exec;
  fs::permissions(name, runnable, fs::perm_options::add, ignored);
}

// The batch script as it always was, then a shell script of the same base name that does the
// same here, where a batch script cannot run.
int WriteScript(int source, int destination, std::ostream& out) {
  const std::string name = MakeScriptName(source, destination);
  if (const int result = WriteScriptFile(name, MakeScriptLine(source, destination), out)) {
    return result;
  }
  const std::string shellName = MakeShellScriptName(source, destination);
  if (const int result = WriteScriptFile(shellName, MakeShellScript(source, destination), out)) {
    return result;
  }
  MakeExecutable(shellName);
  out << "\n Now Excute " << name << ", again.\n\n";
  return kExitSuccess;
}

int Run(std::istream& in, std::ostream& out) {
  PrintBanner(out);
  const std::optional<int> source = AskForSource(in, out);
  if (!source) return Quit(out);
  const std::optional<int> destination = AskForDestination(in, out, *source);
  if (!destination) return Quit(out);
  return WriteScript(*source, *destination, out);
}

}  // namespace

int RunInteractiveMode(std::istream& in, std::ostream& out) {
  try {
    return Run(in, out);
  } catch (const std::bad_alloc&) {
    out << "malloc error!\n";
    return kExitNoMemory;
  }
}

}  // namespace byteloom
