// The recent-file list of the File menu: the last 4 files opened, newest
// first, kept in the application's settings.
#pragma once

#include <QStringList>

class RecentFiles {
 public:
  static constexpr int kMaxEntries = 4;

  RecentFiles();
  void Add(const QString& path);
  void Remove(const QString& path);
  const QStringList& Entries() const { return entries_; }

 private:
  void Save() const;
  QStringList entries_;
};
