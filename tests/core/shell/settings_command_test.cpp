#include "core/shell/settings_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/datafile/params.h"
#include "core/directtests/error_levels.h"
#include "core/shell/global_state.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

class SettingsCommandTest : public test::TempDirTest {
 protected:
  SettingsCommandTest() : TempDirTest("veltrix-settings-command") {}
  void SetUp() override {
    TempDirTest::SetUp();
    state.params = std::make_unique<TParams>(ui);
    state.params->setFileName(path("a.prm"));
  }
  test::ScriptedUi ui;
  GlobalState state{ui};
};

TEST_F(SettingsCommandTest, AChangeIsSavedAndBecomesTheWorkingCopy) {
  ErrorLevelForm form = ErrorLevelFormOf(state.params->settings());
  EXPECT_FALSE(StoreErrorLevels(state, form)) << "nothing changed: nothing written";
  EXPECT_FALSE(std::filesystem::exists(path("a.prm")));

  form.testKind = 2;
  form.errorProbabilityA = "0.01";  // with B 0.01 too: the pair stays 0.01 / 0.01
  form.whiskerIndex = 1;
  ASSERT_TRUE(StoreErrorLevels(state, form));
  EXPECT_EQ(state.significance.sides, 2);
  EXPECT_EQ(state.significance.legendHeading, "+:p<0.01  x:p<0.01 (zweis.)");
  EXPECT_DOUBLE_EQ(state.whiskerFactor, 1.5001);

  TParams reread(ui);
  ASSERT_EQ(reread.read(path("a.prm")), ParamsReadStatus::Ok);
  EXPECT_EQ(reread.settings().testKind, 2);
  EXPECT_NEAR(reread.settings().errorProbabilityA, 0.01, 1e-11);
  EXPECT_TRUE(ui.allPlayed());
}

TEST_F(SettingsCommandTest, ASaveThatFailsChangesNothing) {
  std::filesystem::create_directory(path("dir"));
  state.params->setFileName(path("dir/missing/a.prm"));  // a directory that is not there
  ErrorLevelForm form = ErrorLevelFormOf(state.params->settings());
  form.testKind = 2;
  ui.expectError(std::string("Fehler beim Schreiben der Parameterdatei ") + path("dir/missing/a.prm"));
  EXPECT_FALSE(StoreErrorLevels(state, form));
  EXPECT_EQ(state.params->settings().testKind, 1);
  EXPECT_EQ(state.significance.sides, 1);
  EXPECT_TRUE(ui.allPlayed());
}

}  // namespace
}  // namespace veltrix
