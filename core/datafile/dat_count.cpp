#include "core/datafile/dat_count.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "core/base/ui.h"
#include "core/datafile/file_objects.h"
#include "core/stats/real48.h"

namespace veltrix {

namespace {

constexpr int kBlockUnits = 3200;
constexpr int kTotalsOffset = 24;
constexpr int kDistinctOffset = kTotalsOffset + 4 * 32;
constexpr int kStatusOffset = kDistinctOffset + 4 * 32;  // 280
constexpr std::uint32_t kCountMax = std::numeric_limits<std::uint32_t>::max();
// The merged file is written here and renamed over the counter file.
constexpr const char* kMergeSuffix = ".tmp";

std::uint32_t getU32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

void putU32(std::uint32_t v, std::uint8_t* p) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// a + b, held at the largest count instead of wrapping.
std::uint32_t saturatingAdd(std::uint32_t a, std::uint32_t b, std::uint32_t& status) {
  if (b > kCountMax - a) {
    status |= TDatCount::CountSaturated;
    return kCountMax;
  }
  return a + b;
}

}  // namespace

// Reads the entries of a counter file from byte 384 on, one block per transfer. It ends at the
// sentinel (any value of 1E19 or more), at the announced number of entries, at the end of the file,
// and at a value that is not above its predecessor (a damaged file).
class TDatCount::Stream {
 public:
  Stream(Ui& ui, int n, int units, int perBlock) : m_file(ui), m_n(n), m_entryBytes(units * 6) {
    m_buffer.resize(std::size_t(perBlock) * m_entryBytes);
  }

  bool open(const std::string& name, std::int32_t entries) {
    m_entries = entries;
    if (!m_file.openForReading(name)) return false;
    m_left = m_file.size() - kHeaderBytes;
    return m_left >= 0 && m_file.seek(kHeaderBytes);
  }

  bool next(double& value, std::uint32_t* counts) {
    if (m_done) return false;
    if (m_delivered >= m_entries) return stop();
    if (m_position >= m_filled) {
      const auto bytes =
          static_cast<std::int32_t>(std::min<std::int64_t>(m_left, std::int64_t(m_buffer.size())));
      const std::int32_t got = bytes > 0 ? m_file.read(m_buffer.data(), bytes) : 0;
      m_filled = std::max(got, 0) / m_entryBytes;
      m_position = 0;
      m_left -= bytes;
      if (m_filled == 0) return stop();
    }
    const std::uint8_t* p = m_buffer.data() + std::size_t(m_position) * m_entryBytes;
    value = readReal48(p);
    if (value >= kEndMarker || (m_delivered > 0 && value <= m_previous)) return stop();
    for (int i = 0; i < m_n; ++i) counts[i] = getU32(p + 6 + 4 * i);
    ++m_position;
    ++m_delivered;
    m_previous = value;
    return true;
  }

 private:
  bool stop() {
    m_done = true;
    m_file.close();
    return false;
  }

  TRndFile m_file;
  int m_n;
  int m_entryBytes;
  std::vector<std::uint8_t> m_buffer;
  std::int64_t m_left = 0;
  std::int32_t m_entries = 0;
  std::int32_t m_delivered = 0;
  int m_filled = 0;
  int m_position = 0;
  double m_previous = 0.0;
  bool m_done = false;
};

// Writes a counter file: room for the header, the entries block by block, the sentinel, and at the
// end the header itself.
class TDatCount::Sink {
 public:
  Sink(Ui& ui, int n, int units, int perBlock) : m_file(ui), m_n(n), m_entryBytes(units * 6) {
    m_block.assign(std::size_t(perBlock) * m_entryBytes, 0);
  }

  bool create(const std::string& name) {
    if (!m_file.create(name)) return false;
    const std::array<std::uint8_t, kHeaderBytes> blank{};
    return m_file.write(blank.data(), kHeaderBytes) == kHeaderBytes;
  }

  void put(double value, const std::uint32_t* counts) {
    std::uint8_t* p = m_block.data() + m_used;
    std::memset(p, 0, m_entryBytes);
    writeReal48(value, p);
    for (int i = 0; i < m_n; ++i) putU32(counts[i], p + 6 + 4 * i);
    m_used += m_entryBytes;
    if (m_used == m_block.size()) {
      m_file.write(m_block.data(), static_cast<std::int32_t>(m_block.size()));
      m_used = 0;
    }
  }

  bool finish(const std::array<std::uint8_t, kHeaderBytes>& header) {
    const std::array<std::uint32_t, 32> zero{};
    put(kSentinel, zero.data());
    if (m_used > 0) {
      std::fill(m_block.begin() + std::ptrdiff_t(m_used), m_block.end(), std::uint8_t{0});
      m_file.write(m_block.data(), static_cast<std::int32_t>(m_block.size()));
    }
    if (m_file.seek(0)) m_file.write(header.data(), kHeaderBytes);
    const bool ok = !m_file.error();
    m_file.close();
    return ok && !m_file.error();
  }

 private:
  TRndFile m_file;
  int m_n;
  std::size_t m_entryBytes;
  std::vector<std::uint8_t> m_block;
  std::size_t m_used = 0;
};

TDatCount::TDatCount(Ui& ui, int blockLimit) : m_ui(ui), m_requestedBlockLimit(std::max(blockLimit, 0)) {}

TDatCount::~TDatCount() = default;

int TDatCount::entryUnits(int n) {
  return 1 + (4 * n + 5) / 6;
}

int TDatCount::entriesPerBlock(int n) {
  return kBlockUnits / entryUnits(n);
}

int TDatCount::narrowEntriesPerBlock(int n) {
  return kBlockUnits / (1 + (2 * n + 5) / 6);
}

int TDatCount::defaultBlockLimit(int n) {
  const int narrow = kNarrowBlockLimit * narrowEntriesPerBlock(n);
  const int wide = entriesPerBlock(n);
  return (narrow + wide - 1) / wide;
}

std::int64_t TDatCount::capacity(int n, int blockLimit) {
  return std::int64_t{blockLimit} * entriesPerBlock(n) - 1;
}

void TDatCount::setLayout(int n) {
  m_n = n;
  m_units = entryUnits(n);
  m_perBlock = entriesPerBlock(n);
}

std::array<std::uint8_t, TDatCount::kHeaderBytes> TDatCount::header() const {
  std::array<std::uint8_t, kHeaderBytes> h{};
  const std::uint32_t fields[] = {std::uint32_t(m_n),
                                  std::uint32_t(m_units),
                                  std::uint32_t(m_units * 6),
                                  std::uint32_t(m_perBlock),
                                  std::uint32_t(m_perBlock * m_units * 6),
                                  std::uint32_t(m_fileEntries)};
  for (int i = 0; i < 6; ++i) putU32(fields[i], h.data() + 4 * i);
  for (int i = 0; i < 32; ++i) {
    putU32(m_totals[i], h.data() + kTotalsOffset + 4 * i);
    putU32(m_distinct[i], h.data() + kDistinctOffset + 4 * i);
  }
  putU32(m_status, h.data() + kStatusOffset);
  return h;
}

bool TDatCount::openNew(const std::string& name, int n) {
  close();
  m_status = 0;
  m_refused = 0;
  m_fileEntries = 0;
  m_totals.fill(0);
  m_distinct.fill(0);
  m_values.clear();
  m_counts.clear();
  if (n < 1 || n > kMaxComponents) return false;
  setLayout(n);
  m_blockLimit = m_requestedBlockLimit > 0 ? m_requestedBlockLimit : defaultBlockLimit(n);
  m_name = name;
  m_values.reserve(std::size_t(m_perBlock));
  m_counts.reserve(std::size_t(m_perBlock) * n);
  Sink sink(m_ui, m_n, m_units, m_perBlock);
  if (!sink.create(name) || !sink.finish(header())) return false;
  m_mode = Mode::Counting;
  return true;
}

bool TDatCount::add(std::span<const std::uint8_t> flags, double value) {
  if (m_mode != Mode::Counting || flags.size() < std::size_t(m_n)) return false;
  std::array<std::uint32_t, kMaxComponents> counts{};
  for (int i = 0; i < m_n; ++i) counts[std::size_t(i)] = flags[std::size_t(i)] != 0 ? 1 : 0;
  return countValue(value, counts.data(), 1);
}

bool TDatCount::addCounts(std::span<const std::uint32_t> counts, double value) {
  if (m_mode != Mode::Counting || counts.size() < std::size_t(m_n)) return false;
  // The value stands for as many offers as its largest count.
  const std::uint32_t offers = *std::max_element(counts.begin(), counts.begin() + m_n);
  return countValue(value, counts.data(), offers);
}

bool TDatCount::countValue(double value, const std::uint32_t* counts, std::int64_t offers) {
  // Compared as stored, so that two values which become the same six-byte real are one entry.
  const double stored = std::isnan(value) ? kSentinel : Real48::fromDouble(value).toDouble();
  if (stored >= kEndMarker) {
    m_status |= ValuesRefused;
    m_refused += offers;
    return false;
  }
  const auto at = std::lower_bound(m_values.begin(), m_values.end(), stored);
  const auto index = std::size_t(at - m_values.begin());
  if (at == m_values.end() || *at != stored) {
    m_values.insert(at, stored);
    m_counts.insert(m_counts.begin() + std::ptrdiff_t(index * m_n), std::size_t(m_n), 0u);
  }
  std::uint32_t* entry = m_counts.data() + index * m_n;
  for (int i = 0; i < m_n; ++i) {
    const std::uint32_t c = counts[i];
    if (c == 0) continue;
    m_totals[i] = saturatingAdd(m_totals[i], c, m_status);
    if (entry[i] == 0) ++m_distinct[i];
    entry[i] = saturatingAdd(entry[i], c, m_status);
  }
  if (m_values.size() >= std::size_t(m_perBlock)) return merge();
  return true;
}

// The entry is not written; its values stay in the totals, which count what was offered.
void TDatCount::dropEntry(const std::uint32_t* counts) {
  m_status |= BlocksOverflowed;
  for (int i = 0; i < m_n; ++i)
    if (counts[i] != 0 && m_distinct[i] > 0) --m_distinct[i];
}

// Walks the file's sequence and the in-memory block in ascending order into a new file, combining
// entries of equal value, and renames the new file over the old one. Entries beyond the block limit
// (one place is kept for the sentinel) are dropped, so the largest values go first.
bool TDatCount::merge() {
  const std::string mergedName = m_name + kMergeSuffix;
  const std::int64_t held = capacity(m_n, m_blockLimit);
  Stream old(m_ui, m_n, m_units, m_perBlock);
  Sink out(m_ui, m_n, m_units, m_perBlock);
  bool ok = old.open(m_name, m_fileEntries) && out.create(mergedName);
  std::int32_t written = 0;
  if (ok) {
    std::array<std::uint32_t, 32> fileCounts{};
    std::array<std::uint32_t, 32> combined{};
    double fileValue = 0.0;
    bool haveFile = old.next(fileValue, fileCounts.data());
    std::size_t m = 0;
    while (haveFile || m < m_values.size()) {
      double value = 0.0;
      if (haveFile && (m == m_values.size() || fileValue < m_values[m])) {
        value = fileValue;
        combined = fileCounts;
        haveFile = old.next(fileValue, fileCounts.data());
      } else if (!haveFile || m_values[m] < fileValue) {
        value = m_values[m];
        std::copy_n(m_counts.data() + m * m_n, m_n, combined.begin());
        ++m;
      } else {
        value = fileValue;
        const std::uint32_t* memory = m_counts.data() + m * m_n;
        for (int i = 0; i < m_n; ++i) {
          // The value was counted as new in both sequences.
          if (fileCounts[i] != 0 && memory[i] != 0) --m_distinct[i];
          combined[i] = saturatingAdd(fileCounts[i], memory[i], m_status);
        }
        haveFile = old.next(fileValue, fileCounts.data());
        ++m;
      }
      if (written < held) {
        out.put(value, combined.data());
        ++written;
      } else {
        dropEntry(combined.data());
      }
    }
    m_fileEntries = written;
  }
  m_values.clear();
  m_counts.clear();
  ok = ok && out.finish(header());
  if (ok) {
    std::error_code failure;
    std::filesystem::rename(mergedName, m_name, failure);
    if (failure) {
      m_ui.flags().placementHint = 4;
      m_ui.error(m_name + ": Schreibfehler!");
      ok = false;
    }
  }
  if (!ok) {
    std::error_code ignored;
    std::filesystem::remove(mergedName, ignored);
    m_mode = Mode::Idle;
  }
  return ok;
}

bool TDatCount::finish() {
  if (m_mode != Mode::Counting) return false;
  const bool ok = merge();
  m_mode = Mode::Idle;
  return ok;
}

DatCountHeader TDatCount::openForReading(const std::string& name) {
  close();
  m_ordinal = 0;
  DatCountHeader result;
  std::array<std::uint8_t, kHeaderBytes> h{};
  std::int64_t size = 0;
  {
    TRndFile file(m_ui);
    if (!file.openForReading(name)) return result;
    size = file.size();
    if (size < kHeaderBytes || file.read(h.data(), kHeaderBytes) != kHeaderBytes) return result;
  }
  const std::uint32_t n = getU32(h.data());
  if (n < 1 || n > std::uint32_t(kMaxComponents)) return result;
  const int units = entryUnits(int(n));
  const int perBlock = entriesPerBlock(int(n));
  if (getU32(h.data() + 4) != std::uint32_t(units) || getU32(h.data() + 8) != std::uint32_t(units * 6) ||
      getU32(h.data() + 12) != std::uint32_t(perBlock) ||
      getU32(h.data() + 16) != std::uint32_t(perBlock * units * 6)) {
    return result;
  }
  const std::uint32_t announced = getU32(h.data() + 20);
  const std::int64_t held = (size - kHeaderBytes) / (units * 6);
  const auto entries = static_cast<std::int32_t>(
      std::min<std::int64_t>({std::int64_t{announced}, held, std::numeric_limits<std::int32_t>::max()}));
  result.n = int(n);
  result.distinctValues = entries;
  result.complete = std::int64_t{announced} == entries;
  for (int i = 0; i < 32; ++i) {
    result.totals[i] = getU32(h.data() + kTotalsOffset + 4 * i);
    result.distinct[i] = getU32(h.data() + kDistinctOffset + 4 * i);
  }
  result.status = getU32(h.data() + kStatusOffset);
  setLayout(int(n));
  m_name = name;
  m_status = result.status;
  m_reader = std::make_unique<Stream>(m_ui, m_n, m_units, m_perBlock);
  if (!m_reader->open(name, entries)) {
    m_reader.reset();
    result = DatCountHeader{};
    return result;
  }
  m_mode = Mode::Reading;
  return result;
}

DatCountEntry TDatCount::next() {
  DatCountEntry entry;
  if (m_mode != Mode::Reading || !m_reader) return entry;
  double value = 0.0;
  if (!m_reader->next(value, entry.counts.data())) {
    entry.counts.fill(0);
    m_reader.reset();
    return entry;
  }
  entry.value = value;
  entry.ordinal = ++m_ordinal;
  return entry;
}

void TDatCount::close() {
  m_reader.reset();
  m_values.clear();
  m_counts.clear();
  m_mode = Mode::Idle;
}

void TDatCount::deleteFile() {
  close();
  if (m_name.empty()) return;
  std::error_code ignored;
  std::filesystem::remove(m_name, ignored);
  std::filesystem::remove(m_name + kMergeSuffix, ignored);
}

}  // namespace veltrix
