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

// Texts go to standard error, so that a pipe carries the pictures alone.
TEST_F(VexoCliTest, DashWritesTheOutputToStandardOutputAndTheTextsToStandardError) {
  const std::string input = Write("sample.vxo", kHandChecked);
  const RunResult run = RunShell("'" VEXO_PROGRAM "' decode '" + input +
                                 "' - | '" VEXO_PROGRAM "' encode - - | '" VEXO_PROGRAM "' info -");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.rfind("width: 4\nheight: 2\n", 0), 0u) << run.out;
  EXPECT_NE(run.err.find("File Name: sample.vxo"), std::string::npos) << run.err;
}

// A file as info and decode see it: the tail of info's report, and decode's
// text on standard error (none for the intact file, the last case); both
// exit with 1 for every file but the intact one.
TEST_F(VexoCliTest, InfoEndsWithTheStatusAndVerdictAndDecodeSaysWhy) {
  const std::string damaged = "The VEXO file is damaged (the file is truncated";
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    std::string infoTail;
    std::string decodeError;
  } cases[] = {
      {"bad magic", WithByte(kHandChecked, 0, 'X'),
       "status: bad-magic\nresult: -1\nverdict: This is not the VEXO file\n",
       "This is not the VEXO file (the file does not begin with \"VEXO\")"},
      {"bad version", WithByte(kHandChecked, 11, 102),
       "status: bad-version\nresult: -1\nverdict: Incorrect Decoder Version\n",
       "Incorrect Decoder Version (the file has version 102; this decoder knows 101 and 201)"},
      {"truncated",
       {kHandChecked.begin(), kHandChecked.end() - 3},
       "status: truncated\nresult: -1\nverdict: The VEXO file is damaged\n",
       damaged + ")"},
      {"huge picture, tiny file", HugePictureInATinyFile(),
       "status: truncated\nresult: -1\nverdict: The VEXO file is damaged\n",
       damaged + ": 40 bytes cannot code a 32767 x 32767 picture)"},
      {"huge transform picture", WithByte(WithByte(HugePictureInATinyFile(), 9, 1), 10, 52),
       "status: malformed\nresult: -1\nverdict: The VEXO file is damaged\n",
       damaged + ": 40 bytes cannot code a 32767 x 32767 picture)"},
      {"no pixels: width 65535, read as -1", WithByte(WithByte(kHandChecked, 4, 0xff), 5, 0xff),
       "width: -1\nheight: 2\ndepth-flag: 0\npath-flag: 0\nquality: 0\ncodec-version: 101\n"
       "path: predictive\noutput-bytes: 0\nworkspace-bytes: 0\nstatus: malformed\nresult: -1\n"
       "verdict: The VEXO file is damaged\n",
       "The VEXO file is damaged (the width, -1, is not from 1 to 32767)"},
      {"intact", kHandChecked,
       "width: 4\nheight: 2\ndepth-flag: 0\npath-flag: 0\nquality: 0\ncodec-version: 101\n"
       "path: predictive\noutput-bytes: 16\nworkspace-bytes: 0\nstatus: ok\nresult: 24\n"
       "verdict: ok\n",
       ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string input = Write("f.vxo", c.bytes);
    const RunResult info = Run("info '" + input + "'");
    EXPECT_TRUE(info.out.ends_with(c.infoTail)) << info.out;
    EXPECT_EQ(info.exitCode, c.decodeError.empty() ? 0 : 1);
    const RunResult decode = Run("decode '" + input + "'");
    EXPECT_EQ(decode.exitCode, c.decodeError.empty() ? 0 : 1);
    EXPECT_EQ(decode.err, c.decodeError.empty() ? "" : input + ": " + c.decodeError + "\n");
    EXPECT_EQ(std::filesystem::exists(folder_ / "f1.bmp"), c.decodeError.empty());
  }
}

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
  EXPECT_EQ(firstLine.rfind(output + ": 8 x 8, " + size + " bytes (", 0), 0u) << firstLine;
  EXPECT_TRUE(firstLine.ends_with(" bits per pixel), fast lossless (family 201)\n")) << firstLine;
  EXPECT_NE(Run("info '" + output + "'")
                .out.find("path: fast\noutput-bytes: 128\nworkspace-bytes: 0\nstatus: ok\n"),
            std::string::npos);

  const RunResult lossy =
      Run("encode '" + input + "' '" + output + "' --path transform --quality 30");
  ASSERT_EQ(lossy.exitCode, 0) << lossy.err;
  EXPECT_NE(lossy.out.find("transform quality 30 (family 101), PSNR "), std::string::npos)
      << lossy.out;
  // A row of each of three planes, the width rounded up to 4 with the sample
  // before it and four after, and room to align them.
  EXPECT_NE(Run("info '" + output + "'").out.find("output-bytes: 128\nworkspace-bytes: 52\n"),
            std::string::npos);
}

// Raw output holds the very pixels the other formats expand: each 5-6-5
// pixel of the raw file, expanded with zero low bits, is the PPM's. The
// output's extension chooses the format, in any case, and --format wins
// over it.
TEST_F(VexoCliTest, RawOutputIsThePictureInEitherByteOrder) {
  const std::string vxo = Write("x.vxo", kHandChecked), folder = folder_.string();
  ASSERT_EQ(Run("decode '" + vxo + "' '" + folder + "/x.PPM'").exitCode, 0);
  const RunResult little = Run("decode '" + vxo + "' '" + folder + "/x.raw'");
  ASSERT_EQ(little.exitCode, 0) << little.err;
  EXPECT_NE(little.out.find("RAW File: " + folder + "/x.raw\n"), std::string::npos);
  ASSERT_EQ(
      Run("decode --format raw --byte-order big '" + vxo + "' '" + folder + "/big.bmp'").exitCode,
      0);
  const std::string raw = Slurp(folder_ / "x.raw"), big = Slurp(folder_ / "big.bmp");
  const std::string ppm = Slurp(folder_ / "x.PPM");
  ASSERT_EQ(ppm.substr(0, 2), "P6");
  ASSERT_EQ(raw.size(), 16u);
  ASSERT_EQ(big.size(), 16u);
  const std::string rgb = ppm.substr(ppm.size() - 24);
  for (size_t i = 0; i < 8; ++i) {
    const auto pixel = static_cast<uint16_t>(static_cast<uint8_t>(raw[2 * i]) |
                                             static_cast<uint8_t>(raw[2 * i + 1]) << 8);
    EXPECT_EQ(static_cast<uint8_t>(rgb[3 * i]), (pixel >> 11) << 3) << i;
    EXPECT_EQ(static_cast<uint8_t>(rgb[3 * i + 1]), ((pixel >> 5) & 63) << 2) << i;
    EXPECT_EQ(static_cast<uint8_t>(rgb[3 * i + 2]), (pixel & 31) << 3) << i;
    EXPECT_EQ(big[2 * i], raw[2 * i + 1]) << i;
    EXPECT_EQ(big[2 * i + 1], raw[2 * i]) << i;
  }
  // A byte order means nothing to the 24-bit formats.
  const RunResult refused = Run("decode --byte-order big '" + vxo + "' '" + folder + "/x.png'");
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.err.find("--byte-order big applies to raw"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "x.png"));
}

// A refused command line: its exit status and reason, nothing written and
// no input overwritten, however the output names it.
TEST_F(VexoCliTest, ARefusedCommandSaysWhyAndWritesNothing) {
  const std::string vxo = Write("x.vxo", kHandChecked), ppm = Write("in.ppm", Ppm(6, 6));
  const std::string folder = folder_.string(), empty = folder + "/sub", out = folder + "/out.vxo";
  const std::string pictureNamedFolder = folder + "/adir.vxo";
  std::filesystem::create_directory(empty);
  std::filesystem::create_directory(pictureNamedFolder);
  std::filesystem::create_symlink("x.vxo", folder_ / "link.bmp");
  std::filesystem::create_directory(folder_ / "adir.bmp");
  const struct {
    std::string arguments;
    int exitCode;
    std::string message;
  } cases[] = {
      {"", 2, "--help"},
      {"bogus x.vxo", 2, "unknown command 'bogus'"},
      {"encode " + ppm + " " + out + " --path fast --family 101", 2, "--family 201"},
      {"encode " + ppm + " " + out + " --path fast", 1, "multiples of 4"},
      {"encode " + ppm + " " + out + " --max-bytes 20", 1, ppm + ": needs at least "},
      {"encode " + ppm + " " + out + " --min-psnr 99", 1, ppm + ": no file reaches 99.00 dB"},
      {"encode " + ppm + " " + out + " --max-bytes 99 --quality 3", 2, "--quality cannot"},
      {"encode " + ppm + " " + out + " --path transform --dither ordered", 2, "--dither applies"},
      // Every number option says its range.
      {"encode " + ppm + " " + out + " --quality 30", 2,
       "--quality must be from 0 to 2 on the predictive path, not 30"},
      {"encode " + ppm + " " + out + " --effort 1.5", 2,
       "--effort: must be a whole number from 0 to 9"},
      {"encode " + ppm + " " + out + " --min-psnr -5", 2,
       "--min-psnr: must be a PSNR in dB from 0 up"},
      {"encode " + ppm + " " + out + " --max-bytes 0", 2,
       "--max-bytes: must be a whole number of bytes from 1 up"},
      {"decode -j 0 " + vxo, 2, "--jobs: must be a whole number from 1 to 1024, not 0"},
      {"encode " + Write("wide.ppm", Ppm(32768, 1)) + " " + out, 1, "32767"},
      {"encode " + Write("text.txt", {'h', 'i'}) + " " + out, 1, "not a PNG, BMP or binary PPM"},
      {"encode " + folder + "/none.png " + out, 1, "Cannot read"},
      {"decode " + vxo + " " + folder + "/no/x.bmp", 1, "Cannot write"},
      {"decode " + folder + "/none.vxo", 1, "Cannot read " + folder + "/none.vxo: No such file"},
      {"info " + empty, 1, "Cannot read " + empty + ": Is a directory\n"},
      {"encode " + empty, 1,
       empty + ": no pictures (.png, .jpg, .jpeg, .bmp, .ppm) in this folder\n"},
      {"encode " + empty + " " + out, 2, empty + " is a folder, whose files are converted one "},
      {"decode " + empty, 1, empty + ": no VEXO file (*.vxo) in this folder\n"},
      {"decode " + pictureNamedFolder, 1, pictureNamedFolder + ": no VEXO file (*.vxo) in"},
      {"decode " + vxo + " " + folder + "/link.bmp", 1, "is the input file"},
      {"decode " + vxo + " " + folder + "/adir.bmp", 1, folder + "/adir.bmp: is a folder; name "}};
  for (const auto& c : cases) {
    const RunResult run = Run(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
    if (c.message.find("is the input file") == std::string::npos) {  // only when it is
      EXPECT_EQ(run.err.find("is the input file"), std::string::npos) << c.arguments;
    }
    EXPECT_FALSE(std::filesystem::exists(out) || std::filesystem::exists(out + ".part"));
  }
  EXPECT_EQ(Slurp(vxo).size(), kHandChecked.size());
  EXPECT_EQ(Slurp(ppm).substr(0, 2), "P6");
  // Refused before decoding: no statistics.
  EXPECT_EQ(Run("decode " + vxo + " " + folder + "/adir.bmp").out, "");
  // A picture never goes to a terminal (`script` gives the program one).
  const RunResult terminal =
      RunShell("script -qec \"'" VEXO_PROGRAM "' decode - < '" + vxo + "'\" /dev/null");
  EXPECT_EQ(terminal.exitCode, 2);
  EXPECT_NE(terminal.out.find("standard output is a terminal; name an output file for the BMP "),
            std::string::npos)
      << terminal.out;
}

// A size limit is met and said, or refused with the output left as it was.
TEST_F(VexoCliTest, MaxBytesIsMetOrLeavesTheOutputAlone) {
  const std::string input = Write("in.ppm", Ppm(64, 64));
  const std::string output = Write("out.vxo", {'o', 'l', 'd'});
  const RunResult refused = Run("encode '" + input + "' '" + output + "' --max-bytes 30");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("nothing was written"), std::string::npos) << refused.err;
  EXPECT_EQ(Slurp(output), "old");

  const RunResult met = Run("encode '" + input + "' '" + output + "' --max-bytes 300");
  ASSERT_EQ(met.exitCode, 0) << met.err;
  EXPECT_LE(std::filesystem::file_size(output), 300u);
  EXPECT_NE(met.out.find("; chosen: the most faithful that fits in 300 bytes"), std::string::npos)
      << met.out;
}

// Warned: a transform file larger than the lossless predictive one, or a
// poor quality choice; never a lossless path, whatever its size.
TEST_F(VexoCliTest, EncodeWarnsOnlyWhenTheSettingsWasteBits) {
  const std::string input = Write("in.ppm", Ppm(64, 64));
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"--path fast", ""},
      {"--path fast --quality 2", ""},
      // The quickest search still spends more than the lossless file here.
      {"--path transform --quality 1 --effort 0", "larger than the lossless predictive file"},
      {"--path transform --quality 0", "quality 1 gives"}};
  for (const auto& [options, warning] : cases) {
    const RunResult run =
        Run("encode '" + input + "' '" + (folder_ / "o.vxo").string() + "' " + options);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.empty(), warning.empty()) << options << ": " << run.err;
    EXPECT_NE(run.err.find(warning), std::string::npos) << run.err;
  }
}

// C source: OUT.c, or --format c for a batch, writes OUT.h beside it with
// the VEXO file's size; what only the command line can refuse writes nothing.
TEST_F(VexoCliTest, EncodeToCWritesTheArrayAndItsHeaderOrNothing) {
  const std::string input = Write("in.ppm", Ppm(8, 8)), folder = folder_.string();
  ASSERT_EQ(Run("encode '" + input + "' '" + folder + "/in.vxo'").exitCode, 0);
  const std::string size = std::to_string(std::filesystem::file_size(folder_ / "in.vxo"));
  const RunResult pair = Run("encode '" + input + "' '" + folder + "/my-bike 2.c'");
  ASSERT_EQ(pair.exitCode, 0) << pair.err;
  EXPECT_NE(pair.out.find(", C array my_bike_2 declared in " + folder + "/my-bike 2.h\n"),
            std::string::npos)
      << pair.out;
  EXPECT_NE(Slurp(folder_ / "my-bike 2.h").find("#define MY_BIKE_2_SIZE " + size + "\n"),
            std::string::npos);
  ASSERT_EQ(Run("encode --format c -o '" + folder + "/out' '" + input + "'").exitCode, 0);
  EXPECT_NE(Slurp(folder_ / "out/in.c").find("const uint8_t in[IN_SIZE] = {"), std::string::npos);
  // Two pictures whose arrays share a name are both written, with a warning.
  const std::string dashed = Write("a-b.ppm", Ppm(8, 8)), underscored = Write("a_b.ppm", Ppm(8, 8));
  const RunResult shared =
      Run("encode --format c -o '" + folder + "/shared' '" + dashed + "' '" + underscored + "'");
  EXPECT_EQ(shared.exitCode, 0) << shared.err;
  EXPECT_NE(shared.err.find("declares the array a_b (macros A_B_*), as"), std::string::npos)
      << shared.err;
  EXPECT_TRUE(std::filesystem::exists(folder_ / "shared/a-b.c") &&
              std::filesystem::exists(folder_ / "shared/a_b.c"));

  // A dry run names what it would write and writes nothing.
  const RunResult dry = Run("encode --dry-run '" + input + "' '" + folder + "/2024 logo.c'");
  EXPECT_EQ(dry.out, input + ": would write " + folder + "/2024 logo.c and " + folder +
                         "/2024 logo.h, C array image_2024_logo\n");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "2024 logo.c"));

  const std::string out = "'" + folder + "/o";
  for (const std::string& refused :
       {std::string("- --format c"), out + ".vxo' --name splash", out + ".c' --name 'a b'"}) {
    EXPECT_EQ(Run("encode '" + input + "' " + refused).exitCode, 2) << refused;
  }
  EXPECT_FALSE(std::filesystem::exists(folder_ / "o.vxo") ||
               std::filesystem::exists(folder_ / "o.c"));
}

}  // namespace
