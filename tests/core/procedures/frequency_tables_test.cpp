// The contingency analysis of the frequency tables. Expected values come from a separate python3
// evaluation: the lower hypergeometric tail as exact fractions (what R's phyper(a, a + b, c + d, a + c)
// gives), chi-square and its Yates form from the textbook formulas, and the chi-square tail in closed
// form (1 d.f.: erfc(sqrt(x / 2)); 4 d.f.: exp(-x / 2)(1 + x / 2)).
#include "core/procedures/frequency_tables.h"

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
#include "core/stats/significance.h"
#include "core/stats/text_helpers.h"
#include "tests/support/class_divisions.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

struct FisherCase {
  double a, b, c, d;
  double p;
};

TEST(FrequencyTablesTest, FisherIsTheTailTowardsTheSmallestCell) {
  const FisherCase cases[] = {
      {3, 9, 12, 6, 0.030216470712012417},      // a is the smallest cell
      {1, 5, 9, 2, 0.01753393665158371},        //
      {2, 98, 10, 90, 0.016520054662092488},    // b and c exchanged
      {12, 6, 3, 9, 0.030216470712012417},      // turned until the smallest cell is a
      {10, 90, 80, 20, 2.8530715993802838e-25}  // far in the tail
  };
  for (const FisherCase& f : cases)
    EXPECT_NEAR(FisherExactTest(f.a, f.b, f.c, f.d), f.p, 1e-9 * f.p)
        << f.a << " " << f.b << " " << f.c << " " << f.d;
}

std::vector<std::string> Analyse(int rows, int cols, const std::vector<double>& table) {
  return ContingencyTest(MakeSignificanceLevels(1, 0.05, 0.01), rows, cols, table);
}

TEST(FrequencyTablesTest, FourFoldTablesChooseTheirTestByN) {
  // N = 200: Fisher, p = P(X <= 40) = 0.00353; C from the uncorrected chi-square, 0.277.
  std::vector<std::string> lines = Analyse(2, 2, {40, 60, 60, 40});
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], " Fisher-Test :  p = 0.0035 ,  eins.");
  EXPECT_EQ(lines[2], " korrigierter Kontingenzkoeffizient:  0.277");
  EXPECT_EQ(lines[3], "@z|");
  // N = 201: Yates, chi-square 6.813, p 0.0090.
  lines = Analyse(2, 2, {40, 60, 60, 41});
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[0], " Vierfelder-Test mit Yates-Korrektur ");
  EXPECT_EQ(lines[2], "Testgröße :  6.813    p = 0.0090  (1 d.f.)"_w);
  EXPECT_EQ(lines[4], " korrigierter Kontingenzkoeffizient:  0.256");
  // N = 251: uncorrected, 9.568, p 0.0020.
  lines = Analyse(2, 2, {50, 75, 75, 51});
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[0], " Vierfelder-Test ");
  EXPECT_EQ(lines[2], "Testgröße :  9.568    p = 0.0020  (1 d.f.)"_w);
  EXPECT_EQ(lines[4], " korrigierter Kontingenzkoeffizient:  0.271");
  EXPECT_EQ(lines.size(), 6u);  // no small counts, no warning
}

TEST(FrequencyTablesTest, SmallCountsAndExpectationsAreWarnedAbout) {
  // Chi-square 4.282 with 4 d.f., p 0.3691; C = sqrt(x / (x + 49)) / sqrt(2/3) = 0.347.
  const std::vector<std::string> lines = Analyse(3, 3, {2, 3, 5, 8, 6, 6, 4, 10, 5});
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], " Chi-Quadrat-Test ");
  EXPECT_EQ(lines[2], "Testgröße :  4.282    p = 0.3691  (4 d.f.)"_w);
  EXPECT_EQ(lines[4], " korrigierter Kontingenzkoeffizient:  0.347");
  EXPECT_EQ(lines[6], " Abs. Hfgk. < 5 ! Erw.-Werte < 5 !");
  EXPECT_EQ(lines[7], " Voraussetzungen für Test nicht ganz erfüllt."_w);
}

TEST(FrequencyTablesTest, NoTestWithoutEnoughDataOrRowsAndColumns) {
  EXPECT_TRUE(Analyse(2, 2, {1, 2, 1, 1}).empty());           // N = 5
  EXPECT_TRUE(Analyse(2, 2, {0, 0, 10, 20}).empty());         // one row left
  EXPECT_TRUE(Analyse(2, 3, {5, 0, 6, 7, 0, 8}).size() > 0);  // the empty column is ignored: 2 x 2
  EXPECT_EQ(Analyse(2, 3, {5, 0, 6, 7, 0, 8})[0], " Fisher-Test :  p = 0.6319 ,  eins.");
  // Yates never turns the difference negative: |ad - bc| = 0 gives chi-square 0.
  const std::vector<std::string> equal = Analyse(2, 2, {55, 55, 55, 55});
  ASSERT_GE(equal.size(), 3u);
  EXPECT_EQ(equal[2], "Testgröße :  0.000    p = 1.00    (1 d.f.)"_w);
}

// Records: A in column 1, B in column 3, G in column 5, T (text) in columns 7..12.
class FrequencyRunTest : public test::TempDirTest {
 protected:
  FrequencyRunTest() : TempDirTest("veltrix-hf"), params(ui) {}

  void SetUp() override {
    TempDirTest::SetUp();
    params.reset();
    params.putVariable(1, "A", 1, 1);
    params.putVariable(2, "B", 3, 1);
    params.putVariable(3, "G", 5, 1);
    params.putVariable(4, "T>", 7, 6);
    params.setVariableCount(4);
    for (int g = 1; g <= 3; ++g) {
      const GroupCompileResult r =
          CompileGroupDefinition(params, {"G : " + std::to_string(g)}, "Gruppe", "G" + std::to_string(g));
      ASSERT_TRUE(r.ok);
      params.putGroup(g, r.record);
    }
    params.putClassDivision(20, test::numericDivision({1, 2, 3}));     // classes <= 1, 2, 3, > 3
    params.putClassDivision(19, test::textDivision(2, {"AB", "BC"}));  // contains
  }

  void write(const std::vector<std::string>& lines) {
    std::string content;
    for (const std::string& line : lines) content += "1" + line + "\r\n";
    writeBytes(path("s.dt1"), content);
  }

  bool analyse(int code, const std::vector<std::pair<int, std::vector<std::string>>>& boxes) {
    const PreparedAnalysis prepared = PrepareDescriptor(code);
    VariableSelectionModel model(ui, params, code, prepared.descriptor, prepared.title);
    for (const auto& [box, items] : boxes) EXPECT_EQ(model.setEntries(box, items), "");
    if (!model.accept()) return false;
    AnalysisContext context(ui, params, tables, code);
    UseFileSettings(context, params.settings());
    for (std::size_t i = 0; i < 5; ++i) context.workFiles[i] = path("w" + std::to_string(i));
    return RunAnalysisPass(context, path("s.dt1"), prepared.title).ok;
  }

  std::vector<std::string> captions() const {
    std::vector<std::string> out;
    for (int n = 1; n <= 9; ++n) {
      const TSTab* t = tables.table(n);
      if (t) out.push_back(TrimBlanks(t->header.LeftTitle[0], 0));
    }
    return out;
  }
  std::string cell(int table, int row, int col) const {
    const FetchedTable t = tables.FetchTable(table);
    return TrimBlanks(PlainTextField(t.grid.cell(row, col), 20), 0);
  }

  test::RecordingUi ui;
  TParams params;
  TTMnX tables;
};

std::string Title(const char* caption) {
  return std::string("Häufigkeitsverteilung ( "_w) + caption + " )";
}

TEST_F(FrequencyRunTest, ClassesByGroupsWithEveryTableAndTrailingEmptyClassesDropped) {
  // A by groups 1, 2, 3: class > 3 never occurs and is dropped; group 3 stays empty.
  write({"1   1", "1   1", "2   1", "3   2", "3   2", "2   2", "1   2", "3   1"});
  ASSERT_TRUE(analyse(31, {{kVariableBox1, {"A"}}, {kClassBox1, {"20"}}, {kGroupBox1, {"1", "2", "3"}}}));
  EXPECT_EQ(captions(), (std::vector<std::string>{Title("Abs. Hfgk."), Title("Sp.-%"), Title("Zl.-%"),
                                                  Title("Sp.-%, kum."), Title("Zl.-%, kum."),
                                                  Title("Abs. Sp.kum."), Title("Abs. Zl.kum."),
                                                  Title("Erw.-Werte"), "Analyse Kontingenztafel"}));
  // Counts by hand: class 1: 2 in group 1, 1 in group 2; class 2: 1, 1; class 3: 1, 2.
  EXPECT_EQ(cell(1, 2, 2), "2");
  EXPECT_EQ(cell(1, 2, 3), "1");
  EXPECT_EQ(cell(1, 2, 4), "0");
  EXPECT_EQ(cell(1, 5, 1), "GESAMT");
  EXPECT_EQ(cell(1, 5, 5), "8");
  EXPECT_EQ(tables.FetchTable(1).grid.rows, 5);  // heading, three classes, total
  // The empty group has 0 percent, not a division by zero; column percent of class 3 in group 2:
  // 2 of 4 = 50 %.
  EXPECT_EQ(cell(2, 2, 4), "0.00");
  EXPECT_EQ(cell(2, 4, 3), "50.00");
  // Expected value of class 1 in group 1: 3 * 4 / 8 = 1.5.
  EXPECT_EQ(cell(8, 2, 2), "1.50");
}

TEST_F(FrequencyRunTest, ATextFieldInTwoClassesIsAnOverlap) {
  write({"1 1 1 ABC", "1 1 1 AB", "1 1 2 BC", "1 1 2 XY", "1 1 1 BCD", "1 1 2 AB"});
  ASSERT_TRUE(analyse(31, {{kVariableBox1, {"T>"}}, {kClassBox1, {"19"}}, {kGroupBox1, {"1", "2"}}}));
  EXPECT_EQ(tables.FetchTable(1).header.Note, "Gruppen- oder Klassenüberschneidung"_w);
  EXPECT_EQ(captions(), (std::vector<std::string>{Title("Abs. Hfgk."), Title("Sp.-%"), Title("Zl.-%")}));
  // "ABC" counts in class AB and class BC; N counts the record once.
  EXPECT_EQ(cell(1, 2, 2), "2");
  EXPECT_EQ(cell(1, 3, 2), "2");
  EXPECT_EQ(cell(1, 5, 4), "6");
}

TEST_F(FrequencyRunTest, SeveralVariablesHaveNoRowPercentagesAndNoExpectedValues) {
  write({"1 2 1", "2 2 1", "1 3 1", "3 1 1", "2 2 1", "1 1 1"});
  ASSERT_TRUE(analyse(33, {{kVariableBox1, {"A", "B"}}, {kClassBox1, {"20"}}, {kGroupBox1, {"1"}}}));
  EXPECT_EQ(captions(), (std::vector<std::string>{Title("Abs. Hfgk."), Title("Sp.-%"), Title("Sp.-%, kum."),
                                                  Title("Abs. Sp.kum."), "Analyse Kontingenztafel"}));
  EXPECT_EQ(tables.FetchTable(1).grid.cols, 3);  // labels and two variables, no total column
}

TEST_F(FrequencyRunTest, ATableOfTwoByTwoWithTotalsIsOnlyCounted) {
  // One class and one group: with the totals fewer than 3 rows and 3 columns.
  write({"1   1", "1   1"});
  ASSERT_TRUE(analyse(31, {{kVariableBox1, {"A"}}, {kClassBox1, {"20"}}, {kGroupBox1, {"1"}}}));
  EXPECT_EQ(captions(), (std::vector<std::string>{Title("Abs. Hfgk.")}));
}

TEST_F(FrequencyRunTest, GroupsVersusGroupsKeepTheirEmptyRows) {
  write({"1 1 1", "1 1 1", "1 1 2"});
  ASSERT_TRUE(analyse(34, {{kGroupBox1, {"1", "2"}}, {kGroupBox2, {"1", "3"}}}));
  EXPECT_EQ(tables.FetchTable(1).grid.rows, 4);  // group 3 is empty and stays
  EXPECT_EQ(cell(1, 3, 4), "0");
  EXPECT_EQ(tables.FetchTable(1).header.LeftTitle[1], "Gruppen / Gruppen");
}

}  // namespace
}  // namespace veltrix
