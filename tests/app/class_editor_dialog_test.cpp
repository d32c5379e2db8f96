#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/groups/class_editor_dialog.h"
#include "app/shell/qt_ui.h"
#include "core/stats/real48.h"
#include "tests/app/modal_guard.h"
#include "tests/support/class_divisions.h"

using namespace veltrix;

using test::numericDivision;

class ClassEditorDialogTest : public QObject {
  Q_OBJECT

 private:
  test::ModalGuard m_guard;
  QtUi m_ui;
  int m_beeps = 0;

  void type(TEditKlsDlg& dialog, const char* text) {
    dialog.editField()->selectAll();
    QTest::keyClicks(dialog.editField(), QString::fromLatin1(text));
    QTest::keyClick(dialog.editField(), Qt::Key_Return);
  }

 private slots:
  void init() {
    m_beeps = 0;
    m_ui.setBeepHandler([this] { ++m_beeps; });
  }
  void cleanup() { m_guard.verifyClean(); }

  void showsTheStoredDivisionAndTakesTypedRowsWithEnter() {
    TEditKlsDlg dialog(m_ui, 7, numericDivision({10, 20}));
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Klasseneinteilung Nr. 7"));
    QCOMPARE(dialog.list()->count(), 29);
    QCOMPARE(dialog.list()->item(0)->text(), QStringLiteral("10"));
    QCOMPARE(dialog.list()->item(1)->text(), QStringLiteral("20"));
    QVERIFY(dialog.typeButton(ClassDivisionType::Numeric)->isChecked());
    QCOMPARE(dialog.editField()->maxLength(), 10);

    // Enter puts the text into the selected row and moves on; the dialog stays open.
    dialog.list()->setCurrentRow(2);
    type(dialog, "30");
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.list()->item(2)->text(), QStringLiteral("30"));
    QCOMPARE(dialog.list()->currentRow(), 3);
    // "Fortsetzen" continues the step of the two rows above: 20, 30 -> 40.
    dialog.continueButton()->click();
    QCOMPARE(dialog.list()->item(3)->text(), QStringLiteral("40"));

    dialog.buttons().ok->click();
    QCOMPARE(dialog.QDialog::result(), int(QDialog::Accepted));
    QCOMPARE(dialog.result()[1], std::uint8_t{4});  // four boundaries, numeric
    QCOMPARE(readReal48(&dialog.result()[2 + 6 * 3]), 40.0);
  }

  void aTextKindLimitsTheInputAndDisablesContinuing() {
    TEditKlsDlg dialog(m_ui, 3, ClassDivisionRecord{});
    dialog.show();
    QTest::keyClicks(dialog.editField(), QStringLiteral("meierhof"));
    QCOMPARE(dialog.editField()->text(), QStringLiteral("MEIERHOF"));  // upper case as typed
    dialog.typeButton(ClassDivisionType::Contains)->click();
    QVERIFY(!dialog.continueButton()->isEnabled());
    QCOMPARE(dialog.editField()->maxLength(), 6);
    QCOMPARE(dialog.editField()->text(), QStringLiteral("MEIERH"));
    dialog.typeButton(ClassDivisionType::Numeric)->click();
    QVERIFY(dialog.continueButton()->isEnabled());
  }

  void aRefusedRowKeepsTheDialogOpenOnIt() {
    TEditKlsDlg dialog(m_ui, 4, ClassDivisionRecord{});
    dialog.show();
    type(dialog, "5");
    type(dialog, "5");
    QString text;
    m_guard.answerNextMessageBox(QStringLiteral("OK"), &text);
    dialog.buttons().ok->click();
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(text, QStringLiteral("Werte nicht in aufsteigender Folge !"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.list()->currentRow(), 1);
    QCOMPARE(dialog.editField()->text(), QStringLiteral("5"));
    type(dialog, "6");
    dialog.buttons().ok->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result()[1], std::uint8_t{2});
  }

  void nothingChangedIsACancel() {
    m_guard.onNext<TEditKlsDlg>([](TEditKlsDlg* dialog) { dialog->buttons().ok->click(); });
    const std::optional<ClassDivisionRecord> edited =
        EditClassDivision(m_ui, 2, numericDivision({1, 2}), nullptr, {});
    QVERIFY(m_guard.allAnswered());
    QVERIFY(!edited);
  }
};

QTEST_MAIN(ClassEditorDialogTest)
#include "class_editor_dialog_test.moc"
