#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <algorithm>

#include "app/analysis/selection_dialog.h"
#include "app/directtests/error_levels_dialog.h"
#include "app/directtests/value_dialogs.h"
#include "app/groups/group_management_dialog.h"
#include "app/output/copy_file_dialog.h"
#include "app/output/qt_print_sink.h"
#include "app/output/table_window.h"
#include "app/shell/main_window.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/output/print_manager.h"
#include "core/output/table_layout.h"
#include "core/shell/global_state.h"
#include "core/shell/menu_table.h"
#include "tests/app/modal_guard.h"

using namespace veltrix;

namespace {

// The source tree, for the bundled sample study.
QString sourceRoot() {
  return QStringLiteral(VELTRIX_SOURCE_DIR);
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  // A program directory of its own for every test: companion files and work files land there.
  std::unique_ptr<QTemporaryDir> m_programDir;
  test::ModalGuard m_guard;
  int m_beeps = 0;

  StartupEnvironment environment() const {
    StartupEnvironment env;
    env.executablePath = fromQPath(m_programDir->filePath(QStringLiteral("veltrix")));
    env.screenWidth = 1280;
    env.screenHeight = 800;
    env.randomSeed = 11;
    env.millisecondsOfDay = 1000;
    return env;
  }
  std::unique_ptr<TMainForm> makeWindow() {
    auto window = std::make_unique<TMainForm>(environment());
    window->ui().setBeepHandler([this] { ++m_beeps; });
    return window;
  }
  // Copies the sample study into the program directory and names it as the last file.
  QString withSampleStudy() {
    for (const char* name : {"studie.dt1", "studie.prm"})
      QFile::copy(sourceRoot() + "/data/" + name, m_programDir->filePath(QString::fromLatin1(name)));
    const QString file = m_programDir->filePath(QStringLiteral("studie.dt1"));
    QFile fil(m_programDir->filePath(QStringLiteral("veltrix.fil")));
    fil.open(QIODevice::WriteOnly);
    fil.write((file + "\r\n").toUtf8());
    return file;
  }

 private slots:
  void init() {
    m_programDir = std::make_unique<QTemporaryDir>();
    m_beeps = 0;
  }
  void cleanup() { m_guard.verifyClean(); }

  void menuBarHasEveryEntryWithCaptionHintAndCode() {
    auto window = makeWindow();
    QStringList top;
    for (QAction* a : window->menuBar()->actions()) top << a->text();
    QCOMPARE(top, QStringList({"&Datei", "&Auswerten", "&Gruppen/Klassen", "&Struktur", "&Option",
                               "&Tests direkt", "A&usgabe", "&Fenster", "&Hilfe"}));
    int coded = 0;
    for (const MenuItem& item : MainMenuItems()) {
      if (item.kind != MenuItemKind::Command && item.kind != MenuItemKind::Check) continue;
      QAction* action =
          item.code != 0 ? window->action(item.handler, item.code) : window->actionNamed(item.name);
      QVERIFY2(action, qPrintable(toQString(item.caption)));
      QCOMPARE(action->text(), toQString(item.caption));
      QCOMPARE(action->statusTip(), toQString(item.hint));
      if (item.code != 0) ++coded;
    }
    // Hand count of the coded entries: file 21, analyses 25, groups/structure/options 7, direct tests 19,
    // help 3.
    QCOMPARE(coded, 75);
    QCOMPARE(window->action(MenuHandler::Open, 1100)->text(), QString::fromUtf8("&Auswählen"));
    QCOMPARE(window->action(MenuHandler::Exit, 1900)->shortcut(), QKeySequence(QStringLiteral("Alt+X")));
  }

  void startsWithoutAFileAndRefusesFileCommands() {
    auto window = makeWindow();
    window->show();
    QCOMPARE(window->windowTitle(), QStringLiteral("KVT"));
    QVERIFY2(window->action(MenuHandler::Struct, 4040)->isEnabled(), "no data: the rebuild is offered");

    QString text;
    m_guard.answerNextMessageBox(QStringLiteral("OK"), &text);
    window->action(MenuHandler::Datei, 1500)->trigger();
    QCOMPARE(text, QString::fromUtf8("Keine Datei ausgewählt"));
    QCOMPARE(m_beeps, 1);

    window->action(MenuHandler::Datei, 1610)->trigger();  // import: no owner, only the beep
    QCOMPARE(m_beeps, 2);
    QVERIFY(m_guard.allAnswered());
    window->ui().flags().ready = true;
    m_guard.answerNextMessageBox(QStringLiteral("Nein"));
    window->close();  // "Beenden?" answered No
    QVERIFY(window->isVisible());
    m_guard.answerNextMessageBox(QStringLiteral("Ja"));
    window->close();
    QVERIFY(!window->isVisible());
  }

  void directTestsShowTheirSheetAndTheTestButtonRepeatsThem() {
    auto window = makeWindow();
    window->show();
    QVERIFY2(!window->action(MenuHandler::DirTest, 5020)->isEnabled(), "an entry without a test is inactive");
    QVERIFY(window->action(MenuHandler::DirTest, 5050)->isEnabled());

    // McNemar needs no statistics file: type the four-fold table and confirm.
    const QStringList typed{"10", "15", "5", "20"};
    m_guard.onNext<TValueFieldsDlg>([&typed](TValueFieldsDlg* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("McNemar-Test"));
      QVERIFY2(dynamic_cast<TDlg2x2*>(dialog), "the four-fold table's dialog");
      for (int i = 0; i < 4; ++i) dialog->field(i)->setText(typed[i]);
      dialog->okButton()->click();
    });
    window->action(MenuHandler::DirTest, 5050)->trigger();
    QVERIFY(m_guard.allAnswered());
    QVERIFY(window->tableForm()->shown());
    const TSTab* sheet = window->state().tables->table(1);
    QVERIFY(sheet);
    // (15 - 5 - 1)^2 / 21 = 3.857; its tail, worked out from the chi-square series, 0.0495.
    QVERIFY(std::find(sheet->lines.begin(), sheet->lines.end(),
                      utf8ToWin1252("Testgröße :  3.857    p = 0.0495  (1 d.f.)")) != sheet->lines.end());
    QVERIFY2(window->toolButton(ResultTool::Test)->isVisible(), "the sheet offers the test button");

    // The test button opens the dialog again with the inputs of the run.
    QStringList shown;
    m_guard.onNext<TValueFieldsDlg>([&shown](TValueFieldsDlg* dialog) {
      for (int i = 0; i < 4; ++i) shown << dialog->field(i)->text();
      dialog->cancelButton()->click();
    });
    window->toolButton(ResultTool::Test)->click();
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(shown, typed);
    QVERIFY2(window->state().tables->table(1), "cancelling the repeat keeps the sheet");

    m_guard.answerNextMessageBox(QStringLiteral("Ja"));
    window->close();
  }

  void theAnalysisMenuRunsTheSelectionAndShowsTheTables() {
    withSampleStudy();
    auto window = makeWindow();
    window->show();
    QVERIFY2(!window->action(MenuHandler::Analyse, 21)->isEnabled(), "an analysis not yet built is inactive");
    QVERIFY(window->action(MenuHandler::Analyse, 11)->isEnabled());

    // GROESSE for the two therapy groups, typed into the boxes as the batch would; the dialog's own
    // clicks are tested with the dialog.
    m_guard.onNext<TAuswDlg>([](TAuswDlg* dialog) {
      QCOMPARE(dialog->windowTitle(),
               QString::fromUtf8("Stat. Kenngrößen: Eine Variable für mehrere Gruppen"));
      QCOMPARE(dialog->model().setEntries(1, {"GROESSE"}), std::string());
      QCOMPARE(dialog->model().setEntries(7, {"1", "2"}), std::string());
      dialog->refresh();
      dialog->buttons().ok->click();
    });
    window->action(MenuHandler::Analyse, 11)->trigger();
    QVERIFY(m_guard.allAnswered());
    QVERIFY(window->tableForm()->shown());
    QCOMPARE(window->state().tables->AnalysisCode, std::int16_t{11});
    QCOMPARE(window->state().tables->HelpTopic, 111);
    const TSTab* test = window->state().tables->table(8);
    QVERIFY2(test, "two groups of more than three values are tested");
    // The rank sum of the standard therapy's 140 heights among 292, worked out from the sample data
    // with mid-ranks: 20915.5, tie-corrected normal approximation p = 0.2868.
    QVERIFY2(!test->lines.empty() &&
                 test->lines[0].rfind("A-B: Wilcoxon-Test: TG = 20915.50    p = 0.2868", 0) == 0,
             test->lines.empty() ? "no line" : test->lines[0].c_str());

    m_guard.answerNextMessageBox(QStringLiteral("Ja"));
    window->close();
  }

  void theSignificanceSettingsAreSavedAndTakenIntoTheTests() {
    withSampleStudy();
    auto window = makeWindow();
    window->show();
    QCOMPARE(window->state().significance.sides, 1);
    m_guard.onNext<TErrLvlDlg>([](TErrLvlDlg* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Irrtumswahrscheinlichkeiten, Faktoren, Quantile"));
      QCOMPARE(dialog->field(0)->text(), QStringLiteral("0.05"));
      dialog->field(0)->setText(QStringLiteral("0.5"));  // clamped to 0.25
      dialog->twoSidedButton()->click();
      dialog->okButton()->click();
    });
    window->action(MenuHandler::ErrLevel, 6020)->trigger();
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(window->state().significance.sides, 2);
    QCOMPARE(window->state().significance.legend, std::string("+:p<0.25  x:p<0.01"));
    TParams reread(window->ui());
    QCOMPARE(reread.read(fromQPath(m_programDir->filePath(QStringLiteral("studie.prm")))),
             ParamsReadStatus::Ok);
    QCOMPARE(reread.settings().testKind, 2);
    QVERIFY(QFile::exists(m_programDir->filePath(QStringLiteral("studie.prb"))));

    // A direct test now reports two-sided p-values.
    m_guard.onNext<TValueFieldsDlg>([](TValueFieldsDlg* dialog) {
      QVERIFY2(dynamic_cast<TDlg2x3*>(dialog), "two samples with three values each");
      const char* values[] = {"10", "1", "10", "12", "3", "10"};
      for (int i = 0; i < 6; ++i) dialog->field(i)->setText(QString::fromLatin1(values[i]));
      dialog->okButton()->click();
    });
    window->action(MenuHandler::DirTest, 5010)->trigger();
    const TSTab* sheet = window->state().tables->table(1);
    QVERIFY(sheet);
    QVERIFY(std::find(sheet->lines.begin(), sheet->lines.end(),
                      utf8ToWin1252("  Testgröße :  2.000    p = 0.0708 ,  zweis.  (11 d.f.)")) !=
            sheet->lines.end());
    m_guard.answerNextMessageBox(QStringLiteral("Ja"));
    window->close();
  }

  void theGroupsCommandOpensTheDialogOnTheFilesGroups() {
    withSampleStudy();
    auto window = makeWindow();
    window->show();
    QString line;
    m_guard.onNext<TGrKlDlg>([&line](TGrKlDlg* dialog) {
      line = dialog->list()->item(1)->text();
      dialog->closeButton()->click();
    });
    window->action(MenuHandler::Grp, 3000)->trigger();
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(line, toQString(window->state().params->groupText(1)));
    m_guard.answerNextMessageBox(QStringLiteral("Ja"));
    window->close();
  }

  void reopensTheSampleStudy() {
    withSampleStudy();
    auto window = makeWindow();
    window->show();
    QCOMPARE(window->windowTitle(), QStringLiteral("KVT - studie.dt1"));
    QVERIFY2(!window->action(MenuHandler::Struct, 4040)->isEnabled(), "the file holds data");
    QCOMPARE(window->state().params->variableCount(), 11);
    QCOMPARE(window->tableWindow()->windowTitle(), QStringLiteral("Tabellen"));
    QCOMPARE(window->graphWindow()->windowTitle(), QStringLiteral("Graphik"));
    QVERIFY(window->tableWindow()->isMinimized());
    m_guard.answerNextMessageBox(QStringLiteral("Ja"));
    window->close();
    QVERIFY(QFile::exists(m_programDir->filePath(QStringLiteral("veltrix.sys"))));
  }

  void structureListingIsShownAndPrintsToPdf() {
    withSampleStudy();
    auto window = makeWindow();
    window->show();
    window->action(MenuHandler::Struct, 4060)->trigger();
    TTabForm* form = window->tableForm();
    QVERIFY(form->shown());
    QCOMPARE(form->tabCaptions(), QStringList({"Datensatz"}));
    QCOMPARE(form->leftTitleText().trimmed(), QStringLiteral("STRUKTUR DATENSATZ"));
    QCOMPARE(form->gridCellText(2, 1).trimmed(), QStringLiteral("PATNR            1.5"));
    QVERIFY(window->tableWindow()->isMaximized());
    QCOMPARE(window->helpButtonNumber(), 40600);

    const QString pdf = m_programDir->filePath(QStringLiteral("struktur.pdf"));
    {
      QtPrintSink sink(pdf);
      QVERIFY(window->printTable(sink));
      QVERIFY(sink.finish());
    }
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    QVERIFY2(text.contains(QStringLiteral("--- studie.dt1-")), qPrintable(text.left(300)));
    // The page number " - 1 - " ends the header line (pdftotext may drop the blanks).
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("-\\s*1\\s*-\\s*\\n"))),
             qPrintable(text.left(400)));
    QVERIFY(text.contains(QStringLiteral("STRUKTUR DATENSATZ")));
    for (const char* name : {"PATNR", "GESCHL", "ALTER", "GEWICHT", "GROESSE", "THERAPIE", "DIAGNOSE>",
                             "AUFNAHME>", "ENTLASS>", "FUPTAGE", "EREIGNIS"})
      QVERIFY2(text.contains(QString::fromLatin1(name)), name);

    // "&Speichern": the protocol file studie3.txt next to the statistics file, as CSV with ",".
    m_guard.onNext<TSCopyDlg>([](TSCopyDlg* dialog) {
      dialog->list()->setCurrentRow(3);
      dialog->csvSwitch()->setChecked(true);
      dialog->separatorField()->setText(QStringLiteral(","));
      dialog->accept();
    });
    window->actionNamed("ResSave")->trigger();
    QFile protocol(m_programDir->filePath(QStringLiteral("studie3.txt")));
    QVERIFY(protocol.open(QIODevice::ReadOnly));
    const QByteArray saved = protocol.readAll();
    QVERIFY2(saved.contains("\r\nPATNR            1.5,GROESSE         19.3,ENTLASS>        61.10\r\n"),
             saved.constData());
    window->actionNamed("ResSave")->trigger();  // the second save appends without asking again
    protocol.seek(0);
    QCOMPARE(protocol.readAll().count("STRUKTUR DATENSATZ"), 2);

    m_guard.answerNextMessageBox(QStringLiteral("Ja"));
    window->close();
  }

  void printedTablesWaitInThePrinterBufferUntilTheFormFeed() {
    withSampleStudy();
    auto window = makeWindow();
    window->show();
    const QString pdf = m_programDir->filePath(QStringLiteral("puffer.pdf"));
    int asked = 0;
    window->setPrinterChooser([&](QPrinter& printer) {
      ++asked;
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      return true;
    });
    window->state().printer->setAutoPrint(false);
    window->action(MenuHandler::Struct, 4060)->trigger();
    window->actionNamed("ResPrint")->trigger();
    window->actionNamed("ResPrint")->trigger();
    QCOMPARE(window->state().printer->bufferedTables(), 2);
    QCOMPARE(asked, 0);  // nothing printed yet, so no printer was asked for
    QVERIFY(!QFile::exists(pdf));

    window->actionNamed("ResFF")->trigger();  // "&Blattvorschub" prints the buffer
    QCOMPARE(window->state().printer->bufferedTables(), 0);
    QCOMPARE(asked, 1);
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(pdftotext.readAllStandardOutput()).count(QStringLiteral("STRUKTUR DATENSATZ")),
             2);

    QString text;
    m_guard.answerNextMessageBox(QStringLiteral("OK"), &text);
    window->actionNamed("ResFF")->trigger();
    QCOMPARE(text, QStringLiteral("Druckerpuffer ist leer!"));

    // With the automatic switch on, a printed table goes out at once.
    QFile::remove(pdf);
    window->state().printer->setAutoPrint(true);
    window->actionNamed("ResPrint")->trigger();
    QVERIFY(QFile::exists(pdf));
    QCOMPARE(asked, 1);  // the printer is chosen once per run

    m_guard.answerNextMessageBox(QStringLiteral("Ja"));
    window->close();
  }

  void resultToolsFollowTheirFlags() {
    auto window = makeWindow();
    window->show();
    QVERIFY(!window->resultToolPanel()->isVisible());
    QVERIFY(!window->actionNamed("ResPrint")->isEnabled());

    window->showResultTools("10011");
    QVERIFY(window->resultToolPanel()->isVisible());
    QVERIFY(window->actionNamed("ResPrint")->isEnabled());
    QVERIFY(window->actionNamed("ResSave")->isEnabled());
    QVERIFY(window->actionNamed("ResGrf")->isVisible());
    QVERIFY(!window->actionNamed("ResEdit")->isVisible());
    QVERIFY(window->actionNamed("ResETab")->isVisible());
    QVERIFY(window->toolButton(ResultTool::Switch)->isVisibleTo(window->resultToolPanel()));
    QVERIFY(!window->toolButton(ResultTool::Test)->isVisibleTo(window->resultToolPanel()));
    QCOMPARE(window->resultToolPanel()->width(), 6 * (26 + 4) + 8);

    window->resetResultWindows();
    QVERIFY(!window->resultToolPanel()->isVisible());
    QVERIFY(!window->actionNamed("ResGrf")->isVisible());
    m_guard.answerNextMessageBox(QStringLiteral("Ja"));
    window->close();
  }

  void helpButtonFollowsTheActiveDocumentWindow() {
    auto window = makeWindow();
    window->show();
    QCOMPARE(window->helpButtonNumber(), 90000);
    window->tableWindow()->showNormal();
    window->mdiArea()->setActiveSubWindow(window->tableWindow());
    QCOMPARE(window->helpButtonNumber(), 100000);
    window->mdiArea()->setActiveSubWindow(window->graphWindow());
    window->graphWindow()->showMinimized();
    QCOMPARE(window->helpButtonNumber(), 90000);  // a minimised graph window does not count
    m_guard.answerNextMessageBox(QStringLiteral("Ja"));
    window->close();
  }

  void windowMenuArrangesTheDocumentWindows() {
    auto window = makeWindow();
    window->show();
    window->actionNamed("TileHorz")->trigger();  // both minimised: nothing to tile
    window->tableWindow()->showNormal();
    window->graphWindow()->showNormal();
    window->actionNamed("TileVert")->trigger();
    QCOMPARE(window->tableWindow()->geometry().top(), window->graphWindow()->geometry().top());
    QVERIFY(window->tableWindow()->geometry().left() < window->graphWindow()->geometry().left());
    window->actionNamed("TileHorz")->trigger();
    QVERIFY(window->tableWindow()->geometry().top() < window->graphWindow()->geometry().top());
    window->actionNamed("MinimizeAll")->trigger();
    QVERIFY(window->tableWindow()->isMinimized());
    QVERIFY(window->graphWindow()->isMinimized());
    m_guard.answerNextMessageBox(QStringLiteral("Ja"));
    window->close();
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
