#include <QApplication>

#include "app/shell/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Veltrix_5.x"));
  veltrix::TMainForm window;
  window.show();
  return QApplication::exec();
}
