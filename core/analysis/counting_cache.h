// A bounded cache in front of the counting work file: the values of a data pass are counted in
// memory per distinct value and handed to the file in ascending order when the cache is full and at
// the end. A file block then fills with many occurrences of few values instead of being merged into
// the file every few hundred records, while the memory stays the same for any number of records.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace veltrix {

class TDatCount;

class CountingCache {
 public:
  static constexpr std::size_t kDefaultCapacity = 4096;

  // components: the counting file's n (1..32).
  CountingCache(TDatCount& count, int components, std::size_t capacity = kDefaultCapacity);

  // Counts value once in every component whose flag is non-zero. Values the file refuses (NaN, 1E19
  // and more) go to it at once, so its status says so. False after a file error.
  bool add(std::span<const std::uint8_t> flags, double value);
  // Hands everything held to the file. False after a file error.
  bool flush();

 private:
  TDatCount& m_count;
  int m_n;
  std::size_t m_capacity;
  // Open addressing over the values' bits: slot -> place in m_values + 1 (0 empty), at most half full.
  std::vector<std::uint32_t> m_slots;
  std::uint64_t m_mask = 0;
  int m_shift = 64;
  std::vector<double> m_values;
  std::vector<std::uint32_t> m_counts;  // m_n per value
  std::vector<std::uint32_t> m_order;
};

}  // namespace veltrix
