#include "core/base/ui.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "core/base/win1252.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using test::ScriptedUi;

TEST(Ui, MessageBoxesAnswerAndUseThePlacementHintOnce) {
  ScriptedUi ui;
  ui.expectConfirm("Beenden?", true)
      .expectWarning("Achtung", false)
      .expectError("Fehler")
      .expectInformation("Info");
  ui.flags().placementHint = 4;
  EXPECT_TRUE(ui.confirm("Beenden?"));
  EXPECT_FALSE(ui.warning("Achtung"));
  ui.error("Fehler");
  ui.information("Info");
  // Only the first box sees hint 4; every box resets it.
  EXPECT_EQ(ui.placements(), (std::vector<int>{4, 0, 0, 0}));
  EXPECT_EQ(ui.beeps(), 1) << "only the error box beeps";
}

TEST(Ui, FatalAddsTheClosingNoticeAndEndsTheProgram) {
  ScriptedUi ui;
  ui.expectFatal("Speicher zu klein");
  ui.fatal("Speicher zu klein");
  EXPECT_TRUE(ui.terminated());
  EXPECT_EQ(std::string(Ui::kFatalSuffix), "\r\n\r\nProgramm wird abgebrochen!");
}

TEST(Ui, ListSelectionEmptyListIsAnsweredWithoutDialog) {
  ScriptedUi ui;
  ListRequest request;
  request.caption = "Datei sortieren";
  EXPECT_EQ(ui.selectFromList(request), Ui::kListEmpty);

  request.items = {"A", "B", "C"};
  request.startIndex = 17;
  ui.expectList("Datei sortieren", 2).expectList("Datei sortieren", 7);
  EXPECT_EQ(ui.selectFromList(request), 2);
  EXPECT_EQ(ui.lastList().startIndex, 2) << "start index is clamped to the list";
  EXPECT_EQ(ui.selectFromList(request), Ui::kListCancelled) << "an index outside the list is no choice";
}

TEST(Ui, CancelDialogCapsPercentIgnoresNegativeAndHoldsTheReadyFlag) {
  ScriptedUi ui;
  ui.flags().cancelRequested = true;
  ui.openCancelDialog("Sortieren nach ALTER", CancelMode::Percent, true);
  EXPECT_FALSE(ui.flags().ready);
  EXPECT_FALSE(ui.cancelRequested()) << "opening clears an old cancel request";
  ui.updateCancelDialog(150);   // capped: a full bar
  ui.updateCancelDialog(-3);    // ignored
  ui.updateCancelDialog(42.5);  // rounded half to even
  ui.closeCancelDialog();
  EXPECT_TRUE(ui.flags().ready);
  EXPECT_EQ(ui.cancelValues(), (std::vector<double>{100, 42}));
}

TEST(Ui, CancelButtonDuringUpdateIsSeenByThePollingLoop) {
  ScriptedUi ui;
  ui.cancelOnUpdate(3);
  ui.openCancelDialog("Auswertung", CancelMode::Counter, true);
  int updates = 0;
  while (!ui.cancelRequested() && updates < 100) ui.updateCancelDialog(++updates * 20.0);
  ui.closeCancelDialog();
  EXPECT_EQ(updates, 3);
  EXPECT_EQ(ui.cancelValues(), (std::vector<double>{20, 40, 60})) << "counter mode shows values unchanged";
}

TEST(Ui, ProgressBoxAndCancelDialogTogetherKeepReadyClearUntilBothClose) {
  ScriptedUi ui;
  ui.openProgress("Auswertung", "Bitte warten");
  ui.openCancelDialog("x", CancelMode::NoPanel, false);
  ui.closeProgress();
  EXPECT_FALSE(ui.flags().ready);
  ui.closeCancelDialog();
  EXPECT_TRUE(ui.flags().ready);
  ui.closeProgress();  // a close without an open box changes nothing
  EXPECT_TRUE(ui.flags().ready);
  EXPECT_EQ(ui.events().front(), "progress open: Auswertung / Bitte warten");
}

TEST(ScriptedUiDouble, FailsOnAnUnexpectedPromptAndOnAnUnplayedOne) {
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedUi ui;
        ui.information("nicht erwartet");
      },
      "unexpected information");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedUi ui;
        ui.expectConfirm("Überschreiben!"_w, true);
        EXPECT_FALSE(ui.confirm("Anderer Text")) << "a wrong question gets the cautious answer";
        EXPECT_TRUE(ui.confirm("Überschreiben!"_w)) << "the script still waits for its prompt";
      },
      "Überschreiben!");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedUi ui;
        ui.expectError("Keine Datei ausgewählt"_w);
      },
      "was never shown");
}

}  // namespace
}  // namespace veltrix
