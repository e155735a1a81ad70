// What the viewer's logic needs from the windowing platform, one small
// interface per service. The window implements them; the tests fake them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "statistics_text.h"

namespace orvane {

// The display pane: takes the size first, then the bottom-up 24-bit picture,
// which it copies.
class DisplaySink {
 public:
  virtual ~DisplaySink() = default;
  virtual void SetImageSize(int32_t width, int32_t height) = 0;
  virtual void SetImage(std::span<const uint8_t> bitmap24) = 0;
};

// The statistics pane: the nine values of one successful decode.
class StatisticsSink {
 public:
  virtual ~StatisticsSink() = default;
  virtual void ShowStatistics(const vexo::DecodeStatistics& statistics) = 0;
};

// A modal message box with an OK button; returns once it is closed.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(std::string_view text) = 0;
};

// The status bar: a transient report that needs no answer.
class StatusSink {
 public:
  virtual ~StatusSink() = default;
  virtual void ShowStatus(std::string_view text) = 0;
};

// The playback timer: one shot at a time. After Kill no tick arrives.
class PlaybackTimer {
 public:
  virtual ~PlaybackTimer() = default;
  virtual void Arm(int periodMilliseconds) = 0;
  virtual void Kill() = 0;
};

// The file list's items and their selection, in list order.
class ListSelection {
 public:
  virtual ~ListSelection() = default;
  virtual size_t ItemCount() const = 0;
  virtual bool IsSelected(size_t item) const = 0;
  virtual std::string ItemText(size_t item) const = 0;
  virtual bool IsFolderItem(size_t item) const = 0;
  virtual void FocusList() = 0;
  virtual void SelectAllItems() = 0;
};

// The platform's name for a file's type ("PNG image"), or "" when it has none.
class FileTypeNames {
 public:
  virtual ~FileTypeNames() = default;
  virtual std::string TypeNameOf(const std::string& path, bool isFolder) const = 0;
};

}  // namespace orvane
