// Command-line mode: converting one file either way, the argument rules, and the conversions
// that must fail without changing any file (no output, no empty file, no temporary file).

#include "byteloom/command_line.h"

#include <string>
#include <vector>

#include "program_runner.h"

namespace byteloom::testing {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (const int value : values) bytes += static_cast<char>(value);
  return bytes;
}

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

const std::string kSource = Bytes({0x10, 0xa5});
const std::string kSourceText = "0x10, 0xa5, ";

const ProgramCase kConversions[] = {
    Converts("NineBytesEndWithoutLineFeed", {"vxo", "icn", "logo.vxo"},
             Bytes({0, 1, 2, 3, 4, 5, 6, 7, 8}), "logo.icn",
             "0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, \n0x08, "),
    Converts("EightBytesEndWithLineFeed", {"vxo", "icn", "logo.vxo"},
             Bytes({0x1f, 0x8b, 0, 0x7f, 0x80, 0xa5, 0xfe, 0xff}), "logo.icn",
             "0x1f, 0x8b, 0x00, 0x7f, 0x80, 0xa5, 0xfe, 0xff, \n"),
    Converts("EmptyBinaryGivesEmptyText", {"mmf", "dat", "tone.mmf"}, "", "tone.dat", ""),
    Converts("SourceExtensionIgnoresCase", {"MIDI", "mel", "tune.MIDI"}, kSource, "tune.mel",
             kSourceText),
    Converts("ExtensionCutByLengthOnly", {"vxo", "icn", "LOGO.VXO", "ignored"}, kSource, "LOGO.icn",
             kSourceText),
    Converts("TextWithPrefixesCommasSpacesCrLf", {"icn", "vxo", "logo.icn"}, "0x1f,0x8b\r\n0xff, ",
             "logo.vxo", Bytes({0x1f, 0x8b, 0xff})),
    Converts("ExtensionOutsideTableReadsText", {"txt", "bin", "notes.txt"}, "10a5\n", "notes.bin",
             kSource),
    // With three arguments "-h" is an extension like any other.
    Converts("HelpOptionAsExtension", {"-h", "bin", "data.-h"}, kSourceText, "data.bin", kSource),
    {.name = "ReplacesOlderOutput",
     .arguments = {"vxo", "icn", "logo.vxo"},
     .before = {{"logo.vxo", kSource}, {"logo.icn", "an older, longer conversion"}},
     .changes = {{"logo.icn", kSourceText}}},
    {.name = "WritesThroughLink",
     .arguments = {"vxo", "icn", "logo.vxo"},
     .before = {{"logo.vxo", kSource}, {"logo.icn", "-> kept.icn"}, {"kept.icn", "older"}},
     .changes = {{"kept.icn", kSourceText}}},
};

const std::string kArgumentError =
    "ERROR : need 4 parameters\n"
    "        It should be byteloom source_extension destination_extension source_filepath\n";

const ProgramCase kArgumentRules[] = {
    {.name = "Help", .arguments = {"--help"}, .output = std::string(Usage())},
    {.name = "OneArgument",
     .arguments = {"vxo"},
     .exitStatus = kWrongArguments,
     .output = kArgumentError},
};

const std::string kOverwrite = "destination file would overwrite the source file!\n";

const ProgramCase kRefusals[] = {
    Refuses("OutputNamedLikeSource", {"VXO", "vxo", "a.vxo"}, {{"a.vxo", kSource}}, kOverwrite),
    Refuses("OutputLinksToSource", {"vxo", "icn", "a.vxo"},
            {{"a.vxo", kSource}, {"a.icn", "-> a.vxo"}}, kOverwrite),
    Refuses("PathShorterThanExtension", {"midi", "icn", "a.m"}, {{"a.m", kSource}},
            "source file path is shorter than its extension!\n"),
    Refuses("SourceMissing", {"vxo", "icn", "a.vxo"}, {}, "open source file fail![2]\n"),
    Refuses("DestinationUnwritable", {"vxo", "icn", "a.vxo"},
            {{"a.vxo", kSource}, {"a.icn", kDirectory}}, "open destination file fail![21]\n"),
    // Text the tool never writes is refused rather than turned into wrong bytes.
    Refuses("TextEndsWithinPair", {"icn", "vxo", "a.icn"},
            {{"a.icn", "0x1f, 0x8"}, {"a.vxo", "older"}}, "invalid byte-list text at offset 8!\n"),
    Refuses("TextNotHexadecimal", {"txt", "bin", "a.txt"}, {{"a.txt", "0x12, 0xzz, "}},
            "invalid byte-list text at offset 8!\n"),
    // Text under a binary name (or the reverse) would be turned into text again later.
    Refuses("BinaryToBinaryExtension", {"vxo", "MMF", "pic.vxo"}, {{"pic.vxo", kSource}},
            "destination extension must be a text extension (icn, dat, mel) for a binary "
            "source!\n"),
};

INSTANTIATE_TEST_SUITE_P(Conversions, ProgramTest, ::testing::ValuesIn(kConversions), CaseName);
INSTANTIATE_TEST_SUITE_P(ArgumentRules, ProgramTest, ::testing::ValuesIn(kArgumentRules), CaseName);
INSTANTIATE_TEST_SUITE_P(Refusals, ProgramTest, ::testing::ValuesIn(kRefusals), CaseName);

}  // namespace
}  // namespace byteloom::testing
