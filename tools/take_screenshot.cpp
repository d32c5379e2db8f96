// Takes the screenshots of the documentation: the main window with the sample study open, drawn by
// a real X server (run it under Xvfb: scripts/screenshots.sh). "screen" takes the whole screen as it
// is, with the windows of other programs (the installed program under a window manager).
//
//   take_screenshot SOURCE_DIR main|table|screen OUTPUT.png
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/shell/main_window.h"
#include "app/shell/program_icon.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setWindowIcon(veltrix::programIcon());
  if (argc != 4) {
    std::fprintf(stderr, "usage: take_screenshot SOURCE_DIR main|table|screen OUTPUT.png\n");
    return 1;
  }
  const QString source = QString::fromLocal8Bit(argv[1]);
  const QString mode = QString::fromLocal8Bit(argv[2]);
  const bool table = mode == QStringLiteral("table");
  const QString output = QString::fromLocal8Bit(argv[3]);
  if (mode == QStringLiteral("screen")) {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen && screen->grabWindow(0).save(output) ? 0 : 3;
  }

  // A program directory of its own, with the sample study as the last file.
  QTemporaryDir programDir;
  for (const char* name : {"studie.dt1", "studie.prm"})
    QFile::copy(source + "/data/" + name, programDir.filePath(QString::fromLatin1(name)));
  QFile fil(programDir.filePath(QStringLiteral("veltrix.fil")));
  if (!fil.open(QIODevice::WriteOnly)) return 2;
  fil.write((programDir.filePath(QStringLiteral("studie.dt1")) + "\r\n").toUtf8());
  fil.close();

  veltrix::StartupEnvironment environment;
  environment.executablePath = veltrix::fromQPath(programDir.filePath(QStringLiteral("veltrix")));
  environment.screenWidth = 1280;
  environment.screenHeight = 800;
  environment.randomSeed = 1;
  veltrix::TMainForm window(environment);
  window.resize(1000, 640);
  window.show();

  window.move(0, 0);

  // The file menu open with the hint of its first entry in the status bar; the screen is grabbed so that
  // the open menu is in the picture. exit() ends the event loop at once, without the closing question.
  QMenu* fileMenu = window.menuBar()->actions().front()->menu();
  if (table) {
    // The structure listing of the sample study in the table window.
    QTimer::singleShot(800, [&] { window.action(veltrix::MenuHandler::Struct, 4060)->trigger(); });
  } else {
    QTimer::singleShot(800, [&] { window.menuBar()->setActiveAction(fileMenu->menuAction()); });
    QTimer::singleShot(1300, [&] { fileMenu->setActiveAction(fileMenu->actions().front()); });
  }
  QTimer::singleShot(1800, [&] {
    const QRect frame = window.frameGeometry();
    const QPixmap shot =
        QGuiApplication::primaryScreen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    QCoreApplication::exit(shot.save(output) ? 0 : 3);
  });
  return QApplication::exec();
}
