#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QtTest>
#include <string>
#include <vector>

#include "app/directtests/value_dialogs.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "core/base/win1252.h"
#include "core/shell/placement.h"
#include "tests/app/modal_guard.h"

using namespace veltrix;
using namespace veltrix::literals;

namespace {

// Refuses the first cell that takes part and holds "x", with an error box when it has a Ui; notes each run.
class RefusingDialog : public ValueDialog {
 public:
  RefusingDialog(ValueLayout layout, int rows, int columns, Ui* ui = nullptr)
      : ValueDialog(layout, rows, columns), m_ui(ui) {}

  int check() override {
    ++checks;
    const int cells = (layout() == ValueLayout::Grid ? filledRows() : rows()) * columns();
    for (int i = 0; i < cells; ++i) {
      if (texts()[static_cast<std::size_t>(i)] != "x") continue;
      if (m_ui) m_ui->error("Unzulässige Eingabe"_w);
      return i;
    }
    return -1;
  }

  int checks = 0;

 private:
  Ui* m_ui;
};

// A QtUi whose beeps are counted.
struct CountingUi {
  CountingUi() {
    ui.setBeepHandler([this] { ++beeps; });
  }
  QtUi ui;
  int beeps = 0;
};

RefusingDialog gridDialog(int rows, int columns) {
  RefusingDialog values(ValueLayout::Grid, rows, columns);
  values.caption = "Chi-Quadrat Anpassungstest";
  values.prompt = "Eingabe : Ni (=Beob. Hfgk.) und pi (=theor. Wahrscheinlichkeiten)";
  for (int r = 1; r <= rows; ++r) values.rowLabels.push_back(std::to_string(r) + ".");
  values.columnLabels = {"Ni", "pi"};
  values.helpNumber = 56100;
  return values;
}

QStringList columnHeaders(const QTableWidget* table) {
  QStringList headers;
  for (int c = 0; c < table->columnCount(); ++c) headers << table->horizontalHeaderItem(c)->text();
  return headers;
}

QStringList rowTexts(const QTableWidget* table, int row) {
  QStringList texts;
  for (int c = 0; c < table->columnCount(); ++c) texts << table->item(row, c)->text();
  return texts;
}

void typeInto(QLineEdit* field, const QString& text) {
  field->clear();
  QTest::keyClicks(field, text);
}

}  // namespace

class ValueDialogsTest : public QObject {
  Q_OBJECT

 private:
  test::ModalGuard m_guard;

 private slots:
  void cleanup() { m_guard.verifyClean(); }

  void fieldLayoutsShowTheirLabelsAndHandTypedTextsOver_data() {
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::newRow("one value") << int(ValueLayout::OneValue) << 1 << 1;
    QTest::newRow("two values") << int(ValueLayout::TwoValues) << 2 << 1;
    QTest::newRow("2 x 2") << int(ValueLayout::TwoByTwo) << 2 << 2;
    QTest::newRow("2 x 3") << int(ValueLayout::TwoByThree) << 2 << 3;
  }

  void fieldLayoutsShowTheirLabelsAndHandTypedTextsOver() {
    QFETCH(int, layout);
    QFETCH(int, rows);
    QFETCH(int, columns);
    const bool headed = columns > 1;
    RefusingDialog values(ValueLayout(layout), rows, columns);
    values.caption = "Sensitivität, Spezifität, ..."_w;
    values.prompt = "Vierfeldertafel :";
    values.rowLabels = {"Test pos.", "Test neg."};
    values.rowLabels.resize(static_cast<std::size_t>(rows));
    if (headed) values.columnLabels = {"MW", "SD", "N"};
    values.setText(0, 0, "preset");

    const std::unique_ptr<TValueDlg> made = makeValueDialog(values, nullptr);
    auto* dialog = qobject_cast<TValueFieldsDlg*>(made.get());
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QString::fromUtf8("Sensitivität, Spezifität, ..."));
    QCOMPARE(dialog->promptLabel()->text(), QStringLiteral("Vierfeldertafel :"));
    QCOMPARE(dialog->rowLabelTexts(), QStringList({"Test pos.", "Test neg."}).mid(0, rows));
    QCOMPARE(dialog->columnLabelTexts(),
             headed ? QStringList({"MW", "SD", "N"}).mid(0, columns) : QStringList());
    QCOMPARE(dialog->okButton()->text(), QStringLiteral("OK"));
    QCOMPARE(dialog->cancelButton()->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(dialog->helpButton()->text(), QStringLiteral("&Hilfe"));
    QCOMPARE(dialog->fieldCount(), rows * columns);
    QCOMPARE(dialog->field(0)->text(), QStringLiteral("preset"));

    dialog->show();
    std::vector<std::string> typed;
    for (int i = 0; i < dialog->fieldCount(); ++i) {
      QCOMPARE(dialog->field(i)->maxLength(), 16);
      typed.push_back(std::to_string(10 * i + 1) + ",5");
      typeInto(dialog->field(i), QString::fromStdString(typed.back()));
    }
    QVERIFY(values.texts() != typed);  // nothing reaches the dialog before OK
    QTest::keyClick(dialog->field(dialog->fieldCount() - 1), Qt::Key_Return);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(values.checks, 1);
    QCOMPARE(values.texts(), typed);
  }

  void tabRunsRowByRowToTheButtons() {
    RefusingDialog values(ValueLayout::TwoByThree, 2, 3);
    TValueFieldsDlg dialog(values);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.field(0)->setFocus();
    QVERIFY(dialog.field(0)->hasFocus());
    for (int i = 1; i < 6; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), dialog.field(i));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.okButton());
  }

  // Through the Ui, as the tests ask: modal, placed by the hint, the refused field keeps the dialog open.
  void aRefusedEntryKeepsTheDialogOpenOnItsField() {
    CountingUi c;
    RefusingDialog values(ValueLayout::TwoByThree, 2, 3, &c.ui);
    values.caption = "t-Test, unabhängige Stichproben"_w;
    c.ui.flags().placementHint = 2;
    QString message;
    bool checkedWhileOpen = false;
    m_guard.onNext<TValueFieldsDlg>([&](TValueFieldsDlg* dialog) {
      const QRect area = screenOf(nullptr)->availableGeometry();
      const ScreenPoint at =
          dialogPosition(2, {area.width(), area.height()},
                         {dialog->frameGeometry().width(), dialog->frameGeometry().height()});
      QCOMPARE(dialog->pos(), area.topLeft() + QPoint(at.x, at.y));
      const QStringList entries{"1", "2", "x", "4", "5", "6"};
      for (int i = 0; i < 6; ++i) typeInto(dialog->field(i), entries[i]);
      m_guard.answerNextMessageBox("OK", &message);
      dialog->okButton()->click();
      QVERIFY(dialog->isVisible());
      QCOMPARE(dialog->focusWidget(), dialog->field(2));
      QCOMPARE(dialog->field(2)->selectedText(), QStringLiteral("x"));
      checkedWhileOpen = true;
      typeInto(dialog->field(2), "3");
      dialog->okButton()->click();
    });
    QVERIFY(c.ui.valueDialog(values));
    QVERIFY(checkedWhileOpen);
    QCOMPARE(message, QString::fromUtf8("Unzulässige Eingabe"));
    QCOMPARE(c.beeps, 1);
    QCOMPARE(values.checks, 2);
    QCOMPARE(values.texts(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
  }

  void cancelAndEscapeAnswerFalse_data() {
    QTest::addColumn<bool>("grid");
    QTest::addColumn<bool>("escape");
    QTest::newRow("fields, Abbrechen") << false << false;
    QTest::newRow("fields, Escape") << false << true;
    QTest::newRow("grid, Abbrechen") << true << false;
    QTest::newRow("grid, Escape while editing") << true << true;
  }

  void cancelAndEscapeAnswerFalse() {
    QFETCH(bool, grid);
    QFETCH(bool, escape);
    CountingUi c;
    RefusingDialog values = grid ? gridDialog(15, 2) : RefusingDialog(ValueLayout::OneValue, 1, 1);
    m_guard.onNext<TValueDlg>([&](TValueDlg* dialog) {
      QWidget* typedInto = nullptr;
      if (auto* fields = qobject_cast<TValueFieldsDlg*>(dialog)) {
        typeInto(fields->field(0), "5");
        typedInto = fields->field(0);
      } else {
        auto* gridDlg = qobject_cast<TDGridDlg*>(dialog);
        gridDlg->table()->editItem(gridDlg->table()->item(0, 0));
        QVERIFY(gridDlg->openEditor());
        typeInto(gridDlg->openEditor(), "5");
        typedInto = gridDlg->openEditor();
      }
      if (escape)
        QTest::keyClick(typedInto, Qt::Key_Escape);
      else
        dialog->cancelButton()->click();
    });
    QVERIFY(!c.ui.valueDialog(values));
    QCOMPARE(values.checks, 0);
    QCOMPARE(values.text(0, 0), std::string());
    QCOMPARE(c.beeps, 0);
  }

  void helpButtonAndF1ShowTheDialogsTopic() {
    RefusingDialog fieldValues(ValueLayout::TwoValues, 2, 1);
    fieldValues.helpNumber = 84100;
    RefusingDialog gridValues = gridDialog(15, 2);
    TValueFieldsDlg fields(fieldValues);
    TDGridDlg grid(gridValues);
    QVERIFY(fields.helpButton()->isHidden());
    QVERIFY(grid.helpButton()->isHidden());

    std::vector<int> asked;
    fields.setHelpHandler([&asked](int number) { asked.push_back(number); });
    grid.setHelpHandler([&asked](int number) { asked.push_back(number); });
    QVERIFY(!fields.helpButton()->isHidden());
    fields.helpButton()->click();
    grid.helpButton()->click();
    QCOMPARE(asked, (std::vector<int>{84100, 56100}));

    fields.show();
    fields.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&fields));
    QTest::keyClick(fields.field(1), Qt::Key_F1);
    fields.hide();
    grid.show();
    grid.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&grid));
    grid.table()->editItem(grid.table()->item(3, 1));
    QVERIFY(grid.openEditor());
    QTest::keyClick(grid.openEditor(), Qt::Key_F1);
    QCOMPARE(asked, (std::vector<int>{84100, 56100, 84100, 56100}));
    QVERIFY(grid.isVisible());
  }

  void gridShowsItsLabelsAndTakesTypedCellsOnEnter() {
    RefusingDialog values = gridDialog(15, 2);
    values.setText(0, 1, "0,5");
    TDGridDlg dialog(values);
    QTableWidget* table = dialog.table();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Chi-Quadrat Anpassungstest"));
    QCOMPARE(table->rowCount(), 15);
    QCOMPARE(table->columnCount(), 2);
    QCOMPARE(columnHeaders(table), QStringList({"Ni", "pi"}));
    QCOMPARE(table->verticalHeaderItem(0)->text(), QStringLiteral("1."));
    QCOMPARE(table->verticalHeaderItem(14)->text(), QStringLiteral("15."));
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("0,5"));
    QCOMPARE(dialog.columnLeftButton()->text(), QStringLiteral("Spalte nach links verschieben"));
    QCOMPARE(dialog.columnRightButton()->text(), QStringLiteral("Spalte nach rechts verschieben"));
    QCOMPARE(dialog.rowUpButton()->text(), QStringLiteral("Zeile nach oben verschieben"));
    QCOMPARE(dialog.rowDownButton()->text(), QStringLiteral("Zeile nach unten verschieben"));
    dialog.show();

    // The cell being edited takes part although its editor is still open when Enter comes.
    table->editItem(table->item(2, 0));
    QLineEdit* editor = dialog.openEditor();
    QVERIFY(editor);
    QCOMPARE(editor->maxLength(), 20);
    QTest::keyClicks(editor, "12");
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(values.checks, 1);
    QCOMPARE(values.text(2, 0), std::string("12"));
    QCOMPARE(values.text(0, 1), std::string("0,5"));
    QCOMPARE(values.filledRows(), 3);
  }

  void gridRefusalOpensTheRefusedCell() {
    RefusingDialog values = gridDialog(15, 2);
    values.setTexts({"10", "0,5", "20", "x", "30", "0,2"});
    TDGridDlg dialog(values);
    dialog.show();
    dialog.okButton()->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(values.checks, 1);
    QCOMPARE(dialog.table()->currentRow(), 1);
    QCOMPARE(dialog.table()->currentColumn(), 1);
    QVERIFY(dialog.openEditor());
    QCOMPARE(dialog.openEditor()->selectedText(), QStringLiteral("x"));
    QCOMPARE(dialog.focusWidget(), dialog.openEditor());

    typeInto(dialog.openEditor(), "0,3");
    dialog.okButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(values.text(1, 1), std::string("0,3"));
  }

  void moveButtonsMoveTheTextsAndTheCurrentCellButNotTheLabels() {
    RefusingDialog values = gridDialog(15, 2);
    values.setTexts({"10", "0,5", "20", "0,3"});
    TDGridDlg dialog(values);
    QTableWidget* table = dialog.table();
    dialog.show();
    table->setCurrentCell(0, 0);

    dialog.columnRightButton()->click();
    QCOMPARE(rowTexts(table, 0), QStringList({"0,5", "10"}));
    QCOMPARE(rowTexts(table, 1), QStringList({"0,3", "20"}));
    QCOMPARE(table->currentRow(), 0);
    QCOMPARE(table->currentColumn(), 1);
    QCOMPARE(values.text(0, 1), std::string("10"));

    dialog.rowDownButton()->click();
    QCOMPARE(rowTexts(table, 0), QStringList({"0,3", "20"}));
    QCOMPARE(rowTexts(table, 1), QStringList({"0,5", "10"}));
    QCOMPARE(table->currentRow(), 1);
    QCOMPARE(table->currentColumn(), 1);

    // Past the right edge nothing moves.
    dialog.columnRightButton()->click();
    QCOMPARE(rowTexts(table, 1), QStringList({"0,5", "10"}));
    QCOMPARE(table->currentColumn(), 1);

    dialog.columnLeftButton()->click();
    dialog.rowUpButton()->click();
    QCOMPARE(rowTexts(table, 0), QStringList({"10", "0,5"}));
    QCOMPARE(rowTexts(table, 1), QStringList({"20", "0,3"}));
    QCOMPARE(table->currentRow(), 0);
    QCOMPARE(table->currentColumn(), 0);

    // A text still in its editor moves with its cell, and the editor does not write it back afterwards.
    table->setCurrentCell(4, 0);
    table->editItem(table->item(4, 0));
    QVERIFY(dialog.openEditor());
    QTest::keyClicks(dialog.openEditor(), "7");
    dialog.columnRightButton()->click();
    QVERIFY(!dialog.openEditor());
    QCOMPARE(rowTexts(table, 4), QStringList({"", "7"}));
    QCOMPARE(rowTexts(table, 0), QStringList({"0,5", "10"}));  // the whole column moved
    dialog.rowUpButton()->click();
    QCOMPARE(rowTexts(table, 3), QStringList({"", "7"}));
    QCOMPARE(rowTexts(table, 4), QStringList({"", ""}));

    QCOMPARE(columnHeaders(table), QStringList({"Ni", "pi"}));
    for (int r = 0; r < 15; ++r) QCOMPARE(table->verticalHeaderItem(r)->text(), QString::number(r + 1) + ".");
    dialog.okButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    std::vector<std::string> expected(30);
    expected[0] = "0,5", expected[1] = "10", expected[2] = "0,3", expected[3] = "20", expected[7] = "7";
    QCOMPARE(values.texts(), expected);
  }

  void anEmptyGridClosesAsCancelled() {
    CountingUi c;
    RefusingDialog values = gridDialog(15, 2);
    values.setText(6, 1, "   ");
    m_guard.onNext<TDGridDlg>([](TDGridDlg* dialog) { dialog->okButton()->click(); });
    QVERIFY(!c.ui.valueDialog(values));
    QCOMPARE(values.checks, 0);
    QCOMPARE(c.beeps, 0);
  }
};

QTEST_MAIN(ValueDialogsTest)
#include "value_dialogs_test.moc"
