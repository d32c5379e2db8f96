#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "app/manip/manip_editor_dialog.h"
#include "app/shell/file_dialog_frame.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "core/datafile/params.h"
#include "core/manip/compiler.h"
#include "tests/app/modal_guard.h"
#include "tests/app/scratch_files.h"

using namespace veltrix;

class ManipEditorDialogTest : public QObject {
  Q_OBJECT

 private:
  test::ModalGuard m_guard;
  QtUi m_ui;
  TParams m_params{m_ui};
  std::unique_ptr<QTemporaryDir> m_dir;
  int m_beeps = 0;

  std::string path(const char* name) const { return fromQPath(m_dir->filePath(QString::fromLatin1(name))); }

  // The lines of a file, whatever its line ends; empty when it does not exist.
  static QStringList fileLines(const std::string& name) {
    QFile file(toQPath(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines =
        toQString(file.readAll().replace("\r\n", "\n").toStdString()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
  }

  static QStringList names(const QListWidget* box) {
    QStringList shown;
    for (int i = 0; i < box->count(); ++i) shown << box->item(i)->text().trimmed();
    return shown;
  }

  static int row(const QListWidget* box, const QString& name) { return names(box).indexOf(name); }

  static ManipCaret caretOf(const QPlainTextEdit* edit) {
    return {edit->textCursor().blockNumber(), edit->textCursor().positionInBlock()};
  }

  static void putCaret(QPlainTextEdit* edit, int line, int column) {
    QTextCursor cursor(edit->document()->findBlockByNumber(line));
    cursor.setPosition(cursor.position() + column);
    edit->setTextCursor(cursor);
  }

  static void typeText(QWidget* target, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
  }

 private slots:
  void initTestCase() {
    m_params.setVariableCount(3);
    m_params.putVariable(1, "GESCHL", 1, 1);
    m_params.putVariable(2, "ALTER", 2, 2);
    m_params.putVariable(3, "GEWICHT", 4, 5);
  }
  void init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_beeps = 0;
    m_ui.setBeepHandler([this] { ++m_beeps; });
    m_ui.flags().ready = true;
  }
  void cleanup() {
    m_guard.verifyClean();
    m_ui.flags().ready = true;
  }

  void showsTheFileTheNamesAndTheHelpTable() {
    test::WriteScratchFile(path("studie.bf1"), "/ Z\xe4hlung\n[ALTER] = [ALTER] + 1\n");
    ManipEditorModel model(m_params, m_ui, path("studie.bf1"));
    TDMEd dialog(model, m_ui);
    int help = 0;
    dialog.setHelpHandler([&](int number) { help = number; });
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Datenmanipulation - studie.bf1"));
    QCOMPARE(dialog.commandEdit()->toPlainText(), QString::fromUtf8("/ Zählung\n[ALTER] = [ALTER] + 1"));
    QCOMPARE(dialog.helpTable()->rowCount(), 26);
    QCOMPARE(dialog.helpTable()->item(0, 1)->text(), QStringLiteral("Kommentarzeile"));
    QCOMPARE(dialog.helpTable()->item(25, 0)->text(), QStringLiteral("[*Hn]"));

    const QStringList stores{"*H1", "*H2", "*H3", "*H4", "*H5", "*H6", "*H7", "*H8"};
    QCOMPARE(names(dialog.nameBox()), QStringList({"GESCHL", "ALTER", "GEWICHT", "*DSNR"}) + stores);
    dialog.sortedButton()->click();
    QCOMPARE(names(dialog.nameBox()), QStringList({"*DSNR", "ALTER", "GESCHL", "GEWICHT"}) + stores);
    dialog.unsortedButton()->click();
    QCOMPARE(names(dialog.nameBox()), QStringList({"GESCHL", "ALTER", "GEWICHT", "*DSNR"}) + stores);

    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(dialog.commandEdit(), Qt::Key_F1);
    QCOMPARE(help, 14000);
  }

  void aNameGoesToTheCaretByDoubleClickOrEnter() {
    ManipEditorModel model(m_params, m_ui, path("neu.bf1"));
    TDMEd dialog(model, m_ui);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QPlainTextEdit* edit = dialog.commandEdit();
    edit->setPlainText(QStringLiteral("[GESCHL] = 1\n = 2"));
    putCaret(edit, 1, 0);

    QListWidget* box = dialog.nameBox();
    const QRect rect = box->visualItemRect(box->item(row(box, QStringLiteral("ALTER"))));
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(edit->toPlainText(), QStringLiteral("[GESCHL] = 1\n[ALTER] = 2"));
    QCOMPARE(caretOf(edit), (ManipCaret{1, 7}));  // behind "[ALTER]"

    // Enter on the box inserts the current name and is not "OK".
    putCaret(edit, 1, 10);
    box->setCurrentRow(row(box, QStringLiteral("*H5")));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(edit->toPlainText(), QStringLiteral("[GESCHL] = 1\n[ALTER] = [*H5]2"));
    QCOMPARE(caretOf(edit), (ManipCaret{1, 15}));
  }

  void aCompileErrorSelectsTheStatementAndOkEndsWithJa() {
    m_guard.onNext<TDMEd>([&](TDMEd* dialog) {
      QPlainTextEdit* edit = dialog->commandEdit();
      // The failing statement is continued: its first physical line is selected.
      edit->setPlainText(QStringLiteral("/ Test\n\n[ALTER] = [ALTER] + 1\n[XYZ] = 2 *\n+ 3"));
      QString message;
      m_guard.answerNextMessageBox(QStringLiteral("OK"), &message);
      dialog->buttons().ok->click();
      QVERIFY(message.contains(QStringLiteral("Unbekannte Variable auf linker Seite")));
      QVERIFY(dialog->isVisible());
      QCOMPARE(edit->textCursor().selectedText(), QStringLiteral("[XYZ] = 2 *"));
      QVERIFY(!QFile::exists(toQPath(path("run.bf1"))));  // nothing saved

      edit->textCursor().insertText(QStringLiteral("[GEWICHT] = 2 *"));
      QString question;
      m_guard.answerNextMessageBox(QStringLiteral("Nein"), &question);
      dialog->buttons().ok->click();
      QCOMPARE(question, QStringLiteral("Editieren beenden?"));
      QVERIFY(dialog->isVisible());
      QCOMPARE(fileLines(path("run.bf1")),
               QStringList({"/ Test", "", "[ALTER] = [ALTER] + 1", "[GEWICHT] = 2 *", "+ 3"}));

      m_guard.answerNextMessageBox(QStringLiteral("Ja"));
      dialog->buttons().ok->click();
    });
    ManipEditorModel model(m_params, m_ui, path("run.bf1"));
    QVERIFY(RunManipEditor(nullptr, model, m_ui, {}));
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(ProgramStatements(model.program()).size(),
             std::size_t{2});  // the comment and the empty line give none

    m_guard.onNext<TDMEd>([](TDMEd* dialog) { dialog->buttons().cancel->click(); });
    QVERIFY(!RunManipEditor(nullptr, model, m_ui, {}));
  }

  void anotherCommandFileReplacesTheText() {
    test::WriteScratchFile(path("andere.bf2"), "[GESCHL] = 2\n");
    ManipEditorModel model(m_params, m_ui, path("haupt.bf1"));
    TDMEd dialog(model, m_ui);
    dialog.show();
    dialog.commandEdit()->setPlainText(QStringLiteral("[ALTER] = 1"));
    QString title;
    QString directory;
    m_guard.onNext<TDlgFFrame>([&](TDlgFFrame* files) {
      title = files->windowTitle();
      directory = files->directory().absolutePath();
      files->setTypedName(QStringLiteral("andere.bf2"));
      files->pressOk();
    });
    dialog.loadButton()->click();
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(title, QString::fromUtf8("Befehlsdatei auswählen"));
    QCOMPARE(directory, QDir(m_dir->path()).absolutePath());
    QCOMPARE(dialog.commandEdit()->toPlainText(), QStringLiteral("[GESCHL] = 2"));
    QVERIFY(!model.modified());
    QCOMPARE(model.commandFile(), path("haupt.bf1"));
  }

  void whileBusyTypingButtonsAndClosingDoNothing() {
    ManipEditorModel model(m_params, m_ui, path("neu.bf1"));
    TDMEd dialog(model, m_ui);
    int help = 0;
    dialog.setHelpHandler([&](int number) { help = number; });
    dialog.show();
    QPlainTextEdit* edit = dialog.commandEdit();
    edit->setFocus();
    m_ui.flags().ready = false;
    QTest::keyClicks(edit, QStringLiteral("[ALTER]"));
    QCOMPARE(edit->toPlainText(), QString());
    dialog.sortedButton()->click();
    QCOMPARE(dialog.nameBox()->item(0)->text().trimmed(), QStringLiteral("GESCHL"));
    dialog.buttons().ok->click();  // no compile: an error box would be an unexpected dialog
    dialog.buttons().help->click();
    QCOMPARE(help, 0);
    dialog.buttons().cancel->click();
    QVERIFY(dialog.isVisible());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.close());
    QVERIFY(dialog.isVisible());

    m_ui.flags().ready = true;
    QTest::keyClicks(edit, QStringLiteral("[ALTER]"));
    QCOMPARE(edit->toPlainText(), QStringLiteral("[ALTER]"));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
  }

  void aCharacterWithoutWindows1252FormBeeps() {
    ManipEditorModel model(m_params, m_ui, path("neu.bf1"));
    TDMEd dialog(model, m_ui);
    dialog.show();
    QPlainTextEdit* edit = dialog.commandEdit();
    edit->setFocus();
    typeText(edit, QString::fromUtf8("ä"));
    typeText(edit, QString::fromUtf8("€"));  // 0x80 in Windows-1252
    QCOMPARE(m_beeps, 0);
    typeText(edit, QString::fromUtf8("Ω"));  // no Windows-1252 byte
    QCOMPARE(m_beeps, 1);
    QCOMPARE(edit->toPlainText(), QString::fromUtf8("ä€"));
  }

  void thePrintButtonsSendTheTextHeadedByTheCaption() {
    ManipEditorModel model(m_params, m_ui, path("druck.bf1"));
    TDMEd dialog(model, m_ui);
    dialog.show();
    QVERIFY(!dialog.printButton(PrintAction::Print)->isVisible());
    std::vector<PrintAction> actions;
    std::string heading;
    std::vector<std::string> lines;
    dialog.setPrintRequest(
        [&](PrintAction action, const TTabHeader& header, const std::vector<std::string>& text) {
          actions.push_back(action);
          heading = header.LeftTitle[0];
          lines = text;
        });
    dialog.commandEdit()->setPlainText(QStringLiteral("/ A\n[ALTER] = 3"));
    for (PrintAction action : {PrintAction::Print, PrintAction::FormFeed, PrintAction::SaveCopy}) {
      QVERIFY(dialog.printButton(action)->isVisible());
      dialog.printButton(action)->click();
    }
    QCOMPARE(actions,
             (std::vector<PrintAction>{PrintAction::Print, PrintAction::FormFeed, PrintAction::SaveCopy}));
    QCOMPARE(heading, std::string("Datenmanipulation - druck.bf1"));
    QCOMPARE(lines, (std::vector<std::string>{"/ A", "[ALTER] = 3"}));
  }
};

QTEST_MAIN(ManipEditorDialogTest)
#include "manip_editor_dialog_test.moc"
