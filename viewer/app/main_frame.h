// CMainFrame: the main window. Toolbar, status bar, menus and three
// splitters holding the folder tree, the file list, the display pane and
// the statistics pane; it routes the commands to the file list.
#pragma once

#include <QActionGroup>
#include <QMainWindow>
#include <QSplitter>
#include <memory>

#include "display_view.h"
#include "file_list_view.h"
#include "left_view.h"
#include "output_view.h"
#include "qt_services.h"
#include "recent_files.h"

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr const char* kTitle = "Orvane Decoder Version 1.4 - OrvaneDecoder";

  explicit CMainFrame(QWidget* parent = nullptr);

  // A .vxo file: shows its folder, selects and decodes it, and remembers it
  // among the recent files. A folder: shows it. False (with a message in the
  // status bar) when the path is neither.
  bool OpenPath(const QString& path);

  CLeftView* LeftView() const { return leftView_; }
  COrvaneDecoderView* FileListView() const { return fileListView_; }
  COrvaneDisplayView* DisplayView() const { return displayView_; }
  COrvaneOutputDlgView* OutputView() const { return outputView_; }
  QSplitter* OuterSplitter() const { return outer_; }
  QSplitter* RightSplitter() const { return right_; }
  QSplitter* BottomSplitter() const { return bottom_; }
  QAction* Action(const QString& name) const;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreatePanes();
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  QAction* AddAction(const QString& name, const QString& text, const QString& statusTip);
  void AddFrameRateActions(QMenu* menu);
  void AddDisplayModeActions();
  void UpdateRecentFileMenu();
  void ShowOpenDialog();
  void CycleFocus(int step);

  COrvaneDisplayView* displayView_ = nullptr;
  COrvaneOutputDlgView* outputView_ = nullptr;
  std::unique_ptr<orvane::QtMessageSink> messages_;
  std::unique_ptr<orvane::QtStatusSink> status_;
  CLeftView* leftView_ = nullptr;
  COrvaneDecoderView* fileListView_ = nullptr;
  QSplitter* outer_ = nullptr;
  QSplitter* right_ = nullptr;
  QSplitter* bottom_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  QActionGroup* displayModes_ = nullptr;
  RecentFiles recentFiles_;
  bool initialSizesSet_ = false;
};
