#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "app/directtests/value_dialogs.h"
#include "app/entry/input_dialog.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "app/shell/select_box_dialog.h"
#include "core/datafile/params.h"
#include "core/entry/entry_checks.h"
#include "tests/app/modal_guard.h"
#include "tests/app/scratch_files.h"

using namespace veltrix;

namespace {

// Line 1 of a record: NR (1..3), GEWICHT (4..7), ANZAHL (8..12), NAME> (13..22).
QByteArray record(const char* line) {
  return QByteArray("1") + line + "\r\n";
}

}  // namespace

class InputDialogTest : public QObject {
  Q_OBJECT

 private:
  test::ModalGuard m_guard;
  QtUi m_ui;
  TParams m_params{m_ui};
  std::unique_ptr<QTemporaryDir> m_dir;
  int m_beeps = 0;

  std::string path(const char* name) const { return fromQPath(m_dir->filePath(QString::fromLatin1(name))); }

  std::string study() {
    const std::string file = path("studie.dt1");
    test::WriteScratchFile(file,
                           record("  1  70    3Anna") + record("  2  81   12Bernd") + record("  3  65    1"));
    return file;
  }

  // ANZAHL takes whole numbers only.
  void writeChecks(const std::string& statFile) {
    QByteArray bytes(2 + 128 + 24, '\0');
    bytes[0] = 6;
    bytes[130] = 8;
    bytes[132] = 5;
    bytes[133] = 'G';
    for (int i = 134; i < 154; ++i) bytes[i] = ' ';
    test::WriteScratchFile(EntryCheckFileName(statFile), bytes);
  }

  static QString cellText(const TInpDlg& dialog, EntryCell cell) {
    const QTableWidgetItem* item = dialog.grid()->item(cell.row, cell.column);
    return item ? item->text() : QString();
  }

  static void press(TInpDlg& dialog, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(dialog.edit(), key, modifiers);
  }

  static void type(TInpDlg& dialog, const QString& text) {
    dialog.edit()->selectAll();
    QTest::keyClicks(dialog.edit(), text);
  }

  // The edit lies over the value cell of the current field.
  static bool editOverCurrentCell(const TInpDlg& dialog, InputModel& model) {
    const EntryCell cell = model.valueCell(model.currentField());
    return dialog.edit()->isVisible() &&
           dialog.edit()->geometry() ==
               dialog.grid()->visualItemRect(dialog.grid()->item(cell.row, cell.column));
  }

 private slots:
  void initTestCase() {
    m_params.putVariable(1, "NR", 1, 3);
    m_params.putVariable(2, "GEWICHT", 4, 4);
    m_params.putVariable(3, "ANZAHL", 8, 5);
    m_params.putVariable(4, "NAME>", 13, 10);
    m_params.setVariableCount(4);
  }
  void init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_beeps = 0;
    m_ui.setBeepHandler([this] { ++m_beeps; });
  }
  void cleanup() { m_guard.verifyClean(); }

  void showsTheToolsTheNumberAndTheGrid() {
    InputModel model(m_params, m_ui, study(), path("studie.db1"));
    QVERIFY(model.open());
    TInpDlg dialog(model, m_ui);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("DATENEINGABE"));
    using T = TInpDlg::Tool;
    const std::vector<std::tuple<T, const char*, const char*>> tools = {
        {T::Ok, "&OK", "Dateneingabe beenden"},
        {T::Undo, "Änd. &rückg.", "Änderungen im Datenfeld oder in DS rückgängig machen"},
        {T::Forward1, "1 (F10)", nullptr},
        {T::Back1, "1 (F1)", nullptr},
        {T::Forward10, "10 (F9)", nullptr},
        {T::Back10, "10 (F2)", nullptr},
        {T::Back50, "50 (F3)", nullptr},
        {T::Forward50, "50 (F8)", nullptr},
        {T::Position, "? (F4)", "Auf beliebigen DS positionieren"},
        {T::First, "&Anfang", nullptr},
        {T::Last, "&Ende", nullptr},
        {T::Delete, "DS &löschen", "Datensatz komplett löschen"},
        {T::Help, "&H", nullptr},
        {T::FormFeed, "&B", nullptr},
        {T::Print, "&D", nullptr},
        {T::Protocol, "&P", "Protokoll-Ausgabe"},
        {T::Columns, "&Spalten", "Anzahl Spalten ändern"},
    };
    for (const auto& [tool, caption, hint] : tools) {
      QCOMPARE(dialog.toolButton(tool)->text(), QString::fromUtf8(caption));
      if (hint) QCOMPARE(dialog.toolButton(tool)->toolTip(), QString::fromUtf8(hint));
    }
    QVERIFY(dialog.findChildren<QLabel*>().size() >= 2);
    bool numberCaption = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
      numberCaption = numberCaption || label->text() == QStringLiteral("Satz-Nr.:");
    QVERIFY(numberCaption);
    QCOMPARE(dialog.recordNumberLabel()->text(), QStringLiteral("1"));
    // The test screen is wide enough for three variable columns: 4 fields in 2 rows + the heading row.
    QCOMPARE(model.columns(), 3);
    QCOMPARE(dialog.grid()->columnCount(), 6);
    QCOMPARE(dialog.grid()->rowCount(), 3);
    QCOMPARE(cellText(dialog, {1, 0}), QStringLiteral(" NR"));
    QCOMPARE(cellText(dialog, {1, 3}), QStringLiteral("70"));
    QCOMPARE(cellText(dialog, {2, 0}), QStringLiteral(" NAME>"));
    QCOMPARE(cellText(dialog, {2, 1}), QStringLiteral("Anna"));
    QCOMPARE(dialog.edit()->text(), QStringLiteral("1"));
    QVERIFY(editOverCurrentCell(dialog, model));
  }

  void theKeysMoveBetweenFieldsAndRecords() {
    const std::string file = study();
    InputModel model(m_params, m_ui, file, path("studie.db1"));
    QVERIFY(model.open());
    TInpDlg dialog(model, m_ui);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    press(dialog, Qt::Key_Tab);
    QCOMPARE(model.currentField(), 1);
    type(dialog, QStringLiteral("3,5"));
    press(dialog, Qt::Key_Return);
    QCOMPARE(model.currentField(), 2);
    QCOMPARE(cellText(dialog, {1, 3}), QStringLiteral("3.5"));
    QVERIFY(editOverCurrentCell(dialog, model));
    press(dialog, Qt::Key_Backtab);
    QCOMPARE(model.currentField(), 1);
    press(dialog, Qt::Key_End);
    QCOMPARE(model.currentField(), 3);
    press(dialog, Qt::Key_Up);
    QCOMPARE(model.currentField(), 0);
    press(dialog, Qt::Key_Down);
    QCOMPARE(model.currentField(), 3);
    press(dialog, Qt::Key_Home);
    QCOMPARE(model.currentField(), 0);
    QVERIFY(editOverCurrentCell(dialog, model));
    // F10 forward: the record is saved first.
    press(dialog, Qt::Key_F10);
    QCOMPARE(dialog.recordNumberLabel()->text(), QStringLiteral("2"));
    QCOMPARE(cellText(dialog, {1, 3}), QStringLiteral("81"));
    QCOMPARE(dialog.edit()->text(), QStringLiteral("2"));
    press(dialog, Qt::Key_F9);  // 10 forward: the new record after the last
    QCOMPARE(dialog.recordNumberLabel()->text(), QStringLiteral("4"));
    QCOMPARE(cellText(dialog, {1, 1}), QString());
    press(dialog, Qt::Key_F1);
    QCOMPARE(dialog.recordNumberLabel()->text(), QStringLiteral("3"));
    press(dialog, Qt::Key_F3);
    QCOMPARE(dialog.recordNumberLabel()->text(), QStringLiteral("1"));
    QCOMPARE(cellText(dialog, {1, 3}), QStringLiteral("3.5"));
    // F4: the number in "Frei Positionieren".
    QString caption;
    m_guard.onNext<TValueDlg>([&](TValueDlg* values) {
      caption = values->windowTitle();
      const QList<QLineEdit*> edits = values->findChildren<QLineEdit*>();
      QCOMPARE(edits.size(), 1);
      edits.front()->setText(QStringLiteral("3"));
      values->pressOk();
    });
    press(dialog, Qt::Key_F4);
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(caption, QStringLiteral("Frei Positionieren"));
    QCOMPARE(dialog.recordNumberLabel()->text(), QStringLiteral("3"));
    // Tab past the last field goes on to the next record.
    press(dialog, Qt::Key_End);
    press(dialog, Qt::Key_Tab);
    QCOMPARE(dialog.recordNumberLabel()->text(), QStringLiteral("4"));
    QCOMPARE(model.currentField(), 0);
    dialog.toolButton(TInpDlg::Tool::Ok)->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(test::ReadScratchFile(file),
             record("  1 3.5    3Anna") + record("  2  81   12Bernd") + record("  3  65    1") + "\x1a");
  }

  void escapeResetsAndClicksChooseValueCells() {
    InputModel model(m_params, m_ui, study(), path("studie.db1"));
    QVERIFY(model.open());
    TInpDlg dialog(model, m_ui);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // A label cell cannot be chosen; a value cell can.
    QTableWidget* grid = dialog.grid();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(1, 2)).center());
    QCOMPARE(model.currentField(), 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(2, 1)).center());
    QCOMPARE(model.currentField(), 3);
    QVERIFY(editOverCurrentCell(dialog, model));
    type(dialog, QStringLiteral("Xaver"));
    QString question;
    m_guard.answerNextMessageBox(QStringLiteral("Ja"), &question);
    press(dialog, Qt::Key_Escape);
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(question, QString::fromUtf8("Aktuelles Feld zurücksetzen?"));
    QCOMPARE(dialog.edit()->text(), QStringLiteral("Anna"));
    QVERIFY(dialog.isVisible());
    dialog.toolButton(TInpDlg::Tool::Ok)->click();
    QVERIFY(!dialog.isVisible());
    QVERIFY(!model.fileChanged());
  }

  void aRefusedValueKeepsTheWindowOpen() {
    const std::string file = study();
    writeChecks(file);
    InputModel model(m_params, m_ui, file, path("studie.db1"));
    QVERIFY(model.open());
    m_guard.onNext<TInpDlg>([&](TInpDlg* dialog) {
      press(*dialog, Qt::Key_Tab);
      press(*dialog, Qt::Key_Tab);
      type(*dialog, QStringLiteral("2.5"));
      QString message;
      m_guard.answerNextMessageBox(QStringLiteral("Ja"), &message);
      dialog->close();
      QVERIFY(message.contains(QStringLiteral("nicht ganzzahlig")));
      QVERIFY(message.contains(QStringLiteral("Korrektur ?")));
      QVERIFY(dialog->isVisible());
      QCOMPARE(dialog->edit()->text(), QStringLiteral("2.5"));
      type(*dialog, QStringLiteral("2"));
      dialog->close();
    });
    RunDataEntry(nullptr, model, m_ui, {});
    QVERIFY(m_guard.allAnswered());
    QVERIFY(!model.isOpen());
    QCOMPARE(test::ReadScratchFile(file),
             record("  1  70    2Anna") + record("  2  81   12Bernd") + record("  3  65    1") + "\x1a");
  }

  void theToolsPrintHelpAndChangeTheColumns() {
    InputModel model(m_params, m_ui, study(), path("studie.db1"));
    QVERIFY(model.open());
    TInpDlg dialog(model, m_ui);
    int help = 0;
    dialog.setHelpHandler([&](int number) { help = number; });
    std::vector<PrintAction> actions;
    std::vector<std::string> headings;
    dialog.setPrintRequest(
        [&](PrintAction action, const TTabHeader& header, const std::vector<std::string>&) {
          actions.push_back(action);
          headings.push_back(header.LeftTitle[0]);
        });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.toolButton(TInpDlg::Tool::Help)->click();
    QCOMPARE(help, 12000);
    dialog.toolButton(TInpDlg::Tool::Print)->click();
    dialog.toolButton(TInpDlg::Tool::Protocol)->click();
    dialog.toolButton(TInpDlg::Tool::FormFeed)->click();
    QCOMPARE(actions,
             (std::vector<PrintAction>{PrintAction::Print, PrintAction::SaveCopy, PrintAction::FormFeed}));
    QCOMPARE(headings[0], std::string("* Satz-Nr.: 1"));
    QCOMPARE(headings[1], std::string("* Satz-Nr.: 1"));

    m_guard.onNext<TSelBxDlg>([](TSelBxDlg* list) {
      list->choose(0);
      list->pressOk();
    });
    dialog.toolButton(TInpDlg::Tool::Columns)->click();
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(model.columns(), 1);
    QCOMPARE(dialog.grid()->columnCount(), 2);
    QCOMPARE(dialog.grid()->rowCount(), 5);
    QCOMPARE(cellText(dialog, {4, 0}), QStringLiteral(" NAME>"));
    QVERIFY(editOverCurrentCell(dialog, model));
    dialog.toolButton(TInpDlg::Tool::Ok)->click();
  }

  void theColumnCountFollowsTheWidth() {
    // Six fields alike: every variable column is as wide as one pair of label and value.
    TParams alike(m_ui);
    for (int i = 1; i <= 6; ++i) alike.putVariable(i, "A" + std::to_string(i), 5 * i - 4, 5);
    alike.setVariableCount(6);
    InputModel model(alike, m_ui, study(), path("studie.db1"));
    QVERIFY(model.open());
    TInpDlg dialog(model, m_ui);
    model.setColumns(1);
    dialog.layOutGrid();
    const int pair = dialog.grid()->columnWidth(0) + dialog.grid()->columnWidth(1);
    QVERIFY(pair > 0);
    const QFontMetrics metrics = dialog.grid()->fontMetrics();
    QCOMPARE(EntryColumnsForWidth(model, metrics, 3 * pair), 3);
    QCOMPARE(EntryColumnsForWidth(model, metrics, 3 * pair - 1), 2);
    QCOMPARE(EntryColumnsForWidth(model, metrics, 2 * pair), 2);
    QCOMPARE(EntryColumnsForWidth(model, metrics, 2 * pair - 1), 1);
    QCOMPARE(EntryColumnsForWidth(model, metrics, 10), 1);
    dialog.toolButton(TInpDlg::Tool::Ok)->click();
  }

  void anInputOutputErrorClosesTheWindow() {
    const std::string file = study();
    InputModel model(m_params, m_ui, file, path("studie.db1"));
    QVERIFY(model.open());
    TInpDlg dialog(model, m_ui);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    type(dialog, QStringLiteral("9"));
    // The file goes away behind the window's back: neither the backup nor the save can open it.
    std::filesystem::rename(file, path("weg.dt1"));
    std::filesystem::create_directory(file);
    QString first;
    QString second;
    m_guard.answerNextMessageBox(QStringLiteral("OK"), &first);
    m_guard.answerNextMessageBox(QStringLiteral("OK"), &second);
    press(dialog, Qt::Key_F10);
    QVERIFY(m_guard.allAnswered());
    QVERIFY(first.contains(QStringLiteral("studie.dt1")));
    QVERIFY(model.failed());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(test::ReadScratchFile(path("weg.dt1")),
             record("  1  70    3Anna") + record("  2  81   12Bernd") + record("  3  65    1") + "\x1a");
  }

  void theUnderlinedLettersWorkTheTools() {
    InputModel model(m_params, m_ui, study(), path("studie.db1"));
    QVERIFY(model.open());
    TInpDlg dialog(model, m_ui);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    // A mnemonic clicks its button as an animated click, a moment later.
    QTest::keyClick(dialog.edit(), Qt::Key_E, Qt::AltModifier);  // "&Ende"
    QTRY_COMPARE(dialog.recordNumberLabel()->text(), QStringLiteral("3"));
    QTest::keyClick(dialog.edit(), Qt::Key_A, Qt::AltModifier);  // "&Anfang"
    QTRY_COMPARE(dialog.recordNumberLabel()->text(), QStringLiteral("1"));
    QTest::keyClick(dialog.edit(), Qt::Key_O, Qt::AltModifier);  // "&OK"
    QTRY_VERIFY(!dialog.isVisible());
    QVERIFY(!model.isOpen());
  }
};

QTEST_MAIN(InputDialogTest)
#include "input_dialog_test.moc"
