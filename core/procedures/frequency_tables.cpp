#include "core/procedures/frequency_tables.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/analysis/selection_slots.h"
#include "core/base/win1252.h"
#include "core/datafile/stat_record.h"
#include "core/output/table_layout.h"
#include "core/stats/distributions.h"
#include "core/stats/guarded_math.h"
#include "core/stats/number_format.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

namespace {

constexpr std::size_t kLabel = 10;
constexpr int kValueWidth = 10;
// A rule 74 character widths long: a width segment of code "z" filled with "-".
constexpr std::string_view kRule = "@z|";
constexpr std::string_view kTitleStart = "Häufigkeitsverteilung ( "_w;

std::string Label10(std::string_view text) {
  std::string label(text.substr(0, std::min(text.size(), kLabel)));
  label.resize(kLabel, ' ');
  return label;
}

}  // namespace

bool TProcHF::event(int code, const RecordBuffer& record) {
  if (code == kEventStart) start();
  if (code == kEventRecord || code == kEventLastRecord) addRecord(record.text());
  return true;
}

void TProcHF::start() {
  const TParams& params = m_context.params;
  m_code = m_context.code;
  m_slot1 = params.selectionSlot(kVariableBox1);
  m_slot2 = params.selectionSlot(kClassBox1);
  m_slot3 = params.selectionSlot(kVariableBox2);
  m_slot4 = params.selectionSlot(kClassBox2);
  m_slot7 = params.selectionSlot(kGroupBox1);
  m_slot8 = params.selectionSlot(kGroupBox2);
  m_groups7 = std::make_unique<SlotGroups>(params, m_slot7);
  m_groups8 = std::make_unique<SlotGroups>(params, m_slot8);
  const auto classes = [](const SelectionSlot& slot) {
    return SlotInUse(slot) ? std::min(SlotCount(slot), kMaxClassValues) + 1 : 0;
  };
  m_counts = FrequencyCounts{};
  switch (m_code) {
    case 31:
      m_counts.rows = classes(m_slot2);
      m_counts.cols = m_groups7->count();
      break;
    case 32:
      m_counts.rows = classes(m_slot2);
      m_counts.cols = classes(m_slot4);
      break;
    case 33:
      m_counts.rows = classes(m_slot2);
      m_counts.cols = SlotInUse(m_slot1) ? SlotCount(m_slot1) : 0;
      m_completeCases = SlotCompleteCases(m_slot1);
      break;
    case 34:
      m_counts.rows = m_groups8->count();
      m_counts.cols = m_groups7->count();
      break;
    default:
      break;
  }
  m_counts.rows = std::min(m_counts.rows, kMaxFrequencyCells);
  m_counts.cols = std::min(m_counts.cols, kMaxFrequencyCells);
}

// Every (row, column) combination of the record adds 1; the totals and N count the record once.
void TProcHF::count(const ClassList& rows, const ClassList& cols) {
  if (rows[31] == 0 || cols[31] == 0) return;
  if (rows[31] > 1 || cols[31] > 1) m_counts.overlap = true;
  for (int i = 0; i < rows[31]; ++i) {
    const int r = rows[static_cast<std::size_t>(i)] - 1;
    if (r < 0 || r >= m_counts.rows) continue;
    m_counts.rowTotals[static_cast<std::size_t>(r)] += 1;
    for (int j = 0; j < cols[31]; ++j) {
      const int c = cols[static_cast<std::size_t>(j)] - 1;
      if (c >= 0 && c < m_counts.cols)
        m_counts.cells[static_cast<std::size_t>(r * kMaxFrequencyCells + c)] += 1;
    }
  }
  for (int j = 0; j < cols[31]; ++j) {
    const int c = cols[static_cast<std::size_t>(j)] - 1;
    if (c >= 0 && c < m_counts.cols) m_counts.colTotals[static_cast<std::size_t>(c)] += 1;
  }
  m_counts.n += 1;
}

void TProcHF::addRecord(std::string_view record) {
  if (m_counts.rows == 0 || m_counts.cols == 0) return;
  const GroupList groups = m_groups7->of(record);
  if (groups[31] == 0) return;
  switch (m_code) {
    case 31: {
      FieldValues(record, m_slot1, m_values);
      const FieldValue30& f = m_values.fields[0];
      count(ClassesOfField(f.text, f.status, f.value, m_slot2), groups);
      return;
    }
    case 32: {
      FieldValues(record, m_slot1, m_values);
      FieldValues(record, m_slot3, m_values2);
      const FieldValue30& f1 = m_values.fields[0];
      const FieldValue30& f2 = m_values2.fields[0];
      const ClassList cols = ClassesOfField(f2.text, f2.status, f2.value, m_slot4);
      count(ClassesOfField(f1.text, f1.status, f1.value, m_slot2), cols);
      return;
    }
    case 33: {
      FieldValues(record, m_slot1, m_values);
      if (m_completeCases && m_values.anyMissing) return;
      ClassList rowsOfRecord{};
      bool any = false;
      for (int j = 0; j < m_counts.cols && j < m_values.count; ++j) {
        const FieldValue30& f = m_values.fields[static_cast<std::size_t>(j)];
        const ClassList rows = ClassesOfField(f.text, f.status, f.value, m_slot2);
        if (rows[31] == 0) continue;
        if (rows[31] > 1) m_counts.overlap = true;
        any = true;
        m_counts.colTotals[static_cast<std::size_t>(j)] += 1;
        for (int i = 0; i < rows[31]; ++i) {
          const int r = rows[static_cast<std::size_t>(i)] - 1;
          if (r < 0 || r >= m_counts.rows) continue;
          m_counts.cells[static_cast<std::size_t>(r * kMaxFrequencyCells + j)] += 1;
          rowsOfRecord[static_cast<std::size_t>(r)] = 1;
        }
      }
      if (!any) return;
      for (int r = 0; r < m_counts.rows; ++r)
        if (rowsOfRecord[static_cast<std::size_t>(r)]) m_counts.rowTotals[static_cast<std::size_t>(r)] += 1;
      m_counts.n += 1;
      return;
    }
    case 34:
      count(m_groups8->of(record), groups);
      return;
    default:
      return;
  }
}

double FisherExactTest(double a, double b, double c, double d) {
  // Turned until a is the smallest cell, b the smaller of its neighbours, and the more extreme tables
  // lie towards a = 0.
  while (b < a || c < a || d < a) {
    const double a0 = a, b0 = b, c0 = c, d0 = d;
    a = b0;
    b = d0;
    c = a0;
    d = c0;
  }
  if (c < b) std::swap(b, c);
  if (b / (b + d) < a / (a + c)) {
    std::swap(a, b);
    std::swap(c, d);
  }
  const auto n = static_cast<std::size_t>(a + b + c + d);
  std::vector<double> lf(n + 1, 0.0);
  for (std::size_t k = 1; k <= n; ++k) lf[k] = lf[k - 1] + std::log(static_cast<double>(k));
  const auto at = [&lf](double k) { return lf[static_cast<std::size_t>(std::max(0.0, k))]; };
  double p = SafeExp(at(a + b) + at(c + d) + at(a + c) + at(b + d) - at(a + b + c + d) - at(a) - at(b) -
                     at(c) - at(d));
  double sum = p;
  while (a >= 1) {
    p = p * a * d / ((b + 1) * (c + 1));
    a -= 1;
    b += 1;
    c += 1;
    d -= 1;
    sum += p;
  }
  return std::clamp(sum, 0.0, 1.0);
}

std::vector<std::string> ContingencyTest(const SignificanceLevels& levels, int rows, int cols,
                                         const std::vector<double>& table) {
  std::vector<std::string> lines;
  // Rows and columns without any count take no part.
  std::vector<int> useRows, useCols;
  std::vector<double> rowSum(static_cast<std::size_t>(rows), 0), colSum(static_cast<std::size_t>(cols), 0);
  double n = 0;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      const double v = table[static_cast<std::size_t>(r * cols + c)];
      rowSum[static_cast<std::size_t>(r)] += v;
      colSum[static_cast<std::size_t>(c)] += v;
      n += v;
    }
  if (n <= 5) return lines;
  for (int r = 0; r < rows; ++r)
    if (rowSum[static_cast<std::size_t>(r)] > 0) useRows.push_back(r);
  for (int c = 0; c < cols; ++c)
    if (colSum[static_cast<std::size_t>(c)] > 0) useCols.push_back(c);
  if (useRows.size() < 2 || useCols.size() < 2) return lines;

  bool lowObserved = false, lowExpected = false;
  double sum = 0;
  for (int r : useRows)
    for (int c : useCols) {
      const double o = table[static_cast<std::size_t>(r * cols + c)];
      const double rt = rowSum[static_cast<std::size_t>(r)], ct = colSum[static_cast<std::size_t>(c)];
      if (o < 5) lowObserved = true;
      if (rt * ct / n < 5) lowExpected = true;
      sum += o * o / (rt * ct);
    }
  const auto r = static_cast<std::int32_t>(useRows.size()), c = static_cast<std::int32_t>(useCols.size());
  const std::int32_t df = (r - 1) * (c - 1);
  double chi = std::max(0.0, n * (sum - 1));
  const double m = std::min(r, c);
  const auto coefficient = [&](double x) { return std::sqrt(x / (x + n)) / std::sqrt((m - 1) / m); };
  std::string title = " Chi-Quadrat-Test ";
  if (df == 1) {
    const double a = table[static_cast<std::size_t>(useRows[0] * cols + useCols[0])];
    const double b = table[static_cast<std::size_t>(useRows[0] * cols + useCols[1])];
    const double cc = table[static_cast<std::size_t>(useRows[1] * cols + useCols[0])];
    const double d = table[static_cast<std::size_t>(useRows[1] * cols + useCols[1])];
    const double margins = (a + b) * (cc + d) * (a + cc) * (b + d);
    const double difference = std::fabs(a * d - b * cc);
    if (n <= 200) {
      const double p = FisherExactTest(a, b, cc, d);
      lines.push_back(std::string(" Fisher-Test : ") + PValueText(levels, 0, -p) + " ,  eins.");
      lines.emplace_back();
      lines.push_back(std::string(" korrigierter Kontingenzkoeffizient: ") +
                      FormatInWidth(3, 6, coefficient(chi)));
      lines.emplace_back(kRule);
      return lines;
    }
    if (n <= 250) {
      // Yates' correction never turns the difference negative.
      const double corrected = difference > 0 ? std::max(0.0, difference - n / 2) : 0.0;
      chi = n * corrected * corrected / margins;
      title = " Vierfelder-Test mit Yates-Korrektur ";
    } else {
      chi = n * difference * difference / margins;
      title = " Vierfelder-Test ";
    }
  }
  const double p = ChiSquareTail(chi, df);
  lines.push_back(title);
  lines.emplace_back();
  lines.push_back(TestLine(levels, std::string("Testgröße : "_w), df, 0, -p, chi));
  lines.emplace_back();
  lines.push_back(std::string(" korrigierter Kontingenzkoeffizient: ") +
                  FormatInWidth(3, 6, coefficient(chi)));
  lines.emplace_back(kRule);
  if (lowObserved || lowExpected) {
    std::string warning;
    if (lowObserved) warning += " Abs. Hfgk. < 5 !";
    if (lowExpected) warning += " Erw.-Werte < 5 !";
    lines.push_back(warning);
    lines.push_back(std::string(" Voraussetzungen für Test nicht ganz erfüllt."_w));
    lines.emplace_back(kRule);
  }
  return lines;
}

void TProcHF::writeTables() {
  const FrequencyCounts& k = m_counts;
  TTMnX& tables = m_context.tables;
  // Trailing empty rows go (code 34 keeps its groups), trailing empty columns only for code 32.
  int rows = k.rows, cols = k.cols;
  if (m_code != 34)
    while (rows > 0 && k.rowTotals[static_cast<std::size_t>(rows - 1)] == 0) --rows;
  if (m_code == 32)
    while (cols > 0 && k.colTotals[static_cast<std::size_t>(cols - 1)] == 0) --cols;
  const bool totalColumn = m_code != 33;
  const int allRows = rows + 1;
  const int allCols = cols + (totalColumn ? 1 : 0);

  // Labels: rows from the class division of box 2 (groups of box 8 for code 34), columns from the
  // groups of box 7, the classes of box 4 or the variables of box 1; "GESAMT" for the totals.
  const SelectionSlot& rowSlot = m_code == 34 ? m_slot8 : m_slot2;
  const SelectionSlot& colSlot = m_code == 31 || m_code == 34 ? m_slot7 : m_code == 32 ? m_slot4 : m_slot1;
  std::string rowNames, colNames;
  for (int r = 1; r <= rows; ++r) rowNames += Label10(SlotLabel(rowSlot, r));
  rowNames += Label10(TrimBlanks(SlotLabel(rowSlot, kSlotTotalLabel), 0));
  for (int c = 1; c <= cols; ++c) colNames += Label10(TrimBlanks(SlotLabel(colSlot, c), 0));
  if (totalColumn) colNames += Label10(TrimBlanks(SlotLabel(colSlot, kSlotTotalLabel), 0));

  // The counts with their totals.
  std::vector<double> abs(static_cast<std::size_t>(allRows * allCols), 0);
  const auto at = [&](std::vector<double>& v, int r, int c) -> double& {
    return v[static_cast<std::size_t>(r * allCols + c)];
  };
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) at(abs, r, c) = k.cell(r, c);
    if (totalColumn) at(abs, r, cols) = k.rowTotals[static_cast<std::size_t>(r)];
  }
  for (int c = 0; c < cols; ++c) at(abs, rows, c) = k.colTotals[static_cast<std::size_t>(c)];
  if (totalColumn) at(abs, rows, cols) = k.n;
  const auto rowTotal = [&](int r) { return totalColumn ? at(abs, r, cols) : 0.0; };
  const auto colTotal = [&](int c) { return at(abs, rows, c); };
  const auto percent = [](double v, double total) { return total <= 0.5 ? 0.0 : v * 100 / total; };

  const SelectionSlot groups = m_slot7;
  const std::string variable1 = TrimBlanks(SlotLabel(m_slot1, 1), 0);
  const std::string countText = "N = " + FormatDecimals(0, k.n);
  const auto header = [&](std::string_view caption) {
    TTabHeader h;
    h.TitleLines = 2;
    h.LeftTitle[0] = std::string(kTitleStart) + std::string(caption) + " )";
    switch (m_code) {
      case 31:
        h.LeftTitle[1] = variable1;
        break;
      case 32:
        h.RightTitle[0] = TrimBlanks(SlotLabel(m_slot3, 1), 0) + " / " + variable1;
        h.LeftTitle[1] = TrimBlanks(SlotGroupName(groups, 1), 0);
        h.RightTitle[1] = countText;
        break;
      case 33:
        h.LeftTitle[1] = TrimBlanks(SlotGroupName(groups, 1), 0);
        h.RightTitle[1] = countText;
        if (m_completeCases) h.RightTitle[0] = std::string("nur \"komplette\" Fälle"_w);
        break;
      case 34:
        h.LeftTitle[1] = "Gruppen / Gruppen";
        break;
      default:
        break;
    }
    if (k.overlap)
      h.Note = m_code == 31   ? std::string("Gruppen- oder Klassenüberschneidung"_w)
               : m_code == 34 ? std::string("Gruppenüberschneidung"_w)
                              : std::string("Klassenüberschneidung"_w);
    return h;
  };
  int produced = 0;
  const auto put = [&](std::string_view tab, std::string_view caption, int tableRows, int tableCols,
                       std::vector<double> values, int decimals) {
    MatrixTable m;
    m.rows = tableRows;
    m.cols = tableCols;
    m.values = std::move(values);
    m.rowLabels.labels.names = rowNames.substr(0, static_cast<std::size_t>(tableRows) * kLabel);
    m.rowLabels.heading = m_code == 34 ? "Gruppe " : m_code == 33 ? "KLASSE" : variable1;
    m.colLabels.names = colNames.substr(0, static_cast<std::size_t>(tableCols) * kLabel);
    m.decimals.assign(static_cast<std::size_t>(tableCols), decimals);
    m.colWidths.assign(static_cast<std::size_t>(tableCols), kValueWidth);
    ++produced;
    tables.PutMatrix(produced, header(caption), m);
    tables.setTabDef(produced, std::string(tab) + std::string(caption));
  };
  // Cuts the total row or column from a table of allRows x allCols.
  const auto without = [&](const std::vector<double>& v, bool totalRow, bool totalCol) {
    std::vector<double> out;
    const int keepRows = totalRow ? rows : allRows, keepCols = totalCol && totalColumn ? cols : allCols;
    for (int r = 0; r < keepRows; ++r)
      for (int c = 0; c < keepCols; ++c) out.push_back(v[static_cast<std::size_t>(r * allCols + c)]);
    return out;
  };

  put("00HHHH", "Abs. Hfgk.", allRows, allCols, abs, 0);
  tables.setToolFlags("0");
  // A degenerate table, or one where no record found a class: the counts only.
  if ((allRows < 3 && allCols < 3) || k.n == 0) return;

  const bool columnPercent = rows > 1;
  const bool rowPercent = m_code != 33 && cols > 1;
  std::vector<double> colPct(abs.size()), rowPct(abs.size());
  for (int r = 0; r < allRows; ++r)
    for (int c = 0; c < allCols; ++c) {
      at(colPct, r, c) = percent(at(abs, r, c), colTotal(c));
      at(rowPct, r, c) = percent(at(abs, r, c), rowTotal(r));
    }
  if (columnPercent) put("01HHHH", "Sp.-%", allRows, allCols, colPct, 2);
  if (rowPercent) put("02HHHH", "Zl.-%", allRows, allCols, rowPct, 2);
  const bool cumulative = !k.overlap;
  if (cumulative) {
    std::vector<double> down = colPct, across = rowPct, absDown = abs, absAcross = abs;
    for (int r = 1; r < allRows; ++r)
      for (int c = 0; c < allCols; ++c) {
        at(down, r, c) += at(down, r - 1, c);
        at(absDown, r, c) += at(absDown, r - 1, c);
      }
    for (int r = 0; r < allRows; ++r)
      for (int c = 1; c < allCols; ++c) {
        at(across, r, c) += at(across, r, c - 1);
        at(absAcross, r, c) += at(absAcross, r, c - 1);
      }
    if (columnPercent) put("11HHHH", "Sp.-%, kum.", rows, allCols, without(down, true, false), 2);
    if (rowPercent) put("22HHHH", "Zl.-%, kum.", allRows, cols, without(across, false, true), 2);
    if (columnPercent) put("10HHHH", "Abs. Sp.kum.", rows, allCols, without(absDown, true, false), 0);
    if (rowPercent) put("20HHHH", "Abs. Zl.kum.", allRows, cols, without(absAcross, false, true), 0);
    if (m_code != 33 && rows > 1 && cols > 1 && k.n > 0) {
      std::vector<double> expected(abs.size());
      for (int r = 0; r < allRows; ++r)
        for (int c = 0; c < allCols; ++c) at(expected, r, c) = rowTotal(r) * colTotal(c) / k.n;
      put("03HHHH", "Erw.-Werte", allRows, allCols, expected, 2);
    }
  }
  if (k.overlap || !m_context.testsAllowed || rows < 2 || cols < 2) return;
  std::vector<double> table;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) table.push_back(k.cell(r, c));
  const std::vector<std::string> lines = ContingencyTest(m_context.significance, rows, cols, table);
  if (lines.empty()) return;
  TTabHeader h = header("Test");
  h.Kind = 'A';
  h.LeftTitle[0] = "Analyse Kontingenztafel";
  ++produced;
  tables.BeginTextTableList(produced, h, lines);
  tables.setTabDef(produced, "00HHHHTest");
}

}  // namespace veltrix
