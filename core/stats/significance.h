// The user's significance levels as the tests read them, and the texts every test result is written
// with: the p-value phrase with its mark and sidedness, the result line, counts, ratios and rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrix {

// The working copy of the significance settings (the parameter file holds the stored ones) with the
// texts derived from them. Defaults: one-sided, 0.05 and 0.01.
struct SignificanceLevels {
  int sides = 1;         // 1 one-sided, any other value two-sided
  double alpha1 = 0.05;  // the weaker level: mark "+"
  double alpha2 = 0.01;  // the stronger level: mark "x"

  // Derived by SignificanceTexts.
  std::string confidence1;    // (1 - alpha1) * 100, for example "95"
  std::string confidence2;    // (1 - alpha2) * 100, for example "99"
  double critical1 = 0;       // NormalCritical(alpha1)
  double critical2 = 0;       // NormalCritical(alpha2)
  std::string legend;         // "+:p<0.05  x:p<0.01"
  std::string sidednessText;  // "(eins.)" or "(zweis.)"
  std::string legendHeading;  // legend + " " + sidednessText

  bool twoSided() const { return sides != 1; }
};

// The levels with their derived texts computed.
SignificanceLevels MakeSignificanceLevels(int sides, double alpha1, double alpha2);
// Recomputes the derived texts from sides, alpha1 and alpha2.
void SignificanceTexts(SignificanceLevels& levels);

// ' ' when p >= alpha1, '+' when alpha2 <= p < alpha1, 'x' when p < alpha2.
char SignificanceMark(const SignificanceLevels& levels, double p);
// "eins." for one-sided tests, else "zweis.".
std::string SidednessWord(const SignificanceLevels& levels);
// " p < 0.0001" or " p = " + |p| with 4 decimals in 6 characters ("1.00  " from 0.9999 on); with
// markFlag > 0 a blank and the mark follow; unless p < 0, " ,  " and the sidedness word. Callers pass
// -p where sidedness means nothing (chi-square and F tests).
std::string PValueText(const SignificanceLevels& levels, int markFlag, double p);
// title + " " + the statistic (2 decimals in 12 characters above 1000, else 3 in 8, leading blanks
// removed) + "   " + PValueText(0, p), cut to 80 characters; with df1 >= 1 "  (" + df1 (the
// character 0xF7 from 30000 on) [+ ", " + df2 when df2 > 0] + " d.f.)". At most 80 characters.
std::string TestLine(const SignificanceLevels& levels, std::string_view title, std::int32_t df1,
                     std::int32_t df2, double p, double statistic);
// "(" a "/" b ")" with a and b rounded to integers.
std::string RatioText(double a, double b);
// "N = " + n when spaced > 0, else "N=" + n; with paren > 0 in parentheses, then preceded by a blank
// when pad < 0 or followed by one when pad > 0.
std::string CountText(std::int32_t n, int paren, int spaced, int pad);
// The pattern repeated until the text is at least 70 characters long (an empty pattern gives "").
std::string RuleLine(std::string_view pattern);

}  // namespace veltrix
