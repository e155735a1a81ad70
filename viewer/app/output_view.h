// COrvaneOutputDlgView: the statistics pane, six labelled fields from top
// to bottom; the file name is a read-only line that can be selected.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "statistics_panel.h"

class COrvaneOutputDlgView : public QWidget {
  Q_OBJECT

 public:
  explicit COrvaneOutputDlgView(QWidget* parent = nullptr);

  orvane::StatisticsSink& Sink() { return panel_; }
  // The six fields' texts, top to bottom.
  QStringList FieldTexts() const;

 private:
  void ShowTexts(const vexo::StatisticsTexts& texts);
  QLabel* AddValueField(const QString& label);

  orvane::StatisticsPanel panel_;
  QLineEdit* fileName_;
  QLabel* imageSize_;
  QLabel* compressionRatio_;
  QLabel* decodeTime_;
  QLabel* decodeMode_;
  QLabel* quantiseValue_;
};
