// The viewer's window, driven as a user would, on the offscreen platform.
#include <QAbstractItemView>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include "file_decoder.h"
#include "main_frame.h"

namespace {

const QString kSamples = QStringLiteral(VEXO_SAMPLES_DIR);
const QString kCat = QStringLiteral("cat-176x144-predictive-101.vxo");
const QString kCoffee = QStringLiteral("coffee-352x288-transform-101-q24.vxo");
const QString kSunset = QStringLiteral("sunset-1920x1080-transform-101-q28.vxo");

// Closes the next message box once it shows, keeping its text.
void AnswerNextMessageBox(QString* text) {
  QTimer::singleShot(10, [text] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return AnswerNextMessageBox(text);
    *text = box->text();
    box->accept();
  });
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void choosingAFolderFillsTheList();
  void aClickPlaysOneFileExactly();
  void aPictureLargerThanThePanePans();
  void aDamagedFileEndsASlideShow();
  void stopAndTheFrameRateItems();
  void saveBmpWritesBesideTheSource();
  void aSlideShowPassesOverFolders();
  void theCommandLineOpensAFile();

 private:
  void CopySample(const QString& name, const QString& as = {});
  QAbstractItemView* ListView() const { return window_->FileListView()->CurrentItemView(); }
  void ClickEntry(int row);

  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<CMainFrame> window_;
};

void MainWindowTest::init() {
  folder_ = std::make_unique<QTemporaryDir>();
  window_ = std::make_unique<CMainFrame>();
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void MainWindowTest::cleanup() {
  window_.reset();
  folder_.reset();
}

void MainWindowTest::CopySample(const QString& name, const QString& as) {
  QVERIFY(QFile::copy(kSamples + "/" + name, folder_->filePath(as.isEmpty() ? name : as)));
}

void MainWindowTest::ClickEntry(int row) {
  const QModelIndex index = window_->FileListView()->Model()->index(row, 0);
  // The list lays its items out a moment after it is filled.
  QTRY_COMPARE(ListView()->indexAt(ListView()->visualRect(index).center()), index);
  QTest::mouseClick(ListView()->viewport(), Qt::LeftButton, {},
                    ListView()->visualRect(index).center());
}

void MainWindowTest::choosingAFolderFillsTheList() {
  CopySample(kCat);
  CopySample(kCoffee, "b.VXO");
  QVERIFY(QDir(folder_->path()).mkdir("sub.vxo"));
  QFile(folder_->filePath("notes.txt")).open(QIODevice::WriteOnly);
  QVERIFY(window_->LeftView()->RevealFolder(folder_->path()));
  QCOMPARE(window_->FileListView()->CurrentFolder(), folder_->path() + "/");
  const QStandardItemModel* model = window_->FileListView()->Model();
  QCOMPARE(model->rowCount(), 3);
  QCOMPARE(model->item(0, 0)->text(), QString("sub.vxo"));  // folders first, then by name
  QCOMPARE(model->item(1, 0)->text(), QString("b.VXO"));
  QCOMPARE(model->horizontalHeaderItem(3)->text(), QString("수정한 날짜"));
  window_->Action("details")->trigger();
  QCOMPARE(window_->FileListView()->Mode(), COrvaneDecoderView::DisplayMode::kDetails);
}

void MainWindowTest::aClickPlaysOneFileExactly() {
  CopySample(kCoffee);
  QVERIFY(window_->LeftView()->RevealFolder(folder_->path()));
  ClickEntry(0);
  QTRY_VERIFY(!window_->DisplayView()->State().ShowsPlaceholder());

  vexo::FileDecoder reference;
  QCOMPARE(reference.Decode(folder_->filePath(kCoffee).toStdString()).status,
           vexo::FileDecodeStatus::kOk);
  // The decoder's bitmap: bottom-up rows of blue, green and red, each padded to 4 bytes.
  const int width = reference.ImageWidth(), height = reference.ImageHeight();
  const QImage expected = QImage(reference.Bitmap().data(), width, height, 3 * width + (width & 3),
                                 QImage::Format_BGR888)
                              .mirrored();
  const QRect shownArea(window_->DisplayView()->PictureOrigin().toPoint(), expected.size());
  QCOMPARE(window_->DisplayView()->viewport()->grab().toImage().copy(shownArea).convertToFormat(
               QImage::Format_BGR888),
           expected);
  QVERIFY(!window_->DisplayView()->horizontalScrollBar()->isVisible());
  const QStringList fields = window_->OutputView()->FieldTexts();
  QCOMPARE(fields.at(0), kCoffee);
  QCOMPARE(fields.at(1), QString("352x288x24b"));
  QCOMPARE(fields.at(4), QString("ARM9 DCT ON"));
  QCOMPARE(fields.at(5), QString("24"));
}

// The wheel pans down, Shift+wheel and the arrow keys sideways; the picture
// follows the scroll bars and stops at its far corner.
void MainWindowTest::aPictureLargerThanThePanePans() {
  CopySample(kSunset);
  QVERIFY(window_->OpenPath(folder_->filePath(kSunset)));
  COrvaneDisplayView* display = window_->DisplayView();
  QTRY_VERIFY(!display->State().ShowsPlaceholder());
  QScrollBar* across = display->horizontalScrollBar();
  QScrollBar* down = display->verticalScrollBar();
  QTRY_VERIFY(across->isVisible() && down->isVisible());  // shown a moment after the range is set
  QCOMPARE(across->maximum(), 1920 - display->viewport()->width());
  QCOMPARE(down->maximum(), 1080 - display->viewport()->height());
  QCOMPARE(display->PictureOrigin(), QPointF(0, 0));

  const auto turnWheel = [display](Qt::KeyboardModifiers modifiers) {
    const QPointF middle = display->viewport()->rect().center();
    QWheelEvent wheel(middle, display->viewport()->mapToGlobal(middle), {}, QPoint(0, -120),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(display->viewport(), &wheel);
  };
  turnWheel(Qt::NoModifier);
  QVERIFY(down->value() > 0);
  QCOMPARE(across->value(), 0);
  turnWheel(Qt::ShiftModifier);
  QVERIFY(across->value() > 0);
  const int afterWheel = across->value();
  display->setFocus();
  QTest::keyClick(display, Qt::Key_Right);
  QVERIFY(across->value() > afterWheel);
  QCOMPARE(display->PictureOrigin(), QPointF(-across->value(), -down->value()));

  for (int notch = 0; notch < 100; ++notch) {
    turnWheel(Qt::NoModifier);
    turnWheel(Qt::ShiftModifier);
  }
  QCOMPARE(QPoint(across->value(), down->value()), QPoint(across->maximum(), down->maximum()));
  // The picture's bottom-right pixel sits in the viewport's bottom-right corner.
  const QPointF corner = display->PictureOrigin() + QPointF(1920, 1080);
  QCOMPARE(corner, QPointF(display->viewport()->width(), display->viewport()->height()));
}

void MainWindowTest::aDamagedFileEndsASlideShow() {
  CopySample(kCat, "a.vxo");
  QFile damaged(folder_->filePath("b.vxo"));
  QVERIFY(damaged.open(QIODevice::WriteOnly));
  damaged.write("not a picture");
  damaged.close();
  CopySample(kCoffee, "c.vxo");
  QVERIFY(window_->LeftView()->RevealFolder(folder_->path()));
  window_->Action("fps1")->trigger();
  window_->Action("selectAll")->trigger();
  QCOMPARE(window_->FileListView()->PlaybackState().SelectedFiles().size(), size_t{3});
  QVERIFY(!window_->FileListView()->TimerIsActive());  // Select All does not play

  QString message;
  AnswerNextMessageBox(&message);
  QElapsedTimer clock;
  clock.start();
  window_->Action("decode")->trigger();
  QTRY_COMPARE_WITH_TIMEOUT(message, QString("This is not the VEXO file"), 5000);
  QVERIFY(clock.elapsed() >= 1900);  // two periods of one second
  QCOMPARE(window_->statusBar()->currentMessage(),
           QString("b.vxo: the file does not begin with \"VEXO\""));
  QTest::qWait(1200);
  QVERIFY(!window_->FileListView()->TimerIsActive());
  QCOMPARE(window_->OutputView()->FieldTexts().at(0), QString("a.vxo"));  // c.vxo never shown
}

void MainWindowTest::stopAndTheFrameRateItems() {
  window_->Action("fps60")->trigger();
  QCOMPARE(window_->FileListView()->FramesPerSecond(), 60);
  QVERIFY(!window_->Action("fps0")->isChecked());
  QVERIFY(window_->Action("fps60")->isChecked());
  window_->Action("decode")->trigger();
  QVERIFY(window_->FileListView()->TimerIsActive());
  window_->Action("stop")->trigger();
  QVERIFY(!window_->FileListView()->TimerIsActive());
}

// A BMP that cannot be written is reported; the decode itself succeeds.
void MainWindowTest::saveBmpWritesBesideTheSource() {
  CopySample(kCat, "cat.vxo");
  CopySample(kCat, "dog.vxo");
  QVERIFY(QDir(folder_->path()).mkdir("dog1.bmp"));  // in the way of its BMP
  window_->Action("saveBmp")->trigger();
  QVERIFY(window_->OpenPath(folder_->filePath("cat.vxo")));
  QTRY_VERIFY(QFile::exists(folder_->filePath("cat1.bmp")));
  QCOMPARE(QFileInfo(folder_->filePath("cat1.bmp")).size(), 54 + 176 * 144 * 3);
  QVERIFY(window_->OpenPath(folder_->filePath("dog.vxo")));
  QTRY_VERIFY(window_->statusBar()->currentMessage().contains("dog1.bmp"));
  QCOMPARE(window_->OutputView()->FieldTexts().at(0), QString("dog.vxo"));
}

// Folder entries, listed first, are not pictures: the run passes over them.
void MainWindowTest::aSlideShowPassesOverFolders() {
  QVERIFY(QDir(folder_->path()).mkdir("sub.vxo"));
  CopySample(kCat);
  QVERIFY(window_->LeftView()->RevealFolder(folder_->path()));
  window_->Action("selectAll")->trigger();
  window_->Action("decode")->trigger();
  QTRY_VERIFY(!window_->DisplayView()->State().ShowsPlaceholder());
  QCOMPARE(window_->OutputView()->FieldTexts().at(0), kCat);
}

// The screenshot option: the window once the picture shows, or once the
// decode has failed, and then an exit status that says which.
void MainWindowTest::theCommandLineOpensAFile() {
  CopySample(kCat);
  QFile damaged(folder_->filePath("damaged.vxo"));
  QVERIFY(damaged.open(QIODevice::WriteOnly));
  damaged.write("VEXO");
  damaged.close();
  for (const auto& [file, exitCode] : {std::pair{kCat, 0}, std::pair{QString("damaged.vxo"), 1}}) {
    QProcess viewer;
    const QString shot = folder_->filePath("shot.png");
    QFile::remove(shot);
    viewer.start(QStringLiteral(ORVANE_DECODER_PROGRAM),
                 {folder_->filePath(file), "--screenshot", shot, "-platform", "offscreen"});
    QVERIFY(viewer.waitForFinished(20000));
    QCOMPARE(viewer.exitCode(), exitCode);
    QCOMPARE(QImage(shot).size(), QSize(800, 700));
  }
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
