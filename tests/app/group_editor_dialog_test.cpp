#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>

#include "app/groups/group_editor_dialog.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "core/groups/group_language.h"
#include "tests/app/modal_guard.h"

using namespace veltrix;

class GroupEditorDialogTest : public QObject {
  Q_OBJECT

 private:
  test::ModalGuard m_guard;
  QtUi m_ui;
  TParams m_params{m_ui};

  GroupRecord compiled(const std::vector<std::string>& lines, std::string_view title,
                       std::string_view shortTitle) {
    const GroupCompileResult result = CompileGroupDefinition(m_params, lines, title, shortTitle);
    if (!result.ok) qFatal("test definition does not compile: %s", result.message.c_str());
    return result.record;
  }

  static int row(const QListWidget* box, const QString& name) {
    for (int i = 0; i < box->count(); ++i)
      if (box->item(i)->text().trimmed() == name) return i;
    return -1;
  }

  static EditorCaret caretOf(const QPlainTextEdit* edit) {
    return {edit->textCursor().blockNumber(), edit->textCursor().positionInBlock()};
  }

  static void putCaret(QPlainTextEdit* edit, int line, int column) {
    QTextCursor cursor(edit->document()->findBlockByNumber(line));
    cursor.setPosition(cursor.position() + column);
    edit->setTextCursor(cursor);
  }

 private slots:
  void initTestCase() {
    m_params.setVariableCount(3);
    m_params.putVariable(1, "GESCHL", 1, 1);
    m_params.putVariable(2, "ALTER", 2, 2);
    m_params.putVariable(3, "NAME>", 4, 8);
  }
  void cleanup() { m_guard.verifyClean(); }

  void showsTheTitlesTheDefinitionAndTheNames() {
    const GroupRecord record = compiled({"GESCHL : 1", "ALTER : 20,-,29"}, "Junge Frauen", "JF");
    TEditGrpDlg dialog(m_params, m_ui, 7, record);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Gruppe Nr. 7"));
    QCOMPARE(dialog.longTitleEdit()->text(), QStringLiteral("Junge Frauen"));
    QCOMPARE(dialog.shortTitleEdit()->text(), QStringLiteral("JF"));
    QCOMPARE(dialog.longTitleEdit()->maxLength(), 35);
    QCOMPARE(dialog.shortTitleEdit()->maxLength(), 10);
    QStringList rendered;
    for (const std::string& line : RenderGroupDefinition(m_params, record)) rendered << toQString(line);
    QCOMPARE(dialog.definitionEdit()->toPlainText(), rendered.join(QLatin1Char('\n')));
    QVERIFY(dialog.definitionEdit()->toPlainText().contains(QStringLiteral("ALTER")));

    QStringList names;
    for (int i = 0; i < dialog.nameBox()->count(); ++i) names << dialog.nameBox()->item(i)->text().trimmed();
    QCOMPARE(names, QStringList({"GESCHL", "ALTER", "NAME>", "*DSNR"}));
    dialog.sortedButton()->click();
    names.clear();
    for (int i = 0; i < dialog.nameBox()->count(); ++i) names << dialog.nameBox()->item(i)->text().trimmed();
    QCOMPARE(names, QStringList({"*DSNR", "ALTER", "GESCHL", "NAME>"}));
    dialog.unsortedButton()->click();
    QCOMPARE(dialog.nameBox()->item(0)->text().trimmed(), QStringLiteral("GESCHL"));
  }

  void typedLettersBecomeCapitals() {
    TEditGrpDlg dialog(m_params, m_ui, 2, GroupRecord{});
    dialog.show();
    QPlainTextEdit* edit = dialog.definitionEdit();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("name> : ?m"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, QStringLiteral("geschl : 1 "));
    QKeyEvent umlaut(QEvent::KeyPress, Qt::Key_Adiaeresis, Qt::NoModifier, QString::fromUtf8("ä"));
    QApplication::sendEvent(edit, &umlaut);
    QCOMPARE(edit->toPlainText(), QString::fromUtf8("NAME> : ?M\nGESCHL : 1 Ä"));
    // Typing in the middle keeps the caret where the letter went.
    putCaret(edit, 0, 10);
    QTest::keyClicks(edit, QStringLiteral("eier"));
    QCOMPARE(edit->toPlainText(), QString::fromUtf8("NAME> : ?MEIER\nGESCHL : 1 Ä"));
    QCOMPARE(caretOf(edit), (EditorCaret{0, 14}));
    // Pasted text too.
    edit->insertPlainText(QStringLiteral(" x"));
    QCOMPARE(edit->document()->firstBlock().text(), QStringLiteral("NAME> : ?MEIER X"));
  }

  void aNameGoesToTheCaretByDoubleClickOrEnter() {
    TEditGrpDlg dialog(m_params, m_ui, 2, GroupRecord{});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QPlainTextEdit* edit = dialog.definitionEdit();
    edit->setPlainText(QStringLiteral("GESCHL : 1\n : 20,-,29"));
    putCaret(edit, 1, 0);

    QListWidget* box = dialog.nameBox();
    const int alter = row(box, QStringLiteral("ALTER"));
    QVERIFY(alter >= 0);
    const QRect rect = box->visualItemRect(box->item(alter));
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(edit->toPlainText(), QStringLiteral("GESCHL : 1\nALTER : 20,-,29"));
    QCOMPARE(caretOf(edit), (EditorCaret{1, 5}));

    // Enter on the box inserts the current name and does not close the dialog.
    putCaret(edit, 0, 0);
    box->setCurrentRow(row(box, QStringLiteral("NAME>")));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(edit->toPlainText(), QStringLiteral("NAME>GESCHL : 1\nALTER : 20,-,29"));
    QCOMPARE(caretOf(edit), (EditorCaret{0, 5}));
  }

  void aFailingLineIsSelectedAndAGoodDefinitionIsReturned() {
    TEditGrpDlg dialog(m_params, m_ui, 4, compiled({"GESCHL : 1"}, "Frauen", "Fr"));
    dialog.show();
    QPlainTextEdit* edit = dialog.definitionEdit();
    edit->setPlainText(QStringLiteral("GESCHL : 1\nALTER : 20\nXYZ : 3"));
    QString text;
    m_guard.answerNextMessageBox(QStringLiteral("OK"), &text);
    dialog.buttons().ok->click();
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(text, QStringLiteral("Fehler: XYZ"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(edit->textCursor().selectedText(), QStringLiteral("XYZ : 3"));

    edit->textCursor().insertText(QStringLiteral("ALTER : 30"));
    dialog.longTitleEdit()->setText(QStringLiteral("Frauen 20/30"));
    dialog.buttons().ok->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.QDialog::result(), int(QDialog::Accepted));
    const GroupRecord expected = compiled({"GESCHL : 1", "ALTER : 20", "ALTER : 30"}, "Frauen 20/30", "Fr");
    QVERIFY(dialog.result() == expected);
  }

  void okWithoutChangeReturnsNothing() {
    m_guard.onNext<TEditGrpDlg>([](TEditGrpDlg* dialog) { dialog->buttons().ok->click(); });
    const std::optional<GroupRecord> edited =
        EditGroup(m_params, m_ui, 3, compiled({"ALTER : 20,-,29"}, "Junge", "Ju"), nullptr, {});
    QVERIFY(m_guard.allAnswered());
    QVERIFY(!edited);
  }
};

QTEST_MAIN(GroupEditorDialogTest)
#include "group_editor_dialog_test.moc"
