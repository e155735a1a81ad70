// OrvaneDecoder: browse folders of VEXO pictures, play them as a slide show
// at a chosen rate, see each 1:1 with its decode time, and save BMP copies.
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QPainter>
#include <QTimer>
#include <memory>

#include "main_frame.h"

namespace {

// The window icon: three bands in the 5-6-5 primaries.
QIcon MakeApplicationIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(24, 24, 28));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(2, 2, 60, 60, 10, 10);
  const QColor bands[] = {QColor(248, 0, 0), QColor(0, 252, 0), QColor(0, 0, 248)};
  for (int i = 0; i < 3; ++i) painter.fillRect(12 + 14 * i, 14, 12, 36, bands[i]);
  return QIcon(pixmap);
}

// Saves a picture of the window once the display shows a decoded picture
// (panned to its middle when it is larger than the pane), once a decode has
// failed (its reason in the status bar), or after a few seconds; then quits,
// with 0 only when a picture was shown or none was asked for, and saved.
void ScheduleScreenshot(CMainFrame& window, const QString& file, bool opened) {
  auto* poll = new QTimer(&window);
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  QObject::connect(poll, &QTimer::timeout, &window, [&window, file, poll, started, opened] {
    const bool failed = !opened || window.FileListView()->LastDecodeFailed();
    if (!failed && window.DisplayView()->State().ShowsPlaceholder() && started->elapsed() < 5000) {
      return;
    }
    poll->stop();
    QCoreApplication::processEvents();  // the scroll bars show a moment after their ranges are set
    window.DisplayView()->ScrollToMiddle();
    const bool saved = window.grab().save(file);
    // Ends the message box of a failed decode too.
    QCoreApplication::exit(saved && !failed ? 0 : 1);
  });
  poll->start(50);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
  QApplication::setApplicationName(QStringLiteral("OrvaneDecoder"));
  QApplication::setApplicationVersion(QStringLiteral("1.4"));
  QApplication::setWindowIcon(MakeApplicationIcon());

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Views VEXO pictures: choose a folder in the tree, click a picture in the list to decode\n"
      "and show it 1:1, or select several and Decode them as a slide show at the rate chosen\n"
      "under Options > Fps."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(
      QStringLiteral("PATH"),
      QStringLiteral("A .vxo file to open and decode, or a folder to show."),
      QStringLiteral("[PATH]"));
  const QCommandLineOption screenshot(
      QStringLiteral("screenshot"),
      QStringLiteral(
          "Save a PNG picture of the window once PATH is shown (a picture larger than its "
          "pane panned to its middle) or has failed, then quit: with 1 when PATH could not "
          "be opened or decoded."),
      QStringLiteral("FILE"));
  parser.addOption(screenshot);
  parser.process(app);

  CMainFrame window;
  window.show();
  const QStringList paths = parser.positionalArguments();
  const bool opened = paths.isEmpty() || window.OpenPath(paths.first());
  if (parser.isSet(screenshot)) ScheduleScreenshot(window, parser.value(screenshot), opened);
  return QApplication::exec();
}
