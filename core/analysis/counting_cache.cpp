#include "core/analysis/counting_cache.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>

#include "core/datafile/dat_count.h"

namespace veltrix {

CountingCache::CountingCache(TDatCount& count, int components, std::size_t capacity)
    : m_count(count),
      m_n(std::clamp(components, 1, TDatCount::kMaxComponents)),
      m_capacity(std::max<std::size_t>(capacity, 1)) {
  std::size_t slots = 16;
  while (slots < 2 * m_capacity) slots *= 2;
  m_slots.assign(slots, 0u);
  m_mask = slots - 1;
  m_shift = 64 - std::countr_zero(slots);  // the high bits of the product mix every bit of the value
  m_values.reserve(m_capacity);
  m_counts.reserve(m_capacity * static_cast<std::size_t>(m_n));
}

bool CountingCache::add(std::span<const std::uint8_t> flags, double value) {
  if (flags.size() < static_cast<std::size_t>(m_n)) return false;
  // Values near the end marker go to the file at once: it decides whether it refuses them (and
  // records that in its status), and a refusal is no failure.
  if (std::isnan(value) || std::fabs(value) >= TDatCount::kEndMarker * 0.5) {
    const std::int64_t refusedBefore = m_count.refusedValues();
    return m_count.add(flags, value) || m_count.refusedValues() > refusedBefore;
  }
  // Values are kept as they come; two that become the same six-byte real are joined by the file
  // when they are handed over.
  const double stored = value == 0 ? 0.0 : value;  // -0 and 0 are one value
  const std::uint64_t hash = std::bit_cast<std::uint64_t>(stored) * 0x9E3779B97F4A7C15ull;
  std::uint64_t slot = hash >> m_shift;
  while (m_slots[slot] != 0 && m_values[m_slots[slot] - 1] != stored) slot = (slot + 1) & m_mask;
  if (m_slots[slot] == 0) {
    if (m_values.size() >= m_capacity) {
      if (!flush()) return false;
      slot = hash >> m_shift;
    }
    m_values.push_back(stored);
    m_counts.resize(m_counts.size() + static_cast<std::size_t>(m_n), 0u);
    m_slots[slot] = static_cast<std::uint32_t>(m_values.size());
  }
  std::uint32_t* counts =
      m_counts.data() + static_cast<std::size_t>(m_slots[slot] - 1) * static_cast<std::size_t>(m_n);
  for (int i = 0; i < m_n; ++i)
    if (flags[static_cast<std::size_t>(i)] != 0 && counts[i] != UINT32_MAX) ++counts[i];
  return true;
}

bool CountingCache::flush() {
  m_order.resize(m_values.size());
  std::iota(m_order.begin(), m_order.end(), 0u);
  std::sort(m_order.begin(), m_order.end(),
            [this](std::uint32_t a, std::uint32_t b) { return m_values[a] < m_values[b]; });
  bool ok = true;
  for (const std::uint32_t i : m_order) {
    const std::span<const std::uint32_t> counts(
        m_counts.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(m_n),
        static_cast<std::size_t>(m_n));
    if (!m_count.addCounts(counts, m_values[i])) {
      ok = false;
      break;
    }
  }
  std::fill(m_slots.begin(), m_slots.end(), 0u);
  m_values.clear();
  m_counts.clear();
  return ok;
}

}  // namespace veltrix
