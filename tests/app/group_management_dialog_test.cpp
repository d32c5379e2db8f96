#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "app/groups/group_editor_dialog.h"
#include "app/groups/group_management_dialog.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "core/groups/group_language.h"
#include "tests/app/modal_guard.h"

using namespace veltrix;

class GroupManagementDialogTest : public QObject {
  Q_OBJECT

 private:
  test::ModalGuard m_guard;
  QtUi m_ui;
  std::unique_ptr<QTemporaryDir> m_dir;
  std::unique_ptr<TParams> m_params;

  void putGroup(int n, const std::vector<std::string>& lines, std::string_view title,
                std::string_view shortTitle) {
    const GroupCompileResult result = CompileGroupDefinition(*m_params, lines, title, shortTitle);
    if (!result.ok) qFatal("test definition does not compile: %s", result.message.c_str());
    m_params->putGroup(n, result.record);
  }

  std::string paramFile() const { return fromQPath(m_dir->filePath(QStringLiteral("studie.prm"))); }

  static void choose(TGrKlDlg& dialog, int row) {
    dialog.list()->setCurrentRow(row);
    dialog.takeButton()->click();
  }

 private slots:
  void init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_params = std::make_unique<TParams>(m_ui);
    m_params->setFileName(paramFile());
    m_params->setVariableCount(2);
    m_params->putVariable(1, "GESCHL", 1, 1);
    m_params->putVariable(2, "ALTER", 2, 2);
    putGroup(1, {"GESCHL : 1"}, "Frauen", "Fr");
    putGroup(2, {"ALTER : 20,-,29"}, "Junge", "Ju");
    m_params->setModified(false);
  }
  void cleanup() {
    m_guard.verifyClean();
    m_params.reset();
    m_dir.reset();
  }

  void listsGroupsAndClassDivisionsAndClosesWithoutWritingWhenNothingChanged() {
    TGrKlDlg dialog(*m_params, m_ui);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Gruppen / Klasseneinteilungen"));
    QCOMPARE(dialog.tabs()->tabText(0), QStringLiteral("&Gruppen"));
    QCOMPARE(dialog.tabs()->tabText(1), QStringLiteral("&Klasseneinteilungen"));
    QCOMPARE(dialog.list()->count(), 21);
    QCOMPARE(dialog.list()->item(1)->text(), QStringLiteral("  1: Frauen").leftJustified(40));
    QCOMPARE(dialog.list()->item(2)->text(), toQString(m_params->groupText(2)));
    QVERIFY(QFontInfo(dialog.list()->font()).fixedPitch());
    QVERIFY(dialog.unionButton()->isVisible());
    QVERIFY(!dialog.takeButton()->isVisible());
    QVERIFY(!dialog.display()->isVisible());

    dialog.tabs()->setCurrentIndex(1);
    QCOMPARE(dialog.model().tab(), ManagementTab::ClassDivisions);
    for (int i : {0, 1, 20})
      QCOMPARE(dialog.list()->item(i)->text(), toQString(m_params->classDivisionText(i)));
    QVERIFY(!dialog.unionButton()->isVisible());
    QVERIFY(!dialog.intersectionButton()->isVisible());

    dialog.closeButton()->click();
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dialog.changed());
    QVERIFY(!std::filesystem::exists(paramFile()));
  }

  void groupZeroCannotBeEdited() {
    TGrKlDlg dialog(*m_params, m_ui);
    dialog.show();
    dialog.list()->setCurrentRow(0);
    QString text;
    m_guard.answerNextMessageBox(QStringLiteral("OK"), &text);
    dialog.editButton()->click();
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(text, QString::fromUtf8("Gruppe 0 kann nicht geändert werden!"));
    QCOMPARE(dialog.list()->currentRow(), 0);
    dialog.closeButton()->click();
    QVERIFY(!dialog.changed());
  }

  void theListAndADefinitionGoToThePrintManager() {
    TGrKlDlg dialog(*m_params, m_ui);
    QVERIFY2(!dialog.printButton(PrintAction::Print)->isVisibleTo(&dialog), "no printer: no print buttons");
    std::vector<std::pair<std::string, std::vector<std::string>>> printed;
    std::vector<PrintAction> actions;
    dialog.setPrintRequest(
        [&](PrintAction action, const TTabHeader& header, const std::vector<std::string>& lines) {
          actions.push_back(action);
          printed.emplace_back(header.LeftTitle[0] + "|" + header.RightTitle[0], lines);
        });
    dialog.show();
    dialog.printButton(PrintAction::Print)->click();
    dialog.printButton(PrintAction::SaveCopy)->click();
    QCOMPARE(actions, (std::vector<PrintAction>{PrintAction::Print, PrintAction::SaveCopy}));
    QCOMPARE(printed[0].first, std::string("Gruppen / Klasseneinteilungen :|"));
    QCOMPARE(printed[0].second, dialog.model().lines());

    // The group editor opened from the list prints its definition under its own heading.
    dialog.list()->setCurrentRow(1);
    m_guard.onNext<TEditGrpDlg>([](TEditGrpDlg* editor) {
      editor->printButton(PrintAction::Print)->click();
      editor->buttons().cancel->click();
    });
    dialog.editButton()->click();
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(printed.size(), std::size_t{3});
    QVERIFY2(printed[2].first.rfind("Gruppe Nr. 1: ", 0) == 0, printed[2].first.c_str());
    QVERIFY(!printed[2].second.empty());
    dialog.closeButton()->click();
  }

  void aUnionByTheButtonsIsStoredAndWrittenOnClosing() {
    TGrKlDlg dialog(*m_params, m_ui);
    dialog.show();
    dialog.unionButton()->click();
    QVERIFY(dialog.takeButton()->isVisible());
    QVERIFY(dialog.cancelButton()->isVisible());
    QVERIFY(!dialog.closeButton()->isEnabled());
    QVERIFY(!dialog.editButton()->isEnabled());
    QVERIFY(!dialog.unionButton()->isEnabled());
    QCOMPARE(dialog.displayLabel()->text(), QStringLiteral("Vereinigung:"));
    QCOMPARE(dialog.promptLabel()->text(), QString::fromUtf8("1. Gruppe auswählen"));

    choose(dialog, 1);
    QCOMPARE(dialog.display()->text(), QStringLiteral("1 + "));
    // No switching to the class divisions in the middle of a combination.
    dialog.tabs()->setCurrentIndex(1);
    QCOMPARE(dialog.tabs()->currentIndex(), 0);
    QCOMPARE(dialog.list()->item(1)->text(), toQString(m_params->groupText(1)));
    choose(dialog, 2);
    QCOMPARE(dialog.display()->text(), QStringLiteral("1 + 2"));
    QCOMPARE(dialog.promptLabel()->text(), QString::fromUtf8("Zielgruppe auswählen"));
    choose(dialog, 5);
    QVERIFY(!dialog.model().inCombination());
    QVERIFY(!dialog.takeButton()->isVisible());
    QVERIFY(dialog.closeButton()->isEnabled());
    QCOMPARE(dialog.list()->currentRow(), 5);
    QCOMPARE(dialog.list()->item(5)->text(), QStringLiteral("  5: Frauen+Junge").leftJustified(40));

    // The editor of group 5 shows both definitions as alternatives.
    QString definition;
    m_guard.onNext<TEditGrpDlg>([&definition](TEditGrpDlg* editor) {
      definition = editor->definitionEdit()->toPlainText();
      editor->buttons().cancel->click();
    });
    QTest::keyClick(dialog.list(), Qt::Key_Return);
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(definition.split(QLatin1Char('\n')).size(), 3);
    QCOMPARE(definition.split(QLatin1Char('\n')).at(1), QStringLiteral("OR"));

    QVERIFY(!std::filesystem::exists(paramFile()));
    dialog.closeButton()->click();
    QVERIFY(dialog.changed());
    TParams stored(m_ui);
    QCOMPARE(stored.read(paramFile()), ParamsReadStatus::Ok);
    QVERIFY(stored.getGroup(5) == m_params->getGroup(5));
    QCOMPARE(stored.groupText(5), m_params->groupText(5));
  }

  void escapeEndsACombinationAndTheWindowsCloseWritesADeletion() {
    bool changed = false;
    QString question;
    m_guard.onNext<TGrKlDlg>([this, &question](TGrKlDlg* dialog) {
      dialog->intersectionButton()->click();
      QTest::keyClick(dialog->list(), Qt::Key_Escape);
      QVERIFY(dialog->isVisible());
      QVERIFY(!dialog->model().inCombination());
      QVERIFY(dialog->closeButton()->isEnabled());

      dialog->list()->setCurrentRow(2);
      m_guard.answerNextMessageBox(QStringLiteral("Ja"), &question);
      dialog->deleteButton()->click();
      dialog->close();
    });
    changed = ManageGroupsAndClasses(*m_params, m_ui, nullptr, {});
    QVERIFY(m_guard.allAnswered());
    QCOMPARE(question, QString::fromUtf8("Gruppe Nr. 2 löschen?"));
    QVERIFY(changed);
    TParams stored(m_ui);
    QCOMPARE(stored.read(paramFile()), ParamsReadStatus::Ok);
    QVERIFY(stored.getGroup(2) == GroupRecord{});
    QVERIFY(stored.getGroup(1) == m_params->getGroup(1));
  }
};

QTEST_MAIN(GroupManagementDialogTest)
#include "group_management_dialog_test.moc"
