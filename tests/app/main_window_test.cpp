#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "app/shell/main_window.h"
#include "app/shell/qt_text.h"
#include "core/shell/menu_table.h"

using namespace veltrix;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void titleAndMenuBar() {
    TMainForm window;
    QCOMPARE(window.windowTitle(), QStringLiteral("KVT"));
    QStringList top;
    for (QAction* a : window.menuBar()->actions()) top << a->text();
    QCOMPARE(top, QStringList({"&Datei", "&Auswerten", "&Gruppen/Klassen", "&Struktur", "&Option",
                               "&Tests direkt", "A&usgabe", "&Fenster", "&Hilfe"}));
  }

  void everyCodedEntryHasItsCaptionAndHint() {
    TMainForm window;
    int coded = 0;
    for (const MenuItem& item : MainMenuItems()) {
      if (item.code == 0) continue;
      ++coded;
      QAction* action = window.action(item.handler, item.code);
      QVERIFY2(action, qPrintable(QString::number(item.code)));
      QCOMPARE(action->text(), toQString(item.caption));
      QCOMPARE(action->statusTip(), toQString(item.hint));
    }
    // Hand count of the coded entries: file 21, analyses 25, groups/structure/options 7, direct tests 19,
    // help 3.
    QCOMPARE(coded, 75);
    QCOMPARE(window.action(MenuHandler::Open, 1100)->text(), QString::fromUtf8("&Auswählen"));
    QCOMPARE(window.action(MenuHandler::Exit, 1900)->shortcut(), QKeySequence(QStringLiteral("Alt+X")));
  }

  void choosingAnEntryOnlyBeeps() {
    TMainForm window;
    window.action(MenuHandler::Datei, 1200)->trigger();  // must neither crash nor open anything
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
