// COrvaneDecoderView: the file list of the chosen folder in four display
// modes (one model, an icon/list view and a details view sharing its
// selection), and the owner of the file decode and the slide show.
#pragma once

#include <QListView>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTreeView>
#include <memory>

#include "current_file_decode.h"
#include "file_list.h"
#include "playback.h"
#include "qt_services.h"

class COrvaneDecoderView : public QStackedWidget, private orvane::ListSelection {
  Q_OBJECT

 public:
  enum class DisplayMode { kLargeIcons, kSmallIcons, kList, kDetails };

  COrvaneDecoderView(orvane::DisplaySink& display, orvane::StatisticsSink& statistics,
                     orvane::MessageSink& messages, orvane::StatusSink& status,
                     QWidget* parent = nullptr);

  void FillFileList(const QString& folder);
  // Selects the entry of that name alone, which plays it. False when the
  // list holds no such entry.
  bool SelectEntry(const QString& name);

  void SetDisplayMode(DisplayMode mode);
  DisplayMode Mode() const { return mode_; }

  // The commands of the Edit and Options menus and the toolbar.
  void Decode();
  void SelectAllFiles();
  void StopPlayback();
  void SetFramesPerSecond(int framesPerSecond);
  int FramesPerSecond() const { return playback_.framesPerSecond; }
  void SetSaveBmp(bool on) { decode_.saveBmp = on; }
  bool SaveBmp() const { return decode_.saveBmp; }

  QString CurrentFolder() const { return QString::fromStdString(listing_.currentFolder); }
  QStandardItemModel* Model() { return &model_; }
  QAbstractItemView* CurrentItemView() const;
  const orvane::Playback& PlaybackState() const { return playback_; }
  bool TimerIsActive() const { return timer_.IsActive(); }
  bool LastDecodeFailed() const { return decode_.LastDecodeFailed(); }

 private:
  size_t ItemCount() const override;
  bool IsSelected(size_t item) const override;
  std::string ItemText(size_t item) const override;
  bool IsFolderItem(size_t item) const override;
  void FocusList() override;
  void SelectAllItems() override;

  void SetupFileListColumns();
  void SizeColumnsOnce();
  void ConnectSelection(QAbstractItemView* view);
  void OnSelectionChanged();
  QList<QStandardItem*> MakeRow(const orvane::FileListRow& row);

  orvane::QtPlaybackTimer timer_;
  orvane::CurrentFileDecode decode_;
  orvane::Playback playback_;
  orvane::MimeTypeNames typeNames_;
  orvane::FileSystemLister lister_;
  orvane::FileListing listing_;
  QStandardItemModel model_;
  QListView* iconView_;
  QTreeView* detailsView_;
  DisplayMode mode_ = DisplayMode::kLargeIcons;
  bool selectingAll_ = false;
  bool columnsSized_ = false;
};
