// TPrepKG: the finishing routine of the statistical parameters. Order statistics come from the
// counting work file, which delivers the distinct values of every cell in ascending order with their
// counts; the rank tests take their ranks from the same stream.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "core/analysis/selection_slots.h"
#include "core/base/win1252.h"
#include "core/datafile/dat_count.h"
#include "core/output/table_layout.h"
#include "core/procedures/sample_tests.h"
#include "core/procedures/statistical_parameters.h"
#include "core/stats/marked_line.h"
#include "core/stats/number_format.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

namespace {

constexpr double kMissing = -1e30;
constexpr int kStatCount = 23;
constexpr int kStatWidth = 11;
constexpr int kCountWidth = 6;
constexpr std::size_t kMaxLine = 255;
constexpr std::size_t kLabelLength = 10;
// Kept at namespace scope: clang 14 fails on a literal of this kind initialising a local string.
constexpr std::string_view kHeading = "Stat. Kenngrößen"_w;

struct OrderStats {
  double median = kMissing;
  double quantileA = kMissing;
  double quantileB = kMissing;
  double q25 = kMissing;
  double q75 = kMissing;
  double whiskerLow = kMissing;
  double whiskerHigh = kMissing;
  std::string low;   // values below the lower whisker, ascending
  std::string high;  // values above the upper whisker, ascending
};

std::string Letter(int cell) {
  return std::string(1, kCellCodes[static_cast<std::size_t>(2 * cell)]);
}

std::string FactorText(double f) {
  return FormatDecimals(-4, f);
}

std::string PercentCaption(double percent) {
  return FormatDecimals(-2, percent) + "%";
}

// Appends ", " + text (or text when list is empty) while the list stays within one table line.
void AppendValue(std::string& list, const std::string& text) {
  const std::size_t extra = (list.empty() ? 0 : 2) + text.size();
  if (list.size() + extra > kMaxLine) return;
  if (!list.empty()) list += ", ";
  list += text;
}

std::string Label10(std::string_view text) {
  std::string label(text.substr(0, std::min(text.size(), kLabelLength)));
  label.resize(kLabelLength, ' ');
  return label;
}

}  // namespace

class TPrepKG {
 public:
  TPrepKG(TProcKG& proc, AnalysisContext& context)
      : m_proc(proc), m_context(context), m_levels(context.significance) {}
  void run();

 private:
  // Reads the counting file once: onHeader(header) first, then onEntry(entry) for each distinct value.
  template <class H, class F>
  void forEachEntry(H onHeader, F onEntry) {
    if (!m_proc.m_count) return;
    TDatCount& count = *m_proc.m_count;
    const DatCountHeader header = count.openForReading(m_context.workFiles[0]);
    if (header.n == 0) return;
    onHeader(header);
    for (;;) {
      const DatCountEntry entry = count.next();
      if (entry.ordinal == 0) break;
      onEntry(entry);
    }
    count.close();
  }

  void orderStatistics();
  void whiskersAndExtremes();
  void rowLabels();
  void headerTitles();
  void statisticsTables();
  void extremeTable();
  void testTables();
  void independentTests(const std::vector<int>& cells);
  void relatedTests();
  void pairwise(const std::vector<int>& cells, const std::function<double(int, int)>& test,
                std::string_view method);
  RankAccumulator ranks(const std::vector<int>& cells);
  struct PairRanks {
    std::vector<int> cells;
    std::vector<double> sizes;
    std::vector<double> rankSums;  // [a * m + b]: rank sum of a in the joint ranking of a and b
    std::vector<double> tieSums;   // [a * m + b] with a < b
    SampleTestResult test(int cellA, int cellB, int sides) const;
  };
  PairRanks pairRanks(const std::vector<int>& cells);
  void twoSample(int a, int b);
  TwoSampleSummary summary(int cell) const;
  std::string line(std::string_view title, const SampleTestResult& r, bool sided) const;

  TProcKG& m_proc;
  AnalysisContext& m_context;
  const SignificanceLevels& m_levels;
  int m_cells = 0;
  int m_data = 0;  // decimals of the data
  std::vector<OrderStats> m_order;
  std::string m_labels;  // 10-character fields, one per cell
  TTabHeader m_header;
  std::vector<std::string> m_tests;
  bool m_leftOut = false;
  std::vector<char> m_marks;
  std::vector<int> m_pairCells;
  std::string m_pairMethod;
};

TwoSampleSummary TPrepKG::summary(int cell) const {
  const KGCell& c = m_proc.cell(cell);
  return TwoSampleSummary{c.mean(), std::sqrt(std::max(0.0, c.variance())), c.n};
}

void TPrepKG::orderStatistics() {
  m_order.assign(static_cast<std::size_t>(m_cells), OrderStats{});
  const std::array<double, 5> fractions = {0.5, m_context.settings.quantileA / 100,
                                           m_context.settings.quantileB / 100, 0.25, 0.75};
  // Per cell and fraction the positions k and k + 1 (1-based, clamped to 1..N) and whether the
  // quantile is their mean: h = N q + 0.0001, k = whole part of h, the mean when h - k < 0.0005.
  struct Wanted {
    std::array<double, 10> position{};
    std::array<double, 10> value{};
    std::array<bool, 5> mean{};
    double n = 0;
    double seen = 0;
  };
  std::vector<Wanted> wanted(static_cast<std::size_t>(m_cells));
  forEachEntry(
      [&](const DatCountHeader& header) {
        for (int c = 0; c < m_cells && c < header.n; ++c) {
          Wanted& w = wanted[static_cast<std::size_t>(c)];
          w.n = header.totals[static_cast<std::size_t>(c)];
          for (std::size_t f = 0; f < fractions.size(); ++f) {
            const double h = w.n * fractions[f] + 0.0001;
            const double k = std::floor(h);
            w.mean[f] = h - k < 0.0005;
            w.position[2 * f] = std::clamp(k, 1.0, std::max(w.n, 1.0));
            w.position[2 * f + 1] = std::clamp(k + 1, 1.0, std::max(w.n, 1.0));
          }
        }
      },
      [&](const DatCountEntry& e) {
        for (int c = 0; c < m_cells; ++c) {
          const auto count = static_cast<double>(e.counts[static_cast<std::size_t>(c)]);
          if (count == 0) continue;
          Wanted& w = wanted[static_cast<std::size_t>(c)];
          for (std::size_t i = 0; i < 10; ++i)
            if (w.position[i] > w.seen && w.position[i] <= w.seen + count) w.value[i] = e.value;
          w.seen += count;
        }
      });
  for (int c = 0; c < m_cells; ++c) {
    const Wanted& w = wanted[static_cast<std::size_t>(c)];
    // A value the counting file refused or dropped leaves its position unfilled: no quantiles then.
    if (w.n == 0 || w.seen < w.n) continue;
    std::array<double, 5> q{};
    for (std::size_t f = 0; f < 5; ++f)
      q[f] = w.mean[f] ? (w.value[2 * f] + w.value[2 * f + 1]) / 2 : w.value[2 * f + 1];
    OrderStats& o = m_order[static_cast<std::size_t>(c)];
    o.median = q[0];
    o.quantileA = q[1];
    o.quantileB = q[2];
    o.q25 = q[3];
    o.q75 = q[4];
  }
}

void TPrepKG::whiskersAndExtremes() {
  const double w = m_context.whiskerFactor;
  std::vector<double> lowLimit(static_cast<std::size_t>(m_cells)),
      highLimit(static_cast<std::size_t>(m_cells));
  for (int c = 0; c < m_cells; ++c) {
    const OrderStats& o = m_order[static_cast<std::size_t>(c)];
    const double iqr = o.q75 - o.q25;
    lowLimit[static_cast<std::size_t>(c)] = o.q25 - w * iqr;
    highLimit[static_cast<std::size_t>(c)] = o.q75 + w * iqr;
  }
  forEachEntry([](const DatCountHeader&) {},
               [&](const DatCountEntry& e) {
                 for (int c = 0; c < m_cells; ++c) {
                   const std::uint32_t count = e.counts[static_cast<std::size_t>(c)];
                   OrderStats& o = m_order[static_cast<std::size_t>(c)];
                   if (count == 0 || o.q25 == kMissing) continue;
                   const std::string text = FormatDecimals(m_data, e.value);
                   if (e.value < lowLimit[static_cast<std::size_t>(c)]) {
                     for (std::uint32_t i = 0; i < count && o.low.size() < kMaxLine; ++i)
                       AppendValue(o.low, text);
                   } else if (e.value > highLimit[static_cast<std::size_t>(c)]) {
                     for (std::uint32_t i = 0; i < count && o.high.size() < kMaxLine; ++i)
                       AppendValue(o.high, text);
                   } else {
                     if (o.whiskerLow == kMissing) o.whiskerLow = e.value;
                     o.whiskerHigh = e.value;
                   }
                 }
               });
}

void TPrepKG::rowLabels() {
  const TParams& params = m_context.params;
  m_labels.clear();
  switch (m_context.code) {
    case 11: {
      const SelectionSlot slot = params.selectionSlot(kGroupBox1);
      for (int c = 1; c <= m_cells; ++c) m_labels += Label10(SlotLabel(slot, c));
      break;
    }
    case 12: {
      const SelectionSlot slot = params.selectionSlot(kClassBox2);
      for (int c = 1; c <= m_cells; ++c) m_labels += Label10(SlotLabel(slot, c));
      break;
    }
    case 13: {
      const SelectionSlot slot = params.selectionSlot(kVariableBox1);
      const int k = m_proc.m_variables;
      for (int c = 1; c <= k; ++c) m_labels += Label10(SlotLabel(slot, c));
      if (m_cells > k) m_labels += Label10("B-A");
      break;
    }
    case 19: {
      const SelectionSlot slot = params.selectionSlot(kVariableBox1);
      for (int v = 1; v <= m_proc.m_variables; ++v) {
        const std::string name = TrimBlanks(SlotLabel(slot, v), 0);
        const std::string shortName = name.substr(0, std::min<std::size_t>(name.size(), 8));
        m_labels += Label10(shortName + " A");
        m_labels += Label10(shortName + " B");
      }
      break;
    }
    default:
      break;
  }
}

void TPrepKG::headerTitles() {
  const TParams& params = m_context.params;
  const SelectionSlot vars = params.selectionSlot(kVariableBox1);
  const SelectionSlot groups = params.selectionSlot(kGroupBox1);
  const std::string firstVariable = TrimBlanks(SlotLabel(vars, 1), 0);
  const std::string heading(kHeading);
  m_header = TTabHeader{};
  m_header.TitleLines = 3;
  switch (m_context.code) {
    case 11:
      m_header.LeftTitle[0] = heading + " : " + firstVariable;
      m_header.LeftTitle[1] = std::string("Eine Variable für mehrere Gruppen"_w);
      m_header.RightTitle[0] = "nach Gruppen";
      break;
    case 12: {
      const SelectionSlot second = params.selectionSlot(kVariableBox2);
      const SelectionSlot division = params.selectionSlot(kClassBox2);
      m_header.LeftTitle[0] = heading + " : " + firstVariable;
      m_header.LeftTitle[1] = "aufgegliedert nach " + TrimBlanks(SlotLabel(second, 1), 0);
      m_header.RightTitle[0] = std::string("für Gruppe: "_w) + TrimBlanks(SlotGroupName(groups, 1), 0);
      m_header.RightTitle[1] = "Klasseneinteilung Nr. " + std::to_string(SlotClassNumber(division));
      break;
    }
    case 13:
      m_header.LeftTitle[0] = heading;
      m_header.LeftTitle[1] = std::string("für Gruppe: "_w) + TrimBlanks(SlotGroupName(groups, 1), 0);
      if (m_proc.m_completeCases) m_header.LeftTitle[2] = std::string("nur \"komplette\" Fälle"_w);
      m_header.RightTitle[0] = std::string("Mehrere Variablen für eine Gruppe"_w);
      break;
    case 19:
      m_header.LeftTitle[0] = heading;
      m_header.LeftTitle[1] = "A: " + TrimBlanks(SlotGroupName(groups, 1), 0);
      m_header.LeftTitle[2] = "B: " + TrimBlanks(SlotGroupName(groups, 2), 0);
      m_header.RightTitle[0] = "Vergleich zweier Gruppen";
      break;
    default:
      break;
  }
  if (m_proc.m_overlap)
    m_header.Note = m_context.code == 12 ? "Klassenüberschneidung"_w : "Gruppenüberschneidung"_w;
}

void TPrepKG::statisticsTables() {
  const ParamSettings& s = m_context.settings;
  StatisticsTable table;
  table.count = m_cells;
  table.statCount = kStatCount;
  // "M-2*SD", "M+2*SD", "M-3*SD", "M+3*SD": the mean minus and plus factor A, then B, times the unit.
  const auto ranges = [&table, &s](const char* unit) {
    for (const double factor : {s.factorA, s.factorB})
      for (const char sign : {'-', '+'})
        table.captions.push_back(std::string("M") + sign + FactorText(factor) + "*" + unit);
  };
  table.captions = {"M", "SD", "SEM", "N", "MIN", "MAX", "MEDIAN"};
  ranges("SD");
  table.captions.insert(table.captions.end(),
                        {"SUMME", "VAR-K.(%)", PercentCaption(s.quantileA), PercentCaption(s.quantileB),
                         "25%(BXU)", "75%(BXO)", "WH UNTEN", "WH OBEN"});
  ranges("SE");
  const int d = m_data;
  table.decimals = {d + 2, d + 2, d + 2, 0,     d,     d, d + 1, d + 2, d + 2, d + 2, d + 2, d,
                    2,     d + 1, d + 1, d + 1, d + 1, d, d,     d + 2, d + 2, d + 2, d + 2};
  table.widths.assign(kStatCount, kStatWidth);
  table.widths[3] = kCountWidth;
  table.values.assign(static_cast<std::size_t>(m_cells * kStatCount), kMissing);
  for (int c = 0; c < m_cells; ++c) {
    const KGCell& cell = m_proc.cell(c);
    const OrderStats& o = m_order[static_cast<std::size_t>(c)];
    double* v = table.values.data() + static_cast<std::ptrdiff_t>(c) * kStatCount;
    v[3] = cell.n;
    if (cell.n == 0) continue;
    const double mean = cell.mean();
    v[0] = mean;
    v[4] = cell.min;
    v[5] = cell.max;
    v[6] = o.median;
    v[11] = cell.n * cell.origin + cell.sum();
    v[13] = o.quantileA;
    v[14] = o.quantileB;
    v[15] = o.q25;
    v[16] = o.q75;
    v[17] = o.whiskerLow;
    v[18] = o.whiskerHigh;
    if (cell.n < 2) continue;  // one value has no spread
    const double sd = std::sqrt(std::max(0.0, cell.variance()));
    const double sem = sd / std::sqrt(cell.n);
    v[1] = sd;
    v[2] = sem;
    v[7] = mean - s.factorA * sd;
    v[8] = mean + s.factorA * sd;
    v[9] = mean - s.factorB * sd;
    v[10] = mean + s.factorB * sd;
    if (mean != 0) v[12] = 100 * sd / mean;
    v[19] = mean - s.factorA * sem;
    v[20] = mean + s.factorA * sem;
    v[21] = mean - s.factorB * sem;
    v[22] = mean + s.factorB * sem;
  }
  table.rowLabels.labels.names = m_labels;
  table.rowLabels.labels.leftAligned = false;
  table.rowLabels.codes = std::string(kCellCodes);
  table.rowLabels.heading = m_context.code == 11 ? "GRUPPE" : m_context.code == 12 ? "KLASSE" : "VARIABLE";

  const char* selections[6] = {"0102030704", "0705141506", "0718161719",
                               "0108091011", "0120212223", "0102041213"};
  TTMnX& tables = m_context.tables;
  for (int t = 0; t < 6; ++t) {
    table.selection = selections[t];
    TTabHeader header = m_header;
    if (t == 2 && m_context.whiskerFactor > 1.1)
      header.Note += " (Whisker-Faktor = " + FormatDecimals(-1, m_context.whiskerFactor) + ")";
    tables.PutStatistics(t + 1, header, table);
  }
}

void TPrepKG::extremeTable() {
  std::vector<std::string> lines;
  lines.push_back("Werte unterhalb WH UNTEN und oberhalb WH OBEN:");
  lines.emplace_back();
  for (int c = 0; c < m_cells; ++c) {
    const OrderStats& o = m_order[static_cast<std::size_t>(c)];
    std::string values = o.low;
    if (!o.high.empty()) AppendValue(values, o.high);
    const std::string code(kCellCodes.substr(static_cast<std::size_t>(2 * c), 2));
    std::string text = code + " " +
                       m_labels.substr(static_cast<std::size_t>(c) * kLabelLength, kLabelLength) + "  " +
                       (values.empty() ? std::string("---") : values);
    if (text.size() > kMaxLine) text.resize(kMaxLine);
    lines.push_back(std::move(text));
  }
  TTabHeader header = m_header;
  header.Kind = 'A';
  m_context.tables.BeginTextTableList(7, header, lines);
}

std::string TPrepKG::line(std::string_view title, const SampleTestResult& r, bool sided) const {
  return TestLine(m_levels, title, r.df1, r.df2, sided ? r.p : -r.p, r.statistic);
}

// The rank sums of every pair of cells in the joint ranking of the two, and their tie sums, in one
// pass over the counting file: a value with counts ca and cb in cells a and b takes the ranks after
// the Ca + Cb smaller values of the two.
TPrepKG::PairRanks TPrepKG::pairRanks(const std::vector<int>& cells) {
  PairRanks pairs;
  const std::size_t m = cells.size();
  pairs.cells = cells;
  pairs.sizes.assign(m, 0);
  pairs.rankSums.assign(m * m, 0);
  pairs.tieSums.assign(m * m, 0);
  std::vector<double> counts(m);
  std::vector<std::size_t> present;
  forEachEntry([](const DatCountHeader&) {},
               [&](const DatCountEntry& e) {
                 present.clear();
                 for (std::size_t i = 0; i < m; ++i) {
                   counts[i] = e.counts[static_cast<std::size_t>(cells[i])];
                   if (counts[i] != 0) present.push_back(i);
                 }
                 for (const std::size_t a : present) {
                   for (std::size_t b = 0; b < m; ++b) {
                     if (b == a || (counts[b] != 0 && b < a)) continue;  // each pair once
                     const double t = counts[a] + counts[b];
                     const double mid = pairs.sizes[a] + pairs.sizes[b] + (t + 1) / 2;
                     pairs.rankSums[a * m + b] += counts[a] * mid;
                     pairs.rankSums[b * m + a] += counts[b] * mid;
                     pairs.tieSums[std::min(a, b) * m + std::max(a, b)] += t * t * t - t;
                   }
                 }
                 for (const std::size_t a : present) pairs.sizes[a] += counts[a];
               });
  return pairs;
}

SampleTestResult TPrepKG::PairRanks::test(int cellA, int cellB, int sides) const {
  const auto index = [this](int cell) {
    return static_cast<std::size_t>(std::find(cells.begin(), cells.end(), cell) - cells.begin());
  };
  const std::size_t a = index(cellA);
  const std::size_t b = index(cellB);
  const std::size_t m = cells.size();
  if (a >= m || b >= m || a == b) return {};
  return WilcoxonFromRanks(rankSums[a * m + b], sizes[a], sizes[b],
                           tieSums[std::min(a, b) * m + std::max(a, b)], sides);
}

RankAccumulator TPrepKG::ranks(const std::vector<int>& cells) {
  RankAccumulator acc(static_cast<int>(cells.size()));
  std::vector<std::uint32_t> counts(cells.size());
  forEachEntry([](const DatCountHeader&) {},
               [&](const DatCountEntry& e) {
                 bool any = false;
                 for (std::size_t i = 0; i < cells.size(); ++i) {
                   counts[i] = e.counts[static_cast<std::size_t>(cells[i])];
                   any = any || counts[i] != 0;
                 }
                 if (any) acc.add(counts);
               });
  return acc;
}

void TPrepKG::twoSample(int a, int b) {
  const std::string prefix = Letter(a) + "-" + Letter(b) + ": ";
  const int sides = m_levels.sides;
  if (m_context.preferredTestMethod == 1) {
    const SampleTestResult r = WilcoxonRankSum(ranks({a, b}), sides);
    m_tests.push_back(line(prefix + "Wilcoxon-Test: TG =", r, true));
    return;
  }
  const TTwoSampleResult t = TwoSampleTTest(summary(a), summary(b), sides);
  SampleTestResult r;
  r.statistic = t.t;
  r.df1 = t.df;
  r.p = t.p;
  r.computed = true;
  m_tests.push_back(line(prefix + "t-Test unabh. Stichpr.: TG =", r, true));
}

void TPrepKG::independentTests(const std::vector<int>& cells) {
  const int sides = m_levels.sides;
  const double alphaA = m_levels.alpha1;
  if (cells.size() == 2) {
    twoSample(cells[0], cells[1]);
    return;
  }
  if (m_context.preferredTestMethod == 1) {
    const SampleTestResult r = KruskalWallis(ranks(cells));
    m_tests.push_back(line("Kruskal-Wallis-Test: TG =", r, false));
    if (r.p < alphaA) {
      const PairRanks pairs = pairRanks(cells);
      pairwise(
          cells, [&](int i, int j) { return pairs.test(i, j, sides).p; }, "Wilcoxon-Test");
    }
    return;
  }
  std::vector<TwoSampleSummary> samples;
  for (int c : cells) samples.push_back(summary(c));
  const OneWayResult r = OneWayAnova(samples);
  m_tests.push_back(line("Einfakt. Varianzanalyse: TG =", r.test, false));
  m_tests.emplace_back();
  m_tests.push_back("   (Var.: Zwischen Gruppen = " + FormatSignificant(r.msBetween) +
                    " ;  Innerhalb Gruppen = " + FormatSignificant(r.msWithin) + " )");
  if (r.test.p < alphaA)
    pairwise(
        cells,
        [&](int i, int j) { return PairwiseT(summary(i), summary(j), r.msWithin, r.dfWithin, sides).p; },
        "t-Test");
}

void TPrepKG::relatedTests() {
  const int k = m_proc.m_variables;
  const int sides = m_levels.sides;
  const double alphaA = m_levels.alpha1;
  const bool ranked = m_context.preferredTestMethod == 1 && m_proc.m_storeRecords && !m_proc.m_storeOverflow;
  const std::vector<double>& store = m_proc.m_store;
  const auto stored = k > 0 ? static_cast<int>(store.size()) / k : 0;
  // Differences x_j - x_i of the stored records.
  const auto differences = [&](int i, int j) {
    std::vector<double> d;
    d.reserve(static_cast<std::size_t>(stored));
    for (int r = 0; r < stored; ++r)
      d.push_back(store[static_cast<std::size_t>(r * k + j)] - store[static_cast<std::size_t>(r * k + i)]);
    return d;
  };
  if (k == 1) {
    if (m_proc.cell(0).n < 4) return;
    m_tests.push_back(line("Test auf Mittelwert 0: TG =", OneSampleT(summary(0), sides), true));
    return;
  }
  const CompleteRecords& complete = m_proc.m_complete;
  if (complete.n < 4) return;
  if (k == 2) {
    if (ranked) {
      const SignRankResult r = SignRankTest(differences(0, 1), sides);
      if (!r.test.computed) {
        m_tests.push_back("Vorzeichen-Rangtest: weniger als 4 Differenzen ungleich 0");
        return;
      }
      m_tests.push_back(line("Vorzeichen-Rangtest: TG =", r.test, true) +
                        "  (N eff.: " + std::to_string(r.nonZero) + ")");
      return;
    }
    m_tests.push_back(line("t-Test verb. Stichproben: TG =", OneSampleT(summary(2), sides), true));
    return;
  }
  SampleTestResult global;
  if (ranked) {
    global = FriedmanTest(store, k);
    m_tests.push_back(line("Friedman-Test: TG =", global, false));
  } else {
    global = TwoWayAnova(complete.n, complete.means, complete.comoments);
    m_tests.push_back(line("Doppelte Varianzanalyse: TG =", global, false));
  }
  if (!(global.p < alphaA)) return;
  std::vector<int> cells(static_cast<std::size_t>(k));
  for (int j = 0; j < k; ++j) cells[static_cast<std::size_t>(j)] = j;
  if (ranked) {
    pairwise(
        cells, [&](int i, int j) { return SignRankTest(differences(i, j), sides).test.p; }, "VZ-Rang-Test");
  } else {
    const auto ku = static_cast<std::size_t>(k);
    pairwise(
        cells,
        [&](int i, int j) {
          const auto iu = static_cast<std::size_t>(i);
          const auto ju = static_cast<std::size_t>(j);
          const double var = (complete.comoments[iu * ku + iu] + complete.comoments[ju * ku + ju] -
                              2 * complete.comoments[iu * ku + ju]) /
                             (complete.n - 1);
          const TwoSampleSummary d{complete.means[ju] - complete.means[iu], std::sqrt(std::max(0.0, var)),
                                   complete.n};
          return OneSampleT(d, sides).p;
        },
        "t-Test");
  }
}

void TPrepKG::pairwise(const std::vector<int>& cells, const std::function<double(int, int)>& test,
                       std::string_view method) {
  std::vector<double> means;
  for (int c : cells) means.push_back(m_proc.cell(c).mean());
  m_marks = PairwiseComparisons(
      means,
      [&](int i, int j) {
        return test(cells[static_cast<std::size_t>(i)], cells[static_cast<std::size_t>(j)]);
      },
      m_levels.alpha1, m_levels.alpha2);
  m_pairCells = cells;
  m_pairMethod = std::string(method);
}

void TPrepKG::testTables() {
  if (!m_context.testsAllowed || !m_context.testsAllowed2 || m_proc.m_overlap) return;
  const auto inTest = [&](int c) { return m_proc.cell(c).n >= 4; };
  switch (m_context.code) {
    case 11:
    case 12: {
      std::vector<int> cells;
      for (int c = 0; c < m_cells; ++c)
        if (inTest(c)) cells.push_back(c);
      m_leftOut = static_cast<int>(cells.size()) < m_cells;
      if (cells.size() < 2) return;
      independentTests(cells);
      break;
    }
    case 19:
      for (int v = 0; v < m_proc.m_variables; ++v) {
        if (inTest(2 * v) && inTest(2 * v + 1))
          twoSample(2 * v, 2 * v + 1);
        else
          m_leftOut = true;
      }
      if (m_tests.empty()) return;
      break;
    case 13:
      relatedTests();
      if (m_tests.empty()) return;
      break;
    default:
      return;
  }
  if (m_leftOut) {
    m_tests.emplace_back();
    m_tests.push_back(" Stichproben mit N<4 nicht im Test");
  }
  TTabHeader header = m_header;
  header.Kind = 'A';
  TTMnX& tables = m_context.tables;
  tables.BeginTextTableList(8, header, m_tests);
  tables.setTabDef(8, "00HHHHTest");
  if (m_marks.empty()) return;

  const int m = static_cast<int>(m_pairCells.size());
  TTabHeader grid = m_header;
  grid.Kind = 'B';
  grid.Rows = static_cast<std::int16_t>(m + 1);
  grid.Cols = static_cast<std::int16_t>(m + 1);
  grid.FixedRows = 1;
  grid.FixedCols = 1;
  grid.ColWidths[0] = 6;
  for (int c = 1; c <= m; ++c) grid.ColWidths[static_cast<std::size_t>(c)] = 4;
  grid.LeftTitle[2] = "Paarweise Vergleiche: " + m_pairMethod;
  grid.Note = m_levels.legend + std::string("  . :nicht durchgeführt"_w);
  tables.BeginTable(9, grid);
  for (int i = 0; i < m; ++i) {
    const std::string letter = Letter(m_pairCells[static_cast<std::size_t>(i)]);
    tables.AddCell(1, i + 2, MarkCell(letter, 0, 0, 0));
    tables.AddCell(i + 2, 1, MarkCell(letter, 0, 0, 0));
    for (int j = 0; j < m; ++j) {
      if (i == j) continue;
      tables.AddCell(i + 2, j + 2,
                     MarkCell(std::string(1, m_marks[static_cast<std::size_t>(i * m + j)]), 0, 0, 0));
    }
  }
  tables.setTabDef(9, "00HHHHPaarw. Vergl.");
}

void TPrepKG::run() {
  m_cells = m_proc.cellCount();
  m_data = 0;
  for (int c = 0; c < m_cells; ++c)
    if (m_proc.cell(c).n > 0) m_data = std::max(m_data, m_proc.cell(c).decimals);
  m_data = std::min(m_data, 9);
  orderStatistics();
  whiskersAndExtremes();
  rowLabels();
  headerTitles();
  statisticsTables();
  extremeTable();
  TTMnX& tables = m_context.tables;
  tables.setTabDef(1, "00HHHHMittelwert, SD, ..");
  tables.setTabDef(2, "00HHHHMedian, Min, Max , ..");
  tables.setTabDef(3, "00HHHHBox&&Whiskers");
  tables.setTabDef(4, "00HHHHM±f*SD"_w);
  tables.setTabDef(5, "00HHHHM±f*SE"_w);
  tables.setTabDef(6, "00HHHHSumme,VK");
  tables.setTabDef(7, "00HHHHExtremw.");
  testTables();
  // The graph of these tables comes with the graph window; until then no result tool is offered.
  tables.setToolFlags("0");
  if (m_proc.m_count) m_proc.m_count->deleteFile();
}

void TProcKG::writeTables() {
  TPrepKG prep(*this, m_context);
  prep.run();
}

}  // namespace veltrix
