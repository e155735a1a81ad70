#include "vxo_image_plugin.h"

#include "vxo_image_handler.h"

QImageIOPlugin::Capabilities VxoImagePlugin::capabilities(QIODevice* device,
                                                          const QByteArray& format) const {
  // Reading only: the format is made by the encoder, not by image editors.
  if (format == "vxo") return CanRead;
  if (!format.isEmpty() || !device || !device->isOpen()) return {};
  return VxoImageHandler::CanRead(device) ? CanRead : Capabilities();
}

QImageIOHandler* VxoImagePlugin::create(QIODevice* device, const QByteArray& format) const {
  auto* handler = new VxoImageHandler;
  handler->setDevice(device);
  handler->setFormat(format);
  return handler;
}
