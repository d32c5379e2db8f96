#include "core/stats/significance.h"

#include <cmath>
#include <cstddef>
#include <string>
#include <utility>

#include "core/stats/distributions.h"
#include "core/stats/guarded_math.h"
#include "core/stats/number_format.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

namespace {

constexpr std::size_t kPercentLength = 10;
constexpr std::size_t kLegendLength = 40;
constexpr std::size_t kSidednessLength = 10;
constexpr std::size_t kLineLength = 80;
constexpr std::size_t kRuleLength = 70;
constexpr std::int32_t kLargeDf = 30000;

std::string Cut(std::string text, std::size_t length) {
  if (text.size() > length) text.resize(length);
  return text;
}

}  // namespace

SignificanceLevels MakeSignificanceLevels(int sides, double alpha1, double alpha2) {
  SignificanceLevels levels;
  levels.sides = sides;
  levels.alpha1 = alpha1;
  levels.alpha2 = alpha2;
  SignificanceTexts(levels);
  return levels;
}

void SignificanceTexts(SignificanceLevels& levels) {
  levels.confidence1 = Cut(FormatDecimals(-4, (1.0 - levels.alpha1) * 100.0), kPercentLength);
  levels.confidence2 = Cut(FormatDecimals(-4, (1.0 - levels.alpha2) * 100.0), kPercentLength);
  levels.critical1 = NormalCritical(levels.alpha1);
  levels.critical2 = NormalCritical(levels.alpha2);
  levels.legend =
      Cut("+:p<" + FormatDecimals(-5, levels.alpha1) + "  " + "x" + ":p<" + FormatDecimals(-5, levels.alpha2),
          kLegendLength);
  levels.sidednessText = Cut("(" + SidednessWord(levels) + ")", kSidednessLength);
  levels.legendHeading = levels.legend + " " + levels.sidednessText;
}

char SignificanceMark(const SignificanceLevels& levels, double p) {
  // Asked as "below the level" so that a p that is no number never counts as significant.
  if (p < levels.alpha1) return p < levels.alpha2 ? 'x' : '+';
  return ' ';
}

std::string SidednessWord(const SignificanceLevels& levels) {
  return levels.twoSided() ? "zweis." : "eins.";
}

std::string PValueText(const SignificanceLevels& levels, int markFlag, double p) {
  const double q = p < 0.0 ? -p : p;
  std::string text;
  if (q < 0.0001) {
    text = " p < 0.0001";
  } else {
    text = " p = " + (q < 0.9999 ? FormatInWidth(4, 6, q) : std::string("1.00  "));
  }
  if (markFlag > 0) {
    text += ' ';
    text += SignificanceMark(levels, q);
  }
  // By the sign bit: a tail of 0 passed as -0 (chi-square, F) must lose the sidedness word as well.
  if (!std::signbit(p)) text += " ,  " + SidednessWord(levels);
  return text;
}

std::string TestLine(const SignificanceLevels& levels, std::string_view title, std::int32_t df1,
                     std::int32_t df2, double p, double statistic) {
  const std::string value =
      TrimBlanks(statistic > 1000.0 ? FormatInWidth(2, 12, statistic) : FormatInWidth(3, 8, statistic), -1);
  std::string line =
      Cut(std::string(title.substr(0, kLineLength)) + " " + value + "   " + PValueText(levels, 0, p),
          kLineLength);
  if (df1 >= 1) {
    line += "  (";
    line += df1 >= kLargeDf ? std::string("\xF7") : std::to_string(df1);
    if (df2 > 0) line += ", " + std::to_string(df2);
    line += " d.f.)";
  }
  return Cut(std::move(line), kLineLength);
}

std::string RatioText(double a, double b) {
  return "(" + std::to_string(RoundToLong(a)) + "/" + std::to_string(RoundToLong(b)) + ")";
}

std::string CountText(std::int32_t n, int paren, int spaced, int pad) {
  std::string text = (spaced > 0 ? "N = " : "N=") + std::to_string(n);
  if (paren > 0) {
    text = "(" + text + ")";
    if (pad < 0) text = " " + text;
    if (pad > 0) text += " ";
  }
  return text;
}

std::string RuleLine(std::string_view pattern) {
  std::string text;
  if (pattern.empty()) return text;
  while (text.size() < kRuleLength) text += pattern;
  return text;
}

}  // namespace veltrix
