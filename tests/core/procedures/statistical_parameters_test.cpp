// The statistical parameters end to end through the data pass, on small files whose expected values
// were worked out separately: by hand from the definitions, and with an independent python3
// evaluation of the textbook formulas (t and F tails by numerical integration of their densities,
// exact rank-sum tails by enumerating every rank subset).
#include "core/procedures/statistical_parameters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/analysis/descriptors.h"
#include "core/analysis/selection_slots.h"
#include "core/analysis/variable_selection.h"
#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/groups/group_language.h"
#include "core/output/plain_text.h"
#include "core/output/table_layout.h"
#include "core/procedures/families.h"
#include "core/stats/text_helpers.h"
#include "tests/support/class_divisions.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

bool StartsWith(const std::string& text, const std::string& start) {
  return text.rfind(start, 0) == 0;
}

// Records: X in columns 1..5, G in column 7, Y in 9..13, Z in 15..19, C (text) in 21..23.
struct Row {
  std::string x, g, y = {}, z = {}, c = {};
};

class StatisticalParametersTest : public test::TempDirTest {
 protected:
  StatisticalParametersTest() : TempDirTest("veltrix-kg"), params(ui) {}

  void SetUp() override {
    TempDirTest::SetUp();
    params.reset();
    params.putVariable(1, "X", 1, 5);
    params.putVariable(2, "G", 7, 1);
    params.putVariable(3, "Y", 9, 5);
    params.putVariable(4, "Z", 15, 5);
    params.putVariable(5, "C>", 21, 3);
    params.setVariableCount(5);
    for (int g = 1; g <= 3; ++g) defineGroup(g, {"G : " + std::to_string(g)});
    defineGroup(4, {"G : 1,2"});
  }

  void defineGroup(int number, const std::vector<std::string>& lines) {
    const GroupCompileResult r = CompileGroupDefinition(params, lines, "Gruppe " + std::to_string(number),
                                                        "G" + std::to_string(number));
    ASSERT_TRUE(r.ok) << r.message;
    params.putGroup(number, r.record);
  }

  void writeRows(const std::vector<Row>& rows) {
    std::string content;
    for (const Row& r : rows) {
      std::string line(23, ' ');
      line.replace(5 - std::min<std::size_t>(5, r.x.size()), std::min<std::size_t>(5, r.x.size()), r.x);
      line.replace(6, r.g.size(), r.g);
      line.replace(13 - r.y.size(), r.y.size(), r.y);
      line.replace(19 - r.z.size(), r.z.size(), r.z);
      line.replace(20, r.c.size(), r.c);
      content += "1" + line + "\r\n";
    }
    writeBytes(path("s.dt1"), content);
  }

  // Fills the boxes as a user would and runs the analysis.
  bool analyse(int code, const std::vector<std::pair<int, std::vector<std::string>>>& boxes,
               bool complete = false) {
    const PreparedAnalysis prepared = PrepareDescriptor(code);
    VariableSelectionModel model(ui, params, code, prepared.descriptor, prepared.title);
    for (const auto& [box, items] : boxes) {
      const std::string refusal = model.setEntries(box, items);
      EXPECT_EQ(refusal, "");
    }
    model.setCompleteCases(complete);
    if (!model.accept()) return false;
    AnalysisContext context(ui, params, tables, code);
    UseFileSettings(context, params.settings());
    for (std::size_t i = 0; i < 5; ++i) context.workFiles[i] = path("work" + std::to_string(i));
    return RunAnalysisPass(context, path("s.dt1"), prepared.title).ok;
  }

  void setMethod(int method, int sides) {
    ParamSettings s = params.settings();
    s.testMethod = method;
    s.testKind = sides;
    params.setSettings(s);
  }

  // The plain text of a grid cell (row and column as the table counts them).
  std::string cell(int table, int row, int col) const {
    const FetchedTable t = tables.FetchTable(table);
    const int width = col <= static_cast<int>(t.grid.colWidths.size())
                          ? t.grid.colWidths[static_cast<std::size_t>(col - 1)]
                          : 40;
    return TrimBlanks(PlainTextField(t.grid.cell(row, col), width), 0);
  }
  std::vector<std::string> lines(int table) const { return tables.FetchTable(table).lines; }
  bool hasTable(int n) const { return tables.table(n) != nullptr; }

  test::RecordingUi ui;
  TParams params;
  TTMnX tables;
};

// Group 1: 1 2 3 4; group 2: 2 4 6 8 30; group 3: three values.
std::vector<Row> ThreeGroups() {
  return {{"1", "1"}, {"2", "1"}, {"3", "1"},  {"4", "1"}, {"2", "2"}, {"4", "2"},
          {"6", "2"}, {"8", "2"}, {"30", "2"}, {"7", "3"}, {"7", "3"}, {"9", "3"}};
}

TEST_F(StatisticalParametersTest, StatisticsOfTwoGroupsAndTheirRankTest) {
  writeRows(ThreeGroups());
  ASSERT_TRUE(analyse(11, {{kVariableBox1, {"X"}}, {kGroupBox1, {"1", "2", "3"}}}));
  // Table 1: M, SD, SEM, MEDIAN, N. By hand: group 1 mean 2.5, SD sqrt(5/3), SEM SD/2; group 2 mean
  // 10, SD sqrt(130), SEM sqrt(26); medians 2.5 (mean of x2 and x3) and 6.
  EXPECT_EQ(cell(1, 1, 2), "M");
  EXPECT_EQ(cell(1, 2, 2), "2.50");
  EXPECT_EQ(cell(1, 2, 3), "1.29");
  EXPECT_EQ(cell(1, 2, 4), "0.65");
  EXPECT_EQ(cell(1, 2, 5), "2.5");
  EXPECT_EQ(cell(1, 2, 6), "4");
  EXPECT_EQ(cell(1, 3, 2), "10.00");
  EXPECT_EQ(cell(1, 3, 3), "11.40");
  EXPECT_EQ(cell(1, 3, 4), "5.10");
  EXPECT_EQ(cell(1, 3, 5), "6.0");
  // Table 2: MEDIAN, MIN, 10 %, 90 %, MAX; group 2's 90 % quantile: h = 4.5001, x5 = 30.
  EXPECT_EQ(cell(2, 3, 2), "6.0");
  EXPECT_EQ(cell(2, 3, 3), "2");
  EXPECT_EQ(cell(2, 3, 4), "2.0");
  EXPECT_EQ(cell(2, 3, 5), "30.0");
  EXPECT_EQ(cell(2, 3, 6), "30");
  // Table 3: MEDIAN, WH UNTEN, 25 %, 75 %, WH OBEN. Group 1: Q25 = (x1 + x2)/2 = 1.5 (h = 1.0001),
  // Q75 = 3.5; group 2: Q25 = 4, Q75 = 8, upper limit 8 + 1.0001 * 4, so 30 lies outside.
  EXPECT_EQ(cell(3, 2, 4), "1.5");
  EXPECT_EQ(cell(3, 2, 5), "3.5");
  EXPECT_EQ(cell(3, 2, 3), "1");
  EXPECT_EQ(cell(3, 2, 6), "4");
  EXPECT_EQ(cell(3, 3, 6), "8");
  EXPECT_EQ(tables.FetchTable(3).header.Note, "");
  // Table 7 lists the extreme value.
  const std::vector<std::string> extremes = lines(7);
  ASSERT_GE(extremes.size(), 5u);
  EXPECT_NE(extremes[3].find("30"), std::string::npos) << extremes[3];
  EXPECT_NE(extremes[2].find("---"), std::string::npos) << extremes[2];
  // Table 8: group 3 (N = 3) is left out; Wilcoxon of groups 1 and 2: W = 1 + 2.5 + 4 + 5.5 = 13,
  // one-sided exact p = 7/126 (enumeration of the 4-subsets of 1..9 with rank sum <= 13).
  const std::vector<std::string> test = lines(8);
  ASSERT_EQ(test.size(), 3u);
  EXPECT_TRUE(StartsWith(test[0], "A-B: Wilcoxon-Test: TG = 13.000")) << test[0];
  EXPECT_NE(test[0].find("p = 0.0556"), std::string::npos) << test[0];
  EXPECT_EQ(test[1], "");
  EXPECT_EQ(test[2], " Stichproben mit N<4 nicht im Test");
  EXPECT_FALSE(hasTable(9));
}

TEST_F(StatisticalParametersTest, TheTTestTakesTheUnequalVariancesWhenThePretestRejects) {
  writeRows(ThreeGroups());
  setMethod(0, 2);
  ASSERT_TRUE(analyse(11, {{kVariableBox1, {"X"}}, {kGroupBox1, {"1", "2"}}}));
  // F = 130 / (5/3) = 78 with p(two-sided) 0.0046, so s1^2/N1 + s2^2/N2 = 26.4167 and the
  // Welch degrees of freedom 4.13 -> 4; t = 7.5 / sqrt(26.4167) = 1.459, p(two-sided) 0.2183.
  const std::vector<std::string> test = lines(8);
  ASSERT_EQ(test.size(), 1u);
  EXPECT_TRUE(StartsWith(test[0], "A-B: t-Test unabh. Stichpr.: TG = 1.459")) << test[0];
  EXPECT_NE(test[0].find("p = 0.2183"), std::string::npos) << test[0];
  EXPECT_NE(test[0].find("(4 d.f.)"), std::string::npos) << test[0];
}

TEST_F(StatisticalParametersTest, EqualVariancesArePooledWithNMinusTwoDegreesOfFreedom) {
  writeRows({{"1", "1"}, {"2", "1"}, {"3", "1"}, {"4", "1"}, {"3", "2"}, {"4", "2"}, {"5", "2"}, {"6", "2"}});
  setMethod(0, 2);
  ASSERT_TRUE(analyse(11, {{kVariableBox1, {"X"}}, {kGroupBox1, {"1", "2"}}}));
  // F = 1, so the pooled variance 5/3 (1/4 + 1/4): t = 2 / 0.9129 = 2.191 with 6 d.f., two-sided
  // p 0.0710 (numerical integration of the t density).
  const std::vector<std::string> test = lines(8);
  ASSERT_EQ(test.size(), 1u);
  EXPECT_TRUE(StartsWith(test[0], "A-B: t-Test unabh. Stichpr.: TG = 2.191")) << test[0];
  EXPECT_NE(test[0].find("p = 0.0710"), std::string::npos) << test[0];
  EXPECT_NE(test[0].find("(6 d.f.)"), std::string::npos) << test[0];
}

std::vector<Row> ThreeTestedGroups() {
  std::vector<Row> rows = ThreeGroups();
  rows.resize(9);
  for (const char* v : {"9", "10", "11", "12"}) rows.push_back({v, "3"});
  return rows;
}

TEST_F(StatisticalParametersTest, KruskalWallisWithTiesIsFollowedByPairwiseComparisons) {
  writeRows(ThreeTestedGroups());
  ASSERT_TRUE(analyse(11, {{kVariableBox1, {"X"}}, {kGroupBox1, {"1", "2", "3"}}}));
  // Rank sums 13, 36, 42 of N = 13 with two pairs of ties: H = 6.952 / (1 - 12/2184) = 6.991,
  // p = exp(-H/2) = 0.0303 (chi-square, 2 d.f.).
  const std::vector<std::string> test = lines(8);
  ASSERT_FALSE(test.empty());
  EXPECT_TRUE(StartsWith(test[0], "Kruskal-Wallis-Test: TG = 6.991")) << test[0];
  EXPECT_NE(test[0].find("p = 0.0303"), std::string::npos) << test[0];
  EXPECT_NE(test[0].find("(2 d.f.)"), std::string::npos) << test[0];
  // Ordered by means A (2.5), B (10), C (10.5): A against C first, exact one-sided p 3/210 = 0.0143
  // (+), then A against B, p 0.0556 (-).
  ASSERT_TRUE(hasTable(9));
  EXPECT_EQ(cell(9, 2, 4), "+");
  EXPECT_EQ(cell(9, 4, 2), "+");
  EXPECT_EQ(cell(9, 2, 3), "-");
  EXPECT_EQ(tables.FetchTable(9).header.LeftTitle[2], "Paarweise Vergleiche: Wilcoxon-Test");
}

TEST_F(StatisticalParametersTest, TheOneWayAnalysisShowsBothMeanSquares) {
  writeRows(ThreeTestedGroups());
  setMethod(0, 1);
  ASSERT_TRUE(analyse(11, {{kVariableBox1, {"X"}}, {kGroupBox1, {"1", "2", "3"}}}));
  // Between 165.69 / 2 = 82.85, within 530 / 10 = 53.0, F = 1.563 with p 0.2566 (2, 10 d.f.).
  const std::vector<std::string> test = lines(8);
  ASSERT_EQ(test.size(), 3u);
  EXPECT_TRUE(StartsWith(test[0], "Einfakt. Varianzanalyse: TG = 1.563")) << test[0];
  EXPECT_NE(test[0].find("p = 0.2566"), std::string::npos) << test[0];
  EXPECT_NE(test[0].find("(2, 10 d.f.)"), std::string::npos) << test[0];
  EXPECT_EQ(test[2], "   (Var.: Zwischen Gruppen = 82.8462 ;  Innerhalb Gruppen = 53 )");
  EXPECT_FALSE(hasTable(9));
}

TEST_F(StatisticalParametersTest, OverlappingGroupsSuppressTheTests) {
  writeRows(ThreeTestedGroups());
  ASSERT_TRUE(analyse(11, {{kVariableBox1, {"X"}}, {kGroupBox1, {"1", "4"}}}));
  EXPECT_EQ(tables.FetchTable(1).header.Note, "Gruppenüberschneidung"_w);
  EXPECT_FALSE(hasTable(8));
  EXPECT_EQ(cell(1, 3, 6), "9");  // group 4 holds groups 1 and 2
}

TEST_F(StatisticalParametersTest, CellsWithFewerThanFourValuesStayOutOfTheTests) {
  // Sizes 4 and 4 are tested; 5 and 3 give no test table.
  writeRows({{"1", "1"}, {"2", "1"}, {"3", "1"}, {"4", "1"}, {"5", "2"}, {"6", "2"}, {"7", "2"}, {"8", "2"}});
  ASSERT_TRUE(analyse(11, {{kVariableBox1, {"X"}}, {kGroupBox1, {"1", "2"}}}));
  ASSERT_TRUE(hasTable(8));
  EXPECT_EQ(lines(8).size(), 1u);
  writeRows({{"1", "1"}, {"2", "1"}, {"3", "1"}, {"4", "1"}, {"5", "1"}, {"6", "2"}, {"7", "2"}, {"8", "2"}});
  ASSERT_TRUE(analyse(11, {{kVariableBox1, {"X"}}, {kGroupBox1, {"1", "2"}}}));
  EXPECT_FALSE(hasTable(8));
}

// X, Y, Z of six records; Y - X = 2 3 0 3 1 3.
std::vector<Row> RelatedRows() {
  const char* x[] = {"10", "12", "9", "14", "11", "13"};
  const char* y[] = {"12", "15", "9", "17", "12", "16"};
  const char* z[] = {"15", "14", "12", "18", "15", "17"};
  std::vector<Row> rows;
  for (int i = 0; i < 6; ++i) rows.push_back({x[i], "1", y[i], z[i]});
  return rows;
}

TEST_F(StatisticalParametersTest, TwoRelatedVariablesShowTheirDifferencesAndThePairedTests) {
  writeRows(RelatedRows());
  ASSERT_TRUE(analyse(13, {{kVariableBox1, {"X", "Y"}}, {kGroupBox1, {"1"}}}));
  // The third row holds B - A: mean 2, SD sqrt(8/5) = 1.26.
  EXPECT_EQ(cell(1, 4, 1), "C:         B-A");
  EXPECT_EQ(cell(1, 4, 2), "2.00");
  EXPECT_EQ(cell(1, 4, 3), "1.26");
  // Sign-rank: one zero left out, no negative difference, so TG = 0; exact one-sided p = 1/32.
  std::vector<std::string> test = lines(8);
  ASSERT_EQ(test.size(), 1u);
  EXPECT_TRUE(StartsWith(test[0], "Vorzeichen-Rangtest: TG = 0.000")) << test[0];
  EXPECT_NE(test[0].find("p = 0.0312"), std::string::npos) << test[0];
  EXPECT_NE(test[0].find("(N eff.: 5)"), std::string::npos) << test[0];
  // Paired t: |2| sqrt(6) / 1.265 = 3.873 with 5 d.f., one-sided p 0.0059 (numerical integration).
  setMethod(0, 1);
  ASSERT_TRUE(analyse(13, {{kVariableBox1, {"X", "Y"}}, {kGroupBox1, {"1"}}}));
  test = lines(8);
  ASSERT_EQ(test.size(), 1u);
  EXPECT_TRUE(StartsWith(test[0], "t-Test verb. Stichproben: TG = 3.873")) << test[0];
  EXPECT_NE(test[0].find("p = 0.0059"), std::string::npos) << test[0];
  EXPECT_NE(test[0].find("(5 d.f.)"), std::string::npos) << test[0];
  // The same variable twice would compare it with itself: no tests.
  ASSERT_TRUE(analyse(13, {{kVariableBox1, {"X", "X"}}, {kGroupBox1, {"1"}}}));
  EXPECT_FALSE(hasTable(8));
  // One variable: the mean against 0, t = 11.5 sqrt(6) / 1.871 = 15.057.
  ASSERT_TRUE(analyse(13, {{kVariableBox1, {"X"}}, {kGroupBox1, {"1"}}}));
  ASSERT_EQ(lines(8).size(), 1u);
  EXPECT_TRUE(StartsWith(lines(8)[0], "Test auf Mittelwert 0: TG = 15.057")) << lines(8)[0];
}

TEST_F(StatisticalParametersTest, ThreeRelatedVariablesByFriedmanOrTheTwoWayAnalysis) {
  writeRows(RelatedRows());
  ASSERT_TRUE(analyse(13, {{kVariableBox1, {"X", "Y", "Z"}}, {kGroupBox1, {"1"}}}));
  // Rank sums 6.5, 12.5, 17 over 6 records: TG = 9.25, corrected to 0.4 TG + 5.6 = 9.3 (k = 3,
  // n <= 9), p = exp(-9.3 / 2) = 0.0096.
  std::vector<std::string> test = lines(8);
  ASSERT_FALSE(test.empty());
  EXPECT_TRUE(StartsWith(test[0], "Friedman-Test: TG = 9.250")) << test[0];
  EXPECT_NE(test[0].find("p = 0.0096"), std::string::npos) << test[0];
  ASSERT_TRUE(hasTable(9));
  EXPECT_EQ(tables.FetchTable(9).header.LeftTitle[2], "Paarweise Vergleiche: VZ-Rang-Test");

  setMethod(0, 1);
  ASSERT_TRUE(analyse(13, {{kVariableBox1, {"X", "Y", "Z"}}, {kGroupBox1, {"1"}}}));
  // SSvar 45.44, SSres 9.99 over 10 d.f.: F = 22.75, p 0.00019; pairwise paired t (one-sided):
  // X-Z p 0.00017 and X-Y p 0.0059 below 0.01, Y-Z p 0.027 below 0.05.
  test = lines(8);
  ASSERT_FALSE(test.empty());
  EXPECT_TRUE(StartsWith(test[0], "Doppelte Varianzanalyse: TG = 22.750")) << test[0];
  EXPECT_NE(test[0].find("p = 0.0002"), std::string::npos) << test[0];
  EXPECT_NE(test[0].find("(2, 10 d.f.)"), std::string::npos) << test[0];
  ASSERT_TRUE(hasTable(9));
  EXPECT_EQ(cell(9, 2, 4), "x");
  EXPECT_EQ(cell(9, 2, 3), "x");
  EXPECT_EQ(cell(9, 3, 4), "+");
  EXPECT_EQ(tables.FetchTable(9).header.LeftTitle[2], "Paarweise Vergleiche: t-Test");
}

TEST_F(StatisticalParametersTest, MoreThan250CompleteRecordsFallBackToTheParametricTests) {
  std::vector<Row> rows;
  for (int i = 0; i < 251; ++i)
    rows.push_back({std::to_string(i % 17), "1", std::to_string((i * 7) % 19), std::to_string((i * 5) % 23)});
  writeRows(rows);
  ASSERT_TRUE(analyse(13, {{kVariableBox1, {"X", "Y", "Z"}}, {kGroupBox1, {"1"}}}));
  ASSERT_FALSE(lines(8).empty());
  EXPECT_TRUE(StartsWith(lines(8)[0], "Doppelte Varianzanalyse")) << lines(8)[0];
  rows.pop_back();
  writeRows(rows);
  ASSERT_TRUE(analyse(13, {{kVariableBox1, {"X", "Y", "Z"}}, {kGroupBox1, {"1"}}}));
  EXPECT_TRUE(StartsWith(lines(8)[0], "Friedman-Test")) << lines(8)[0];
}

TEST_F(StatisticalParametersTest, TwoGroupsSeveralVariablesTestEachVariable) {
  std::vector<Row> rows = ThreeGroups();
  rows.resize(9);
  // Y only in group 1 (four values), so the second variable is left out.
  for (int i = 0; i < 4; ++i) rows[static_cast<std::size_t>(i)].y = std::to_string(i);
  writeRows(rows);
  ASSERT_TRUE(analyse(19, {{kVariableBox1, {"X", "Y"}}, {kGroupBox1, {"1", "2"}}}));
  EXPECT_EQ(cell(1, 2, 1), "A:         X A");
  EXPECT_EQ(cell(1, 3, 1), "B:         X B");
  EXPECT_EQ(cell(1, 5, 6), "0");  // Y in group 2
  const std::vector<std::string> test = lines(8);
  ASSERT_EQ(test.size(), 3u);
  EXPECT_TRUE(StartsWith(test[0], "A-B: Wilcoxon-Test: TG = 13.000")) << test[0];
  EXPECT_EQ(test[2], " Stichproben mit N<4 nicht im Test");
}

TEST_F(StatisticalParametersTest, TheClassesOfASecondVariableAreTheCells) {
  // Y by the boundaries 5 and 10: classes <= 5, <= 10, > 10.
  params.putClassDivision(20, test::numericDivision({5, 10}));
  writeRows({{"1", "1", "3"},
             {"2", "1", "5"},
             {"3", "1", "7"},
             {"4", "1", "12"},
             {"5", "1", "20"},
             {"6", "1", ""}});
  ASSERT_TRUE(analyse(
      12, {{kVariableBox1, {"X"}}, {kVariableBox2, {"Y"}}, {kClassBox2, {"20"}}, {kGroupBox1, {"1"}}}));
  EXPECT_EQ(cell(1, 2, 6), "2");  // 3 and 5
  EXPECT_EQ(cell(1, 3, 6), "1");  // 7
  EXPECT_EQ(cell(1, 4, 6), "2");  // 12 and 20
  EXPECT_EQ(cell(1, 4, 2), "4.50");
  EXPECT_EQ(tables.FetchTable(1).header.RightTitle[1], "Klasseneinteilung Nr. 20");
}

TEST_F(StatisticalParametersTest, DegenerateCellsShowNoSpreadAndNoNumbersOutOfNothing) {
  // Group 1: one value; group 2: the value 0 four times; group 3 selects nothing.
  writeRows({{"7", "1"}, {"0", "2"}, {"0", "2"}, {"0", "2"}, {"0", "2"}, {"12a", "2"}, {"", "2"}});
  ASSERT_TRUE(analyse(11, {{kVariableBox1, {"X"}}, {kGroupBox1, {"1", "2", "3"}}}));
  EXPECT_EQ(cell(1, 2, 2), "7.00");
  EXPECT_EQ(cell(1, 2, 3), "");  // no SD of one value
  EXPECT_EQ(cell(1, 2, 4), "");
  EXPECT_EQ(cell(4, 2, 3), "");   // no M-f*SD either
  EXPECT_EQ(cell(1, 3, 6), "4");  // "12a" and the empty field are skipped
  EXPECT_EQ(cell(1, 3, 3), "0.00");
  EXPECT_EQ(cell(6, 3, 6), "");  // a mean of 0 has no coefficient of variation
  EXPECT_EQ(cell(1, 4, 6), "0");
  EXPECT_EQ(cell(1, 4, 2), "");
  EXPECT_FALSE(hasTable(8));  // only group 2 has four values
}

TEST_F(StatisticalParametersTest, ConstantValuesGiveTestStatisticZeroAndPOne) {
  std::vector<Row> rows;
  for (int g = 1; g <= 3; ++g)
    for (int i = 0; i < 4; ++i) rows.push_back({"5", std::to_string(g)});
  writeRows(rows);
  for (int method : {1, 0}) {
    setMethod(method, 2);
    ASSERT_TRUE(analyse(11, {{kVariableBox1, {"X"}}, {kGroupBox1, {"1", "2", "3"}}}));
    ASSERT_FALSE(lines(8).empty());
    EXPECT_NE(lines(8)[0].find("TG = 0.000"), std::string::npos) << lines(8)[0];
    EXPECT_NE(lines(8)[0].find("p = 1.00"), std::string::npos) << lines(8)[0];
    for (const std::string& line : lines(8)) EXPECT_EQ(line.find("nan"), std::string::npos) << line;
  }
}

TEST_F(StatisticalParametersTest, LargeOffsetsKeepTheirSmallSpread) {
  // 100000001 .. 100000004: the squares of the values are near 1e16, where a sum of squares loses
  // the spread; the SD is that of 1 .. 4, sqrt(5/3).
  params.reset();
  params.putVariable(1, "X", 1, 9);
  params.setVariableCount(1);
  std::string content;
  for (const char* v : {"100000001", "100000002", "100000003", "100000004"})
    content += std::string("1") + v + "\r\n";
  writeBytes(path("s.dt1"), content);
  ASSERT_TRUE(analyse(11, {{kVariableBox1, {"X"}}, {kGroupBox1, {"0"}}}));
  EXPECT_EQ(cell(1, 2, 2), "100000002.5");  // the column of 11 gives up a decimal
  EXPECT_EQ(cell(1, 2, 3), "1.29");
  EXPECT_EQ(cell(3, 2, 4), "100000001.5");
}

TEST_F(StatisticalParametersTest, TheWhiskerFactorIsNotedAboveOne) {
  writeRows(ThreeGroups());
  ParamSettings s = params.settings();
  s.whiskerIndex = 1;  // 1.5
  params.setSettings(s);
  ASSERT_TRUE(analyse(11, {{kVariableBox1, {"X"}}, {kGroupBox1, {"1", "2"}}}));
  EXPECT_EQ(tables.FetchTable(3).header.Note, " (Whisker-Faktor = 1.5)");
  // Group 2: upper limit 8 + 1.5 * 4 = 14, so 30 is still outside.
  EXPECT_EQ(cell(3, 3, 6), "8");
}

TEST_F(StatisticalParametersTest, AVariableBeyondTheRecordEndHasNoValues) {
  params.putVariable(6, "FERN", 7810, 9);
  params.setVariableCount(6);
  writeRows(ThreeGroups());
  ASSERT_TRUE(analyse(11, {{kVariableBox1, {"FERN"}}, {kGroupBox1, {"1", "2"}}}));
  EXPECT_EQ(cell(1, 2, 6), "0");
  EXPECT_FALSE(hasTable(8));
}

}  // namespace
}  // namespace veltrix
