#include "core/directtests/direct_tests.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/output/plain_text.h"
#include "core/output/table_manager.h"
#include "core/stats/text_helpers.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using Texts = std::vector<std::string>;

// Expected p-values were worked out from the series of the tail functions in a separate python3
// evaluation of the formulas (not from the code under test):
//   TTail(2, 11, 1) = 0.035402, TTail(1.6887, 25, 2) = 0.10393 (normal approximation),
//   FTail(9, 9, 9) = 0.0015576 (interpolated from 8, 10 and 12 numerator df),
//   FTail(1.5625, 14, 11) = 0.23119, ChiSquareTail(81/21, 1) = 0.049534,
//   ChiSquareTail(21.333, 2) = 2.33e-5.
class DirectTestsTest : public ::testing::Test {
 protected:
  std::optional<Texts> run(int code, std::string_view caption, const Texts& typed, int sides = 1) {
    ui.expectValues(caption, typed);
    return TDTest(code, ui, MakeSignificanceLevels(sides, 0.05, 0.01), tables, nullptr);
  }
  // The sheet's lines as a protocol file holds them (marked fields laid out in fixed columns).
  std::vector<std::string> lines() {
    std::vector<std::string> plain;
    for (const std::string& line : tables.table(1)->lines)
      plain.push_back(TrimBlanks(PlainTextField(line, 100), 1));
    return plain;
  }
  bool hasLine(std::string_view line) {
    for (const std::string& l : lines())
      if (l == line) return true;
    return false;
  }

  test::ScriptedUi ui;
  TTMng tables;
};

TEST_F(DirectTestsTest, TwoSamplesWithSD1And3ChooseTheUnequalVarianceTest) {
  const Texts typed{"10", "1", "10", "12", "3", "10"};
  const auto inputs = run(kTwoSampleTTestCode, "t-Test, unabhängige Stichproben"_w, typed);
  ASSERT_TRUE(inputs);
  EXPECT_EQ(*inputs, typed);
  EXPECT_EQ(tables.tabDef(1), "00HHHHErgebnis");
  EXPECT_EQ(tables.table(1)->header.LeftTitle[0], "t-Test, unabhängige Stichproben"_w);
  EXPECT_EQ(tables.AnalysisCode, kTwoSampleTTestCode);
  EXPECT_TRUE(tables.toolOffered(3)) << "the test button repeats the test";
  EXPECT_EQ(lines()[0], "Eingabe :");
  EXPECT_EQ(lines()[1], std::string(16, ' ') + "          MW          SD         SEM           N");
  EXPECT_EQ(lines()[2], "Stichprobe 1              10           1      0.3162          10");
  // a = 1/10, s = 1/10 + 9/10 = 1, c = 0.1: df = 1 / (0.01/9 + 0.81/9) = 10.98 -> 11; t = 2 / 1.
  EXPECT_TRUE(hasLine("t-Test, unabhängige Stichproben (ungleiche Varianz) :"_w));
  EXPECT_TRUE(hasLine("  Testgröße :  2.000    p = 0.0354 ,  eins.  (11 d.f.)"_w));
  EXPECT_TRUE(hasLine("Test auf Varianzengleichheit :"));
  EXPECT_TRUE(hasLine("  F-Wert (Testgröße) :  9.000    p = 0.0016 ,  eins.  (9, 9 d.f.)"_w));
}

TEST_F(DirectTestsTest, SimilarVariancesArePooledAndTwoSidedTestsSayTheirSide) {
  // F = 6.25/4 with 14 and 11 df: pF = 2 * 0.2312 stays above 0.05. df = 25,
  // s = (11*4 + 14*6.25)/25 * (1/12 + 1/15) = 0.789, t = 1.5 / sqrt(s) = 1.6887.
  ASSERT_TRUE(
      run(kTwoSampleTTestCode, "t-Test, unabhängige Stichproben"_w, {"5", "2", "12", "6.5", "2.5", "15"}, 2));
  EXPECT_TRUE(hasLine("t-Test, unabhängige Stichproben (gleiche Varianz) :"_w));
  EXPECT_TRUE(hasLine("  Testgröße :  1.689    p = 0.1039 ,  zweis.  (25 d.f.)"_w));
  EXPECT_FALSE(hasLine("Test auf Varianzengleichheit :"));
}

TEST_F(DirectTestsTest, ASampleOfTwoIsRefusedAndTheDialogStaysOpen) {
  ui.expectValues("t-Test, unabhängige Stichproben"_w, Texts{"10", "1", "2", "12", "3", "10"});
  ui.expectError("Stichprobe 1 / N:\r\n\r\n   Wert  <= 2");
  ui.expectValues("t-Test, unabhängige Stichproben"_w, std::nullopt);  // then "Abbrechen"
  EXPECT_FALSE(TDTest(kTwoSampleTTestCode, ui, MakeSignificanceLevels(1, 0.05, 0.01), tables, nullptr));
  EXPECT_EQ(tables.table(1), nullptr) << "no sheet";
  EXPECT_EQ(ui.refusedCells(), (std::vector<int>{2}));
  EXPECT_TRUE(ui.allPlayed());
}

TEST_F(DirectTestsTest, McNemarUsesTheDiscordantCellsWithTheCorrectedStatistic) {
  // (15 - 5 - 1)^2 / (15 + 5 + 1) = 81/21 = 3.857
  ASSERT_TRUE(run(kMcNemarCode, "McNemar-Test", {"10", "15", "5", "20"}));
  EXPECT_EQ(lines()[0], "Vierfeldertafel :");
  EXPECT_EQ(lines()[1], std::string(16, ' ') + "        pos.        neg.       Summe");
  EXPECT_EQ(lines()[2], "pos.                      10          15          25");
  EXPECT_EQ(lines()[4], "Summe                     15          35          50");
  EXPECT_TRUE(hasLine("Testgröße :  3.857    p = 0.0495  (1 d.f.)"_w)) << "no sidedness for chi-square";

  // b = c: the corrected difference is floored at 0.
  ASSERT_TRUE(run(kMcNemarCode, "McNemar-Test", {"3", "7", "7", "9"}));
  EXPECT_TRUE(hasLine("Testgröße :  0.000    p = 1.00    (1 d.f.)"_w));
  EXPECT_EQ(McNemarTest(1, -1, 2, 3).p, -1) << "a negative cell is no test";
}

TEST_F(DirectTestsTest, SensitivityAndSpecificityWithTheNoteBesideThePredictiveValues) {
  ASSERT_TRUE(run(kSensitivityCode, "Sensitivität, Spezifität, ..."_w, {"90", "10", "30", "70"}));
  EXPECT_TRUE(hasLine("  Sensitivität: 0.75000"_w));                  // 90 / 120
  EXPECT_TRUE(hasLine("  Spezifität: 0.87500"_w));                    // 70 / 80
  EXPECT_EQ(lines()[10].substr(0, 23), "  Effektivität: 0.80000"_w);  // 160 / 200
  EXPECT_TRUE(hasLine(std::string("  Vorhersagewert (+): 0.90000")
                          .append(7, ' ')
                          .append(  // 90 / 100
                              "Diese Größen sind nur dann von"_w)));
  EXPECT_TRUE(hasLine(std::string(36, ' ').append("Grundgesamtheit übereinstimmt!"_w)));

  const DiagnosticRatios none = DiagnosticTest(0, 0, 0, 0);
  EXPECT_EQ(none.sensitivity, 0);
  EXPECT_EQ(none.efficiency, 0);
}

TEST_F(DirectTestsTest, GoodnessOfFitSharesTheMissingProbabilityAmongTheEmptyCategories) {
  // 0.5, 0.3 and 0: the third gets 0.2. E = 50, 30, 20: 400/50 + 400/30 + 0 = 21.333 with 2 df.
  ASSERT_TRUE(run(kGoodnessOfFitCode, "Chi-Quadrat Anpassungstest", {"30", "0.5", "50", "0.3", "20", "0"}));
  EXPECT_EQ(lines()[1], std::string(16, ' ') + "     beob. Hfgk. theor. Wahrsch.      erw. Hfgk.");
  EXPECT_EQ(lines()[4], "3.                            20          0.2000           20.00");
  EXPECT_EQ(lines()[5], "Summe                        100          1.0000          100.00");
  EXPECT_TRUE(hasLine("Testgröße :  21.333    p < 0.0001  (2 d.f.)"_w));

  const GoodnessOfFitResult all = GoodnessOfFit({10, 10, 10}, {0.2, 0.2, 0.2});  // no zero: all share
  ASSERT_EQ(all.probabilities.size(), 3u);
  EXPECT_NEAR(all.probabilities[2], 1.0 / 3, 1e-12);
  const GoodnessOfFitResult scaled = GoodnessOfFit({10, 10}, {0.6, 0.6});  // 1.2 > 1.0005
  EXPECT_NEAR(scaled.probabilities[0], 0.5, 1e-12);
  EXPECT_NEAR(scaled.chiSquare, 0, 1e-12);
}

TEST_F(DirectTestsTest, GoodnessOfFitCategoriesThatCannotOccur) {
  struct Case {
    Texts typed;
    const char* line;
  };
  const Case cases[] = {
      // Expected 0 and observed 0 adds nothing.
      {{"6", "0.6", "4", "0.4", "0", "0"}, "Testgröße :  0.000    p = 1.00    (2 d.f.)"},
      // An observation where none can be expected.
      {{"6", "0.6", "4", "0.4", "1", "0"}, "Testgröße :  1000000.00    p < 0.0001  (2 d.f.)"},
      // No observations at all: nothing to test.
      {{"0", "0.5", "0", "0.5"}, "Keine Auswertung!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ASSERT_TRUE(run(kGoodnessOfFitCode, "Chi-Quadrat Anpassungstest", c.typed));
    EXPECT_TRUE(hasLine(utf8ToWin1252(c.line)));
    EXPECT_EQ(lines().back(), utf8ToWin1252(c.line));
  }
}

TEST_F(DirectTestsTest, GoodnessOfFitNeedsTwoCategoriesAndAnEmptyGridIsACancel) {
  // One category is refused as a check: the dialog stays open on the second row (a batch run, which
  // cannot correct it, ends there).
  ui.expectValues("Chi-Quadrat Anpassungstest", Texts{"5", "0.5"});
  ui.expectError("Mindestens zwei Kategorien (Zeilen) eingeben!");
  ui.expectValues("Chi-Quadrat Anpassungstest", Texts{});
  EXPECT_FALSE(TDTest(kGoodnessOfFitCode, ui, MakeSignificanceLevels(1, 0.05, 0.01), tables, nullptr));
  EXPECT_EQ(tables.table(1), nullptr);
  EXPECT_EQ(ui.refusedCells(), (std::vector<int>{2}));
  EXPECT_TRUE(ui.allPlayed());
}

TEST_F(DirectTestsTest, ARepeatShowsTheInputsOfTheLastRun) {
  const Texts typed{"10", "15", "5", "20"};
  ui.expectValues("McNemar-Test", std::nullopt);
  EXPECT_FALSE(TDTest(kMcNemarCode, ui, MakeSignificanceLevels(1, 0.05, 0.01), tables, &typed));
  ASSERT_EQ(ui.lastValuesShown().size(), 4u);
  EXPECT_EQ(ui.lastValuesShown(), typed);
  EXPECT_FALSE(TDTest(5020, ui, MakeSignificanceLevels(1, 0.05, 0.01), tables, nullptr))
      << "an entry without a test shows nothing";
  EXPECT_FALSE(HasDirectTest(5020));
  EXPECT_TRUE(ui.allPlayed());
}

}  // namespace
}  // namespace veltrix
