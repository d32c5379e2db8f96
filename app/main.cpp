#include <QApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QScreen>
#include <QTime>

#include "app/shell/main_window.h"
#include "app/shell/qt_text.h"
#include "app/shell/single_instance.h"
#include "core/shell/global_state.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QString title = veltrix::toQString(veltrix::kApplicationTitle);
  QApplication::setApplicationName(title);

  // One running program: a second start hands the first the focus and ends.
  veltrix::SingleInstance instance(veltrix::SingleInstance::serverNameFor(title));
  if (instance.start() == veltrix::SingleInstance::Role::Second) return 0;

  veltrix::StartupEnvironment environment;
  environment.executablePath = veltrix::fromQPath(QCoreApplication::applicationFilePath());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    environment.screenWidth = screen->geometry().width();
    environment.screenHeight = screen->geometry().height();
  }
  environment.randomSeed = QRandomGenerator::global()->generate();
  environment.millisecondsOfDay = QTime::currentTime().msecsSinceStartOfDay();
  // Relative names in the companion files are relative to the program directory.
  QDir::setCurrent(QCoreApplication::applicationDirPath());

  veltrix::TMainForm window(environment);
  instance.setFocusRequestHandler([&window] { veltrix::SingleInstance::bringToFront(&window); });
  window.show();
  return QApplication::exec();
}
