// A VEXO file as a C array: the name rules, the header's numbers, the bytes,
// and the pair as a C and a C++ compiler take it.
#include "c_source/c_source.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "byteloom/byte_list_decoder.h"
#include "byteloom/byte_list_encoder.h"
#include "example_files.h"
#include "temp_folder_test.h"
#include "vexo.h"

namespace {

using c_source::ArrayNameFromPath;
using c_source::CSourceNamesFor;

// Never a name C or C++ reserves: none begins with _ or holds __.
TEST(CSourceNames, TheArrayIsNamedAfterTheFileOrAsAskedAndOnlyUsableNamesPass) {
  for (const auto& [path, name] : {std::pair{"pics/my-bike 2.c", "my_bike_2"},
                                   {"2024 logo.c", "image_2024_logo"},
                                   {"_logo.c", "image_logo"},
                                   {"caf\xc3\xa9 \xc3\xa9 1.c", "caf_1"},  // a run of them, one _
                                   {"caf\xc3\xa9.c", "caf"},
                                   {"\xc3\xa9.c", "image"},
                                   {"a__b.c", "a_b"},
                                   {"a.b.c", "a_b"}}) {
    EXPECT_EQ(ArrayNameFromPath(path), name) << path;
    EXPECT_EQ(c_source::ArrayNameProblem(name), "") << path;
  }

  const auto names = CSourceNamesFor("out/my-bike 2.c", "");
  ASSERT_TRUE(names);
  EXPECT_EQ(names->headerPath, "out/my-bike 2.h");
  EXPECT_EQ(CSourceNamesFor("out/x.c", "splash")->arrayName, "splash");

  for (const char* refused :
       {"9lives", "a-b", "_a", "a_", "a__b", "int", "class", "main", "uint8_t"}) {
    const auto named = CSourceNamesFor("x.c", refused);
    ASSERT_FALSE(named) << refused;
    EXPECT_EQ(named.error().message.rfind("x.c: \"" + std::string(refused) + "\"", 0), 0u)
        << named.error().message;
  }
  EXPECT_FALSE(CSourceNamesFor("int.c", ""));
  EXPECT_FALSE(CSourceNamesFor("a\"b.c", "ok"));  // cannot be #included
}

// The body between "= {" and "};" is the file in byteloom's byte-list text.
std::string ArrayBody(const std::string& source) {
  const size_t start = source.find("] = {\n") + 6;
  return source.substr(start, source.rfind("};\n") - start);
}

TEST(CSourcePair, TheHeaderGivesTheSidesAndSizeAndTheSourceTheBytes) {
  for (size_t extra : {0, 3}) {  // a last line of eight bytes, and one of three
    std::vector<uint8_t> file = vexo::testing::HandCheckedFile();
    file.insert(file.end(), extra, 0xab);
    const auto pair = c_source::MakeCSourcePair(*CSourceNamesFor("my-bike 2.c", ""), file);
    ASSERT_TRUE(pair);
    const std::string size = std::to_string(file.size());
    EXPECT_NE(pair->headerText.find("#define MY_BIKE_2_WIDTH 4\n#define MY_BIKE_2_HEIGHT 2\n"
                                    "#define MY_BIKE_2_SIZE " +
                                    size + "\n#define MY_BIKE_2_PATH VEXO_PATH_PREDICTIVE\n"),
              std::string::npos)
        << pair->headerText;
    EXPECT_NE(pair->headerText.find("#define MY_BIKE_2_WORKSPACE_SIZE 0\n"), std::string::npos);
    EXPECT_NE(pair->headerText.find("extern const uint8_t my_bike_2[MY_BIKE_2_SIZE];"),
              std::string::npos);
    EXPECT_EQ(pair->sourceText.rfind("/*", 0), 0u);
    EXPECT_NE(pair->sourceText.find("#include \"my-bike 2.h\"\n"), std::string::npos);
    EXPECT_NE(pair->sourceText.find("VEXO_ASSET_ATTRIBUTE const uint8_t my_bike_2[MY_BIKE_2_SIZE]"),
              std::string::npos);

    const std::string body = ArrayBody(pair->sourceText);
    std::string expected;
    byteloom::ByteListEncoder().Encode({reinterpret_cast<const char*>(file.data()), file.size()},
                                       expected);
    EXPECT_EQ(body, extra == 0 ? expected : expected + "\n");
    std::string bytes;
    byteloom::ByteListDecoder decoder;
    ASSERT_TRUE(decoder.Decode(body, bytes) && decoder.Finish());
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), file);
  }
  EXPECT_FALSE(c_source::MakeCSourcePair(*CSourceNamesFor("x.c", ""), std::vector<uint8_t>(12)));
}

class CSourceFiles : public vexo::testing::TempFolderTest {
 protected:
  static std::vector<uint8_t> Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  int Shell(const std::string& command) const {
    return std::system(("cd '" + folder_.string() + "' && " + command).c_str());
  }
};

// The header is made first: a source that cannot be written leaves no
// header, nor any temporary file.
TEST_F(CSourceFiles, BothFilesAreWrittenOrNeither) {
  const auto pair = c_source::MakeCSourcePair(*CSourceNamesFor((folder_ / "a.c").string(), ""),
                                              vexo::testing::HandCheckedFile());
  ASSERT_TRUE(pair);
  std::filesystem::create_directory(folder_ / "a.c");
  const auto refused = c_source::WriteCSourcePair(*pair);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().message, "Cannot write " + pair->names.sourcePath + ": Is a directory");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);
}

// The pair of a transform sample compiled as C99 and as C++ with every
// warning an error, linked with a C++ program that writes the array out
// again: the bytes a firmware gets are the file's, with the attribute it
// asked for, and the workspace is what the library says the picture needs.
TEST_F(CSourceFiles, ThePairCompilesAsC99AndCppWithoutWarnings) {
  const std::string sample = VEXO_SAMPLES_DIR "/coffee-352x288-transform-101-q24.vxo";
  const std::vector<uint8_t> file = Slurp(sample);
  const auto pair =
      c_source::MakeCSourcePair(*CSourceNamesFor((folder_ / "2 logo.c").string(), ""), file);
  ASSERT_TRUE(pair);
  ASSERT_TRUE(c_source::WriteCSourcePair(*pair));
  vexo_info info{};
  ASSERT_EQ(vexo_read_info(file.data(), file.size(), &info), VEXO_OK);
  std::ofstream(folder_ / "main.cpp")
      << "#include <cstdint>\n#include <cstdio>\n#include \"2 logo.h\"\n"
         "static_assert(IMAGE_2_LOGO_WIDTH == 352 && IMAGE_2_LOGO_HEIGHT == 288, \"sides\");\n"
         "static_assert(IMAGE_2_LOGO_PATH == VEXO_PATH_TRANSFORM, \"path\");\n"
         "static_assert(IMAGE_2_LOGO_WORKSPACE_SIZE == "
      << vexo_workspace_size(&info)
      << ", \"workspace\");\n"
         "int main() {\n"
         "  if (reinterpret_cast<std::uintptr_t>(image_2_logo) % 64 != 0) return 1;\n"
         "  return std::fwrite(image_2_logo, 1, sizeof image_2_logo, stdout) == IMAGE_2_LOGO_SIZE"
         " ? 0 : 1;\n"
         "}\n";
  const std::string flags = " -Wall -Wextra -Wpedantic -Werror -I'" VEXO_DECODER_INCLUDE_DIR "'";
  const std::string aligned = " '-DVEXO_ASSET_ATTRIBUTE=__attribute__((aligned(64)))'";
  ASSERT_EQ(Shell(C_COMPILER " -std=c99" + flags + aligned + " -c '2 logo.c' -o c.o"), 0);
  ASSERT_EQ(Shell(CXX_COMPILER " -x c++ -std=c++98" + flags + " -c '2 logo.c' -o cxx.o"), 0);
  ASSERT_EQ(Shell(CXX_COMPILER " -std=c++20" + flags + " main.cpp c.o -o program"), 0);
  ASSERT_EQ(Shell("./program > out.vxo"), 0);
  EXPECT_EQ(Slurp(folder_ / "out.vxo"), file);
}

}  // namespace
