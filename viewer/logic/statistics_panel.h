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
  using Transfer = std::function<void(const StatisticsTexts&)>;
  explicit StatisticsPanel(Transfer transfer) : transfer_(std::move(transfer)) {}

  void ShowStatistics(const DecodeStatistics& statistics) override {
    UpdateStatisticsTexts(texts_, statistics);
    transfer_(texts_);
  }
  const StatisticsTexts& Texts() const { return texts_; }

 private:
  Transfer transfer_;
  StatisticsTexts texts_;
};

}  // namespace orvane
