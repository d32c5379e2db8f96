// TDatCount: counts how often each distinct value occurs in each of up to 32 components (variables or
// groups) of a stream of values, and delivers the distinct values in ascending order with their counts.
// One block of entries is kept sorted in memory; a full block is merged into the file, which holds one
// ascending sequence.
//
// File (internal, deleted with the analysis):
//   header, 384 bytes, 32-bit little-endian: n, entry units u, entry bytes, entries per block, block
//     bytes, distinct values in the file, 32 totals, 32 distinct counts; at byte 280 the status bits
//     (see Status); the rest zero.
//   body from byte 384: entries in blocks; an entry is the value (six-byte real) followed by n unsigned
//     32-bit counts, padded with zeros to u six-byte units; the last entry is followed by the sentinel
//     1E20 with zero counts, and the last block is filled with zeros.
//
// Counts are 32 bits wide so that one value may occur far more than 65535 times: u = 1 + ceil(4n / 6)
// units, block = 3200 / u entries. A count or total that would pass 2^32 - 1 stays there and sets
// Status::CountSaturated instead of wrapping.
//
// The wider entries leave fewer of them in a block, so the block limit grows in proportion: the file
// holds at least as many distinct values as 500 blocks of entries with 16-bit counts would
// (u16 = 1 + ceil(2n / 6) units, 500 * (3200 / u16) entries less one for the sentinel), for example
// 957 blocks and 133,022 values for n = 32, 751 blocks and 800,565 values for n = 3.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace veltrix {

class Ui;

struct DatCountHeader {
  // The header is one this class writes and the file holds every entry it announces.
  bool complete = false;
  int n = 0;  // 0: the file cannot be read, next() gives the sentinel at once
  std::int32_t distinctValues = 0;
  std::array<std::uint32_t, 32> totals{};    // values counted per component
  std::array<std::uint32_t, 32> distinct{};  // distinct values per component
  std::uint32_t status = 0;                  // TDatCount::Status bits of the counting
};

struct DatCountEntry {
  std::int32_t ordinal = 0;  // 1, 2, ...; 0 after the last entry
  double value = 1e20;       // the sentinel after the last entry
  std::array<std::uint32_t, 32> counts{};
};

class TDatCount {
 public:
  static constexpr int kMaxComponents = 32;
  // Blocks of entries with 16-bit counts whose capacity the file keeps.
  static constexpr int kNarrowBlockLimit = 500;
  static constexpr int kHeaderBytes = 384;
  static constexpr double kSentinel = 1e20;
  // Values from here on end a sequence in the file, so add() refuses them.
  static constexpr double kEndMarker = 1e19;

  enum Status : std::uint32_t {
    // The file reached its block limit: the largest values were dropped (the smallest ones are kept
    // with exact counts). The totals still count every value offered, the dropped ones too, so that
    // positions such as the median's stay right while they fall among the kept values; the distinct
    // counts describe what the file holds.
    BlocksOverflowed = 1,
    // A count or total reached 2^32 - 1 and stayed there.
    CountSaturated = 2,
    // add() refused values of 1E19 and above or NaN; they are counted nowhere.
    ValuesRefused = 4,
  };

  // blockLimit: most blocks the file may hold; 0 takes defaultBlockLimit(n) when counting starts.
  explicit TDatCount(Ui& ui, int blockLimit = 0);
  TDatCount(const TDatCount&) = delete;
  TDatCount& operator=(const TDatCount&) = delete;
  ~TDatCount();

  // Six-byte units of an entry and entries per block for n components.
  static int entryUnits(int n);
  static int entriesPerBlock(int n);
  // Entries per block had the counts 16 bits: 3200 / (1 + ceil(2n / 6)).
  static int narrowEntriesPerBlock(int n);
  // The fewest blocks that hold as many entries as kNarrowBlockLimit blocks of narrow entries.
  static int defaultBlockLimit(int n);
  // Distinct values a file of blockLimit blocks holds (one place is the sentinel's).
  static std::int64_t capacity(int n, int blockLimit);

  // Creates the file (header and an empty sequence) for n = 1..32 components and starts counting.
  bool openNew(const std::string& name, int n);
  // Counts the value once in every component whose flag byte (flags[0..n-1]) is non-zero. Refused
  // (false, counted nowhere) for NaN and values that are 1E19 or more after rounding to a six-byte
  // real (they also set Status::ValuesRefused), when fewer than n flags are given, when not counting,
  // and after a file error.
  bool add(std::span<const std::uint8_t> flags, double value);
  // Counts the value counts[i] times in component i (the first n counts), with the refusals of the
  // form above; a refused value adds its largest count to refusedValues().
  bool addCounts(std::span<const std::uint32_t> counts, double value);
  // Merges the last block into the file and completes the header; counting ends.
  bool finish();

  DatCountHeader openForReading(const std::string& name);
  // The next distinct value in ascending order; after the last one the sentinel with zero counts.
  DatCountEntry next();
  // Ends counting or reading (values not yet merged by finish() are lost).
  void close();
  // Closes and deletes the file.
  void deleteFile();

  // The block limit of the counting in progress or last started.
  int blockLimit() const { return m_blockLimit; }
  std::uint32_t status() const { return m_status; }
  bool overflow() const { return (m_status & BlocksOverflowed) != 0; }
  // Any of the status bits: the counts do not describe every value offered.
  bool incomplete() const { return m_status != 0; }
  std::int64_t refusedValues() const { return m_refused; }
  // While counting: per component totals and distinct counts of everything counted so far.
  const std::array<std::uint32_t, 32>& totals() const { return m_totals; }
  const std::array<std::uint32_t, 32>& distinct() const { return m_distinct; }

 private:
  class Stream;
  class Sink;
  enum class Mode { Idle, Counting, Reading };

  void setLayout(int n);
  // Counts the value counts[i] times in component i; a refusal adds offers to refusedValues().
  bool countValue(double value, const std::uint32_t* counts, std::int64_t offers);
  bool merge();
  void dropEntry(const std::uint32_t* counts);
  std::array<std::uint8_t, kHeaderBytes> header() const;

  Ui& m_ui;
  int m_requestedBlockLimit;
  int m_blockLimit = 0;
  Mode m_mode = Mode::Idle;
  std::string m_name;
  int m_n = 0;
  int m_units = 0;
  int m_perBlock = 0;
  std::int32_t m_fileEntries = 0;
  std::uint32_t m_status = 0;
  std::int64_t m_refused = 0;
  std::array<std::uint32_t, 32> m_totals{};
  std::array<std::uint32_t, 32> m_distinct{};
  // The in-memory block: ascending values and n counts per value.
  std::vector<double> m_values;
  std::vector<std::uint32_t> m_counts;
  std::unique_ptr<Stream> m_reader;
  std::int32_t m_ordinal = 0;
};

}  // namespace veltrix
