#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/analysis/selection_dialog.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "core/analysis/selection_slots.h"
#include "core/base/win1252.h"
#include "core/groups/group_language.h"
#include "tests/app/modal_guard.h"

using namespace veltrix;
using namespace veltrix::literals;

class SelectionDialogTest : public QObject {
  Q_OBJECT

 private:
  test::ModalGuard m_guard;
  QtUi m_ui;
  TParams m_params{m_ui};
  int m_beeps = 0;

  VariableSelectionModel model(int code) {
    return VariableSelectionModel(m_ui, m_params, code, DescriptorText(code), PrepareDescriptor(code).title);
  }

  static int row(const QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text().trimmed() == text || list->item(i)->text().startsWith(text)) return i;
    return -1;
  }

  static QStringList trimmedItems(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text().trimmed();
    return items;
  }

  static void click(QListWidget* list, int index, Qt::KeyboardModifiers modifiers = {}) {
    QVERIFY(index >= 0);
    const QRect rect = list->visualItemRect(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
  }

 private slots:
  void initTestCase() {
    m_ui.setBeepHandler([this] { ++m_beeps; });
    m_params.setVariableCount(4);
    m_params.putVariable(1, "GESCHL", 1, 1);
    m_params.putVariable(2, "ALTER", 2, 2);
    m_params.putVariable(3, "NAME>", 4, 8);
    m_params.putVariable(4, "GEWICHT", 12, 3);
    const std::vector<std::pair<std::string, std::string>> groups = {
        {"Frauen", "FR"}, {"Maenner", "MA"}, {"Junge", "JU"}};
    for (std::size_t i = 0; i < groups.size(); ++i) {
      const GroupCompileResult compiled =
          CompileGroupDefinition(m_params, {"GESCHL : 1"}, groups[i].first, groups[i].second);
      QVERIFY(compiled.ok);
      m_params.putGroup(static_cast<int>(i) + 1, compiled.record);
    }
  }
  void init() {
    m_params.clearSelectionSlots(0);
    m_beeps = 0;
  }
  void cleanup() { m_guard.verifyClean(); }

  void choicesMadeWithTheWidgetsBecomeTheSlots() {
    VariableSelectionModel selection = model(11);
    TAuswDlg dialog(selection, {});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), toQString("Stat. Kenngrößen: Eine Variable für mehrere Gruppen"_w));
    QVERIFY(dialog.boxList(1) && dialog.boxList(7));
    QVERIFY(!dialog.boxList(3) && !dialog.boxList(2) && !dialog.boxList(8));
    QCOMPARE(dialog.boxLabel(7)->text(), toQString("für Gruppen"_w));
    QCOMPARE(dialog.buttons().ok->text(), QStringLiteral("&Auswerten"));
    QVERIFY(!dialog.completeCasesBox()->isVisible());
    QVERIFY(!dialog.transformationBox()->isVisible());
    QVERIFY(!dialog.buttons().help->isVisible());

    QListWidget* catalog = dialog.catalogList();
    QCOMPARE(trimmedItems(catalog), QStringList({"GESCHL", "ALTER", "GEWICHT", "*DSNR"}));
    QCOMPARE(dialog.explanationLabel()->text(), toQString(" Eine Variable auswählen"_w));
    QVERIFY(!dialog.upButton()->isEnabled());
    dialog.sortedButton()->click();
    QCOMPARE(trimmedItems(catalog), QStringList({"ALTER", "GESCHL", "GEWICHT", "*DSNR"}));

    click(catalog, row(catalog, "GEWICHT"));
    dialog.rightButton()->click();
    QCOMPARE(trimmedItems(dialog.boxList(1)), QStringList({"GEWICHT"}));
    // The group box is active now: its catalog shows the group lines without their layout mark.
    QCOMPARE(dialog.explanationLabel()->text(), toQString(" Gruppen auswählen (min. 1 , max. 30)"_w));
    QVERIFY(dialog.boxLabel(7)->font().bold());
    QCOMPARE(catalog->item(1)->text().left(6), QStringLiteral("  1: F"));
    QVERIFY(!dialog.sortedButton()->isEnabled());
    QVERIFY(dialog.upButton()->isEnabled());

    click(catalog, row(catalog, "  1:"));
    click(catalog, row(catalog, "  3:"), Qt::ControlModifier);
    catalog->setFocus();
    QTest::keyClick(catalog, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(trimmedItems(dialog.boxList(7)), QStringList({"1", "3"}));

    // Reorder in the box: the last added entry is selected; move it up.
    QCOMPARE(dialog.boxList(7)->selectedItems().size(), 1);
    QCOMPARE(dialog.boxList(7)->row(dialog.boxList(7)->selectedItems().first()), 1);
    dialog.upButton()->click();
    QCOMPARE(trimmedItems(dialog.boxList(7)), QStringList({"3", "1"}));
    QCOMPARE(m_beeps, 0);

    dialog.buttons().ok->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const SelectionSlot first = m_params.selectionSlot(1);
    QCOMPARE(SlotLabel(first, 1), std::string("GEWICHT   "));
    QCOMPARE(SlotVariableAt(first, 1).position, 12);
    const SelectionSlot groups = m_params.selectionSlot(7);
    QCOMPARE(SlotCount(groups), 2);
    QCOMPARE(SlotGroupNumber(groups, 1), 3);
    QCOMPARE(SlotLabel(groups, 2), std::string("FR        "));
    QVERIFY(SlotInUse(groups));
  }

  void aRefusedAcceptanceStaysOpenWithTheArrowPanelRed() {
    VariableSelectionModel selection = model(11);
    TAuswDlg dialog(selection, {});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QListWidget* catalog = dialog.catalogList();
    click(catalog, row(catalog, "ALTER"));
    QTest::mouseDClick(catalog->viewport(), Qt::LeftButton, {},
                       catalog->visualItemRect(catalog->item(row(catalog, "ALTER"))).center());
    QCOMPARE(trimmedItems(dialog.boxList(1)), QStringList({"ALTER"}));

    dialog.buttons().ok->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(m_beeps, 1);
    QVERIFY(dialog.arrowPanelShownRed());
    QCOMPARE(selection.activeBox(), 7);
    QVERIFY(SlotLabel(m_params.selectionSlot(1), 1) != "ALTER     ");

    // Clicking into a box activates it and ends the red.
    click(dialog.boxList(1), 0);
    QCOMPARE(selection.activeBox(), 1);
    QVERIFY(!dialog.arrowPanelShownRed());
    QCOMPARE(trimmedItems(catalog), QStringList({"GESCHL", "ALTER", "GEWICHT", "*DSNR"}));
    // Tabbing into the group box activates it as well.
    dialog.boxList(7)->setFocus(Qt::TabFocusReason);
    QCOMPARE(selection.activeBox(), 7);
    dialog.reject();
  }

  void theMemoryPanelOffersTheStoredEntries() {
    {
      VariableSelectionModel earlier = model(11);
      QCOMPARE(earlier.setEntries(1, {"ALTER"}), std::string());
      QCOMPARE(earlier.setEntries(7, {"1", "2"}), std::string());
      QVERIFY(earlier.accept());
    }
    VariableSelectionModel selection = model(13);
    TAuswDlg dialog(selection, {});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.completeCasesBox()->isVisible());
    QVERIFY(dialog.completeCasesBox()->isChecked());
    QCOMPARE(dialog.completeCasesBox()->text(), toQString("Nur \"&komplette\" Fälle"_w));
    QVERIFY(dialog.continueButton()->isVisible());
    QVERIFY(dialog.memoryButton()->isEnabled());
    QVERIFY(!dialog.memoryPanel()->isVisible());
    dialog.memoryButton()->click();
    QVERIFY(dialog.memoryPanel()->isVisible());
    QCOMPARE(trimmedItems(dialog.memoryList()), QStringList({"ALTER"}));
    dialog.memoryNoButton()->click();
    QVERIFY(!dialog.memoryPanel()->isVisible());
    QCOMPARE(dialog.boxList(1)->count(), 0);

    dialog.memoryButton()->click();
    dialog.memoryYesButton()->click();
    QVERIFY(!dialog.memoryPanel()->isVisible());
    QCOMPARE(trimmedItems(dialog.boxList(1)), QStringList({"ALTER"}));
    // One stored variable: the switch comes back unchecked, as it was stored.
    QVERIFY(!dialog.completeCasesBox()->isChecked());

    dialog.continueButton()->click();
    QCOMPARE(selection.activeBox(), 7);
    dialog.memoryButton()->click();
    QCOMPARE(trimmedItems(dialog.memoryList()), QStringList({"1"}));  // code 13 takes one group
    dialog.memoryYesButton()->click();
    QCOMPARE(trimmedItems(dialog.boxList(7)), QStringList({"1"}));
    dialog.reject();
  }

  void everyListShowsWholeLines() {
    VariableSelectionModel selection = model(12);
    QCOMPARE(selection.setEntries(1, {"ALTER"}), std::string());
    QCOMPARE(selection.setEntries(3, {"GESCHL"}), std::string());
    QCOMPARE(selection.setEntries(4, {"0"}), std::string());
    QCOMPARE(selection.setEntries(7, {"1"}), std::string());
    TAuswDlg dialog(selection, {});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const int height : {520, 300, 700}) {
      dialog.resize(dialog.width(), height);
      QTest::qWait(20);
      const QListWidget* box1 = dialog.boxList(1);
      box1->parentWidget()->layout()->activate();
      for (const int box : {1, 3, 4, 7}) {
        const QListWidget* list = dialog.boxList(box);
        QVERIFY(list);
        const int inner = list->height() - 2 * list->frameWidth();
        const int line = list->sizeHintForRow(0);
        QVERIFY(line > 0);
        QVERIFY2(inner >= line && inner % line == 0,
                 qPrintable(QStringLiteral("%1: %2").arg(height).arg(inner)));
        if (height == 700) QVERIFY(inner >= 3 * line);
      }
    }
    dialog.reject();
  }

  void helpRunsAndCancelReturnsFalse() {
    VariableSelectionModel selection = model(31);
    int topic = 0;
    m_guard.onNext<TAuswDlg>([](TAuswDlg* dialog) {
      QVERIFY(dialog->buttons().help->isVisible());
      dialog->buttons().help->click();
      dialog->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(dialog));
      QTest::keyClick(dialog->catalogList(), Qt::Key_F1);
      dialog->buttons().cancel->click();
    });
    QVERIFY(!RunSelectionDialog(nullptr, selection, [&topic](int t) { topic += t; }));
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(topic, 2 * 310);
    QVERIFY(!SlotInUse(m_params.selectionSlot(1)));

    m_guard.onNext<TAuswDlg>([](TAuswDlg* dialog) {
      dialog->model().setEntries(1, {"NAME>"});
      dialog->model().setEntries(2, {"0"});
      dialog->model().setEntries(7, {"2"});
      dialog->refresh();
      dialog->buttons().ok->click();
    });
    QVERIFY(RunSelectionDialog(nullptr, selection, {}));
    QCOMPARE(SlotLabel(m_params.selectionSlot(7), 1), std::string("MA        "));
  }
};

QTEST_MAIN(SelectionDialogTest)
#include "selection_dialog_test.moc"
