#include <QApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QScreen>
#include <QTime>

#include "app/shell/main_window.h"
#include "app/shell/program_icon.h"
#include "app/shell/qt_text.h"
#include "app/shell/single_instance.h"
#include "app/shell/termination_requests.h"
#include "core/shell/global_state.h"
#include "core/shell/startup.h"

#ifndef VELTRIX_SAMPLE_STUDY_DIR
#define VELTRIX_SAMPLE_STUDY_DIR "../share/veltrix"
#endif

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QString title = veltrix::toQString(veltrix::kApplicationTitle);
  QApplication::setApplicationName(title);
  QApplication::setWindowIcon(veltrix::programIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("veltrix"));
  // From here on a SIGTERM waits for the event loop instead of ending the program half-way.
  veltrix::TerminationRequests termination;

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
  const QString programDirectory = QCoreApplication::applicationDirPath();
  environment.programDirectoryWritable = veltrix::DirectoryWritable(veltrix::fromQPath(programDirectory));
  environment.configHome = qgetenv("XDG_CONFIG_HOME").toStdString();
  environment.homeDirectory = qgetenv("HOME").toStdString();
  // An installation keeps the sample study in <prefix>/share/veltrix beside <prefix>/bin.
  environment.sampleStudy = veltrix::fromQPath(
      QDir::cleanPath(programDirectory + QStringLiteral("/" VELTRIX_SAMPLE_STUDY_DIR "/studie.dt1")));
  // Relative names in the companion files are relative to the folder that holds them.
  QDir::setCurrent(veltrix::toQPath(veltrix::PrepareConfigurationDirectory(environment)));

  veltrix::TMainForm window(environment);
  instance.setFocusRequestHandler([&window] { veltrix::SingleInstance::bringToFront(&window); });
  QObject::connect(&termination, &veltrix::TerminationRequests::requested, &window, [&window](int signal) {
    if (!window.closeUnattended()) return veltrix::TerminationRequests::endAtOnce(signal);
    QCoreApplication::quit();
  });
  window.show();
  return QApplication::exec();
}
