// The platform services of the viewer's logic, on Qt.
#pragma once

#include <QMimeDatabase>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "viewer_services.h"

namespace orvane {

// A single-shot timer whose tick calls `onTick`.
class QtPlaybackTimer : public PlaybackTimer {
 public:
  explicit QtPlaybackTimer(std::function<void()> onTick);
  void Arm(int periodMilliseconds) override;
  void Kill() override;
  bool IsActive() const { return timer_.isActive(); }

 private:
  QTimer timer_;
};

// A modal message box with an OK button, titled with the application's name.
class QtMessageSink : public MessageSink {
 public:
  explicit QtMessageSink(QWidget* parent) : parent_(parent) {}
  void ShowMessage(std::string_view text) override;

 private:
  QPointer<QWidget> parent_;
};

// Reports in the main window's status bar.
class QtStatusSink : public StatusSink {
 public:
  explicit QtStatusSink(QStatusBar* bar) : bar_(bar) {}
  void ShowStatus(std::string_view text) override;

 private:
  QPointer<QStatusBar> bar_;
};

// Type names from the MIME database ("PNG image"), in the user's language.
class MimeTypeNames : public FileTypeNames {
 public:
  std::string TypeNameOf(const std::string& path, bool isFolder) const override;

 private:
  QMimeDatabase database_;
};

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace orvane
