// The Qt image-format plugin for VEXO pictures (format "vxo"): once
// installed in Qt's imageformats folder, every Qt application reads them
// through QImageReader.
#pragma once

#include <QImageIOPlugin>

class VxoImagePlugin : public QImageIOPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "vxo.json")

 public:
  Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
  QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override;
};
