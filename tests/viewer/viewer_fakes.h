// Fakes of the viewer's platform services that write what happens, in order,
// into one shared log.
#pragma once

#include <string>
#include <vector>

#include "viewer_services.h"

namespace orvane::testing {

using EventLog = std::vector<std::string>;

class FakeServices : public DisplaySink,
                     public StatisticsSink,
                     public MessageSink,
                     public StatusSink,
                     public PlaybackTimer {
 public:
  void SetImageSize(int32_t width, int32_t height) override {
    log.push_back("size " + std::to_string(width) + "x" + std::to_string(height));
  }
  void SetImage(std::span<const uint8_t> bitmap24) override {
    log.push_back("image " + std::to_string(bitmap24.size()));
  }
  void ShowStatistics(const vexo::DecodeStatistics& statistics) override {
    log.push_back("statistics " + statistics.path);
  }
  void ShowMessage(std::string_view text) override {
    log.push_back("message " + std::string(text));
  }
  void ShowStatus(std::string_view text) override { log.push_back("status " + std::string(text)); }
  void Arm(int period) override { log.push_back("arm " + std::to_string(period)); }
  void Kill() override { log.push_back("kill"); }

  EventLog log;
};

class FakeList : public ListSelection {
 public:
  explicit FakeList(std::vector<std::string> items)
      : items_(std::move(items)), selected_(items_.size(), false) {}
  size_t ItemCount() const override { return items_.size(); }
  bool IsSelected(size_t item) const override { return selected_[item]; }
  std::string ItemText(size_t item) const override { return items_[item]; }
  void FocusList() override {}
  void SelectAllItems() override { selected_.assign(items_.size(), true); }

  void Select(std::initializer_list<size_t> items) {
    selected_.assign(items_.size(), false);
    for (size_t item : items) selected_[item] = true;
  }

 private:
  std::vector<std::string> items_;
  std::vector<bool> selected_;
};

}  // namespace orvane::testing
