#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace byteloom::testing {

// A folder's entries by name: a file's content, kDirectory, or "-> " and a link's target.
using Folder = std::map<std::string, std::string>;
inline const std::string kDirectory = "<directory>";

// Exit statuses as the shell sees the program's negative exit codes.
inline constexpr int kScriptFailed = 254;      // -2
inline constexpr int kWrongArguments = 253;    // -3
inline constexpr int kConversionFailed = 252;  // -4

struct RunResult {
  int exitStatus = -1;
  std::string output;  // standard output
};

// Runs the built program in a fresh temporary folder, removed afterwards.
class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void Populate(const Folder& entries) const;
  Folder Snapshot() const;
  RunResult Run(const std::vector<std::string>& arguments, const std::string& input = "") const;
  // The folder the program runs in.
  const std::filesystem::path& Work() const { return work_; }

 private:
  std::filesystem::path root_;  // holds the program's folder and its standard streams
  std::filesystem::path work_;
};

// One run of the program: the folder before, the arguments and input, and what must follow.
struct ProgramCase {
  std::string name{};
  std::vector<std::string> arguments{};
  Folder before{};
  std::string input{};
  int exitStatus = 0;
  std::string output{};
  Folder changes{};  // entries added or rewritten; every other entry must stay as it was
};

void PrintTo(const ProgramCase& test, std::ostream* out);
std::string CaseName(const ::testing::TestParamInfo<ProgramCase>& info);

class ProgramTest : public FolderTest, public ::testing::WithParamInterface<ProgramCase> {};

}  // namespace byteloom::testing
