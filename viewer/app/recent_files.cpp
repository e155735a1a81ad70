#include "recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString kGroup = QStringLiteral("Recent File List");

QString KeyOf(int index) {
  return QStringLiteral("File%1").arg(index + 1);
}

}  // namespace

RecentFiles::RecentFiles() {
  QSettings settings;
  settings.beginGroup(kGroup);
  for (int i = 0; i < kMaxEntries; ++i) {
    const QString path = settings.value(KeyOf(i)).toString();
    if (!path.isEmpty()) entries_ << path;
  }
}

void RecentFiles::Add(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  entries_.removeAll(absolute);
  entries_.prepend(absolute);
  while (entries_.size() > kMaxEntries) entries_.removeLast();
  Save();
}

void RecentFiles::Remove(const QString& path) {
  entries_.removeAll(path);
  Save();
}

void RecentFiles::Save() const {
  QSettings settings;
  settings.beginGroup(kGroup);
  for (int i = 0; i < kMaxEntries; ++i) {
    if (i < entries_.size()) {
      settings.setValue(KeyOf(i), entries_[i]);
    } else {
      settings.remove(KeyOf(i));
    }
  }
}
