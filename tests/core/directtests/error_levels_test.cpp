#include "core/directtests/error_levels.h"

#include <gtest/gtest.h>

namespace veltrix {
namespace {

TEST(ErrorLevelsTest, TheDialogShowsTheStoredSettings) {
  ParamSettings s;
  s.testKind = 7;  // anything but 1 is two-sided
  const ErrorLevelForm form = ErrorLevelFormOf(s);
  EXPECT_EQ(form.errorProbabilityA, "0.05");
  EXPECT_EQ(form.errorProbabilityB, "0.01");
  EXPECT_EQ(form.factorA, "2");
  EXPECT_EQ(form.quantileB, "90");
  EXPECT_EQ(form.testKind, 2);
  EXPECT_EQ(form.testMethod, 1);
  EXPECT_EQ(form.whiskerIndex, 0);
}

TEST(ErrorLevelsTest, OkClampsOrdersAndReportsOnlyRealChanges) {
  const ParamSettings stored;
  EXPECT_FALSE(ApplyErrorLevelForm(stored, ErrorLevelFormOf(stored)).changed)
      << "confirming the dialog as it opened changes nothing";
  ErrorLevelForm swapped = ErrorLevelFormOf(stored);
  swapped.errorProbabilityA = "0.01";
  swapped.errorProbabilityB = "0.05";
  EXPECT_FALSE(ApplyErrorLevelForm(stored, swapped).changed) << "0.01 and 0.05 are stored as 0.05 and 0.01";

  struct Case {
    const char* field;
    void (*edit)(ErrorLevelForm&);
    void (*expect)(const ParamSettings&);
  };
  const Case cases[] = {
      {"A 0.02 and B 0.1 are exchanged",
       [](ErrorLevelForm& f) { f.errorProbabilityA = "0.02", f.errorProbabilityB = "0.1"; },
       [](const ParamSettings& s) {
         EXPECT_NEAR(s.errorProbabilityA, 0.1, 1e-11);
         EXPECT_NEAR(s.errorProbabilityB, 0.02, 1e-11);
       }},
      {"A 0.5 is clamped to 0.25", [](ErrorLevelForm& f) { f.errorProbabilityA = "0.5"; },
       [](const ParamSettings& s) { EXPECT_NEAR(s.errorProbabilityA, 0.25, 1e-11); }},
      {"letters for a quantile give its lower bound, then the pair is ordered",
       [](ErrorLevelForm& f) { f.quantileB = "abc"; },
       [](const ParamSettings& s) {
         EXPECT_NEAR(s.quantileA, 0.1, 1e-10);
         EXPECT_NEAR(s.quantileB, 10, 1e-10);
       }},
      {"factors 12 and 0 become 10 and 0.1, then 0.1 and 10",
       [](ErrorLevelForm& f) { f.factorA = "12", f.factorB = "0"; },
       [](const ParamSettings& s) {
         EXPECT_NEAR(s.factorA, 0.1, 1e-10);
         EXPECT_NEAR(s.factorB, 10, 1e-10);
       }},
      {"two-sided, parametric, whisker 2.5",
       [](ErrorLevelForm& f) { f.testKind = 2, f.testMethod = 0, f.whiskerIndex = 3; },
       [](const ParamSettings& s) {
         EXPECT_EQ(s.testKind, 2);
         EXPECT_EQ(s.testMethod, 0);
         EXPECT_EQ(s.whiskerIndex, 3);
         EXPECT_DOUBLE_EQ(WhiskerFactorOf(s), 2.5001);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    ErrorLevelForm form = ErrorLevelFormOf(stored);
    c.edit(form);
    const ErrorLevelChange change = ApplyErrorLevelForm(stored, form);
    EXPECT_TRUE(change.changed);
    c.expect(change.settings);
  }

  // A stored kind of 7 reads as two-sided: choosing two-sided keeps it (no change).
  ParamSettings odd;
  odd.testKind = 7;
  EXPECT_FALSE(ApplyErrorLevelForm(odd, ErrorLevelFormOf(odd)).changed);
}

TEST(ErrorLevelsTest, TheWorkingLevelsCarryTheirTexts) {
  ParamSettings s;
  s.testKind = 2;
  const SignificanceLevels levels = LevelsOf(s);
  EXPECT_EQ(levels.sides, 2);
  EXPECT_EQ(levels.legendHeading, "+:p<0.05  x:p<0.01 (zweis.)");
  EXPECT_EQ(levels.confidence1, "95");
  EXPECT_EQ(levels.confidence2, "99");
}

}  // namespace
}  // namespace veltrix
