#include "vxo_image_handler.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QSize>
#include <QVariant>
#include <span>

#include "bytes_decoder.h"
#include "pixel_conversion.h"
#include "vexo_header.h"

namespace {

std::span<const uint8_t> BytesOf(const QByteArray& bytes) {
  return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
}

// Each row expanded straight into the image, which pads its rows itself.
QImage ToImage(const vexo::DecodedVexoPicture& picture) {
  QImage image(picture.width, picture.height, QImage::Format_RGB888);
  if (image.isNull()) return image;  // Qt could not allocate it
  const auto pixels = std::span<const uint16_t>(picture.image565);
  const auto width = static_cast<size_t>(picture.width);
  for (int row = 0; row < picture.height; ++row) {
    vexo::ExpandRgb565(pixels.subspan(static_cast<size_t>(row) * width, width),
                       std::span<uint8_t>(image.scanLine(row), 3 * width));
  }
  return image;
}

}  // namespace

bool VxoImageHandler::CanRead(QIODevice* device) {
  return device && vexo::HasVexoMagic(BytesOf(device->peek(4)));
}

bool VxoImageHandler::canRead() const {
  if (!CanRead(device())) return false;
  setFormat("vxo");
  return true;
}

bool VxoImageHandler::read(QImage* image) {
  const QByteArray file = device()->readAll();
  const vexo::DecodedVexoPicture picture = vexo::DecodeVexoBytes(BytesOf(file));
  if (picture.status != vexo::FileDecodeStatus::kOk) {
    qWarning("VEXO image reader: %s", vexo::FailureText(picture.status).data());
    return false;
  }
  *image = ToImage(picture);
  return !image->isNull();
}

QVariant VxoImageHandler::option(ImageOption option) const {
  if (option != Size || !device() || device()->isSequential()) return {};
  const auto header = vexo::ReadVexoHeader(BytesOf(device()->peek(vexo::kVexoHeaderSize)));
  if (!header || !vexo::HasVexoMagic(BytesOf(device()->peek(4)))) return {};
  return QSize(header->width, header->height);
}

bool VxoImageHandler::supportsOption(ImageOption option) const {
  return option == Size;
}
