// The program's icon, and its end when told from outside (SIGTERM): a clean close without a question
// while it waits for the user, nothing while a dialog is open.
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "app/shell/main_window.h"
#include "app/shell/program_icon.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "app/shell/termination_requests.h"
#include "core/output/print_manager.h"
#include "tests/app/modal_guard.h"

using namespace veltrix;

class ProgramEndTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> m_programDir;
  test::ModalGuard m_guard;

  std::unique_ptr<TMainForm> makeWindow() {
    StartupEnvironment env;
    env.executablePath = fromQPath(m_programDir->filePath(QStringLiteral("veltrix")));
    env.screenWidth = 1280;
    env.screenHeight = 800;
    return std::make_unique<TMainForm>(env);
  }
  QString sysFile() const { return m_programDir->filePath(QStringLiteral("veltrix.sys")); }

 private slots:
  void init() { m_programDir = std::make_unique<QTemporaryDir>(); }
  void cleanup() { m_guard.verifyClean(); }

  void theIconHasEverySizeDrawnForIt() {
    const QIcon icon = programIcon();
    QCOMPARE(icon.availableSizes().size(), static_cast<qsizetype>(kProgramIconSizes.size()));
    for (const int size : kProgramIconSizes) {
      const QImage image(QStringLiteral(":/icons/veltrix-%1.png").arg(size));
      QVERIFY2(!image.isNull(), qPrintable(QString::number(size)));
      QCOMPARE(image.size(), QSize(size, size));
      // The ground of the picture is opaque blue in the middle of the left edge, clear in the corner.
      const QColor ground = image.pixelColor(size / 8, size / 2);
      QCOMPARE(ground.alpha(), 255);
      QVERIFY2(ground.blue() > ground.red() + 40, qPrintable(QString::number(size)));
      QVERIFY2(image.pixelColor(0, 0).alpha() < 128, qPrintable(QString::number(size)));
    }
  }

  void anIdleProgramClosesWithoutAQuestionAndSavesItsSettings() {
    auto window = makeWindow();
    window->show();
    // A filled printer buffer is dropped: nobody is there to say where it should print.
    TTabHeader header;
    header.Kind = 'A';
    window->state().printer->setAutoPrint(false);
    window->state().printer->PrintTable(header, {"eine Zeile"});
    QFile::remove(sysFile());
    QVERIFY(window->closeUnattended());  // the guard fails the test on any question
    QVERIFY(!window->isVisible());
    QVERIFY(QFile::exists(sysFile()));
    QCOMPARE(window->state().printer->bufferedTables(), 0);
  }

  void aBusyProgramIsNotClosed() {
    auto window = makeWindow();
    window->show();
    window->ui().flags().ready = false;  // a progress box or a modal process is open
    QVERIFY(!window->closeUnattended());
    QVERIFY(window->isVisible());
    window->ui().flags().ready = true;

    // A message box waits for an answer: the close is refused inside it, and the box then answered.
    bool closedInside = true;
    m_guard.onNext<QMessageBox>([&](QMessageBox* box) {
      closedInside = window->closeUnattended();
      box->reject();
    });
    QMessageBox::information(window.get(), QStringLiteral("Info"), QStringLiteral("Hinweis"));
    QVERIFY(!closedInside);
    QVERIFY(window->isVisible());
    QVERIFY(window->closeUnattended());
  }

  void aTerminationSignalArrivesThroughTheEventLoop() {
    TerminationRequests requests;
    QSignalSpy spy(&requests, &TerminationRequests::requested);
    QVERIFY(std::raise(SIGTERM) == 0);  // the handler only queues it: the test goes on
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), SIGTERM);
  }
};

QTEST_MAIN(ProgramEndTest)
#include "program_end_test.moc"
