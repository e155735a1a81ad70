// Options given as words, as the web module takes them, against the same
// options on vexo's command line: the same refusal, word for word, and the
// same file.
#include "encode_settings/encode_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "encode_settings/encoded_file.h"
#include "picture_reader.h"
#include "vexo_cli_fixture.h"

namespace {

using encode_settings::OptionWords;
using vexo_cli_test::RunResult;
using vexo_cli_test::VexoCliTest;

const std::string kPicture = VEXO_BENCH_IMAGES_DIR "/graphic-logo-176x144.png";

std::string FirstLine(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

TEST_F(VexoCliTest, OptionWordsAreRefusedWithTheLineVexoEncodePrints) {
  const struct {
    OptionWords words;
    std::string arguments;
  } cases[] = {
      {{.path = "bogus"}, "--path bogus"},
      {{.family = "3"}, "--family 3"},
      {{.quality = "2.5"}, "--quality 2.5"},
      {{.maxBytes = "0"}, "--max-bytes 0"},
      {{.minPsnr = "-1"}, "--min-psnr -1"},
      {{.dither = "x"}, "--dither x"},
      {{.effort = "10"}, "--effort 10"},
      {{.background = "nope"}, "--background nope"},
      // The first option in the command line's order is the one named.
      {{.quality = "60", .dither = "x"}, "--dither x --quality 60"},
      {{.maxBytes = "9", .minPsnr = "3"}, "--min-psnr 3 --max-bytes 9"},
      {{.path = "auto", .quality = "1"}, "--path auto --quality 1"},
      {{.path = "fast", .family = "101"}, "--path fast --family 101"},
      {{.path = "transform", .family = "201"}, "--path transform --family 201"},
      {{.path = "predictive", .quality = "5"}, "--path predictive --quality 5"},
      {{.path = "transform", .dither = "ordered"}, "--path transform --dither ordered"},
  };
  const std::string output = (folder_ / "x.vxo").string();
  for (const auto& c : cases) {
    const auto settings = encode_settings::SettingsFromWords(c.words);
    ASSERT_FALSE(settings) << c.arguments;
    const RunResult run = Run("encode " + kPicture + " " + output + " " + c.arguments);
    EXPECT_EQ(run.exitCode, 2) << c.arguments;
    EXPECT_EQ(FirstLine(run.err), settings.error().message) << c.arguments;
  }
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(VexoCliTest, OptionWordsMakeTheFileVexoEncodeWrites) {
  const struct {
    OptionWords words;
    std::string arguments;
  } cases[] = {
      {{}, ""},
      {{.path = "auto"}, "--path auto"},
      {{.path = "transform", .quality = "24", .effort = "0"},
       "--path transform --quality 24 --effort 0"},
      {{.family = "201", .quality = "1", .dither = "floyd-steinberg"},
       "--family 201 --quality 1 --dither floyd-steinberg"},
      {{.maxBytes = "6000"}, "--max-bytes 6000"},
      {{.path = "predictive", .minPsnr = "30.5"}, "--path predictive --min-psnr 30.5"},
  };
  const auto picture = vexo::ReadPicture(kPicture);
  ASSERT_TRUE(picture);
  const std::string output = (folder_ / "x.vxo").string();
  for (const auto& c : cases) {
    const auto settings = encode_settings::SettingsFromWords(c.words);
    ASSERT_TRUE(settings) << settings.error().message;
    const auto encoded = encode_settings::EncodeAsAsked(*picture, settings->settings);
    ASSERT_TRUE(encoded) << c.arguments;
    const RunResult run = Run("encode " + kPicture + " " + output + " " + c.arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string written = Slurp(output);
    EXPECT_EQ(std::vector<uint8_t>(written.begin(), written.end()), encoded->file) << c.arguments;
  }
}

}  // namespace
