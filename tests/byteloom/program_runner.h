// The built program run the way a user runs it, in a fresh temporary folder,
// and the folder compared before and after.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace byteloom::testing {

// A folder's entries by name: a file's content, kDirectory, or "-> " and a link's target.
using Folder = std::map<std::string, std::string>;
inline const std::string kDirectory = "<directory>";
inline const std::string kLinkMark = "-> ";

// Exit statuses as the shell sees the program's negative exit codes.
inline constexpr int kScriptFailed = 254;      // -2
inline constexpr int kWrongArguments = 253;    // -3
inline constexpr int kConversionFailed = 252;  // -4

struct RunResult {
  int exitStatus = -1;
  std::string output;  // standard output
};

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The tests' own names hold no quote.
inline std::string ShellQuote(const std::string& text) {
  return "'" + text + "'";
}

class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("byteloom-test-" + std::to_string(std::random_device{}()));
    work_ = root_ / "work";
    std::filesystem::create_directories(work_);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  // Empties the program's folder, for the next case of a table.
  void Clear() const {
    std::filesystem::remove_all(work_);
    std::filesystem::create_directory(work_);
  }

  void Populate(const Folder& entries) const {
    for (const auto& [name, content] : entries) {
      if (content == kDirectory) {
        std::filesystem::create_directory(work_ / name);
      } else if (content.starts_with(kLinkMark)) {
        std::filesystem::create_symlink(content.substr(kLinkMark.size()), work_ / name);
      } else {
        std::ofstream(work_ / name, std::ios::binary) << content;
      }
    }
  }

  Folder Snapshot() const {
    Folder entries;
    for (const auto& entry : std::filesystem::directory_iterator(work_)) {
      const std::string name = entry.path().filename().string();
      if (entry.is_symlink()) {
        entries[name] = kLinkMark + std::filesystem::read_symlink(entry.path()).string();
      } else {
        entries[name] = entry.is_directory() ? kDirectory : ReadFile(entry.path());
      }
    }
    return entries;
  }

  RunResult Run(const std::vector<std::string>& arguments, const std::string& input = "") const {
    std::ofstream(root_ / "stdin", std::ios::binary) << input;
    std::string command =
        "cd " + ShellQuote(work_.string()) + " && " + ShellQuote(BYTELOOM_PROGRAM);
    for (const std::string& argument : arguments) command += " " + ShellQuote(argument);
    command += " <" + ShellQuote((root_ / "stdin").string());
    command += " >" + ShellQuote((root_ / "stdout").string());
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(root_ / "stdout")};
  }

  std::filesystem::path root_;  // holds the program's folder and its standard streams
  std::filesystem::path work_;  // the folder the program runs in
};

}  // namespace byteloom::testing
