#include "core/directtests/direct_tests.h"

#include <cmath>
#include <memory>

#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/directtests/entry_check.h"
#include "core/output/table_manager.h"
#include "core/stats/distributions.h"
#include "core/stats/guarded_math.h"
#include "core/stats/marked_line.h"
#include "core/stats/number_format.h"
#include "core/stats/text_helpers.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;

constexpr int kLabelWidth = 16;
constexpr int kValueWidth = 12;
constexpr double kChiSquareForImpossible = 1000000;

// A row of a table in the sheet: the label left in its field, the cells right-aligned in theirs. The
// fields are marked widths, so that the columns line up in the window's font as in a protocol file.
std::string tableRow(std::string_view label, const std::vector<std::string>& cells, int width = kValueWidth) {
  std::string line = MarkCell(label.empty() ? std::string_view(" ") : label, kLabelWidth, -1, 0);
  for (const std::string& cell : cells) line += MarkCell(cell, width, 1, 0);
  return line;
}

std::string number(double value, int decimals = -4, int width = kValueWidth) {
  return FormatInWidth(decimals, width, value);
}

// What a sheet is made of: its title and its lines.
struct Sheet {
  std::string title;
  std::vector<std::string> lines;
};

void writeSheet(TTMng& tables, int code, const Sheet& sheet) {
  tables.ClearTables();
  TTabHeader header;
  header.Kind = 'A';
  header.TitleLines = 1;
  header.LeftTitle[0] = sheet.title;
  header.Rows = static_cast<std::int16_t>(sheet.lines.size());
  tables.BeginTextTableList(1, header, sheet.lines);
  tables.setTabDef(1, "00HHHHErgebnis");
  tables.AnalysisCode = static_cast<std::int16_t>(code);
  tables.HelpTopic = code * 10;
  // The test button repeats the test with the inputs of this run.
  tables.setToolFlags("001");
  tables.setCaption(sheet.title);
}

// ---- two-sample t-test

std::unique_ptr<CheckedValueDialog> twoSampleDialog(Ui& ui) {
  const CellRule mean{0, 0, 0};
  const CellRule sd{20, 0, 0};
  const CellRule n{121, 2, 1000};
  auto dialog = std::make_unique<CheckedValueDialog>(ui, ValueLayout::TwoByThree, 2, 3,
                                                     std::vector<CellRule>{mean, sd, n, mean, sd, n});
  dialog->caption = std::string("t-Test, unabhängige Stichproben"_w);
  dialog->prompt = "Eingabe :";
  dialog->rowLabels = {"Stichprobe 1", "Stichprobe 2"};
  dialog->columnLabels = {"MW", "SD", "N"};
  return dialog;
}

Sheet twoSampleSheet(const CheckedValueDialog& d, const SignificanceLevels& levels) {
  const TwoSampleSummary a{d.value(0, 0), d.value(0, 1), d.value(0, 2)};
  const TwoSampleSummary b{d.value(1, 0), d.value(1, 1), d.value(1, 2)};
  const TTwoSampleResult r = TwoSampleTTest(a, b, levels.sides);
  Sheet sheet{d.caption, {"Eingabe :", tableRow("", {"MW", "SD", "SEM", "N"})}};
  for (const auto& [label, s] : {std::pair{"Stichprobe 1", a}, std::pair{"Stichprobe 2", b}})
    sheet.lines.push_back(
        tableRow(label, {number(s.mean), number(s.sd), number(s.sd / std::sqrt(s.n)), number(s.n)}));
  sheet.lines.emplace_back();
  sheet.lines.push_back(r.unequalVariances
                            ? std::string("t-Test, unabhängige Stichproben (ungleiche Varianz) :"_w)
                            : std::string("t-Test, unabhängige Stichproben (gleiche Varianz) :"_w));
  sheet.lines.push_back("  " + TestLine(levels, std::string("Testgröße : "_w), r.df, 0, r.p, r.t));
  if (r.unequalVariances) {
    sheet.lines.emplace_back();
    sheet.lines.emplace_back("Test auf Varianzengleichheit :");
    sheet.lines.push_back(
        "  " + TestLine(levels, std::string("F-Wert (Testgröße) : "_w), r.fDf1, r.fDf2, r.pF, r.f));
  }
  return sheet;
}

// ---- four-fold tables

std::unique_ptr<CheckedValueDialog> fourFoldDialog(Ui& ui, double high) {
  auto dialog = std::make_unique<CheckedValueDialog>(ui, ValueLayout::TwoByTwo, 2, 2,
                                                     std::vector<CellRule>{CellRule{111, 0, high}});
  dialog->prompt = "Vierfeldertafel :";
  return dialog;
}

// The table with its row and column sums.
void addFourFold(Sheet& sheet, const CheckedValueDialog& d, const std::vector<std::string>& rowLabels,
                 const std::vector<std::string>& columnLabels, int width) {
  const double a = d.value(0, 0), b = d.value(0, 1), c = d.value(1, 0), e = d.value(1, 1);
  std::vector<std::string> head = columnLabels;
  head.emplace_back("Summe");
  sheet.lines.push_back(tableRow("", head, width));
  sheet.lines.push_back(
      tableRow(rowLabels[0], {number(a, 0, width), number(b, 0, width), number(a + b, 0, width)}, width));
  sheet.lines.push_back(
      tableRow(rowLabels[1], {number(c, 0, width), number(e, 0, width), number(c + e, 0, width)}, width));
  sheet.lines.push_back(tableRow(
      "Summe", {number(a + c, 0, width), number(b + e, 0, width), number(a + b + c + e, 0, width)}, width));
}

std::unique_ptr<CheckedValueDialog> mcNemarDialog(Ui& ui) {
  auto dialog = fourFoldDialog(ui, 1000000);
  dialog->caption = "McNemar-Test";
  SplitList("pos.^neg.", '^', dialog->rowLabels);
  SplitList("pos.^neg.", '^', dialog->columnLabels);
  return dialog;
}

Sheet mcNemarSheet(const CheckedValueDialog& d, const SignificanceLevels& levels) {
  Sheet sheet{d.caption, {"Vierfeldertafel :"}};
  addFourFold(sheet, d, d.rowLabels, d.columnLabels, kValueWidth);
  const McNemarResult r = McNemarTest(d.value(0, 0), d.value(0, 1), d.value(1, 0), d.value(1, 1));
  if (r.p < 0) return sheet;
  sheet.lines.emplace_back();
  sheet.lines.push_back(TestLine(levels, std::string("Testgröße : "_w), 1, 0, -r.p, r.chiSquare));
  return sheet;
}

std::unique_ptr<CheckedValueDialog> sensitivityDialog(Ui& ui) {
  auto dialog = fourFoldDialog(ui, 100000000);
  dialog->caption = std::string("Sensitivität, Spezifität, ..."_w);
  dialog->rowLabels = {"Test pos.", "Test neg."};
  dialog->columnLabels = {std::string("tatsächlich positiv"_w), std::string("tatsächlich negativ"_w)};
  return dialog;
}

Sheet sensitivitySheet(const CheckedValueDialog& d) {
  Sheet sheet{d.caption, {"Vierfeldertafel :"}};
  addFourFold(sheet, d, d.rowLabels, d.columnLabels, 21);
  const DiagnosticRatios r = DiagnosticTest(d.value(0, 0), d.value(0, 1), d.value(1, 0), d.value(1, 1));
  // Built line by line: clang 14 fails on a braced list of these converted literals.
  std::vector<std::string> ratios;
  ratios.push_back(std::string("  Sensitivität: "_w) + FormatDecimals(5, r.sensitivity));
  ratios.push_back(std::string("  Spezifität: "_w) + FormatDecimals(5, r.specificity));
  ratios.push_back("  Vorhersagewert (+): " + FormatDecimals(5, r.positivePredictive));
  ratios.push_back("  Vorhersagewert (-): " + FormatDecimals(5, r.negativePredictive));
  ratios.push_back(std::string("  Effektivität: "_w) + FormatDecimals(5, r.efficiency));
  ratios.resize(7);
  std::vector<std::string> note(2);
  note.emplace_back("Diese Größen sind nur dann von"_w);
  note.emplace_back("Bedeutung, wenn das Verhältnis"_w);
  note.emplace_back("tatsächlich positiver zu negativer "_w);
  note.emplace_back("Fälle in der Stichprobe mit dem der"_w);
  note.emplace_back("Grundgesamtheit übereinstimmt!"_w);
  sheet.lines.emplace_back();
  for (std::size_t i = 0; i < ratios.size(); ++i) {
    std::string line = ratios[i];
    if (!note[i].empty()) line = MarkCell(line.empty() ? " " : line, 36, -1, 0) + MarkCell(note[i], 0, -1, 0);
    sheet.lines.push_back(line);
  }
  while (!sheet.lines.empty() && sheet.lines.back().empty()) sheet.lines.pop_back();
  return sheet;
}

// ---- goodness of fit

std::unique_ptr<CheckedValueDialog> goodnessOfFitDialog(Ui& ui) {
  std::vector<CellRule> rules;
  for (int r = 0; r < kMaxGoodnessOfFitCategories; ++r) {
    rules.push_back({112, 0, 100000000});  // Ni
    rules.push_back({12, 0, 1});           // pi
  }
  auto dialog =
      std::make_unique<CheckedValueDialog>(ui, ValueLayout::Grid, kMaxGoodnessOfFitCategories, 2, rules);
  dialog->caption = "Chi-Quadrat Anpassungstest";
  dialog->prompt = "Eingabe : Ni (=Beob. Hfgk.) und pi (=theor. Wahrscheinlichkeiten)";
  dialog->columnLabels = {"Ni", "pi"};
  dialog->minimumRows = 2;
  dialog->tooFewRowsMessage = "Mindestens zwei Kategorien (Zeilen) eingeben!";
  for (int r = 1; r <= kMaxGoodnessOfFitCategories; ++r) dialog->rowLabels.push_back(std::to_string(r) + ".");
  return dialog;
}

Sheet goodnessOfFitSheet(const CheckedValueDialog& d, const SignificanceLevels& levels) {
  std::vector<double> observed, probabilities;
  for (int r = 0; r < d.checkedRows(); ++r) {
    observed.push_back(d.value(r, 0));
    probabilities.push_back(d.value(r, 1));
  }
  const GoodnessOfFitResult r = GoodnessOfFit(observed, probabilities);
  constexpr int width = 16;
  Sheet sheet{d.caption,
              {"Eingabe :", tableRow("", {"beob. Hfgk.", "theor. Wahrsch.", "erw. Hfgk."}, width)}};
  double sumP = 0, sumE = 0;
  for (std::size_t i = 0; i < observed.size(); ++i) {
    const double p = i < r.probabilities.size() ? r.probabilities[i] : probabilities[i];
    const double e = i < r.expected.size() ? r.expected[i] : 0;
    sumP += p;
    sumE += e;
    sheet.lines.push_back(tableRow(std::to_string(i + 1) + ".",
                                   {number(observed[i], 0, width), number(p, 4, width), number(e, 2, width)},
                                   width));
  }
  sheet.lines.push_back(
      tableRow("Summe", {number(r.n, 0, width), number(sumP, 4, width), number(sumE, 2, width)}, width));
  sheet.lines.emplace_back();
  if (!r.tested) {
    sheet.lines.emplace_back("Keine Auswertung!");
    return sheet;
  }
  sheet.lines.push_back(TestLine(levels, std::string("Testgröße : "_w), r.df, 0, -r.p, r.chiSquare));
  return sheet;
}

}  // namespace

bool HasDirectTest(int code) {
  return code == kTwoSampleTTestCode || code == kMcNemarCode || code == kSensitivityCode ||
         code == kGoodnessOfFitCode;
}

McNemarResult McNemarTest(double a, double b, double c, double d) {
  if (a < 0 || b < 0 || c < 0 || d < 0) return {};
  const double x = MaxReal(b, c);
  const double y = MinReal(b, c);
  const double corrected = MaxReal(x - y - 1, 0);
  McNemarResult r;
  r.chiSquare = corrected * corrected / (x + y + 1);
  r.p = ChiSquareTail(r.chiSquare, 1);
  return r;
}

DiagnosticRatios DiagnosticTest(double a, double b, double c, double d) {
  const auto ratio = [](double num, double den) { return den > 0 ? num / den : 0.0; };
  return {ratio(a, a + c), ratio(d, b + d), ratio(a, a + b), ratio(d, c + d), ratio(a + d, a + b + c + d)};
}

GoodnessOfFitResult GoodnessOfFit(const std::vector<double>& observed,
                                  const std::vector<double>& probabilities) {
  GoodnessOfFitResult r;
  const std::size_t k = std::min(observed.size(), probabilities.size());
  r.probabilities.assign(probabilities.begin(), probabilities.begin() + static_cast<std::ptrdiff_t>(k));
  for (std::size_t i = 0; i < k; ++i) {
    if (observed[i] < 0 || probabilities[i] < 0) return r;
    r.n += observed[i];
  }
  if (k < 2) return r;
  double total = 0;
  int zeros = 0;
  for (double p : r.probabilities) {
    total += p;
    if (p == 0) ++zeros;
  }
  if (total > 1.0005) {
    for (double& p : r.probabilities) p /= total;
  } else if (total < 0.9995) {
    const double share = (1 - total) / (zeros > 0 ? zeros : static_cast<double>(k));
    for (double& p : r.probabilities)
      if (zeros == 0 || p == 0) p += share;
  }
  bool impossible = false;
  for (std::size_t i = 0; i < k; ++i) {
    const double e = r.n * r.probabilities[i];
    r.expected.push_back(e);
    if (e > 0) {
      r.chiSquare += (observed[i] - e) * (observed[i] - e) / e;
    } else if (observed[i] > 0) {
      impossible = true;  // an observation where none can be expected
    }
  }
  if (impossible) r.chiSquare = kChiSquareForImpossible;
  r.df = static_cast<int>(k) - 1;
  if (r.n <= 0) return r;
  r.p = ChiSquareTail(r.chiSquare, r.df);
  r.tested = true;
  return r;
}

std::optional<std::vector<std::string>> TDTest(int code, Ui& ui, const SignificanceLevels& levels,
                                               TTMng& tables, const std::vector<std::string>* preset) {
  std::unique_ptr<CheckedValueDialog> dialog;
  switch (code) {
    case kTwoSampleTTestCode:
      dialog = twoSampleDialog(ui);
      break;
    case kMcNemarCode:
      dialog = mcNemarDialog(ui);
      break;
    case kSensitivityCode:
      dialog = sensitivityDialog(ui);
      break;
    case kGoodnessOfFitCode:
      dialog = goodnessOfFitDialog(ui);
      break;
    default:
      return std::nullopt;
  }
  dialog->helpNumber = code * 10;
  if (preset) dialog->setTexts(*preset);
  if (!ui.valueDialog(*dialog)) return std::nullopt;
  // An empty grid closes like "Abbrechen".
  if (code == kGoodnessOfFitCode && dialog->checkedRows() == 0) return std::nullopt;
  Sheet sheet;
  switch (code) {
    case kTwoSampleTTestCode:
      sheet = twoSampleSheet(*dialog, levels);
      break;
    case kMcNemarCode:
      sheet = mcNemarSheet(*dialog, levels);
      break;
    case kSensitivityCode:
      sheet = sensitivitySheet(*dialog);
      break;
    default:
      sheet = goodnessOfFitSheet(*dialog, levels);
      break;
  }
  writeSheet(tables, code, sheet);
  return dialog->texts();
}

}  // namespace veltrix
