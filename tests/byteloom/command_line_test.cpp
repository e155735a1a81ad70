// Command-line mode: converting one file either way, the argument rules, and the conversions
// that must fail without changing any file (no output, no empty file, no temporary file).

#include <string>
#include <vector>

#include "program_runner.h"

namespace byteloom::testing {
namespace {

// One run of the program: the folder before, the arguments, and what must follow.
struct ProgramCase {
  std::string name{};
  std::vector<std::string> arguments{};
  Folder before{};
  int exitStatus = 0;
  std::string output{};
  Folder changes{};  // entries added or rewritten; every other entry must stay as it was
};

// A run that converts `source`, named by the third argument, into `outputName`.
ProgramCase Converts(std::string name, std::vector<std::string> arguments, std::string source,
                     std::string outputName, std::string output) {
  Folder before = {{arguments[2], std::move(source)}};
  return {.name = std::move(name),
          .arguments = std::move(arguments),
          .before = std::move(before),
          .changes = {{std::move(outputName), std::move(output)}}};
}

// A run that fails for `reason` and leaves `before` as it was.
ProgramCase Refuses(std::string name, std::vector<std::string> arguments, Folder before,
                    const std::string& reason) {
  return {.name = std::move(name),
          .arguments = std::move(arguments),
          .before = std::move(before),
          .exitStatus = kConversionFailed,
          .output = reason + "converting fail!\n"};
}

const std::string kSource = "\x10\xa5";
const std::string kSourceText = "0x10, 0xa5, ";

const std::string kOverwrite = "destination file would overwrite the source file!\n";

const ProgramCase kRuns[] = {
    Converts("NineBytesEndWithoutLineFeed", {"vxo", "icn", "logo.vxo"},
             std::string("\0\1\2\3\4\5\6\7\10", 9), "logo.icn",
             "0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, \n0x08, "),
    Converts("EmptyBinaryGivesEmptyText", {"mmf", "dat", "tone.mmf"}, "", "tone.dat", ""),
    Converts("SourceExtensionIgnoresCase", {"MIDI", "mel", "tune.MIDI"}, kSource, "tune.mel",
             kSourceText),
    Converts("TextWithPrefixesCommasSpacesCrLf", {"icn", "vxo", "logo.icn"}, "0x1f,0x8b\r\n0xff, ",
             "logo.vxo", "\x1f\x8b\xff"),
    Converts("ExtensionOutsideTableReadsText", {"txt", "bin", "notes.txt"}, "10a5\n", "notes.bin",
             kSource),
    {.name = "WritesThroughLink",
     .arguments = {"vxo", "icn", "logo.vxo"},
     .before = {{"logo.vxo", kSource}, {"logo.icn", "-> kept.icn"}, {"kept.icn", "older"}},
     .changes = {{"kept.icn", kSourceText}}},

    {.name = "OneArgument",
     .arguments = {"vxo"},
     .exitStatus = kWrongArguments,
     .output = "ERROR : need 4 parameters\n        It should be byteloom source_extension "
               "destination_extension source_filepath\n"},
    Refuses("OutputNamedLikeSource", {"VXO", "vxo", "a.vxo"}, {{"a.vxo", kSource}}, kOverwrite),
    Refuses("OutputLinksToSource", {"vxo", "icn", "a.vxo"},
            {{"a.vxo", kSource}, {"a.icn", "-> a.vxo"}}, kOverwrite),
    Refuses("SourceMissing", {"vxo", "icn", "a.vxo"}, {}, "open source file fail![2]\n"),
    Refuses("DestinationUnwritable", {"vxo", "icn", "a.vxo"},
            {{"a.vxo", kSource}, {"a.icn", kDirectory}}, "open destination file fail![21]\n"),
    // Text the tool never writes is refused rather than turned into wrong bytes.
    Refuses("TextEndsWithinPair", {"icn", "vxo", "a.icn"},
            {{"a.icn", "0x1f, 0x8"}, {"a.vxo", "older"}}, "invalid byte-list text at offset 8!\n"),
    // Text under a binary name (or the reverse) would be turned into text again later.
    Refuses("BinaryToBinaryExtension", {"vxo", "MMF", "pic.vxo"}, {{"pic.vxo", kSource}},
            "destination extension must be a text extension (icn, dat, mel) for a binary "
            "source!\n"),
};

// Test names carry the case name; the bytes would only clutter them.
void PrintTo(const ProgramCase& test, std::ostream* out) {
  *out << test.name;
}

class ProgramTest : public FolderTest, public ::testing::WithParamInterface<ProgramCase> {};

TEST_P(ProgramTest, PrintsExpectedOutputAndLeavesExpectedFolder) {
  const ProgramCase& test = GetParam();
  Populate(test.before);
  const RunResult result = Run(test.arguments);
  EXPECT_EQ(result.exitStatus, test.exitStatus);
  EXPECT_EQ(result.output, test.output);
  Folder expected = test.before;
  for (const auto& [name, content] : test.changes) expected[name] = content;
  EXPECT_EQ(Snapshot(), expected);
}

INSTANTIATE_TEST_SUITE_P(Runs, ProgramTest, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace byteloom::testing
