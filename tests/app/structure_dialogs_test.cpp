#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/datafile/structure_dialogs.h"
#include "app/shell/main_window.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "core/datafile/params.h"
#include "core/shell/menu_table.h"
#include "tests/app/modal_guard.h"

using namespace veltrix;

class StructureDialogsTest : public QObject {
  Q_OBJECT

 private:
  test::ModalGuard m_guard;
  QtUi m_ui;
  int m_beeps = 0;

  // A table of A at 1..9 and B> at 41..100.
  void fill(TParams& params) {
    params.putVariable(1, "A", 1, 9);
    params.putVariable(2, "B>", 41, 60);
    params.setVariableCount(2);
  }

  static void type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }

 private slots:
  void init() {
    m_beeps = 0;
    m_ui.setBeepHandler([this] { ++m_beeps; });
  }
  void cleanup() { m_guard.verifyClean(); }

  void appendShowsTheTableProtectedAndStoresTypedItems() {
    TParams params(m_ui);
    fill(params);
    TNeuVar model(m_ui, params, NeuVarMode::Append);
    TNeuVarDlg dialog(model);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Variablenliste ergänzen"));
    QCOMPARE(dialog.list()->count(), 3);
    // Name in 15, FA and FL right-aligned in 6 each, then the marker of a protected item.
    QCOMPARE(dialog.list()->item(1)->text(), QStringLiteral("B>                 41    60   --"));
    QCOMPARE(dialog.list()->currentRow(), 2);
    QCOMPARE(dialog.counter()->text(), QStringLiteral("   3"));

    QLineEdit* name = dialog.edit(StructureField::Name);
    QLineEdit* length = dialog.edit(StructureField::Length);
    type(name, QStringLiteral("ab*3"));
    QCOMPARE(name->text(), QStringLiteral("AB*3"));  // typed in upper case
    QTest::keyClick(name, Qt::Key_Return);           // the length is still empty
    QCOMPARE(model.focus(), StructureField::Length);
    type(length, QStringLiteral("2"));
    QTest::keyClick(length, Qt::Key_Return);
    QCOMPARE(dialog.list()->count(), 7);
    QCOMPARE(dialog.list()->item(2)->text(), QStringLiteral("AB-0                      2"));
    QCOMPARE(dialog.list()->item(5)->text(), QStringLiteral("AB-3                      2"));
    QCOMPARE(dialog.list()->currentRow(), 6);
    QCOMPARE(dialog.counter()->text(), QStringLiteral("   7"));
    QCOMPARE(name->text(), QString());

    dialog.buttons().ok->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(model.changed());
  }

  void aTooLongNameIsRefusedNotCut() {
    TParams params(m_ui);
    TNeuVar model(m_ui, params, NeuVarMode::Append);
    TNeuVarDlg dialog(model);
    dialog.show();
    QLineEdit* name = dialog.edit(StructureField::Name);
    QTest::keyClicks(name, QStringLiteral("ABCDEFGHIJK"));
    QCOMPARE(name->text(), QStringLiteral("ABCDEFGHIJ"));
    QCOMPARE(m_beeps, 1);
  }

  void protectedItemsDisableTheEditsAndRefuseRemoving() {
    TParams params(m_ui);
    fill(params);
    TNeuVar model(m_ui, params, NeuVarMode::Append);
    TNeuVarDlg dialog(model);
    dialog.show();
    dialog.list()->setCurrentRow(0);
    QCOMPARE(dialog.edit(StructureField::Name)->text(), QStringLiteral("A"));
    QCOMPARE(dialog.edit(StructureField::Length)->text(), QStringLiteral("9"));
    QVERIFY(!dialog.edit(StructureField::Name)->isEnabled());
    QString text;
    m_guard.answerNextMessageBox(QStringLiteral("OK"), &text);
    dialog.removeButton()->click();
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(text,
             QString::fromUtf8("In dem durch -- gekennzeichneten Bereich sind keine Änderungen zugelassen"));
    QCOMPARE(dialog.list()->count(), 3);
  }

  void aRefusedItemShowsTheMessageAndKeepsTheText() {
    TParams params(m_ui);
    TNeuVar model(m_ui, params, NeuVarMode::Append);
    TNeuVarDlg dialog(model);
    dialog.show();
    type(dialog.edit(StructureField::Name), QStringLiteral("A,B"));
    type(dialog.edit(StructureField::Length), QStringLiteral("2"));
    QString text;
    m_guard.answerNextMessageBox(QStringLiteral("OK"), &text);
    QTest::keyClick(dialog.edit(StructureField::Length), Qt::Key_Return);
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(text, QString::fromUtf8("Unzulässiger Variablenname"));
    QCOMPARE(dialog.list()->count(), 1);
    QCOMPARE(dialog.edit(StructureField::Name)->text(), QStringLiteral("A,B"));
    QCOMPARE(model.focus(), StructureField::Name);
  }

  void upAndDownMoveTheItem() {
    TParams params(m_ui);
    TNeuVar model(m_ui, params, NeuVarMode::Recompute);
    TNeuVarDlg dialog(model);
    dialog.show();
    for (const char* item : {"X", "Y"}) {
      type(dialog.edit(StructureField::Name), QString::fromLatin1(item));
      type(dialog.edit(StructureField::Length), QStringLiteral("3"));
      QTest::keyClick(dialog.edit(StructureField::Length), Qt::Key_Return);
    }
    // Recompute mode shows no field starts.
    QCOMPARE(dialog.list()->item(0)->text(), QStringLiteral("X                   3"));
    dialog.list()->setCurrentRow(1);
    dialog.upButton()->click();
    QCOMPARE(dialog.list()->item(0)->text().left(1), QStringLiteral("Y"));
    QCOMPARE(dialog.list()->currentRow(), 0);
    dialog.upButton()->click();  // the first item: a beep
    QCOMPARE(m_beeps, 1);
    dialog.downButton()->click();
    QCOMPARE(dialog.list()->item(1)->text().left(1), QStringLiteral("Y"));
  }

  void freeDialogReportsAnOverlapAndAsksBeforeDeleting() {
    TParams params(m_ui);
    params.putVariable(1, "A", 1, 6);
    params.setVariableCount(1);
    TFreiV model(m_ui, params);
    TFreiVDlg dialog(model);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Variablen frei anlegen / löschen / umbenennen"));
    QCOMPARE(dialog.edit(StructureField::Position)->text(), QStringLiteral("1"));
    dialog.list()->setCurrentRow(1);
    type(dialog.edit(StructureField::Name), QStringLiteral("B"));
    type(dialog.edit(StructureField::Position), QStringLiteral("5"));
    type(dialog.edit(StructureField::Length), QStringLiteral("4"));
    QString text;
    m_guard.answerNextMessageBox(QStringLiteral("OK"), &text);
    QTest::keyClick(dialog.edit(StructureField::Length), Qt::Key_Return);
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(text, QString::fromUtf8("Überschneidung mit A"));
    QCOMPARE(dialog.list()->count(), 2);
    type(dialog.edit(StructureField::Position), QStringLiteral("7"));
    QTest::keyClick(dialog.edit(StructureField::Length), Qt::Key_Return);
    QCOMPARE(dialog.list()->count(), 3);
    QCOMPARE(dialog.list()->item(1)->text(), QStringLiteral("B                   7     4"));

    dialog.list()->setCurrentRow(0);
    m_guard.answerNextMessageBox(QStringLiteral("Ja"), &text);
    dialog.removeButton()->click();
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(text, QString::fromUtf8("A : Variable löschen?"));
    QCOMPARE(dialog.list()->count(), 2);
    QCOMPARE(dialog.list()->item(0)->text().left(1), QStringLiteral("B"));
  }

  void warningShowsItsTextsAndHelp() {
    TSWarnDlg dialog;
    int help = 0;
    dialog.setHelpHandler([&help](int number) { help = number; });
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("WARNUNG !"));
    const QLabel* first = dialog.findChild<QLabel*>(QStringLiteral("WarnText1"));
    QVERIFY(first);
    QVERIFY(first->text().startsWith(QStringLiteral("Nach Beendigung des nachfolgenden Dialoges  wird")));
    QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("WarnText3")));
    QCOMPARE(dialog.buttons().cancel->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(dialog.buttons().help->text(), QStringLiteral("&Hilfe"));
    dialog.buttons().help->click();
    QCOMPARE(help, 40300);
    dialog.buttons().cancel->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
  }

  void runningTheDialogsReportsOk() {
    TParams params(m_ui);
    fill(params);
    TNeuVar model(m_ui, params, NeuVarMode::Append);
    int help = 0;
    m_guard.onNext<TNeuVarDlg>([](TNeuVarDlg* dialog) {
      dialog->buttons().help->click();
      dialog->buttons().cancel->click();
    });
    QVERIFY(!RunAppendDialog(nullptr, model, [&help](int number) { help = number; }));
    QCOMPARE(help, 40100);
    TFreiV free(m_ui, params);
    m_guard.onNext<TFreiVDlg>([](TFreiVDlg* dialog) {
      dialog->buttons().help->click();
      dialog->buttons().ok->click();
    });
    QVERIFY(RunFreeDialog(nullptr, free, [&help](int number) { help = number; }));
    QCOMPARE(help, 40200);
    m_guard.onNext<TSWarnDlg>([](TSWarnDlg* dialog) { dialog->buttons().ok->click(); });
    QVERIFY(RunStructureWarning(nullptr, {}));
  }

  // The menu entry runs the dialog on the sample study and writes what it stored.
  void theMenuEntryAppendsToTheSampleStudy() {
    QTemporaryDir programDir;
    for (const char* name : {"studie.dt1", "studie.prm"})
      QVERIFY(QFile::copy(QStringLiteral(VELTRIX_SOURCE_DIR "/data/") + QString::fromLatin1(name),
                          programDir.filePath(QString::fromLatin1(name))));
    const QString file = programDir.filePath(QStringLiteral("studie.dt1"));
    QFile fil(programDir.filePath(QStringLiteral("veltrix.fil")));
    QVERIFY(fil.open(QIODevice::WriteOnly));
    fil.write((file + "\r\n").toUtf8());
    fil.close();
    StartupEnvironment env;
    env.executablePath = fromQPath(programDir.filePath(QStringLiteral("veltrix")));
    env.screenWidth = 1280;
    env.screenHeight = 800;
    auto window = std::make_unique<TMainForm>(env);
    window->show();

    m_guard.onNext<TNeuVarDlg>([](TNeuVarDlg* dialog) {
      QCOMPARE(dialog->list()->count(), 12);  // the eleven variables and the empty item
      type(dialog->edit(StructureField::Name), QStringLiteral("BMI"));
      type(dialog->edit(StructureField::Length), QStringLiteral("5"));
      QTest::keyClick(dialog->edit(StructureField::Length), Qt::Key_Return);
      dialog->buttons().ok->click();
    });
    window->action(MenuHandler::Struct, 4010)->trigger();
    QVERIFY(m_guard.allAnswered());
    TParams stored(m_ui);
    QCOMPARE(stored.read(fromQPath(programDir.filePath(QStringLiteral("studie.prm")))), ParamsReadStatus::Ok);
    QCOMPARE(stored.variableCount(), 12);
    // EREIGNIS, the last variable of the sample, ends at 77.
    QCOMPARE(stored.getVariable(12).name, std::string("BMI       "));
    QCOMPARE(stored.getVariable(12).position, 78);
    QCOMPARE(stored.getVariable(12).length, 5);
  }
};

QTEST_MAIN(StructureDialogsTest)
#include "structure_dialogs_test.moc"
