// Any Qt application reads VEXO pictures through QImageReader once the
// plugin is in its imageformats folder; here it is loaded from the build tree.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "file_decoder.h"
#include "pixel_conversion.h"

namespace {

const char* const kSamples[] = {"logo-176x144-fast-201-q2.vxo",
                                "coffee-176x144-predictive-201-q1.vxo",
                                "astronaut-512x512-transform-101-q30.vxo"};

QByteArray ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

class QtPluginTest : public ::testing::TestWithParam<const char*> {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "qt_plugin_tests";
    static char* argv[] = {name, nullptr};
    QCoreApplication::setLibraryPaths({QT_PLUGIN_BUILD_DIR});
    application_ = new QCoreApplication(argc, argv);
  }
  static void TearDownTestSuite() { delete application_; }

  static QCoreApplication* application_;
};
QCoreApplication* QtPluginTest::application_ = nullptr;

TEST_P(QtPluginTest, ReadsTheBmpPixels) {
  const std::string path = std::string(VEXO_SAMPLES_DIR "/") + GetParam();
  vexo::FileDecoder decoder;
  ASSERT_EQ(decoder.Decode(path).status, vexo::FileDecodeStatus::kOk);
  std::vector<uint8_t> expected(decoder.Image565().size() * 3);
  vexo::ExpandRgb565(decoder.Image565(), expected);

  QImageReader reader(QString::fromStdString(path));
  EXPECT_EQ(reader.format(), "vxo");
  EXPECT_EQ(reader.size(), QSize(decoder.ImageWidth(), decoder.ImageHeight()));
  QImage image = reader.read();
  ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
  ASSERT_EQ(image.size(), QSize(decoder.ImageWidth(), decoder.ImageHeight()));
  image = image.convertToFormat(QImage::Format_RGB888);
  const auto rowBytes = 3 * static_cast<size_t>(image.width());
  for (int row = 0; row < image.height(); ++row) {
    ASSERT_EQ(std::memcmp(image.constScanLine(row), &expected[row * rowBytes], rowBytes), 0)
        << "row " << row;
  }
}

// Found by content alone, whatever the name; damaged files are refused.
TEST_F(QtPluginTest, ReadsByMagicAndRefusesDamage) {
  QByteArray file = ReadAll(std::string(VEXO_SAMPLES_DIR "/") + kSamples[0]);
  QBuffer whole(&file);
  EXPECT_EQ(QImageReader(&whole).format(), "vxo");
  QByteArray cut = file.left(file.size() / 2);
  QBuffer damaged(&cut);
  EXPECT_TRUE(QImageReader(&damaged, "vxo").read().isNull());
  file[3] = 'X';
  QBuffer other(&file);
  EXPECT_NE(QImageReader(&other).format(), "vxo");
}

INSTANTIATE_TEST_SUITE_P(Samples, QtPluginTest, ::testing::ValuesIn(kSamples),
                         [](const auto& info) { return std::to_string(info.index); });

}  // namespace
