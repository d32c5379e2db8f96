#include "core/stats/significance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/base/win1252.h"
#include "core/stats/distributions.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;

const SignificanceLevels kOneSided = MakeSignificanceLevels(1, 0.05, 0.01);
const SignificanceLevels kTwoSided = MakeSignificanceLevels(2, 0.05, 0.01);

TEST(Significance, DerivedTexts) {
  struct Case {
    int sides;
    double alpha1;
    double alpha2;
    const char* confidence1;
    const char* confidence2;
    const char* heading;
  };
  const Case cases[] = {
      {1, 0.05, 0.01, "95", "99", "+:p<0.05  x:p<0.01 (eins.)"},
      {2, 0.05, 0.01, "95", "99", "+:p<0.05  x:p<0.01 (zweis.)"},
      {0, 0.1, 0.001, "90", "99.9", "+:p<0.1  x:p<0.001 (zweis.)"},  // any sides but 1 is two-sided
      {1, 0.025, 0.0001, "97.5", "99.99", "+:p<0.025  x:p<0.0001 (eins.)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heading);
    const SignificanceLevels levels = MakeSignificanceLevels(c.sides, c.alpha1, c.alpha2);
    EXPECT_EQ(levels.sides, c.sides);
    EXPECT_EQ(levels.confidence1, c.confidence1);
    EXPECT_EQ(levels.confidence2, c.confidence2);
    EXPECT_EQ(levels.legendHeading, c.heading);
    EXPECT_EQ(levels.legendHeading, levels.legend + " " + levels.sidednessText);
  }
  EXPECT_EQ(kOneSided.legend, "+:p<0.05  x:p<0.01");
  EXPECT_EQ(kOneSided.sidednessText, "(eins.)");
  EXPECT_EQ(kTwoSided.sidednessText, "(zweis.)");
  // -z(0.025) and -z(0.005) of the rational approximation, evaluated by a separate Python script.
  EXPECT_NEAR(kOneSided.critical1, 1.96039491692534, 1e-12);
  EXPECT_NEAR(kOneSided.critical2, 2.576236081309571, 1e-12);
}

TEST(Significance, TextsFollowAChangeOfTheLevels) {
  SignificanceLevels levels = kOneSided;
  levels.sides = 2;
  levels.alpha1 = 0.1;
  SignificanceTexts(levels);
  EXPECT_EQ(levels.confidence1, "90");
  EXPECT_EQ(levels.legendHeading, "+:p<0.1  x:p<0.01 (zweis.)");
  EXPECT_NEAR(levels.critical1, 1.6452114401438158, 1e-12);  // -NormalQuantile(0.05), by the script
}

TEST(Significance, MarkAtTheBoundaries) {
  const double kNaN = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double p;
    char mark;
  } cases[] = {
      {1.0, ' '},     {0.05, ' '}, {0.0499, '+'}, {0.01, '+'},
      {0.00999, 'x'}, {0.0, 'x'},  {kNaN, ' '},  // a p that is no number is never significant
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.p);
    EXPECT_EQ(SignificanceMark(kOneSided, c.p), c.mark);
  }
  EXPECT_EQ(SidednessWord(kOneSided), "eins.");
  EXPECT_EQ(SidednessWord(kTwoSided), "zweis.");
}

TEST(Significance, PValueText) {
  const struct {
    const SignificanceLevels& levels;
    int markFlag;
    double p;
    const char* expected;
  } cases[] = {
      {kOneSided, 1, 0.00005, " p < 0.0001 x ,  eins."},  // the mark follows in both branches
      {kOneSided, 0, 0.00005, " p < 0.0001 ,  eins."},
      {kOneSided, 0, -0.03, " p = 0.0300"},            // negative: no sidedness word
      {kOneSided, 1, -0.03, " p = 0.0300 +"},          // the mark is taken from |p|
      {kOneSided, 1, 0.2, " p = 0.2000   ,  eins."},   // blank mark
      {kOneSided, 0, 0.0001, " p = 0.0001 ,  eins."},  // 0.0001 is no longer "<"
      {kOneSided, 0, 0.99989, " p = 0.9999 ,  eins."},
      {kOneSided, 0, 0.9999, " p = 1.00   ,  eins."},  // "1.00  " from 0.9999 on
      {kOneSided, 1, -1.0, " p = 1.00    "},           // "1.00  ", a blank, the blank mark
      {kTwoSided, 0, 0.01234, " p = 0.0123 ,  zweis."},
      {kOneSided, 0, 0.0, " p < 0.0001 ,  eins."},
      {kOneSided, 0, -0.0, " p < 0.0001"},  // a chi-square or F tail of 0, passed negated
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(PValueText(c.levels, c.markFlag, c.p), c.expected);
  }
  // An F of 1000 with 3 and 20 df is overwhelming; its p must not lose the sidedness word.
  EXPECT_EQ(PValueText(kOneSided, 1, FTail(1000, 3, 20)), " p < 0.0001 x ,  eins.");
}

TEST(Significance, TestLine) {
  const std::string title("Testgröße : "_w);
  const struct {
    std::string title;
    int df1;
    int df2;
    double p;
    double statistic;
    std::string expected;
  } cases[] = {
      {title, 18, 0, 0.0123, 2.6789, title + " 2.679    p = 0.0123 ,  eins.  (18 d.f.)"},
      {title, 1, 0, -0.03, 4.7, title + " 4.700    p = 0.0300  (1 d.f.)"},  // chi-square: -p
      {"F", 3, 40, 0.2, 1.5, "F 1.500    p = 0.2000 ,  eins.  (3, 40 d.f.)"},
      {"F", 29999, 12, 0.5, 1.25, "F 1.250    p = 0.5000 ,  eins.  (29999, 12 d.f.)"},
      {"F", 40000, 12, 0.5, 1.25, "F 1.250    p = 0.5000 ,  eins.  (\xF7, 12 d.f.)"},
      {"F", 30000, 0, 0.5, 1.25, "F 1.250    p = 0.5000 ,  eins.  (\xF7 d.f.)"},
      {"z", 0, 5, -0.5, -2.5, "z -2.500    p = 0.5000"},  // no degrees of freedom: df2 is not shown
      {"z", 1, 0, -0.5, 1000.0, "z 1000.000    p = 0.5000  (1 d.f.)"},  // 1000 is not above 1000
      {"z", 1, 0, -0.5, 1000.5, "z 1000.50    p = 0.5000  (1 d.f.)"},
      {"z", 1, 0, -0.5, 12345.678, "z 12345.68    p = 0.5000  (1 d.f.)"},
      // 50 + 20 + 10 characters fill the line exactly; one more and the line is cut.
      {std::string(50, 'A'), 5, 0, -0.03, 4.7, std::string(50, 'A') + " 4.700    p = 0.0300  (5 d.f.)"},
      {std::string(51, 'A'), 5, 0, -0.03, 4.7, std::string(51, 'A') + " 4.700    p = 0.0300  (5 d.f."},
      {std::string(78, 'A'), 5, 0, -0.03, 4.7, std::string(78, 'A') + " 4"},
      {std::string(100, 'A'), 5, 0, -0.03, 4.7, std::string(80, 'A')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    const std::string line = TestLine(kOneSided, c.title, c.df1, c.df2, c.p, c.statistic);
    EXPECT_EQ(line, c.expected);
    EXPECT_LE(line.size(), 80u);
  }
}

TEST(Significance, RatioCountAndRule) {
  EXPECT_EQ(RatioText(12, 30), "(12/30)");
  EXPECT_EQ(RatioText(2.5, 3.5), "(2/4)");  // half to even
  EXPECT_EQ(RatioText(-1.5, 0.4), "(-2/0)");
  EXPECT_EQ(RatioText(1e12, 5.49), "(2147483647/5)");  // clamped to the long range

  const struct {
    int n;
    int paren;
    int spaced;
    int pad;
    const char* expected;
  } counts[] = {
      {25, 0, 1, 0, "N = 25"},    {25, 0, 0, 0, "N=25"},
      {25, 1, 1, 0, "(N = 25)"},  {25, 1, 0, -1, " (N=25)"},
      {25, 1, 1, 1, "(N = 25) "}, {25, 0, 1, 1, "N = 25"},  // pads only with parentheses
      {-3, 0, 0, -1, "N=-3"},
  };
  for (const auto& c : counts) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(CountText(c.n, c.paren, c.spaced, c.pad), c.expected);
  }

  EXPECT_EQ(RuleLine("-"), std::string(70, '-'));
  EXPECT_EQ(RuleLine("abc"), [] {
    std::string text;
    for (int i = 0; i < 24; ++i) text += "abc";  // 69 characters are not yet 70
    return text;
  }());
  EXPECT_EQ(RuleLine(std::string(75, '=')), std::string(75, '='));
  EXPECT_EQ(RuleLine(""), "");
}

}  // namespace
}  // namespace veltrix
