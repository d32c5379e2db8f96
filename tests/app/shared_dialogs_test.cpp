#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "app/shell/esc_dialog.h"
#include "app/shell/info_box.h"
#include "app/shell/qt_ui.h"
#include "app/shell/select_box_dialog.h"
#include "core/base/file_prompts.h"
#include "core/base/win1252.h"
#include "tests/app/modal_guard.h"

using namespace veltrix;
using namespace veltrix::literals;

namespace {

// A QtUi whose beeps are counted and whose fatal end only records itself.
struct CountingUi {
  CountingUi() {
    ui.setBeepHandler([this] { ++beeps; });
    ui.setTerminateHandler([this] { ++terminations; });
  }
  QtUi ui;
  int beeps = 0;
  int terminations = 0;
};

QStringList buttonTexts(QMessageBox* box) {
  QStringList texts;
  for (QAbstractButton* button : box->buttons()) texts << button->text();
  texts.sort();
  return texts;
}

ListRequest listRequest(std::vector<std::string> items) {
  ListRequest request;
  request.caption = "Variable";
  request.label = "Sortieren nach :";
  request.items = std::move(items);
  return request;
}

}  // namespace

class SharedDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { m_guard.verifyClean(); }

  void messageBoxesAnswerWithGermanButtons() {
    CountingUi c;
    QString text;
    QStringList buttons;
    auto record = [&](const QString& answer) {
      m_guard.onNext<QMessageBox>([&, answer](QMessageBox* box) {
        text = box->text();
        buttons = buttonTexts(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("KVT"));
        for (QAbstractButton* button : box->buttons())
          if (button->text() == answer) button->click();
      });
    };

    record("Nein");
    QVERIFY(!c.ui.confirm("Beenden?"));
    QCOMPARE(buttons, QStringList({"Ja", "Nein"}));
    record("Ja");
    QVERIFY(c.ui.confirm("Beenden?"));
    record("Abbrechen");
    QVERIFY(!c.ui.warning("Achtung"));
    QCOMPARE(buttons, QStringList({"Abbrechen", "OK"}));
    record("OK");
    QVERIFY(c.ui.warning("Achtung"));
    QCOMPARE(c.beeps, 0);

    record("OK");
    c.ui.error("Keine Datei ausgewählt"_w);
    QCOMPARE(buttons, QStringList({"OK"}));
    QCOMPARE(text, QString::fromUtf8("Keine Datei ausgewählt"));
    QCOMPARE(c.beeps, 1);

    // The file prompts: CR LF and a lone CR both break the line; the question beeps first.
    record("Nein");
    QVERIFY(!askOverwrite(c.ui, "out.txt"));
    QCOMPARE(text, QString::fromUtf8("out.txt : \nDatei existiert schon!\n\nÜberschreiben!"));
    QCOMPARE(c.beeps, 2);
  }

  void fatalErrorShowsTheNoticeAndEndsTheProgram() {
    CountingUi c;
    QString text;
    m_guard.answerNextMessageBox("OK", &text);
    c.ui.fatal("Speicher zu klein");
    QCOMPARE(text, QStringLiteral("Speicher zu klein\n\nProgramm wird abgebrochen!"));
    QCOMPARE(c.beeps, 1);
    QCOMPARE(c.terminations, 1);
  }

  void messageBoxAndListAreaPlacedByTheHint() {
    // The offscreen platform has one 800 x 800 screen; the expected corners are worked out by hand. A
    // position is the corner of the window frame.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(area, QRect(0, 0, 800, 800));
    CountingUi c;
    QPoint at;
    QSize size;
    auto recordBox = [&] {
      m_guard.onNext<QMessageBox>([&](QMessageBox* box) {
        at = box->pos();
        size = box->frameGeometry().size();
        box->buttons().first()->click();
      });
    };
    recordBox();
    c.ui.flags().placementHint = 4;
    c.ui.information("Hinweis");
    QCOMPARE(at, QPoint(420, 410));  // 800 / 2 + 20, 800 / 2 + 10
    QCOMPARE(c.ui.flags().placementHint, 0);
    recordBox();
    c.ui.flags().placementHint = 3;
    c.ui.information("Hinweis");
    QCOMPARE(at, QPoint(30, 410));
    recordBox();
    c.ui.information("Hinweis");  // hint 0: centred
    QCOMPARE(at, QPoint((800 - size.width()) / 2, (800 - size.height()) / 2));

    // A list dialog with hint 1: its outer right edge at 19/20 * 800 = 760; top 800 / 25.
    m_guard.onNext<TSelBxDlg>([&](TSelBxDlg* dialog) {
      at = dialog->pos();
      size = dialog->frameGeometry().size();
      dialog->reject();
    });
    ListRequest request = listRequest({"A", "B"});
    request.wide = true;
    c.ui.flags().placementHint = 1;
    QCOMPARE(c.ui.selectFromList(request), Ui::kListCancelled);
    QCOMPARE(at, QPoint(760 - size.width(), 32));
  }

  void progressBoxShowsItsTextWithBusyCursorUntilClosed() {
    CountingUi c;
    c.ui.openProgress("Auswertung", "Bitte warten ...");
    TInfoBox* box = c.ui.progressBox();
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->caption(), QStringLiteral("Auswertung"));
    QCOMPARE(box->text(), QStringLiteral("Bitte warten ..."));
    QVERIFY(!(box->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QVERIFY(!c.ui.flags().ready);
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY2(box->isVisible(), "only the end of the operation closes the box");
    c.ui.closeProgress();
    QVERIFY(!c.ui.progressBox());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(c.ui.flags().ready);
  }

  void cancelDialogModes() {
    CountingUi c;
    c.ui.openCancelDialog("Sortieren nach ALTER", CancelMode::Percent, true);
    TEscDlg* dialog = c.ui.cancelDialog();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(dialog->isBarShown() && !dialog->isCounterShown() && dialog->isButtonShown());
    QCOMPARE(dialog->cancelButton()->text(), QStringLiteral("Abbrechen (Esc)"));
    c.ui.updateCancelDialog(150);
    QCOMPARE(dialog->barValue(), 100);  // capped
    c.ui.updateCancelDialog(42.5);
    QCOMPARE(dialog->barValue(), 42);  // half to even
    c.ui.updateCancelDialog(-3);
    QCOMPARE(dialog->barValue(), 42);  // ignored
    const int withPanel = dialog->height();
    c.ui.closeCancelDialog();
    QVERIFY(!c.ui.cancelDialog());
    QVERIFY(c.ui.flags().ready);

    c.ui.openCancelDialog("Sortieren nach ALTER", CancelMode::Counter, false);
    dialog = c.ui.cancelDialog();
    QVERIFY(!dialog->isBarShown() && dialog->isCounterShown() && !dialog->isButtonShown());
    c.ui.updateCancelDialog(1234.5);
    QCOMPARE(dialog->counterText(), QStringLiteral("    1234"));  // whole number, half to even, 8 places
    c.ui.updateCancelDialog(98765432);
    QCOMPARE(dialog->counterText(), QStringLiteral("98765432"));
    QTest::keyClick(dialog, Qt::Key_Escape);
    QVERIFY2(!c.ui.cancelRequested(), "without the button Escape cancels nothing");
    c.ui.closeCancelDialog();

    c.ui.openCancelDialog("Sortieren nach ALTER", CancelMode::NoPanel, true);
    dialog = c.ui.cancelDialog();
    QVERIFY(!dialog->isPanelShown());
    QVERIFY2(dialog->height() < withPanel, "without the panel the dialog is lower");
    c.ui.closeCancelDialog();

    c.ui.openCancelDialog(std::string(100, 'x'), CancelMode::NoPanel, true);
    QCOMPARE(c.ui.cancelDialog()->message().size(), 80);
    c.ui.closeCancelDialog();
  }

  void escapeAndTheButtonRequestCancelDuringUpdate() {
    CountingUi c;
    c.ui.openCancelDialog("Auswertung", CancelMode::Percent, true);
    TEscDlg* dialog = c.ui.cancelDialog();
    QTest::keyClick(dialog, Qt::Key_Escape);
    QVERIFY(c.ui.cancelRequested());
    QVERIFY2(dialog->isVisible(), "the operation closes the dialog, not the key");
    c.ui.closeCancelDialog();

    // A click waiting in the event queue is seen when the operation updates the dialog.
    c.ui.openCancelDialog("Auswertung", CancelMode::Percent, true);
    QVERIFY(!c.ui.cancelRequested());
    dialog = c.ui.cancelDialog();
    QTimer::singleShot(0, dialog->cancelButton(), &QPushButton::click);
    c.ui.updateCancelDialog(10);
    QVERIFY(c.ui.cancelRequested());
    c.ui.closeCancelDialog();
  }

  void listSelectionOfAnEmptyListShowsNoDialog() {
    CountingUi c;
    QCOMPARE(c.ui.selectFromList(listRequest({})), Ui::kListEmpty);
    for (QWidget* widget : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<TSelBxDlg*>(widget));
  }

  void listSelectionOkWithoutChoiceBeepsAndStaysOpen() {
    int beeps = 0;
    TSelBxDlg dialog(nullptr, listRequest({"ALTER", "GEWICHT"}), {}, [&beeps] { ++beeps; });
    dialog.show();
    QCOMPARE(dialog.currentIndex(), 0);
    dialog.clearChoice();
    dialog.okButton()->click();
    QCOMPARE(beeps, 1);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    dialog.choose(1);
    dialog.okButton()->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.chosenIndex(), 1);
    QCOMPARE(beeps, 1);
  }

  void listSelectionTakesTheArrowKeysAtOnce() {
    TSelBxDlg dialog(nullptr, listRequest({"ALTER", "GEWICHT", "GROESSE"}), {}, {});
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(dialog.currentIndex(), 2);
  }

  void listSelectionDoesNotDrawTheLayoutMarkOfGroupLines() {
    ListRequest request = listRequest({"{3  0: Gesamt", "{3  3: Frauen", "ohne Marke"});
    TSelBxDlg dialog(nullptr, request, {}, {});
    QCOMPARE(dialog.displayedItems(), QStringList({"  0: Gesamt", "  3: Frauen", "ohne Marke"}));
  }

  void listSelectionSortsForDisplayAndAnswersTheDisplayedRow() {
    CountingUi c;
    ListRequest request = listRequest({"Zeta", "Beta", "alpha", std::string("Ärger"_w)});
    request.sortButtons = true;
    request.startIndex = 0;
    QStringList sorted;
    QStringList restored;
    int restoredChoice = -1;
    m_guard.onNext<TSelBxDlg>([&](TSelBxDlg* dialog) {
      dialog->unsortButton()->click();
      restored = dialog->displayedItems();
      restoredChoice = dialog->currentIndex();
      dialog->sortButton()->click();
      sorted = dialog->displayedItems();
      dialog->choose(static_cast<int>(sorted.indexOf("Beta")));
      dialog->okButton()->click();
    });
    // German order without regard to case, Ä with A.
    QCOMPARE(c.ui.selectFromList(request), 2);
    QCOMPARE(sorted, QStringList({"alpha", QString::fromUtf8("Ärger"), "Beta", "Zeta"}));
    QCOMPARE(restored, QStringList({"Zeta", "Beta", "alpha", QString::fromUtf8("Ärger")}));
    QCOMPARE(restoredChoice, 0);

    // Sorting keeps the chosen item chosen.
    TSelBxDlg dialog(nullptr, request, {}, {});
    dialog.choose(0);
    dialog.sortItems();
    QCOMPARE(dialog.currentIndex(), 3);
  }

  void listSelectionButtonsCaptionAndColumns() {
    int helpShown = 0;
    ListRequest request = listRequest({"1", "2", "3", "4", "5", "6"});
    request.caption = std::string(90, 'c');
    {
      TSelBxDlg dialog(nullptr, request, [&](int number) { helpShown = number; }, {});
      QCOMPARE(dialog.windowTitle().size(), 80);
      QVERIFY2(dialog.helpButton()->isHidden(), "help number 0");
      QVERIFY(dialog.sortButton()->isHidden() && dialog.unsortButton()->isHidden());
      QCOMPARE(dialog.width(), TSelBxDlg::kNarrowWidth);
      QVERIFY(!dialog.listWidget()->isWrapping());
    }
    request.helpNumber = 17500;
    request.wide = true;
    request.columns = 3;
    TSelBxDlg dialog(nullptr, request, [&](int number) { helpShown = number; }, {});
    QVERIFY(!dialog.helpButton()->isHidden());
    dialog.helpButton()->click();
    QCOMPARE(helpShown, 17500);
    QCOMPARE(dialog.width(), 520);
    QVERIFY(dialog.listWidget()->isWrapping());
    QCOMPARE(dialog.listWidget()->flow(), QListView::TopToBottom);
    TSelBxDlg withoutHandler(nullptr, request, {}, {});
    QVERIFY(withoutHandler.helpButton()->isHidden());
  }

 private:
  test::ModalGuard m_guard;
};

QTEST_MAIN(SharedDialogsTest)
#include "shared_dialogs_test.moc"
