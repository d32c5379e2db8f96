// Statistical parameters (analysis codes 11, 12, 13 and 19): descriptive statistics of numeric
// variables per cell - the groups of one variable (11), the classes of a second variable (12), the
// variables of one group (13), or each variable in two groups (19) - with the tests that compare the
// cells. TProcKG accumulates during the data pass; TPrepKG computes the statistics and tests after it
// and writes the nine tables.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "core/analysis/analysis_procedure.h"
#include "core/analysis/record_services.h"

namespace veltrix {

class TDatCount;
class CountingCache;

inline constexpr int kMaxCells = 30;
// Complete records the case store of code 13 keeps for the rank tests.
inline constexpr int kCaseStoreLimit = 250;
// The row codes "A:" .. "Z:", "1:" .. "4:".
inline constexpr std::string_view kCellCodes = "A:B:C:D:E:F:G:H:I:J:K:L:M:N:O:P:Q:R:S:T:U:V:W:X:Y:Z:1:2:3:4:";

// One cell: count, extremes, the largest number of decimals, and the shifted sums of Welford's update
// (origin x0, sum of x - x0 as a block sum plus a running total, sum of squared deviations).
struct KGCell {
  double n = 0;
  double min = 0;
  double max = 0;
  int decimals = 0;
  double origin = 0;
  double total = 0;
  double block = 0;
  int blockRecords = 0;
  double q = 0;

  void add(double x, int decimals);
  double sum() const { return total + block; }
  double mean() const { return n > 0 ? origin + sum() / n : 0; }
  double variance() const { return n > 1 ? q / (n - 1) : 0; }
};

// Means and co-moments of the complete records of code 13 (every selected variable present).
struct CompleteRecords {
  double n = 0;
  int k = 0;
  std::vector<double> means;      // k
  std::vector<double> comoments;  // k * k
  void add(const double* values);
};

class TProcKG : public AnalysisProcedure {
 public:
  explicit TProcKG(AnalysisContext& context);
  ~TProcKG() override;

  bool event(int code, const RecordBuffer& record) override;
  bool finishPass() override;
  void cancel() override;
  void writeTables() override;

  // ---- what the finishing routine reads
  int cellCount() const { return m_cells; }
  const KGCell& cell(int i) const { return m_cell[static_cast<std::size_t>(i)]; }
  bool overlap() const { return m_overlap; }

 private:
  bool start();
  void addRecord(const RecordBuffer& record);
  void addValue(int cell, double value, int decimals);
  // Counts the value in the cells flagged in m_flags.
  void countValue(double value);

  AnalysisContext& m_context;
  int m_code = 0;
  SelectionSlot m_slot1{};
  SelectionSlot m_slot3{};
  SelectionSlot m_slot4{};
  SelectionSlot m_slot7{};
  std::unique_ptr<SlotGroups> m_groups;
  std::unique_ptr<TDatCount> m_count;
  std::unique_ptr<CountingCache> m_cache;
  bool m_counting = false;
  bool m_countFailed = false;
  int m_cells = 0;
  int m_variables = 0;
  bool m_completeCases = false;
  bool m_overlap = false;
  std::array<KGCell, kMaxCells> m_cell{};
  std::array<std::uint8_t, 32> m_flags{};
  RecordValues m_values;
  RecordValues m_values2;
  // Code 13.
  CompleteRecords m_complete;
  bool m_storeRecords = false;
  bool m_storeOverflow = false;
  std::vector<double> m_store;  // complete records, k values each
  std::vector<double> m_row;
  friend class TPrepKG;
};

}  // namespace veltrix
