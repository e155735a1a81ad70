#include "output_view.h"

#include <QVBoxLayout>

#include "qt_services.h"

namespace {

QLabel* MakeCaption(const QString& text, QWidget* parent) {
  auto* caption = new QLabel(text, parent);
  caption->setAlignment(Qt::AlignCenter);
  return caption;
}

}  // namespace

COrvaneOutputDlgView::COrvaneOutputDlgView(QWidget* parent)
    : QWidget(parent), panel_([this](const vexo::StatisticsTexts& texts) { ShowTexts(texts); }) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MakeCaption(QStringLiteral("File Name"), this));
  fileName_ = new QLineEdit(this);
  fileName_->setReadOnly(true);
  fileName_->setAlignment(Qt::AlignCenter);
  fileName_->setObjectName(QStringLiteral("fileName"));
  layout->addWidget(fileName_);
  imageSize_ = AddValueField(QStringLiteral("Image Size"));
  compressionRatio_ = AddValueField(QStringLiteral("Comp Ratio"));
  decodeTime_ = AddValueField(QStringLiteral("Dec Time"));
  decodeMode_ = AddValueField(QStringLiteral("Decode Mode"));
  quantiseValue_ = AddValueField(QStringLiteral("Quantize Value"));
  layout->addStretch(1);
}

QLabel* COrvaneOutputDlgView::AddValueField(const QString& label) {
  layout()->addWidget(MakeCaption(label, this));
  auto* value = new QLabel(this);
  value->setAlignment(Qt::AlignCenter);
  value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  value->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout()->addWidget(value);
  return value;
}

void COrvaneOutputDlgView::ShowTexts(const vexo::StatisticsTexts& texts) {
  fileName_->setText(orvane::ToQString(texts.fileName));
  fileName_->setCursorPosition(0);
  imageSize_->setText(orvane::ToQString(texts.imageSize));
  compressionRatio_->setText(orvane::ToQString(texts.compressionRatio));
  decodeTime_->setText(orvane::ToQString(texts.decodeTime));
  decodeMode_->setText(orvane::ToQString(texts.decodeMode));
  quantiseValue_->setText(orvane::ToQString(texts.quantiseValue));
}

QStringList COrvaneOutputDlgView::FieldTexts() const {
  return {fileName_->text(),   imageSize_->text(),  compressionRatio_->text(),
          decodeTime_->text(), decodeMode_->text(), quantiseValue_->text()};
}
