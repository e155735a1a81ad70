// The vexo program as a user runs it: arguments in, text and exit code out.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "example_files.h"
#include "vexo_cli_fixture.h"

namespace {

using vexo::testing::HugePictureInATinyFile;
using vexo::testing::WithByte;
using vexo_cli_test::RunResult;
using vexo_cli_test::VexoCliTest;

const std::vector<uint8_t> kHandChecked = vexo::testing::HandCheckedFile();

TEST_F(VexoCliTest, DecodePrintsTheStatisticsAndWritesTheBmpBesideTheInput) {
  const std::string input = Write("sample.vxo", kHandChecked);
  const RunResult run = Run("decode '" + input + "'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("File Name: sample.vxo\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Image Size: 4x2x\n"), std::string::npos);
  EXPECT_NE(run.out.find("Comp Ratio: x1.0\n"), std::string::npos);
  EXPECT_NE(run.out.find("Decode Mode: ARM9 DCT OFF\n"), std::string::npos);
  EXPECT_NE(run.out.find("Quantize Value: HIGH(Lossless)\n"), std::string::npos);
  EXPECT_NE(run.out.find("Dec Time: 0."), std::string::npos);
  EXPECT_EQ(std::filesystem::file_size(folder_ / "sample1.bmp"), 54u + 24u);
}

TEST_F(VexoCliTest, DashWritesTheOutputToStandardOutputAndTheTextsToStandardError) {
  const std::string input = Write("sample.vxo", kHandChecked);
  const RunResult decode = Run("decode '" + input + "' -");
  EXPECT_EQ(decode.exitCode, 0) << decode.err;
  EXPECT_EQ(decode.out.size(), 54u + 24u);
  EXPECT_NE(decode.err.find("File Name: sample.vxo"), std::string::npos) << decode.err;
  const RunResult encode =
      RunShell("'" VEXO_PROGRAM "' decode '" + input +
               "' - | '" VEXO_PROGRAM "' encode - - | '" VEXO_PROGRAM "' info -");
  EXPECT_EQ(encode.exitCode, 0) << encode.err;
  EXPECT_NE(encode.out.find("width: 4\nheight: 2\n"), std::string::npos) << encode.out;
}

TEST_F(VexoCliTest, UnwritableOutputFailsWithTheReason) {
  const std::string input = Write("sample.vxo", kHandChecked);
  const RunResult run = Run("decode '" + input + "' '" + (folder_ / "no" / "x.bmp").string() + "'");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Cannot write"), std::string::npos) << run.err;
}

TEST_F(VexoCliTest, UsageErrorsExitTwoAndHelpExitsZero) {
  EXPECT_EQ(Run("").exitCode, 2);
  EXPECT_EQ(Run("encode a.png b.vxo --background bogus").exitCode, 2);
  const RunResult bogus = Run("bogus x.vxo");
  EXPECT_EQ(bogus.exitCode, 2);
  EXPECT_NE(bogus.err.find("unknown command 'bogus'"), std::string::npos) << bogus.err;
  const RunResult help = Run("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("decode"), std::string::npos);
  EXPECT_NE(help.out.find("info"), std::string::npos);
}

TEST_F(VexoCliTest, InfoPrintsTheFieldsPathStatusAndResult) {
  const RunResult run = Run("info '" + Write("sample.vxo", kHandChecked) + "'");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out,
            "width: 4\nheight: 2\ndepth-flag: 0\npath-flag: 0\nquality: 0\n"
            "codec-version: 101\npath: predictive\nstatus: ok\nresult: 24\nverdict: ok\n");
}

// A file as info and decode see it: the tail of info's report, and decode's
// text on standard error (empty where the decode succeeds).
struct FileCase {
  const char* name;
  std::vector<uint8_t> bytes;
  const char* infoTail;
  const char* decodeError;
};

// Test names carry the case name; the bytes would only clutter them.
void PrintTo(const FileCase& c, std::ostream* out) {
  *out << c.name;
}

class VexoFileCaseTest : public VexoCliTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(VexoFileCaseTest, InfoEndsWithTheStatusAndVerdictAndDecodeSaysWhy) {
  const std::string input = Write("f.vxo", GetParam().bytes);
  const RunResult info = Run("info '" + input + "'");
  const std::string tail = GetParam().infoTail;
  ASSERT_GE(info.out.size(), tail.size()) << info.out;
  EXPECT_EQ(info.out.substr(info.out.size() - tail.size()), tail) << info.out;

  const RunResult decode = Run("decode '" + input + "'");
  const std::string error = GetParam().decodeError;
  if (error.empty()) {
    EXPECT_EQ(decode.exitCode, 0) << decode.err;
    return;
  }
  EXPECT_EQ(decode.exitCode, 1);
  EXPECT_EQ(decode.err, input + ": " + error + "\n");
  EXPECT_EQ(decode.out, "");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "f1.bmp"));
}

const char kDamaged[] = "The VEXO file is damaged";
const char kVersion102[] =
    "Incorrect Decoder Version (the file has version 102; this decoder knows 101 and 201)";

INSTANTIATE_TEST_SUITE_P(
    Files, VexoFileCaseTest,
    ::testing::Values(
        FileCase{"BadMagic", WithByte(kHandChecked, 0, 'X'),
                 "status: bad-magic\nresult: -1\nverdict: This is not the VEXO file\n",
                 "This is not the VEXO file"},
        FileCase{"BadVersion", WithByte(kHandChecked, 11, 102),
                 "path: predictive\nstatus: bad-version\nresult: -1\n"
                 "verdict: Incorrect Decoder Version\n",
                 kVersion102},
        FileCase{"Truncated",
                 {kHandChecked.begin(), kHandChecked.end() - 3},
                 "status: truncated\nresult: -1\nverdict: The VEXO file is damaged\n",
                 kDamaged},
        FileCase{"WidthZeroIsOk", WithByte(kHandChecked, 4, 0),
                 "status: ok\nresult: 20\nverdict: The VEXO file is damaged\n", kDamaged},
        FileCase{"HugePictureTinyFile", HugePictureInATinyFile(),
                 "status: truncated\nresult: -1\nverdict: The VEXO file is damaged\n", kDamaged},
        FileCase{"HugeTransformPictureQuality52",
                 WithByte(WithByte(HugePictureInATinyFile(), 9, 1), 10, 52),
                 "status: malformed\nresult: -1\nverdict: The VEXO file is damaged\n", kDamaged},
        FileCase{"Family201", WithByte(kHandChecked, 11, 201),
                 "codec-version: 201\npath: predictive\nstatus: ok\nresult: 24\nverdict: ok\n",
                 ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A smooth picture, which the lossless predictive path codes in few bits.
std::vector<uint8_t> Ppm(int width, int height) {
  const std::string header =
      "P6 " + std::to_string(width) + " " + std::to_string(height) + " 255\n";
  std::vector<uint8_t> bytes(header.begin(), header.end());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bytes.insert(bytes.end(), {static_cast<uint8_t>(4 * x), static_cast<uint8_t>(4 * y), 96});
    }
  }
  return bytes;
}

TEST_F(VexoCliTest, EncodeWritesACheckedFileAndReportsIt) {
  const std::string input = Write("in.ppm", Ppm(8, 8));
  // A long name must not cut the summary short.
  const std::string output = (folder_ / (std::string(150, 'n') + ".vxo")).string();
  const RunResult lossless = Run("encode '" + input + "' '" + output + "' --path fast");
  ASSERT_EQ(lossless.exitCode, 0) << lossless.err;
  const std::string size = std::to_string(std::filesystem::file_size(output));
  const std::string firstLine = lossless.out.substr(0, lossless.out.find('\n') + 1);
  EXPECT_EQ(firstLine.rfind(output + ": 8 x 8, " + size + " bytes, ", 0), 0u) << firstLine;
  EXPECT_TRUE(firstLine.ends_with(" bits per pixel\n")) << firstLine;
  EXPECT_NE(lossless.out.find("Encoding time: "), std::string::npos);
  EXPECT_EQ(lossless.out.find("PSNR"), std::string::npos);
  EXPECT_NE(Run("info '" + output + "'").out.find("path: fast\nstatus: ok\n"), std::string::npos);

  const RunResult lossy =
      Run("encode '" + input + "' '" + output + "' --path transform --quality 30");
  ASSERT_EQ(lossy.exitCode, 0) << lossy.err;
  EXPECT_NE(lossy.out.find("PSNR: "), std::string::npos) << lossy.out;
}

struct EncodeRefusal {
  const char* name;
  const char* arguments;
  int exitCode;
  const char* message;
};

// Test names carry the case name; the bytes would only clutter them.
void PrintTo(const EncodeRefusal& c, std::ostream* out) {
  *out << c.name;
}

class VexoEncodeRefusalTest : public VexoCliTest,
                              public ::testing::WithParamInterface<EncodeRefusal> {};

TEST_P(VexoEncodeRefusalTest, SaysWhyAndWritesNothing) {
  Write("in.ppm", Ppm(6, 6));
  Write("wide.ppm", Ppm(32768, 1));
  Write("text.txt", {'h', 'i'});
  std::string command = std::string("encode ") + GetParam().arguments;
  for (size_t at = command.find("{}"); at != std::string::npos; at = command.find("{}")) {
    command.replace(at, 2, folder_.string());
  }
  const RunResult run = Run(command);
  EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.err;
  EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(folder_ / "out.vxo"));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "out.vxo.part"));
}

INSTANTIATE_TEST_SUITE_P(
    Requests, VexoEncodeRefusalTest,
    ::testing::Values(
        EncodeRefusal{"FastNeedsFamily201", "{}/in.ppm {}/out.vxo --path fast --family 101", 2,
                      "--family 201"},
        EncodeRefusal{"QualityOutOfRange", "{}/in.ppm {}/out.vxo --quality 3", 2, "0..2"},
        EncodeRefusal{"FastNeedsWholeBlocks", "{}/in.ppm {}/out.vxo --path fast", 1,
                      "multiples of 4"},
        EncodeRefusal{"TooWide", "{}/wide.ppm {}/out.vxo", 1, "32767"},
        EncodeRefusal{"NotAPicture", "{}/text.txt {}/out.vxo", 1, "not a PNG, BMP or binary PPM"},
        EncodeRefusal{"Missing", "{}/none.png {}/out.vxo", 1, "Cannot read"}),
    [](const auto& info) { return std::string(info.param.name); });

// A folder is searched for files to convert; one without any is a failure
// that says so, never an exception.
TEST_F(VexoCliTest, AFolderWithNothingToConvertIsRefusedWithTheReason) {
  const RunResult info = Run("info '" + folder_.string() + "'");
  EXPECT_EQ(info.exitCode, 1);
  EXPECT_EQ(info.err, "Cannot read " + folder_.string() + ": Is a directory\n");
  for (const std::string command : {"encode", "decode"}) {
    const RunResult run = Run(command + " '" + folder_.string() + "'");
    EXPECT_EQ(run.exitCode, 1) << command;
    EXPECT_EQ(run.err.rfind(command + ": no ", 0), 0u) << run.err;
  }
}

TEST_F(VexoCliTest, AnOutputThatIsItsOwnInputIsRefused) {
  const std::string vxo = Write("x.vxo", kHandChecked);
  const std::string ppm = Write("a.ppm", Ppm(4, 4));
  std::filesystem::create_directory(folder_ / "sub");
  std::filesystem::create_symlink("x.vxo", folder_ / "link.vxo");
  const std::string viaParent = (folder_ / "sub" / ".." / "a.ppm").string();
  for (const std::string& command :
       {"decode '" + vxo + "' '" + vxo + "'",
        "decode '" + vxo + "' '" + folder_.string() + "/link.vxo'",
        "encode '" + ppm + "' '" + ppm + "'", "encode '" + ppm + "' '" + viaParent + "'"}) {
    const RunResult run = Run(command);
    EXPECT_EQ(run.exitCode, 1) << command;
    EXPECT_NE(run.err.find("is the input file"), std::string::npos) << run.err;
  }
  EXPECT_EQ(std::filesystem::file_size(vxo), kHandChecked.size());
  EXPECT_EQ(Slurp(ppm).substr(0, 2), "P6");
}

struct WarningCase {
  const char* name;
  const char* options;
  const char* warning;  // empty: no warning at all
};

void PrintTo(const WarningCase& c, std::ostream* out) {
  *out << c.name;
}

const char kLarger[] = "larger than the lossless predictive file";

class VexoEncodeWarningTest : public VexoCliTest,
                              public ::testing::WithParamInterface<WarningCase> {};

// Warned: a file larger than the lossless predictive one, or a poor quality choice.
TEST_P(VexoEncodeWarningTest, WarnsOnlyWhenTheSettingsWasteBits) {
  const std::string input = Write("in.ppm", Ppm(64, 64));
  const RunResult run =
      Run("encode '" + input + "' '" + (folder_ / "o.vxo").string() + "' " + GetParam().options);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string warning = GetParam().warning;
  if (warning.empty()) {
    EXPECT_EQ(run.err, "");
  } else {
    EXPECT_NE(run.err.find(warning), std::string::npos) << run.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, VexoEncodeWarningTest,
    ::testing::Values(WarningCase{"PredictiveLossless", "", ""},
                      WarningCase{"FastCoarse", "--path fast --quality 2", kLarger},
                      WarningCase{"TransformQuality0", "--path transform --quality 0",
                                  "quality 1 gives"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
