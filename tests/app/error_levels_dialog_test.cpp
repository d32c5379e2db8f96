#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <vector>

#include "app/directtests/error_levels_dialog.h"
#include "tests/app/modal_guard.h"

using namespace veltrix;

Q_DECLARE_METATYPE(ErrorLevelForm)

class ErrorLevelsDialogTest : public QObject {
  Q_OBJECT

 private:
  test::ModalGuard m_guard;

 private slots:
  void cleanup() { m_guard.verifyClean(); }

  void showsItsCaptionLabelsAndChoices() {
    TErrLvlDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Irrtumswahrscheinlichkeiten, Faktoren, Quantile"));
    QStringList labels;
    for (int i = 0; i < TErrLvlDlg::kFieldCount; ++i) labels << dialog.fieldLabel(i)->text();
    QCOMPARE(labels,
             QStringList({"Irrtumswahrscheinlichkeit  A :", "B :", QString::fromUtf8("Faktor  A  (M±SD) :"),
                          QString::fromUtf8("Faktor  B  (M±SD) :"),
                          "Quantil  A  (in %) :", "Quantil  B  (in %) :"}));
    QStringList groups;
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) groups << group->title();
    groups.sort();
    QCOMPARE(groups, QStringList({" Bevorzugte Testmethode ", " Testart "}));
    QCOMPARE(dialog.oneSidedButton()->text(), QStringLiteral("einseitig"));
    QCOMPARE(dialog.twoSidedButton()->text(), QStringLiteral("zweiseitig"));
    QCOMPARE(dialog.parametricButton()->text(), QStringLiteral("parametrisch  (t-Test, etc.)"));
    QCOMPARE(dialog.nonParametricButton()->text(), QStringLiteral("nichtparametrisch  (Rangtests)"));
    QCOMPARE(dialog.oneSidedButton()->parentWidget(), dialog.twoSidedButton()->parentWidget());
    QCOMPARE(dialog.parametricButton()->parentWidget(), dialog.nonParametricButton()->parentWidget());
    QVERIFY(dialog.oneSidedButton()->parentWidget() != dialog.parametricButton()->parentWidget());
    QCOMPARE(dialog.whiskerLabel()->text(), QStringLiteral("Whisker-Faktor B&&W-Plots"));
    QStringList whiskers;
    for (int i = 0; i < dialog.whiskerBox()->count(); ++i) whiskers << dialog.whiskerBox()->itemText(i);
    QCOMPARE(whiskers, QStringList({" 1", " 1,5", " 2", " 2,5", " 3"}));
    QCOMPARE(dialog.okButton()->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.cancelButton()->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(dialog.helpButton()->text(), QStringLiteral("&Hilfe"));
  }

  void aFormComesBackAsItWasSet_data() {
    QTest::addColumn<ErrorLevelForm>("form");
    QTest::newRow("defaults") << ErrorLevelForm{"0,05", "0,01", "2", "3", "10", "90", 1, 1, 0};
    QTest::newRow("every choice the other way")
        << ErrorLevelForm{"0,1", "0,0001", "1,5", "2,5", "0,1", "99,9", 2, 0, 4};
    QTest::newRow("texts as typed") << ErrorLevelForm{"abc", "", " 7 ", "0.5", "1e2", "-3", 1, 0, 2};
  }

  void aFormComesBackAsItWasSet() {
    QFETCH(ErrorLevelForm, form);
    TErrLvlDlg dialog;
    dialog.setForm(form);
    QCOMPARE(dialog.field(0)->text(), QString::fromStdString(form.errorProbabilityA));
    QCOMPARE(dialog.field(5)->text(), QString::fromStdString(form.quantileB));
    QCOMPARE(dialog.twoSidedButton()->isChecked(), form.testKind == 2);
    QCOMPARE(dialog.parametricButton()->isChecked(), form.testMethod == 0);
    QCOMPARE(dialog.whiskerBox()->currentIndex(), form.whiskerIndex);
    QVERIFY(dialog.form() == form);
  }

  void theUsersChangesReachTheForm() {
    TErrLvlDlg dialog;
    dialog.setForm({"0,05", "0,01", "2", "3", "10", "90", 1, 1, 0});
    dialog.show();
    const std::vector<std::string> typed{"0,02", "0,001", "1", "4", "5", "95"};
    for (int i = 0; i < TErrLvlDlg::kFieldCount; ++i) {
      dialog.field(i)->clear();
      QTest::keyClicks(dialog.field(i), QString::fromStdString(typed[static_cast<std::size_t>(i)]));
    }
    dialog.twoSidedButton()->click();
    dialog.parametricButton()->click();
    dialog.whiskerBox()->setCurrentIndex(3);
    const ErrorLevelForm expected{"0,02", "0,001", "1", "4", "5", "95", 2, 0, 3};
    QVERIFY(dialog.form() == expected);
    QVERIFY(dialog.oneSidedButton()->isChecked() == false);
    QVERIFY(dialog.nonParametricButton()->isChecked() == false);

    QTest::keyClick(dialog.field(2), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(dialog.form() == expected);
  }

  void aStoredTestKindOtherThanOneShowsTwoSided() {
    TErrLvlDlg dialog;
    ErrorLevelForm form;
    form.testKind = 0;
    dialog.setForm(form);
    QVERIFY(dialog.twoSidedButton()->isChecked());
    QCOMPARE(dialog.form().testKind, 2);
  }

  void cancelEscapeAndHelp() {
    TErrLvlDlg dialog;
    QVERIFY(dialog.helpButton()->isHidden());
    std::vector<int> asked;
    dialog.setHelpHandler([&asked](int number) { asked.push_back(number); });
    QVERIFY(!dialog.helpButton()->isHidden());
    m_guard.onNext<TErrLvlDlg>([&asked](TErrLvlDlg* shown) {
      shown->helpButton()->click();
      shown->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(shown));
      QTest::keyClick(shown->field(1), Qt::Key_F1);
      QVERIFY(shown->isVisible());
      QTest::keyClick(shown->field(1), Qt::Key_Escape);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(asked, (std::vector<int>{60200, 60200}));

    m_guard.onNext<TErrLvlDlg>([](TErrLvlDlg* shown) { shown->cancelButton()->click(); });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
  }
};

QTEST_MAIN(ErrorLevelsDialogTest)
#include "error_levels_dialog_test.moc"
