#include "program_runner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace byteloom::testing {
namespace fs = std::filesystem;
namespace {

const std::string kLinkMark = "-> ";

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

}  // namespace

void FolderTest::SetUp() {
  root_ = fs::temp_directory_path() / ("byteloom-test-" + std::to_string(std::random_device{}()));
  work_ = root_ / "work";
  fs::create_directories(work_);
}

void FolderTest::TearDown() {
  fs::remove_all(root_);
}

void FolderTest::Populate(const Folder& entries) const {
  for (const auto& [name, content] : entries) {
    if (content == kDirectory) {
      fs::create_directory(work_ / name);
    } else if (content.starts_with(kLinkMark)) {
      fs::create_symlink(content.substr(kLinkMark.size()), work_ / name);
    } else {
      WriteFile(work_ / name, content);
    }
  }
}

Folder FolderTest::Snapshot() const {
  Folder entries;
  for (const fs::directory_entry& entry : fs::directory_iterator(work_)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_symlink()) {
      entries[name] = kLinkMark + fs::read_symlink(entry.path()).string();
    } else {
      entries[name] = entry.is_directory() ? kDirectory : ReadFile(entry.path());
    }
  }
  return entries;
}

RunResult FolderTest::Run(const std::vector<std::string>& arguments,
                          const std::string& input) const {
  WriteFile(root_ / "stdin", input);
  std::string command = "cd " + ShellQuote(work_.string()) + " && " + ShellQuote(BYTELOOM_PROGRAM);
  for (const std::string& argument : arguments) command += " " + ShellQuote(argument);
  command += " <" + ShellQuote((root_ / "stdin").string());
  command += " >" + ShellQuote((root_ / "stdout").string());
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(root_ / "stdout")};
}

void PrintTo(const ProgramCase& test, std::ostream* out) {
  *out << test.name;
}

std::string CaseName(const ::testing::TestParamInfo<ProgramCase>& info) {
  return info.param.name;
}

TEST_P(ProgramTest, PrintsExpectedOutputAndLeavesExpectedFolder) {
  const ProgramCase& test = GetParam();
  Populate(test.before);

  const RunResult result = Run(test.arguments, test.input);

  EXPECT_EQ(result.exitStatus, test.exitStatus);
  EXPECT_EQ(result.output, test.output);
  Folder expected = test.before;
  for (const auto& [name, content] : test.changes) expected[name] = content;
  EXPECT_EQ(Snapshot(), expected);
}

}  // namespace byteloom::testing
