#include "file_list_view.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QShortcut>

namespace {

constexpr int kLargeIconSize = 32;
constexpr int kSmallIconSize = 16;

}  // namespace

COrvaneDecoderView::COrvaneDecoderView(orvane::DisplaySink& display,
                                       orvane::StatisticsSink& statistics,
                                       orvane::MessageSink& messages, orvane::StatusSink& status,
                                       QWidget* parent)
    : QStackedWidget(parent),
      timer_([this] { playback_.OnPlaybackTimer(); }),
      decode_({display, statistics, messages, status, timer_}),
      playback_(timer_,
                [this](const std::string& path) {
                  decode_.currentFilePath = path;
                  return decode_.DecodeCurrentFile();
                }),
      iconView_(new QListView(this)),
      detailsView_(new QTreeView(this)) {
  SetupFileListColumns();
  iconView_->setModel(&model_);
  detailsView_->setModel(&model_);
  detailsView_->setSelectionModel(iconView_->selectionModel());
  detailsView_->setRootIsDecorated(false);
  detailsView_->setItemsExpandable(false);
  detailsView_->setUniformRowHeights(true);
  for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(iconView_),
                                  static_cast<QAbstractItemView*>(detailsView_)}) {
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    addWidget(view);
    ConnectSelection(view);
  }
  connect(iconView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    // A mouse selection is handled when the button is released (clicked).
    if (!selectingAll_ && QApplication::mouseButtons() == Qt::NoButton) OnSelectionChanged();
  });
  for (int key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, &COrvaneDecoderView::Decode);
  }
  SetDisplayMode(DisplayMode::kLargeIcons);
}

void COrvaneDecoderView::SetupFileListColumns() {
  QStringList headers;
  for (std::string_view header : orvane::kFileListColumnHeaders) {
    headers << orvane::ToQString(header);
  }
  model_.setHorizontalHeaderLabels(headers);
  model_.horizontalHeaderItem(1)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  detailsView_->header()->setSectionsClickable(false);
  detailsView_->setSortingEnabled(false);
}

void COrvaneDecoderView::ConnectSelection(QAbstractItemView* view) {
  connect(view, &QAbstractItemView::clicked, this, [this] { OnSelectionChanged(); });
}

void COrvaneDecoderView::OnSelectionChanged() {
  playback_.OnSelectionChanged(*this, listing_.currentFolder);
}

QList<QStandardItem*> COrvaneDecoderView::MakeRow(const orvane::FileListRow& row) {
  static const QFileIconProvider icons;
  auto* name = new QStandardItem(icons.icon(QFileInfo(QString::fromStdString(row.fullPath))),
                                 QString::fromStdString(row.name));
  auto* size = new QStandardItem(QString::fromStdString(row.sizeText));
  size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QList<QStandardItem*> items = {name, size, new QStandardItem(orvane::ToQString(row.typeText)),
                                 new QStandardItem(orvane::ToQString(row.dateText))};
  for (QStandardItem* item : items) item->setEditable(false);
  return items;
}

void COrvaneDecoderView::FillFileList(const QString& folder) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  listing_ = orvane::FillFileList(folder.toStdString(), lister_, typeNames_);
  model_.removeRows(0, model_.rowCount());
  for (const orvane::FileListRow& row : listing_.rows) model_.appendRow(MakeRow(row));
  QApplication::restoreOverrideCursor();
}

bool COrvaneDecoderView::SelectEntry(const QString& name) {
  for (int row = 0; row < model_.rowCount(); ++row) {
    if (model_.item(row, 0)->text() != name) continue;
    const QModelIndex index = model_.index(row, 0);
    CurrentItemView()->setCurrentIndex(index);
    iconView_->selectionModel()->select(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    CurrentItemView()->scrollTo(index);
    return true;
  }
  return false;
}

void COrvaneDecoderView::SetDisplayMode(DisplayMode mode) {
  mode_ = mode;
  if (mode == DisplayMode::kDetails) {
    SizeColumnsOnce();
    detailsView_->setIconSize(QSize(kSmallIconSize, kSmallIconSize));
    setCurrentWidget(detailsView_);
    return;
  }
  const bool large = mode == DisplayMode::kLargeIcons;
  iconView_->setViewMode(large ? QListView::IconMode : QListView::ListMode);
  iconView_->setFlow(mode == DisplayMode::kList ? QListView::TopToBottom : QListView::LeftToRight);
  iconView_->setWrapping(true);
  iconView_->setResizeMode(QListView::Adjust);
  iconView_->setMovement(QListView::Static);
  const int iconSize = large ? kLargeIconSize : kSmallIconSize;
  iconView_->setIconSize(QSize(iconSize, iconSize));
  iconView_->setGridSize(large ? QSize(96, 64) : QSize());
  iconView_->setWordWrap(large);
  setCurrentWidget(iconView_);
}

QAbstractItemView* COrvaneDecoderView::CurrentItemView() const {
  return mode_ == DisplayMode::kDetails ? static_cast<QAbstractItemView*>(detailsView_)
                                        : static_cast<QAbstractItemView*>(iconView_);
}

void COrvaneDecoderView::SizeColumnsOnce() {
  // Each column a quarter of the pane when first shown; then the user's.
  if (columnsSized_ || width() <= 1) return;
  for (int column = 0; column < 4; ++column) {
    detailsView_->header()->resizeSection(column, width() / 4);
  }
  columnsSized_ = true;
}

void COrvaneDecoderView::Decode() {
  playback_.StartPlayback();
}

void COrvaneDecoderView::SelectAllFiles() {
  playback_.SelectAllFiles(*this, listing_.currentFolder);
}

void COrvaneDecoderView::StopPlayback() {
  playback_.StopPlayback();
}

void COrvaneDecoderView::SetFramesPerSecond(int framesPerSecond) {
  playback_.framesPerSecond = framesPerSecond;
}

size_t COrvaneDecoderView::ItemCount() const {
  return static_cast<size_t>(model_.rowCount());
}

bool COrvaneDecoderView::IsSelected(size_t item) const {
  return iconView_->selectionModel()->isRowSelected(static_cast<int>(item), QModelIndex());
}

std::string COrvaneDecoderView::ItemText(size_t item) const {
  return model_.item(static_cast<int>(item), 0)->text().toStdString();
}

bool COrvaneDecoderView::IsFolderItem(size_t item) const {
  return item < listing_.rows.size() && listing_.rows[item].isFolder;
}

void COrvaneDecoderView::FocusList() {
  CurrentItemView()->setFocus();
}

void COrvaneDecoderView::SelectAllItems() {
  selectingAll_ = true;
  CurrentItemView()->selectAll();
  selectingAll_ = false;
}
