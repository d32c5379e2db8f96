// The contingency analysis of the frequency tables. Expected values come from a separate python3
// evaluation: the lower hypergeometric tail as exact fractions (what R's phyper(a, a + b, c + d, a + c)
// gives), chi-square and its Yates form from the textbook formulas, and the chi-square tail in closed
// form (1 d.f.: erfc(sqrt(x / 2)); 4 d.f.: exp(-x / 2)(1 + x / 2)).
#include "core/procedures/frequency_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/stats/significance.h"

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

}  // namespace
}  // namespace veltrix
