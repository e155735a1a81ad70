// The statistics pane's texts: each decode's nine values become six texts,
// which the window then shows.
#pragma once

#include <functional>
#include <utility>

#include "statistics_text.h"
#include "viewer_services.h"

namespace orvane {

class StatisticsPanel : public StatisticsSink {
 public:
  using Transfer = std::function<void(const vexo::StatisticsTexts&)>;
  explicit StatisticsPanel(Transfer transfer) : transfer_(std::move(transfer)) {}

  void ShowStatistics(const vexo::DecodeStatistics& statistics) override {
    vexo::UpdateStatisticsTexts(texts_, statistics);
    transfer_(texts_);
  }
  const vexo::StatisticsTexts& Texts() const { return texts_; }

 private:
  Transfer transfer_;
  vexo::StatisticsTexts texts_;
};

}  // namespace orvane
