// Work files of the analyses: value lists, long lists, matrices and case vectors. Each class keeps the
// whole file image in memory and moves it in a few transfers. Integers are little-endian, reals
// six-byte reals. File errors are reported by the file objects (core/datafile/file_objects.h); a
// damaged file is read only as far as it is valid, never beyond the capacity of the buffers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/datafile/file_objects.h"
#include "core/datafile/work_buffers.h"

namespace veltrix {

class Ui;

// The 128-byte descriptor block a writing analysis puts in front of its data (titles, codes).
using DescriptorBytes = std::array<std::uint8_t, 128>;
// A 502-byte selection slot, carried through a matrix file unchanged.
using SlotBytes = std::array<std::uint8_t, 502>;

// What reading a value list or long list file gave.
struct WorkListRead {
  // The file held its head and every value its head announces, within the capacity.
  bool complete = false;
  // Values read: the announced count, cut to the capacity and to the values the file really holds.
  std::int32_t n = 0;
  DescriptorBytes descriptor{};
};

// Value list file: a signed 16-bit count n (0..8200), the descriptor, then n six-byte reals.
class TRWkFS {
 public:
  static constexpr int kHeadBytes = 130;
  static constexpr int kCapacity = TRWkF::kCapacity;

  explicit TRWkFS(Ui& ui) : m_ui(ui) {}

  // Zeroes head and values.
  void clear();
  TRWkF& values() { return m_values; }
  const TRWkF& values() const { return m_values; }
  std::int32_t count() const { return m_n; }
  const DescriptorBytes& descriptor() const { return m_descriptor; }

  // Creates the file with the head and the first n values. A count outside 0..8200 is refused before
  // anything is written (false). False too after a file error.
  bool write(const std::string& name, std::int32_t n, const DescriptorBytes& descriptor);
  // Clears, then reads the head and the values.
  WorkListRead read(const std::string& name);

 private:
  Ui& m_ui;
  std::int32_t m_n = 0;
  DescriptorBytes m_descriptor{};
  TRWkF m_values;
};

// Long list file: the same head, then n signed 32-bit values (capacity 8200). Also the form of the
// entry-check file of data entry.
class TLWkFS {
 public:
  static constexpr int kHeadBytes = 130;
  static constexpr int kCapacity = 8200;

  explicit TLWkFS(Ui& ui) : m_ui(ui) {}

  void clear();
  // index 0..8199; 0 outside.
  std::int32_t value(int index) const;
  bool setValue(int index, std::int32_t value);
  std::int32_t count() const { return m_n; }
  const DescriptorBytes& descriptor() const { return m_descriptor; }

  bool write(const std::string& name, std::int32_t n, const DescriptorBytes& descriptor);
  WorkListRead read(const std::string& name);

 private:
  Ui& m_ui;
  std::int32_t m_n = 0;
  DescriptorBytes m_descriptor{};
  std::array<std::uint8_t, std::size_t{kCapacity} * 4> m_bytes{};
};

struct WorkMatrixSize {
  int rows = 0;
  int columns = 0;
};

struct WorkMatrixRead {
  // The file held all 6902 bytes and a size within 31 x 31.
  bool complete = false;
  DescriptorBytes descriptor{};
};

// Matrix file of 6902 bytes: descriptor (128), a middle block of 1008 bytes (rows and columns in use
// as signed 16-bit values, two selection slots) and the 31 x 31 matrix.
class TMatWkFS {
 public:
  static constexpr int kFileBytes = 6902;
  static constexpr int kMiddleBytes = 1008;
  static constexpr int kDim = TMatWkF::kDim;

  explicit TMatWkFS(Ui& ui) : m_ui(ui) {}

  // Zeroes descriptor, middle block and matrix.
  void clear();
  // Rows and columns 0..31; anything else is refused and changes nothing.
  bool setSize(int rows, int columns);
  // Clamped to 0..31 (a damaged file may claim more).
  WorkMatrixSize size() const;
  void setSlots(const SlotBytes& slotA, const SlotBytes& slotB);
  SlotBytes slotA() const;
  SlotBytes slotB() const;
  TMatWkF& matrix() { return m_matrix; }
  const TMatWkF& matrix() const { return m_matrix; }
  const DescriptorBytes& descriptor() const { return m_descriptor; }

  bool write(const std::string& name, const DescriptorBytes& descriptor);
  // Clears, then reads as much of the three parts as the file holds.
  WorkMatrixRead read(const std::string& name);

 private:
  Ui& m_ui;
  DescriptorBytes m_descriptor{};
  std::array<std::uint8_t, kMiddleBytes> m_middle{};
  TMatWkF m_matrix;
};

// Case vector files: a 32-bit k (values per case, 1..32), a 32-bit number of cases, then the cases of
// k six-byte reals in the order stored.
inline constexpr int kMCDMaxValues = 32;
// The store buffers and the reader reads this many reals at a time (12288 bytes).
inline constexpr int kMCDBufferReals = 2048;

class TMCDStore {
 public:
  explicit TMCDStore(Ui& ui) : m_file(ui) {}

  // Creates the file with a header of 0 cases. k outside 1..32 is refused.
  bool open(const std::string& name, int k);
  // Appends the first k values of a case; refused when not open, when fewer than k values are given,
  // or when the 32-bit case count is exhausted. Writes the buffer whenever the case would not fit.
  bool add(std::span<const double> values);
  // Writes what is buffered, puts the case count in the header and closes. False after a file error.
  bool finish();
  // Closes when still open and deletes the file.
  void discard();
  std::int32_t cases() const { return m_cases; }

 private:
  bool flush();

  TRndFile m_file;
  std::string m_name;
  std::vector<std::uint8_t> m_buffer;
  std::size_t m_used = 0;
  int m_k = 0;
  std::int32_t m_cases = 0;
  bool m_open = false;
};

struct MCDHeader {
  // k within 1..32 and every announced case present.
  bool complete = false;
  int k = 0;  // 0 when the file cannot be used
  // Announced cases, cut to the whole cases the file holds.
  std::int32_t cases = 0;
};

class TMCDRead {
 public:
  explicit TMCDRead(Ui& ui) : m_file(ui) {}

  MCDHeader open(const std::string& name);
  // The next case in values[0..k-1] (the rest zero) and its ordinal 1..cases; after the last case
  // (or before a successful open) all 32 values are zero and the ordinal is 0.
  std::int32_t next(std::array<double, kMCDMaxValues>& values);
  void close();

 private:
  TRndFile m_file;
  std::vector<std::uint8_t> m_buffer;
  int m_k = 0;
  std::int32_t m_cases = 0;
  std::int32_t m_delivered = 0;
  std::int32_t m_blockCases = 0;  // whole cases in the buffer
  std::int32_t m_blockNext = 0;   // index of the next of them
};

}  // namespace veltrix
