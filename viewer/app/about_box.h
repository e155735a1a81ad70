// The about box: "About OrvaneDecoder", the application icon and version.
#pragma once

#include <QDialog>

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);
};
