// Reads VEXO pictures for QImageReader. The pixels are those of the 24-bit
// BMP the viewer writes: 5-6-5 expanded with the low bits 0. Qt's own RGB16
// conversion repeats the high bits into the low ones, so the expansion is
// done here and Qt gets 8-bit red-green-blue.
#pragma once

#include <QImageIOHandler>

class VxoImageHandler : public QImageIOHandler {
 public:
  // True when the device's next bytes are the "VEXO" magic; reads nothing.
  static bool CanRead(QIODevice* device);

  bool canRead() const override;
  bool read(QImage* image) override;
  QVariant option(ImageOption option) const override;
  bool supportsOption(ImageOption option) const override;
};
