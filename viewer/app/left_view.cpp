#include "left_view.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QStyle>

namespace {

constexpr int kLogicItemRole = Qt::UserRole + 1;

}  // namespace

CLeftView::CLeftView(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  // The selected folder shows the open icon, as a file manager does.
  folderIcon_ = QFileIconProvider().icon(QFileIconProvider::Folder);
  const QIcon open = QIcon::fromTheme(QStringLiteral("folder-open"),
                                      style()->standardIcon(QStyle::SP_DirOpenIcon));
  for (int size : {16, 22, 32}) {
    folderIcon_.addPixmap(open.pixmap(size, size), QIcon::Selected);
  }
  connect(this, &QTreeWidget::itemExpanded, this, &CLeftView::OnItemExpanded);
  connect(this, &QTreeWidget::itemCollapsed, this, &CLeftView::OnItemCollapsed);
  connect(this, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current) { OnCurrentItemChanged(current); });
}

bool CLeftView::InitTree() {
  clear();
  if (!tree_.InitTree("")) return false;
  for (const auto& item : tree_.TopLevelItems()) addTopLevelItem(MakeMirror(*item));
  return true;
}

QTreeWidgetItem* CLeftView::MakeMirror(const orvane::TreeItem& item) {
  auto* mirror = new QTreeWidgetItem({QString::fromStdString(item.text)});
  mirror->setData(0, kLogicItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(&item)));
  if (!item.placeholder) mirror->setIcon(0, folderIcon_);
  MirrorChildren(mirror, item);
  return mirror;
}

void CLeftView::MirrorChildren(QTreeWidgetItem* mirror, const orvane::TreeItem& item) {
  const QList<QTreeWidgetItem*> old = mirror->takeChildren();
  qDeleteAll(old);
  for (const auto& child : item.children) mirror->addChild(MakeMirror(*child));
}

orvane::TreeItem* CLeftView::LogicItem(const QTreeWidgetItem* mirror) {
  return reinterpret_cast<orvane::TreeItem*>(mirror->data(0, kLogicItemRole).value<quintptr>());
}

QTreeWidgetItem* CLeftView::MirrorOf(const orvane::TreeItem* item) const {
  std::vector<size_t> route;  // child positions from the top level down
  for (; item->parent; item = item->parent) {
    const auto& siblings = item->parent->children;
    for (size_t i = 0; i < siblings.size(); ++i) {
      if (siblings[i].get() == item) route.insert(route.begin(), i);
    }
  }
  const auto& tops = tree_.TopLevelItems();
  for (size_t i = 0; i < tops.size(); ++i) {
    if (tops[i].get() != item) continue;
    QTreeWidgetItem* mirror = topLevelItem(static_cast<int>(i));
    for (size_t position : route)
      mirror = mirror ? mirror->child(static_cast<int>(position)) : nullptr;
    return mirror;
  }
  return nullptr;
}

void CLeftView::OnItemExpanded(QTreeWidgetItem* mirror) {
  orvane::TreeItem* item = LogicItem(mirror);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  setUpdatesEnabled(false);
  tree_.OnFolderExpanded(item, true);
  MirrorChildren(mirror, *item);
  setUpdatesEnabled(true);
  QApplication::restoreOverrideCursor();
}

void CLeftView::OnItemCollapsed(QTreeWidgetItem* mirror) {
  orvane::TreeItem* item = LogicItem(mirror);
  tree_.OnFolderExpanded(item, false);
  MirrorChildren(mirror, *item);
}

void CLeftView::OnCurrentItemChanged(QTreeWidgetItem* current) {
  if (!current) return;
  emit FolderSelected(QString::fromStdString(tree_.FullPathOfItem(LogicItem(current))));
}

bool CLeftView::RevealFolder(const QString& path) {
  const auto route = tree_.RouteTo(path.toStdString());
  if (!route) return false;
  const orvane::TreeItem* item = route->topLevel;
  for (const std::string& name : route->names) {
    QTreeWidgetItem* mirror = MirrorOf(item);
    if (!mirror) return false;
    if (mirror->isExpanded()) {
      OnItemExpanded(mirror);  // read again: the folder may be new
    } else {
      mirror->setExpanded(true);
    }
    item = orvane::ChildNamed(*item, name);
    if (!item) return false;
  }
  QTreeWidgetItem* target = MirrorOf(item);
  if (!target) return false;
  setCurrentItem(target);
  scrollToItem(target);
  return true;
}
