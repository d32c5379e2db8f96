#include "core/entry/file_sort.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "core/datafile/file_objects.h"
#include "core/datafile/stat_record.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

constexpr std::string_view kMessagePrefix = "Sortieren nach ";
constexpr std::string_view kEmptyMessage = "Datei ist leer (oder nicht vorhanden)";
constexpr std::string_view kReadError = "Lesefehler!";
constexpr std::string_view kWriteFailed = "Schreibfehler beim Sortieren; die Datei ist unverändert."_w;
constexpr std::string_view kRunReadFailed = "Lesefehler beim Sortieren; die Datei ist unverändert."_w;
constexpr std::string_view kCannotCreate =
    "Arbeitsdatei kann nicht angelegt werden; die Datei ist unverändert."_w;
constexpr std::string_view kReplaceFailed = "Datei konnte nicht ersetzt werden; sie ist unverändert."_w;

// Characters of a field that decide the order; the rest only keeps the record order.
constexpr int kKeyCharacters = 21;
constexpr int kPrimaryBytes = 8;
constexpr int kTextTail = kKeyCharacters - kPrimaryBytes;
// Primary key of a numeric field that holds no number: behind every number (the order-preserving
// code of a double never reaches it, since values beyond the six-byte real range are no numbers).
constexpr std::uint64_t kNotANumberKey = ~std::uint64_t{0};
constexpr std::uint64_t kBlankKey = 0;

constexpr std::int64_t kMergeBlock = std::int64_t{256} << 10;
constexpr std::int64_t kMaxIoBlock = std::int64_t{1} << 20;
constexpr std::int64_t kMinIoBlock = 256;
constexpr std::int64_t kMinMemory = 1024;
constexpr std::int64_t kMaxMemory = std::int64_t{1} << 31;

constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kEndOfFileMark = 26;

// A buffer whose bytes are not set first: pages that are never used never become resident.
std::unique_ptr<char[]> NewBuffer(std::size_t size) {
  return std::unique_ptr<char[]>(new char[size]);
}

// ---------------------------------------------------------------- keys

// The order-preserving code of a double: unsigned comparison of the codes is the numeric order.
std::uint64_t NumberKey(double value) {
  if (value == 0.0) value = 0.0;  // -0 and 0 are one value
  const auto bits = std::bit_cast<std::uint64_t>(value);
  return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
}

std::uint64_t BigEndian(const char* bytes) {
  std::uint64_t value = 0;
  for (int i = 0; i < kPrimaryBytes; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

// A key: the primary part, compared as an unsigned number, then the tail bytes (a shorter tail that
// is a prefix of a longer one comes first).
struct Key {
  std::uint64_t primary = 0;
  std::uint8_t tailLength = 0;
  char tail[kKeyCharacters] = {};
};

int CompareTails(const char* a, int aLength, const char* b, int bLength) {
  const int common = std::min(aLength, bLength);
  const int c = common > 0 ? std::memcmp(a, b, static_cast<std::size_t>(common)) : 0;
  if (c != 0) return c;
  return aLength - bLength;
}

// The field of the variable as the record buffer holds it: positions outside 1..8000 are not there,
// the lines of the record fill 1..7821, the record number stands at 7975..7980, everything else is
// blank.
class FieldCollector {
 public:
  FieldCollector(int position, int typeByte) {
    const int length = typeByte & 127;
    m_isText = (typeByte & 128) != 0;
    m_first = static_cast<int>(std::clamp<std::int64_t>(position, 1, kBufferLength + 1));
    m_last =
        static_cast<int>(std::clamp<std::int64_t>(std::int64_t{position} + length - 1, 0, kBufferLength));
    m_length = std::max(m_last - m_first + 1, 0);
    if (m_length > 0 && m_first <= kRecordLength) {
      m_firstLine = (m_first - 1) / kLineLength + 1;
      m_lastLine = (std::min(m_last, kRecordLength) - 1) / kLineLength + 1;
    }
  }

  bool isText() const { return m_isText; }

  void startRecord() { std::memset(m_field, ' ', static_cast<std::size_t>(m_length)); }

  // Line k (1..99) with its characters after the number character.
  void addLine(int k, const char* text, std::size_t length) {
    if (k < m_firstLine || k > m_lastLine) return;
    const int base = (k - 1) * kLineLength;  // position base + 1 is the line's first character
    const int used = static_cast<int>(std::min<std::size_t>(length, kLineLength));
    const int from = std::max(m_first, base + 1);
    const int to = std::min(m_last, base + used);
    if (to >= from)
      std::memcpy(m_field + (from - m_first), text + (from - base - 1),
                  static_cast<std::size_t>(to - from + 1));
  }

  // The key of the record with this ordinal (1-based).
  void finishKey(std::int64_t ordinal, Key& key) {
    putRecordNumber(ordinal);
    const std::string_view field(m_field, static_cast<std::size_t>(m_length));
    if (m_isText) {
      char padded[kKeyCharacters];
      std::memset(padded, ' ', sizeof padded);
      std::memcpy(padded, field.data(), std::min<std::size_t>(field.size(), kKeyCharacters));
      key.primary = BigEndian(padded);
      key.tailLength = kTextTail;
      std::memcpy(key.tail, padded + kPrimaryBytes, kTextTail);
      return;
    }
    const FieldValueResult value = FieldValue(field, 1, m_length);
    key.tailLength = 0;
    if (value.status == -1) {
      key.primary = kBlankKey;
    } else if (value.status >= 0) {
      key.primary = NumberKey(value.value);
    } else {
      key.primary = kNotANumberKey;
      key.tailLength = static_cast<std::uint8_t>(std::min<std::size_t>(value.text.size(), kKeyCharacters));
      std::memcpy(key.tail, value.text.data(), key.tailLength);
    }
  }

 private:
  void putRecordNumber(std::int64_t ordinal) {
    const int first = kRecordNumberPosition;
    const int last = kRecordNumberPosition + kRecordNumberLength - 1;
    if (m_length == 0 || m_last < first || m_first > last) return;
    const std::array<char, kRecordNumberLength> digits = RecordNumberText(ordinal);
    for (int p = std::max(first, m_first); p <= std::min(last, m_last); ++p)
      m_field[p - m_first] = digits[static_cast<std::size_t>(p - first)];
  }

  bool m_isText = false;
  int m_first = 1;
  int m_last = 0;
  int m_length = 0;
  int m_firstLine = 1;
  int m_lastLine = 0;
  char m_field[128] = {};
};

// ---------------------------------------------------------------- files

// Bytes written to all files of one sort, with the failure a test may ask for.
struct WriteCounter {
  std::int64_t written = 0;
  std::int64_t failAt = 0;
};

// The temporary files of one sort: each is deleted when the sort ends, unless it was handed on.
class TemporaryFiles {
 public:
  TemporaryFiles(const TemporaryFiles&) = delete;
  TemporaryFiles& operator=(const TemporaryFiles&) = delete;
  TemporaryFiles() : m_random(std::random_device{}()) {}
  ~TemporaryFiles() {
    for (const std::string& name : m_names) ::unlink(name.c_str());
  }

  // A new file stem + "-" + eight random characters, created exclusively: nothing that stands
  // there already (a stray file, a planted link) is followed or overwritten. -1 with errno set.
  int create(const std::string& stem, std::string& name) {
    static constexpr char kCharacters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::uniform_int_distribution<int> pick(0, 35);
    for (int attempt = 0; attempt < 64; ++attempt) {
      name = stem + "-";
      for (int i = 0; i < 8; ++i) name += kCharacters[pick(m_random)];
      int fd;
      do {
        fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
      } while (fd < 0 && errno == EINTR);
      if (fd >= 0) {
        m_names.push_back(name);
        return fd;
      }
      if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
  }

  void remove(const std::string& name) {
    ::unlink(name.c_str());
    release(name);
  }
  // The file is no longer ours to delete.
  void release(const std::string& name) { std::erase(m_names, name); }

 private:
  std::mt19937 m_random;
  std::vector<std::string> m_names;
};

// A file written through a buffer of a fixed size; larger pieces go straight through.
class BlockWriter {
 public:
  BlockWriter(WriteCounter& counter, std::int64_t blockSize)
      : m_counter(counter), m_capacity(static_cast<std::size_t>(blockSize)) {}
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;
  ~BlockWriter() { closeQuietly(); }

  void attach(int fd) {
    m_fd = fd;
    m_used = 0;
    m_failed = false;
    if (!m_buffer) m_buffer = NewBuffer(m_capacity);
  }

  bool write(const void* data, std::size_t length) {
    if (m_failed) return false;
    if (m_used + length > m_capacity) {
      if (!flush()) return false;
      if (length >= m_capacity) return transfer(static_cast<const char*>(data), length);
    }
    std::memcpy(m_buffer.get() + m_used, data, length);
    m_used += length;
    return true;
  }

  // Writes what is buffered and closes the file; false when anything failed.
  bool finish() {
    const bool flushed = flush();
    const int fd = std::exchange(m_fd, -1);
    const bool closed = fd < 0 || ::close(fd) == 0;
    return flushed && closed && !m_failed;
  }
  void closeQuietly() {
    if (m_fd >= 0) ::close(std::exchange(m_fd, -1));
  }

 private:
  bool flush() {
    if (m_used == 0) return !m_failed;
    const bool ok = transfer(m_buffer.get(), m_used);
    m_used = 0;
    return ok;
  }

  bool transfer(const char* data, std::size_t length) {
    if (m_failed || m_fd < 0) return false;
    if (m_counter.failAt > 0 && m_counter.written + static_cast<std::int64_t>(length) > m_counter.failAt) {
      errno = ENOSPC;
      m_failed = true;
      return false;
    }
    while (length > 0) {
      const ssize_t done = ::write(m_fd, data, length);
      if (done < 0 && errno == EINTR) continue;
      if (done <= 0) {
        if (done == 0) errno = ENOSPC;
        m_failed = true;
        return false;
      }
      data += done;
      length -= static_cast<std::size_t>(done);
      m_counter.written += done;
    }
    return true;
  }

  WriteCounter& m_counter;
  std::size_t m_capacity;
  std::unique_ptr<char[]> m_buffer;
  std::size_t m_used = 0;
  int m_fd = -1;
  bool m_failed = false;
};

// Reads as much as is there up to length; -1 on an error.
ssize_t ReadFully(int fd, char* data, std::size_t length) {
  std::size_t total = 0;
  while (total < length) {
    const ssize_t got = ::read(fd, data + total, length - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
  }
  return static_cast<ssize_t>(total);
}

// The header of a record in a run file: primary key, length of the record's bytes, length of the
// key tail; the tail and the record's bytes follow.
constexpr std::size_t kRunHeader = 8 + 4 + 1;

// Reads the records of a run file back in order.
class RunReader {
 public:
  RunReader(int fd, std::size_t blockSize)
      : m_fd(fd), m_capacity(std::max<std::size_t>(blockSize, kRunHeader)) {
    m_buffer = NewBuffer(m_capacity);
  }
  RunReader(const RunReader&) = delete;
  RunReader& operator=(const RunReader&) = delete;
  ~RunReader() {
    if (m_fd >= 0) ::close(m_fd);
  }

  // The next record; false at the end of the run or on an error (failed() tells).
  bool next() {
    m_position += m_consumed;
    m_consumed = 0;
    if (!ensure(kRunHeader)) return false;
    const char* header = m_buffer.get() + m_position;
    std::uint32_t length = 0;
    std::memcpy(&primary, header, 8);
    std::memcpy(&length, header + 8, 4);
    tailLength = static_cast<std::uint8_t>(header[12]);
    const std::size_t whole = kRunHeader + tailLength + length;
    if (!ensure(whole)) {
      m_failed = true;  // a run file cut short
      return false;
    }
    tail = m_buffer.get() + m_position + kRunHeader;
    data = tail + tailLength;
    dataLength = length;
    m_consumed = whole;
    return true;
  }

  bool failed() const { return m_failed; }

  std::uint64_t primary = 0;
  std::uint8_t tailLength = 0;
  const char* tail = nullptr;
  const char* data = nullptr;
  std::uint32_t dataLength = 0;

 private:
  // At least wanted bytes from m_position on; false at the end (or after an error).
  bool ensure(std::size_t wanted) {
    if (m_end - m_position >= wanted) return true;
    if (m_failed) return false;
    const std::size_t kept = m_end - m_position;
    if (wanted > m_capacity) {
      auto bigger = NewBuffer(wanted);
      std::memcpy(bigger.get(), m_buffer.get() + m_position, kept);
      m_buffer = std::move(bigger);
      m_capacity = wanted;
    } else if (kept > 0) {
      std::memmove(m_buffer.get(), m_buffer.get() + m_position, kept);
    }
    m_position = 0;
    m_end = kept;
    const ssize_t got = ReadFully(m_fd, m_buffer.get() + m_end, m_capacity - m_end);
    if (got < 0) {
      m_failed = true;
      return false;
    }
    m_end += static_cast<std::size_t>(got);
    if (m_end >= wanted) return true;
    if (m_end != 0) m_failed = true;  // a piece of a record at the end
    return false;
  }

  int m_fd;
  std::size_t m_capacity;
  std::unique_ptr<char[]> m_buffer;
  std::size_t m_position = 0;
  std::size_t m_end = 0;
  std::size_t m_consumed = 0;
  bool m_failed = false;
};

// ---------------------------------------------------------------- the work area

// A record in the work area: its bytes at offset, then one byte tail length and the tail.
struct Entry {
  std::uint64_t primary;
  std::uint32_t offset;
  std::uint32_t length;
};

// Records and their entries share one block: records from the front, entries from the back.
class WorkArea {
 public:
  explicit WorkArea(std::size_t size) : m_size(size) {}

  // Room for a record of length bytes with its tail.
  bool fits(std::size_t length, std::size_t tailLength) const {
    return m_front + length + 1 + tailLength + sizeof(Entry) * (m_count + 1) <= m_size;
  }
  bool empty() const { return m_count == 0; }
  std::size_t count() const { return m_count; }

  // Makes an empty area hold at least size bytes.
  void reserve(std::size_t size) {
    if (size > m_size) {
      m_size = size;
      m_block.reset();
    }
  }

  void add(std::string_view record, const Key& key) {
    if (!m_block) m_block = std::unique_ptr<unsigned char[]>(new unsigned char[m_size]);
    char* front = reinterpret_cast<char*>(m_block.get()) + m_front;
    std::memcpy(front, record.data(), record.size());
    front[record.size()] = static_cast<char>(key.tailLength);
    std::memcpy(front + record.size() + 1, key.tail, key.tailLength);
    ++m_count;
    entries()[0] =
        Entry{key.primary, static_cast<std::uint32_t>(m_front), static_cast<std::uint32_t>(record.size())};
    m_front += record.size() + 1 + key.tailLength;
  }

  // Sorts the entries: key, then the order the records came in.
  void sort(bool isText) {
    const char* block = reinterpret_cast<const char*>(m_block.get());
    Entry* first = entries();
    std::sort(first, first + m_count, [block, isText](const Entry& a, const Entry& b) {
      if (a.primary != b.primary) return a.primary < b.primary;
      if (isText || a.primary == kNotANumberKey) {
        const char* ta = block + a.offset + a.length;
        const char* tb = block + b.offset + b.length;
        const int c =
            CompareTails(ta + 1, static_cast<unsigned char>(*ta), tb + 1, static_cast<unsigned char>(*tb));
        if (c != 0) return c < 0;
      }
      return a.offset < b.offset;
    });
  }

  const Entry& entry(std::size_t i) const { return entries()[i]; }
  const char* bytes(const Entry& e) const { return reinterpret_cast<const char*>(m_block.get()) + e.offset; }
  const char* tail(const Entry& e) const { return bytes(e) + e.length + 1; }
  std::uint8_t tailLength(const Entry& e) const { return static_cast<std::uint8_t>(bytes(e)[e.length]); }

  void clear() {
    m_front = 0;
    m_count = 0;
  }

 private:
  // Entry 0 is the last one added; the block ends with the first.
  Entry* entries() const {
    return reinterpret_cast<Entry*>(m_block.get() + m_size - sizeof(Entry) * m_count);
  }

  std::size_t m_size;
  // Bytes of unsigned char, so that the entries placed in them are objects of their own.
  std::unique_ptr<unsigned char[]> m_block;
  std::size_t m_front = 0;
  std::size_t m_count = 0;
};

std::size_t AlignedAreaSize(std::int64_t bytes) {
  return static_cast<std::size_t>(bytes) / alignof(Entry) * alignof(Entry);
}

}  // namespace

// ---------------------------------------------------------------- the sort

class TFSort::Impl {
 public:
  Impl(Ui& ui, const std::string& file, const SortField& field, const SortOptions& options)
      : m_ui(ui), m_file(file), m_options(options), m_collector(field.position, field.typeByte) {
    m_counter.failAt = options.failWriteAt;
    m_memory = std::clamp(options.memoryBytes, kMinMemory, kMaxMemory);
    m_ioBlock = std::clamp(m_memory / 8, kMinIoBlock, kMaxIoBlock);
    // The merge reads its runs in blocks that share what the two file buffers leave.
    m_mergeMemory = std::max<std::int64_t>(m_memory - 2 * m_ioBlock, kMinIoBlock);
    m_fanIn = options.fanIn > 0 ? std::max(options.fanIn, 2)
                                : static_cast<int>(std::max<std::int64_t>(m_mergeMemory / kMergeBlock, 2));
    // Temporary files go beside the file the statistics file's name leads to (past symbolic links),
    // so that the work file can be renamed over it.
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(std::filesystem::path(file), error);
    m_target = error ? file : real.string();
  }

  SortResult run() {
    const int source = ::open(m_file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (source < 0 || ::fstat(source, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) {
      if (source >= 0) ::close(source);
      m_ui.error(kEmptyMessage);
      m_result.outcome = SortResult::Outcome::Empty;
      return m_result;
    }
    m_lastShown = std::chrono::steady_clock::now() - m_options.updateInterval;
    m_ui.flags().cancelRequested = false;
    m_ui.openCancelDialog(std::string(kMessagePrefix) + m_name, CancelMode::Counter, true);
    const Step step = sortFile(source);
    ::close(source);
    m_ui.closeCancelDialog();
    finishWith(step);
    return m_result;
  }

  void setName(std::string name) { m_name = std::move(name); }

 private:
  enum class Step {
    Done,
    Empty,
    Cancelled,
    ReadFailed,
    WriteFailed,
    CreateFailed,
    RunReadFailed,
    SwapFailed
  };

  void finishWith(Step step) {
    using Outcome = SortResult::Outcome;
    switch (step) {
      case Step::Done:
        m_result.outcome = Outcome::Done;
        return;
      case Step::Empty:
        m_ui.error(kEmptyMessage);
        m_result.outcome = Outcome::Empty;
        return;
      case Step::Cancelled:
        m_result.outcome = Outcome::Cancelled;
        return;
      case Step::ReadFailed:
        ShowFileError(m_ui, m_file, kReadError);
        break;
      case Step::WriteFailed:
        ShowFileError(m_ui, m_file, kWriteFailed);
        break;
      case Step::CreateFailed:
        ShowFileError(m_ui, m_file, kCannotCreate);
        break;
      case Step::RunReadFailed:
        ShowFileError(m_ui, m_file, kRunReadFailed);
        break;
      case Step::SwapFailed:
        ShowFileError(m_ui, m_file, kReplaceFailed);
        break;
    }
    m_result.outcome = Outcome::Failed;
  }

  // Shows count now and then; false when the user cancelled.
  bool tick(std::int64_t count) {
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastShown >= m_options.updateInterval) {
      m_lastShown = now;
      m_ui.updateCancelDialog(static_cast<double>(count));
      if (m_options.onProgress) m_options.onProgress(m_result.stoppedIn, count);
    }
    return !m_ui.cancelRequested();
  }

  void enter(SortPhase phase) {
    m_result.stoppedIn = phase;
    m_lastShown = std::chrono::steady_clock::now() - m_options.updateInterval;
  }

  // ------------------------------------------------ reading

  // Reads the source, splitting it into records by the record-boundary rule, and hands each record
  // (its lines, each with CR LF) with its key to take. Returns Done at the end of the file.
  template <typename Take>
  Step readRecords(int source, Take&& take) {
    std::size_t capacity = static_cast<std::size_t>(m_ioBlock);
    auto buffer = NewBuffer(capacity);
    std::size_t start = 0;  // first byte of the unfinished line
    std::size_t end = 0;
    bool atEnd = false;
    std::string record;
    int previous = 0;  // line number of the record's last line; 0: no record open
    Key key;

    auto finishRecord = [&]() -> Step {
      ++m_result.records;
      m_collector.finishKey(m_result.records, key);
      if (!take(std::string_view(record), key)) return m_step;
      if (m_result.records % kSortCountStep == 0 && !tick(m_result.records)) return Step::Cancelled;
      return Step::Done;
    };
    auto addLine = [&](const char* line, std::size_t length) -> Step {
      if (length > 0 && line[length - 1] == kCarriageReturn) --length;
      if (length == 0) return Step::Done;  // empty lines belong to no record
      const int k = LineNumberOf(line[0]);
      if (previous > 0 && k <= previous) {
        const Step step = finishRecord();
        if (step != Step::Done) return step;
        previous = 0;
      }
      if (previous == 0) {
        record.clear();
        m_collector.startRecord();
        // A record read without its line 1 gets it, empty, so that in its new place it does not
        // continue the record before it.
        if (k > 1) record.append("1\r\n");
      }
      record.append(line, length);
      record.append("\r\n");
      m_collector.addLine(k, line + 1, length - 1);
      previous = k;
      return Step::Done;
    };

    for (;;) {
      const char* lineFeed =
          static_cast<const char*>(std::memchr(buffer.get() + start, kLineFeed, end - start));
      if (lineFeed != nullptr) {
        const std::size_t length = static_cast<std::size_t>(lineFeed - (buffer.get() + start));
        const Step step = addLine(buffer.get() + start, length);
        if (step != Step::Done) return step;
        start += length + 1;
        continue;
      }
      if (atEnd) break;
      // The unfinished line moves to the front; a line longer than the buffer makes it grow.
      const std::size_t kept = end - start;
      if (kept == capacity) {
        capacity *= 2;
        auto bigger = NewBuffer(capacity);
        std::memcpy(bigger.get(), buffer.get() + start, kept);
        buffer = std::move(bigger);
      } else if (kept > 0 && start > 0) {
        std::memmove(buffer.get(), buffer.get() + start, kept);
      }
      start = 0;
      end = kept;
      const ssize_t got = ReadFully(source, buffer.get() + end, capacity - end);
      if (got < 0) return Step::ReadFailed;
      end += static_cast<std::size_t>(got);
      if (end < capacity) atEnd = true;
    }
    // The last line has no line feed; a Ctrl-Z as the file's very last byte is its end mark.
    std::size_t length = end - start;
    if (length > 0 && buffer[start + length - 1] == kEndOfFileMark) --length;
    const Step step = addLine(buffer.get() + start, length);
    if (step != Step::Done) return step;
    if (previous > 0) return finishRecord();
    return Step::Done;
  }

  // ------------------------------------------------ the steps

  Step sortFile(int source) {
    WorkArea area(AlignedAreaSize(std::max<std::int64_t>(m_memory - 2 * m_ioBlock, kMinIoBlock)));
    const bool isText = m_collector.isText();
    BlockWriter runWriter(m_counter, m_ioBlock);
    const std::string runStem = ChangeExtension(m_target, "sr$");

    enter(SortPhase::Reading);
    auto writeRun = [&]() -> bool {
      area.sort(isText);
      std::string name;
      const int fd = m_files.create(runStem, name);
      if (fd < 0) {
        m_step = Step::CreateFailed;
        return false;
      }
      runWriter.attach(fd);
      for (std::size_t i = 0; i < area.count(); ++i) {
        const Entry& e = area.entry(i);
        char header[kRunHeader];
        std::memcpy(header, &e.primary, 8);
        std::memcpy(header + 8, &e.length, 4);
        header[12] = static_cast<char>(area.tailLength(e));
        if (!runWriter.write(header, kRunHeader) || !runWriter.write(area.tail(e), area.tailLength(e)) ||
            !runWriter.write(area.bytes(e), e.length)) {
          runWriter.closeQuietly();
          m_step = Step::WriteFailed;
          return false;
        }
      }
      if (!runWriter.finish()) {
        m_step = Step::WriteFailed;
        return false;
      }
      m_runs.push_back(Run{name, static_cast<std::int64_t>(area.count())});
      ++m_result.runs;
      area.clear();
      return true;
    };
    const Step read = readRecords(source, [&](std::string_view record, const Key& key) {
      if (!area.fits(record.size(), key.tailLength)) {
        if (!area.empty() && !writeRun()) return false;
        // A record larger than the whole area gets an area of its own.
        area.reserve(AlignedAreaSize(
            static_cast<std::int64_t>(record.size() + 1 + key.tailLength + 2 * sizeof(Entry))));
      }
      area.add(record, key);
      return true;
    });
    m_result.bytesWritten = m_counter.written;
    if (read != Step::Done) return read;
    if (m_result.records == 0) return Step::Empty;

    std::string workFile;
    const int workFd = m_files.create(ChangeExtension(m_target, "so$"), workFile);
    if (workFd < 0) return Step::CreateFailed;
    BlockWriter output(m_counter, m_ioBlock);
    output.attach(workFd);
    std::int64_t written = 0;
    if (m_runs.empty()) {
      // Everything fits: sorted in memory and written at once.
      enter(SortPhase::Writing);
      area.sort(isText);
      for (std::size_t i = 0; i < area.count(); ++i) {
        const Entry& e = area.entry(i);
        if (!output.write(area.bytes(e), e.length)) return failWrite();
        ++written;
        if (written % kSortCountStep == 0 && !tick(written)) return Step::Cancelled;
      }
    } else {
      if (!area.empty() && !writeRun()) return m_step;
      area = WorkArea(0);  // the merge needs the memory
      const Step merged = mergeRuns(output, written);
      if (merged != Step::Done) return merged;
    }
    if (!output.finish()) return failWrite();
    m_result.bytesWritten = m_counter.written;
    if (written != m_result.records) return Step::WriteFailed;  // never hand on an incomplete file
    ++m_result.mergePasses;
    // The work file is the swap's from here: it is renamed or deleted there.
    m_files.release(workFile);
    if (SwapInWorkFile(m_file, workFile, BackupFileName(m_file)) != SwapOutcome::Swapped)
      return Step::SwapFailed;
    return Step::Done;
  }

  Step failWrite() {
    m_result.bytesWritten = m_counter.written;
    return Step::WriteFailed;
  }

  struct Run {
    std::string name;
    std::int64_t records = 0;
  };

  // Merges the runs, fan-in at a time, until one merge writes the work file.
  Step mergeRuns(BlockWriter& output, std::int64_t& written) {
    const std::string runStem = ChangeExtension(m_target, "sr$");
    while (static_cast<int>(m_runs.size()) > m_fanIn) {
      enter(SortPhase::Merging);
      std::vector<Run> next;
      std::int64_t passWritten = 0;
      for (std::size_t first = 0; first < m_runs.size(); first += static_cast<std::size_t>(m_fanIn)) {
        const std::size_t last = std::min(m_runs.size(), first + static_cast<std::size_t>(m_fanIn));
        if (last - first == 1) {  // a single run left over waits for the next pass as it is
          next.push_back(m_runs[first]);
          continue;
        }
        std::string name;
        const int fd = m_files.create(runStem, name);
        if (fd < 0) return Step::CreateFailed;
        BlockWriter runWriter(m_counter, m_ioBlock);
        runWriter.attach(fd);
        std::int64_t records = 0;
        const Step step = mergeGroup(first, last, runWriter, true, passWritten, records);
        if (step != Step::Done) return step;
        if (!runWriter.finish()) return failWrite();
        for (std::size_t i = first; i < last; ++i) m_files.remove(m_runs[i].name);
        next.push_back(Run{name, records});
      }
      m_runs = std::move(next);
      ++m_result.mergePasses;
      m_result.bytesWritten = m_counter.written;
    }
    enter(SortPhase::Writing);
    std::int64_t records = 0;
    const Step step = mergeGroup(0, m_runs.size(), output, false, written, records);
    m_result.bytesWritten = m_counter.written;
    if (step != Step::Done) return step;
    for (const Run& run : m_runs) m_files.remove(run.name);
    m_runs.clear();
    return Step::Done;
  }

  // Merges runs first..last-1 into out: as a run (with headers and tails) or as the records' bytes.
  // shown counts the records written in this pass for the cancel dialog.
  Step mergeGroup(std::size_t first, std::size_t last, BlockWriter& out, bool asRun, std::int64_t& shown,
                  std::int64_t& records) {
    const std::size_t count = last - first;
    const std::size_t block =
        static_cast<std::size_t>(std::max<std::int64_t>(m_mergeMemory / m_fanIn, kMinIoBlock));
    std::vector<std::unique_ptr<RunReader>> readers;
    for (std::size_t i = first; i < last; ++i) {
      int fd;
      do {
        fd = ::open(m_runs[i].name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
      } while (fd < 0 && errno == EINTR);
      if (fd < 0) return Step::RunReadFailed;
      readers.push_back(std::make_unique<RunReader>(fd, block));
    }
    const bool isText = m_collector.isText();
    // Runs hold consecutive stretches of the file, in order: among equal keys the earlier run wins.
    auto less = [&](std::size_t a, std::size_t b) {
      const RunReader& ra = *readers[a];
      const RunReader& rb = *readers[b];
      if (ra.primary != rb.primary) return ra.primary < rb.primary;
      if (isText || ra.primary == kNotANumberKey) {
        const int c = CompareTails(ra.tail, ra.tailLength, rb.tail, rb.tailLength);
        if (c != 0) return c < 0;
      }
      return a < b;
    };
    // A binary heap of the runs that still have records, smallest first.
    std::vector<std::size_t> heap;
    heap.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
      if (readers[i]->next()) {
        heap.push_back(i);
      } else if (readers[i]->failed()) {
        return Step::RunReadFailed;
      }
    }
    auto siftDown = [&](std::size_t at) {
      const std::size_t size = heap.size();
      for (;;) {
        std::size_t smallest = at;
        const std::size_t left = 2 * at + 1;
        if (left < size && less(heap[left], heap[smallest])) smallest = left;
        if (left + 1 < size && less(heap[left + 1], heap[smallest])) smallest = left + 1;
        if (smallest == at) return;
        std::swap(heap[at], heap[smallest]);
        at = smallest;
      }
    };
    for (std::size_t i = heap.size() / 2; i-- > 0;) siftDown(i);

    while (!heap.empty()) {
      RunReader& top = *readers[heap[0]];
      bool ok = true;
      if (asRun) {
        char header[kRunHeader];
        std::memcpy(header, &top.primary, 8);
        std::memcpy(header + 8, &top.dataLength, 4);
        header[12] = static_cast<char>(top.tailLength);
        ok = out.write(header, kRunHeader) && out.write(top.tail, top.tailLength);
      }
      if (!ok || !out.write(top.data, top.dataLength)) {
        out.closeQuietly();
        return failWrite();
      }
      ++records;
      ++shown;
      if (shown % kSortCountStep == 0 && !tick(shown)) return Step::Cancelled;
      if (!top.next()) {
        if (top.failed()) return Step::RunReadFailed;
        heap[0] = heap.back();
        heap.pop_back();
      }
      if (!heap.empty()) siftDown(0);
    }
    std::int64_t expected = 0;
    for (std::size_t i = first; i < last; ++i) expected += m_runs[i].records;
    return records == expected ? Step::Done : Step::RunReadFailed;
  }

  Ui& m_ui;
  const std::string& m_file;
  const SortOptions& m_options;
  std::string m_name;
  std::string m_target;
  FieldCollector m_collector;
  WriteCounter m_counter;
  TemporaryFiles m_files;
  std::vector<Run> m_runs;
  std::int64_t m_memory = 0;
  std::int64_t m_ioBlock = 0;
  std::int64_t m_mergeMemory = 0;
  int m_fanIn = 2;
  Step m_step = Step::Done;  // why a record could not be taken
  std::chrono::steady_clock::time_point m_lastShown;
  SortResult m_result;
};

TFSort::TFSort(Ui& ui, std::string statisticsFile, SortField field, SortOptions options)
    : m_ui(ui), m_file(std::move(statisticsFile)), m_field(std::move(field)), m_options(std::move(options)) {}

TFSort::~TFSort() = default;

SortResult TFSort::run() {
  Impl impl(m_ui, m_file, m_field, m_options);
  impl.setName(m_field.name);
  return impl.run();
}

}  // namespace veltrix
