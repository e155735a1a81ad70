// Any Qt application reads VEXO pictures through QImageReader once the
// plugin is in its imageformats folder; here it is loaded from the build tree.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include "file_decoder.h"
#include "pixel_conversion.h"

namespace {

const QString kSample = VEXO_SAMPLES_DIR "/astronaut-512x512-transform-101-q30.vxo";

TEST(QtPlugin, ReadsTheDecodedPixelsByContentAndRefusesDamage) {
  vexo::FileDecoder decoder;
  ASSERT_EQ(decoder.Decode(kSample.toStdString()).status, vexo::FileDecodeStatus::kOk);
  std::vector<uint8_t> rgb(decoder.Image565().size() * 3);
  vexo::ExpandRgb565(decoder.Image565(), rgb);
  const QImage expected(rgb.data(), decoder.ImageWidth(), decoder.ImageHeight(),
                        3 * decoder.ImageWidth(), QImage::Format_RGB888);

  QImageReader reader(kSample);
  EXPECT_TRUE(reader.read().convertToFormat(QImage::Format_RGB888) == expected)
      << reader.errorString().toStdString();

  // Found by content alone, whatever the name; damaged files are refused.
  QFile sample(kSample);
  ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
  QByteArray file = sample.readAll();
  QBuffer whole(&file);
  EXPECT_EQ(QImageReader(&whole).format(), "vxo");
  QByteArray cut = file.left(file.size() / 2);
  QBuffer damaged(&cut);
  EXPECT_TRUE(QImageReader(&damaged, "vxo").read().isNull());
}

}  // namespace

// Qt finds its plugins through the application object, made before the tests run.
int main(int argc, char** argv) {
  QCoreApplication::setLibraryPaths({QT_PLUGIN_BUILD_DIR});
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
