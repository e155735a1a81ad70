// CLeftView: the folder tree pane. It mirrors the FolderTree logic's items
// in a QTreeWidget and tells the main window which folder was chosen.
#pragma once

#include <QIcon>
#include <QTreeWidget>

#include "folder_tree.h"

class CLeftView : public QTreeWidget {
  Q_OBJECT

 public:
  explicit CLeftView(QWidget* parent = nullptr);

  // Shows the roots; returns false with the logic's lastError set when the
  // platform gives none.
  bool InitTree();
  // Expands the tree down to a folder and selects it. False when the folder
  // lies outside the tree or cannot be reached.
  bool RevealFolder(const QString& path);
  const orvane::FolderTree& Tree() const { return tree_; }

 signals:
  void FolderSelected(const QString& path);

 private:
  void OnItemExpanded(QTreeWidgetItem* item);
  void OnItemCollapsed(QTreeWidgetItem* item);
  void OnCurrentItemChanged(QTreeWidgetItem* current);
  void MirrorChildren(QTreeWidgetItem* mirror, const orvane::TreeItem& item);
  QTreeWidgetItem* MakeMirror(const orvane::TreeItem& item);
  static orvane::TreeItem* LogicItem(const QTreeWidgetItem* mirror);
  QTreeWidgetItem* MirrorOf(const orvane::TreeItem* item) const;

  orvane::FileSystemLister lister_;
  orvane::FolderTree tree_{lister_};
  QIcon folderIcon_;
};
