// Frequency tables (analysis codes 31 to 34): records counted into a two-way table of classes and
// groups - classes of a variable by groups (31), by the classes of a second variable (32), the classes
// of several variables (33), or groups by groups (34) - with the percentage, cumulative and expected
// tables and the contingency analysis (chi-square, four-fold tests, Fisher's exact test).
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/analysis/analysis_procedure.h"
#include "core/analysis/record_services.h"

namespace veltrix {

inline constexpr int kMaxFrequencyCells = 30;

// The count matrix: 30 rows and columns of cells, their totals counted per record, and N.
struct FrequencyCounts {
  int rows = 0;
  int cols = 0;
  std::array<double, kMaxFrequencyCells * kMaxFrequencyCells> cells{};
  std::array<double, kMaxFrequencyCells> rowTotals{};
  std::array<double, kMaxFrequencyCells> colTotals{};
  double n = 0;
  bool overlap = false;
  double cell(int r, int c) const { return cells[static_cast<std::size_t>(r * kMaxFrequencyCells + c)]; }
};

// The contingency analysis of the table without its totals (rows x cols, row by row): the lines of
// the test table, empty when no test is made.
std::vector<std::string> ContingencyTest(const SignificanceLevels& levels, int rows, int cols,
                                         const std::vector<double>& table);
// Fisher's exact test of the four-fold table a b / c d: the one-tailed sum of the probabilities of
// the table and of the more extreme ones with the same margins.
double FisherExactTest(double a, double b, double c, double d);

class TProcHF : public AnalysisProcedure {
 public:
  explicit TProcHF(AnalysisContext& context) : m_context(context) {}

  bool event(int code, const RecordBuffer& record) override;
  bool finishPass() override { return true; }
  void cancel() override {}
  void writeTables() override;

  const FrequencyCounts& counts() const { return m_counts; }

 private:
  void start();
  void addRecord(std::string_view record);
  void count(const ClassList& rows, const ClassList& cols);

  AnalysisContext& m_context;
  int m_code = 0;
  SelectionSlot m_slot1{}, m_slot2{}, m_slot3{}, m_slot4{}, m_slot7{}, m_slot8{};
  std::unique_ptr<SlotGroups> m_groups7;
  std::unique_ptr<SlotGroups> m_groups8;
  bool m_completeCases = false;
  RecordValues m_values;
  RecordValues m_values2;
  FrequencyCounts m_counts;
};

}  // namespace veltrix
