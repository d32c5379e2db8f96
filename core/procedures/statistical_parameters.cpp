#include "core/procedures/statistical_parameters.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/analysis/counting_cache.h"
#include "core/analysis/selection_slots.h"
#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/datafile/dat_count.h"
#include "core/datafile/stat_record.h"
#include "core/output/table_layout.h"
#include "core/procedures/sample_tests.h"
#include "core/stats/marked_line.h"
#include "core/stats/number_format.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

void KGCell::add(double x, int dec) {
  decimals = std::max(decimals, dec);
  if (n == 0) {
    // The first value is the origin: its shifted value is 0, and Welford's update has no n - 1 yet.
    n = 1;
    origin = x;
    min = max = x;
    return;
  }
  min = std::min(min, x);
  max = std::max(max, x);
  const double d = x - origin;
  const double before = sum();
  n += 1;
  const double after = before + d;
  q += (d - before / (n - 1)) * (d - after / n);
  block += d;
  if (++blockRecords == 25) {
    total += block;
    block = 0;
    blockRecords = 0;
  }
}

void CompleteRecords::add(const double* values) {
  const auto size = static_cast<std::size_t>(k);
  if (means.size() != size) {
    means.assign(size, 0);
    comoments.assign(size * size, 0);
  }
  n += 1;
  // Welford's update of the co-moment matrix: C += (x - mean_old)(x - mean_new)^T.
  std::array<double, kMaxCells> before{};
  for (std::size_t j = 0; j < size; ++j) {
    before[j] = values[j] - means[j];
    means[j] += before[j] / n;
  }
  for (std::size_t j = 0; j < size; ++j) {
    const double afterJ = values[j] - means[j];
    for (std::size_t l = 0; l < size; ++l) comoments[j * size + l] += before[l] * afterJ;
  }
}

TProcKG::TProcKG(AnalysisContext& context) : m_context(context), m_code(context.code) {}

TProcKG::~TProcKG() {
  if (m_count) m_count->deleteFile();
}

bool TProcKG::event(int code, const RecordBuffer& record) {
  switch (code) {
    case kEventStart:
      return start();
    case kEventRecord:
    case kEventLastRecord:
      addRecord(record);
      return !m_countFailed;
    default:
      return true;
  }
}

bool TProcKG::start() {
  TParams& params = m_context.params;
  m_slot1 = params.selectionSlot(kVariableBox1);
  m_slot3 = params.selectionSlot(kVariableBox2);
  m_slot4 = params.selectionSlot(kClassBox2);
  m_slot7 = params.selectionSlot(kGroupBox1);
  m_groups = std::make_unique<SlotGroups>(params, m_slot7);
  m_variables = SlotInUse(m_slot1) ? SlotCount(m_slot1) : 0;
  switch (m_code) {
    case 11:
      m_variables = std::min(m_variables, 1);
      m_cells = m_groups->count();
      break;
    case 12:
      m_variables = std::min(m_variables, 1);
      m_cells = SlotInUse(m_slot4) ? std::min(SlotCount(m_slot4), kMaxClassValues) + 1 : 0;
      break;
    case 13:
      m_cells = m_variables + (m_variables == 2 ? 1 : 0);
      break;
    case 19:
      m_variables = std::min(m_variables, kMaxCells / 2);
      m_cells = 2 * m_variables;
      break;
    default:
      m_cells = 0;
  }
  m_cells = std::min(m_cells, kMaxCells);
  m_completeCases = m_code == 13 && SlotCompleteCases(m_slot1);
  if (m_code == 13) {
    // The same variable chosen twice would compare a variable with itself.
    for (int i = 1; i <= m_variables; ++i)
      for (int j = i + 1; j <= m_variables; ++j) {
        const SlotVariable a = SlotVariableAt(m_slot1, i);
        const SlotVariable b = SlotVariableAt(m_slot1, j);
        if (a.position == b.position && a.typeByte == b.typeByte) m_context.testsAllowed = false;
      }
    m_complete.k = m_variables;
    m_storeRecords = m_context.testsAllowed && m_context.preferredTestMethod == 1 && m_variables >= 2;
    m_row.assign(static_cast<std::size_t>(std::max(m_variables, 1)), 0);
  }
  m_count = std::make_unique<TDatCount>(m_context.ui);
  m_counting = m_count->openNew(m_context.workFiles[0], std::max(m_cells, 1));
  if (m_counting) m_cache = std::make_unique<CountingCache>(*m_count, std::max(m_cells, 1));
  return m_counting;
}

void TProcKG::addValue(int cell, double value, int decimals) {
  m_cell[static_cast<std::size_t>(cell)].add(value, decimals);
}

void TProcKG::addRecord(const RecordBuffer& record) {
  if (m_cells == 0) return;
  const std::string_view text = record.text();
  const GroupList groups = m_groups->of(text);
  const int inGroups = groups[31];
  if (inGroups == 0) return;
  FieldValues(text, m_slot1, m_values);
  switch (m_code) {
    case 11: {
      if (inGroups > 1) m_overlap = true;
      const FieldValue30& f = m_values.fields[0];
      if (m_values.count < 1 || f.status < 0) return;
      m_flags.fill(0);
      for (int i = 0; i < inGroups; ++i) {
        const int cell = groups[static_cast<std::size_t>(i)] - 1;
        addValue(cell, f.value, f.status);
        m_flags[static_cast<std::size_t>(cell)] = 1;
      }
      countValue(f.value);
      return;
    }
    case 12: {
      const FieldValue30& f = m_values.fields[0];
      if (m_values.count < 1 || f.status < 0) return;
      FieldValues(text, m_slot3, m_values2);
      if (m_values2.count < 1) return;
      const FieldValue30& second = m_values2.fields[0];
      const ClassList classes = ClassesOfField(second.text, second.status, second.value, m_slot4);
      const int n = classes[31];
      if (n == 0) return;
      if (n > 1) m_overlap = true;
      m_flags.fill(0);
      for (int i = 0; i < n; ++i) {
        const int cell = classes[static_cast<std::size_t>(i)] - 1;
        if (cell < 0 || cell >= m_cells) continue;
        addValue(cell, f.value, f.status);
        m_flags[static_cast<std::size_t>(cell)] = 1;
      }
      countValue(f.value);
      return;
    }
    case 13: {
      if (m_completeCases && m_values.anyMissing) return;
      bool complete = true;
      for (int j = 0; j < m_variables; ++j) {
        const FieldValue30& f = m_values.fields[static_cast<std::size_t>(j)];
        if (f.status < 0) {
          complete = false;
          continue;
        }
        addValue(j, f.value, f.status);
        m_flags.fill(0);
        m_flags[static_cast<std::size_t>(j)] = 1;
        countValue(f.value);
        m_row[static_cast<std::size_t>(j)] = f.value;
      }
      if (!complete) return;
      if (m_variables == 2) {
        const FieldValue30& a = m_values.fields[0];
        const FieldValue30& b = m_values.fields[1];
        const double d = b.value - a.value;
        addValue(2, d, std::max<int>(a.status, b.status));
        m_flags.fill(0);
        m_flags[2] = 1;
        countValue(d);
      }
      m_complete.add(m_row.data());
      if (m_storeRecords && !m_storeOverflow) {
        if (m_store.size() >= static_cast<std::size_t>(kCaseStoreLimit * m_variables)) {
          m_storeOverflow = true;
          m_store.clear();
          m_store.shrink_to_fit();
        } else {
          m_store.insert(m_store.end(), m_row.begin(), m_row.begin() + m_variables);
        }
      }
      return;
    }
    case 19: {
      if (inGroups > 1) m_overlap = true;
      for (int v = 0; v < m_variables; ++v) {
        const FieldValue30& f = m_values.fields[static_cast<std::size_t>(v)];
        if (f.status < 0) continue;
        m_flags.fill(0);
        for (int i = 0; i < inGroups; ++i) {
          const int which = groups[static_cast<std::size_t>(i)] - 1;  // 0: group A, 1: group B
          if (which > 1) continue;
          addValue(2 * v + which, f.value, f.status);
          m_flags[static_cast<std::size_t>(2 * v + which)] = 1;
        }
        countValue(f.value);
      }
      return;
    }
    default:
      return;
  }
}

void TProcKG::countValue(double value) {
  if (!m_cache->add(m_flags, value)) m_countFailed = true;
}

bool TProcKG::finishPass() {
  if (!m_counting) return false;
  m_counting = false;
  const bool flushed = m_cache->flush();
  m_cache.reset();
  return m_count->finish() && flushed && !m_countFailed;
}

void TProcKG::cancel() {
  m_cache.reset();
  if (m_count) {
    m_count->deleteFile();
    m_count.reset();
  }
  m_counting = false;
}

}  // namespace veltrix
