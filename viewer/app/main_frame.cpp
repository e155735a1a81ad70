#include "main_frame.h"

#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>

#include "about_box.h"

namespace {

QWidget* WithName(QWidget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QString::fromLatin1(kTitle));
  resize(800, 700);
  setAcceptDrops(true);
  CreateStatusBar();
  CreatePanes();
  CreateActions();
  CreateMenus();
  CreateToolBar();
  leftView_->InitTree();
}

void CMainFrame::CreateStatusBar() {
  // The idle text comes back whenever a prompt or report goes away.
  connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
    if (message.isEmpty()) statusBar()->showMessage(QStringLiteral("Ready"));
  });
  statusBar()->showMessage(QStringLiteral("Ready"));
  messages_ = std::make_unique<orvane::QtMessageSink>(this);
  status_ = std::make_unique<orvane::QtStatusSink>(statusBar());
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (initialSizesSet_) return;
  initialSizesSet_ = true;
  // The panes' first sizes; the last pane of each splitter takes the rest.
  const auto setFirst = [](QSplitter* splitter, int first) {
    const int whole =
        splitter->orientation() == Qt::Horizontal ? splitter->width() : splitter->height();
    splitter->setSizes({first, std::max(1, whole - first - splitter->handleWidth())});
  };
  setFirst(outer_, 200);
  setFirst(right_, 300);
  setFirst(bottom_, 380);
}

void CMainFrame::CreatePanes() {
  outer_ = new QSplitter(Qt::Horizontal, this);
  leftView_ = new CLeftView(outer_);
  right_ = new QSplitter(Qt::Vertical, outer_);
  bottom_ = new QSplitter(Qt::Horizontal);
  displayView_ = new COrvaneDisplayView(bottom_);
  outputView_ = new COrvaneOutputDlgView(bottom_);
  fileListView_ =
      new COrvaneDecoderView(*displayView_, outputView_->Sink(), *messages_, *status_, right_);
  right_->addWidget(fileListView_);
  right_->addWidget(bottom_);
  WithName(leftView_, "folderTree");
  WithName(fileListView_, "fileList");
  WithName(displayView_, "display");
  WithName(outputView_, "statistics");

  fileListView_->setMinimumHeight(100);
  for (QSplitter* splitter : {outer_, right_, bottom_}) splitter->setChildrenCollapsible(false);
  setCentralWidget(outer_);
  connect(leftView_, &CLeftView::FolderSelected, fileListView_, &COrvaneDecoderView::FillFileList);
}

QAction* CMainFrame::AddAction(const QString& name, const QString& text, const QString& statusTip) {
  auto* action = new QAction(text, this);
  action->setObjectName(name);
  action->setStatusTip(statusTip);
  addAction(action);
  return action;
}

QAction* CMainFrame::Action(const QString& name) const {
  return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void CMainFrame::CreateActions() {
  QAction* open = AddAction("open", tr("&Open..."), tr("Open a VEXO picture or a folder"));
  open->setShortcut(QKeySequence::Open);
  connect(open, &QAction::triggered, this, &CMainFrame::ShowOpenDialog);
  QAction* exit = AddAction("exit", tr("E&xit"), tr("Quit the application"));
  exit->setShortcut(QKeySequence::Quit);
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QAction* decode = AddAction("decode", tr("&Decode"), tr("Decode the selected files"));
  decode->setToolTip(tr("Decode"));
  connect(decode, &QAction::triggered, fileListView_, &COrvaneDecoderView::Decode);
  QAction* selectAll = AddAction("selectAll", tr("Select &All"), tr("Select every listed entry"));
  selectAll->setToolTip(tr("Select All"));
  connect(selectAll, &QAction::triggered, fileListView_, &COrvaneDecoderView::SelectAllFiles);
  QAction* stop = AddAction("stop", tr("Stop"), tr("Stop the playback"));
  connect(stop, &QAction::triggered, fileListView_, &COrvaneDecoderView::StopPlayback);
  QAction* about = AddAction("about", tr("&About OrvaneDecoder..."),
                             tr("Display program information and version"));
  about->setToolTip(tr("About"));
  connect(about, &QAction::triggered, this, [this] { AboutBox(this).exec(); });

  QAction* saveBmp = AddAction("saveBmp", tr("save BMP"),
                               tr("Write each decoded picture beside its source as a BMP file"));
  saveBmp->setCheckable(true);
  connect(saveBmp, &QAction::toggled, fileListView_, &COrvaneDecoderView::SetSaveBmp);

  QAction* nextPane = AddAction("nextPane", tr("Next Pane"), tr("Switch to the next pane"));
  nextPane->setShortcut(Qt::Key_F6);
  connect(nextPane, &QAction::triggered, this, [this] { CycleFocus(1); });
  QAction* previousPane =
      AddAction("previousPane", tr("Previous Pane"), tr("Switch back to the previous pane"));
  previousPane->setShortcut(Qt::SHIFT | Qt::Key_F6);
  connect(previousPane, &QAction::triggered, this, [this] { CycleFocus(-1); });
  AddDisplayModeActions();
}

void CMainFrame::AddDisplayModeActions() {
  using Mode = COrvaneDecoderView::DisplayMode;
  struct ModeAction {
    const char* name;
    const char* text;
    const char* statusTip;
    const char* themeIcon;
    QStyle::StandardPixmap fallback;
    Mode mode;
  };
  const ModeAction modes[] = {
      {"largeIcons", "Large Icons", "Display items by using large icons.", "view-list-icons",
       QStyle::SP_FileDialogContentsView, Mode::kLargeIcons},
      {"smallIcons", "Small Icons", "Display items by using small icons.", "view-grid",
       QStyle::SP_FileDialogInfoView, Mode::kSmallIcons},
      {"list", "List", "Displays items in a list.", "view-list-text", QStyle::SP_FileDialogListView,
       Mode::kList},
      {"details", "Details", "Displays detailed information about each item in the window.",
       "view-list-details", QStyle::SP_FileDialogDetailedView, Mode::kDetails}};
  displayModes_ = new QActionGroup(this);
  for (const ModeAction& mode : modes) {
    QAction* action = AddAction(mode.name, tr(mode.text), tr(mode.statusTip));
    action->setIcon(QIcon::fromTheme(mode.themeIcon, style()->standardIcon(mode.fallback)));
    action->setCheckable(true);
    action->setChecked(fileListView_->Mode() == mode.mode);
    displayModes_->addAction(action);
    connect(action, &QAction::triggered, this,
            [this, m = mode.mode] { fileListView_->SetDisplayMode(m); });
  }
}

void CMainFrame::AddFrameRateActions(QMenu* menu) {
  auto* rates = new QActionGroup(this);
  for (int rate : orvane::kFrameRates) {
    const QString text = rate == 0 ? tr("No delay") : tr("%1 fps").arg(rate);
    QAction* action =
        AddAction(QStringLiteral("fps%1").arg(rate), text, tr("Show the pictures at this rate"));
    action->setCheckable(true);
    action->setChecked(fileListView_->FramesPerSecond() == rate);
    rates->addAction(action);
    menu->addAction(action);
    connect(action, &QAction::triggered, this,
            [this, rate] { fileListView_->SetFramesPerSecond(rate); });
  }
}

void CMainFrame::CreateMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(Action("open"));
  file->addSeparator();
  recentMenu_ = file;
  file->addSeparator()->setObjectName("recentEnd");
  file->addAction(Action("exit"));
  UpdateRecentFileMenu();

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  edit->addAction(Action("decode"));
  edit->addAction(Action("selectAll"));

  QMenu* view = menuBar()->addMenu(tr("&View"));
  view->setObjectName("viewMenu");
  QMenu* help = menuBar()->addMenu(tr("&Help"));
  help->addAction(Action("about"));

  QMenu* options = menuBar()->addMenu(tr("&Options"));
  AddFrameRateActions(options->addMenu(tr("Fps")));
  options->addAction(Action("saveBmp"));
}

void CMainFrame::CreateToolBar() {
  QToolBar* toolBar = addToolBar(tr("Toolbar"));
  toolBar->setObjectName("toolBar");
  toolBar->setIconSize(QSize(16, 16));
  for (const char* name : {"largeIcons", "smallIcons", "list", "details"}) {
    toolBar->addAction(Action(name));
  }
  toolBar->addSeparator();
  Action("about")->setIcon(
      QIcon::fromTheme("help-about", style()->standardIcon(QStyle::SP_MessageBoxInformation)));
  toolBar->addAction(Action("about"));
  toolBar->addSeparator();
  Action("decode")->setIcon(
      QIcon::fromTheme("media-playback-start", style()->standardIcon(QStyle::SP_MediaPlay)));
  Action("selectAll")
      ->setIcon(
          QIcon::fromTheme("edit-select-all", style()->standardIcon(QStyle::SP_DialogApplyButton)));
  Action("stop")->setIcon(
      QIcon::fromTheme("media-playback-stop", style()->standardIcon(QStyle::SP_MediaStop)));
  for (const char* name : {"decode", "selectAll", "stop"}) toolBar->addAction(Action(name));

  QMenu* view = findChild<QMenu*>("viewMenu");
  QAction* showToolBar = toolBar->toggleViewAction();
  showToolBar->setText(tr("&Toolbar"));
  showToolBar->setStatusTip(tr("Show or hide the toolbar"));
  view->addAction(showToolBar);
  QAction* showStatusBar =
      AddAction("statusBar", tr("&Status Bar"), tr("Show or hide the status bar"));
  showStatusBar->setCheckable(true);
  showStatusBar->setChecked(true);
  connect(showStatusBar, &QAction::toggled, statusBar(), &QWidget::setVisible);
  view->addAction(showStatusBar);
}

void CMainFrame::UpdateRecentFileMenu() {
  for (QAction* action : recentMenu_->actions()) {
    if (action->property("recent").toBool()) {
      recentMenu_->removeAction(action);
      action->deleteLater();
    }
  }
  QAction* before = findChild<QAction*>("recentEnd");
  const QStringList& entries = recentFiles_.Entries();
  for (int i = 0; i < entries.size(); ++i) {
    auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(entries[i]), this);
    action->setProperty("recent", true);
    action->setStatusTip(tr("Open this picture"));
    connect(action, &QAction::triggered, this, [this, path = entries[i]] {
      if (!OpenPath(path)) {
        recentFiles_.Remove(path);
        UpdateRecentFileMenu();
      }
    });
    recentMenu_->insertAction(before, action);
  }
  if (entries.isEmpty()) {
    auto* none = new QAction(tr("Recent File"), this);
    none->setProperty("recent", true);
    none->setEnabled(false);
    recentMenu_->insertAction(before, none);
  }
}

void CMainFrame::ShowOpenDialog() {
  const QString path =
      QFileDialog::getOpenFileName(this, tr("Open"), fileListView_->CurrentFolder(),
                                   tr("VEXO pictures (*.vxo *.VXO *.Vxo);;All files (*)"));
  if (!path.isEmpty()) OpenPath(path);
}

bool CMainFrame::OpenPath(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) {
    statusBar()->showMessage(tr("Cannot open %1: no such file or folder").arg(path), 10000);
    return false;
  }
  const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
  if (!leftView_->RevealFolder(folder)) fileListView_->FillFileList(folder);
  if (info.isDir()) return true;
  if (!fileListView_->SelectEntry(info.fileName())) {
    statusBar()->showMessage(tr("%1 is not listed: the list shows *.vxo files").arg(path), 10000);
    return false;
  }
  recentFiles_.Add(info.absoluteFilePath());
  UpdateRecentFileMenu();
  return true;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (!urls.isEmpty() && urls.first().isLocalFile()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  OpenPath(event->mimeData()->urls().first().toLocalFile());
  event->acceptProposedAction();
}

void CMainFrame::CycleFocus(int step) {
  const QList<QWidget*> panes = {leftView_, fileListView_->CurrentItemView(), displayView_,
                                 outputView_->findChild<QWidget*>("fileName")};
  int current = 0;
  for (int i = 0; i < panes.size(); ++i) {
    if (panes[i]->isAncestorOf(focusWidget()) || panes[i] == focusWidget()) current = i;
  }
  const int next =
      (current + step + static_cast<int>(panes.size())) % static_cast<int>(panes.size());
  panes[next]->setFocus(Qt::OtherFocusReason);
}
