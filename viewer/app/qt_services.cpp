#include "qt_services.h"

#include <QApplication>
#include <QMessageBox>

namespace orvane {

QtPlaybackTimer::QtPlaybackTimer(std::function<void()> onTick) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, std::move(onTick));
}

void QtPlaybackTimer::Arm(int periodMilliseconds) {
  timer_.start(periodMilliseconds);
}

void QtPlaybackTimer::Kill() {
  timer_.stop();
}

void QtMessageSink::ShowMessage(std::string_view text) {
  QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), ToQString(text),
                  QMessageBox::Ok, parent_);
  box.exec();
}

void QtStatusSink::ShowStatus(std::string_view text) {
  if (bar_) bar_->showMessage(ToQString(text), 10000);
}

std::string MimeTypeNames::TypeNameOf(const std::string& path, bool isFolder) const {
  const QString file = QString::fromStdString(path);
  const QMimeType type = isFolder ? database_.mimeTypeForName("inode/directory")
                                  : database_.mimeTypeForFile(file, QMimeDatabase::MatchExtension);
  if (!type.isValid() || type.isDefault()) return {};
  return type.comment().toStdString();
}

}  // namespace orvane
