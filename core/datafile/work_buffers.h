// Fixed-size in-memory work buffers. They have no file of their own; the work files of
// core/datafile/work_files.h hold them as their file image. Every accessor checks its index: a read
// outside the buffer gives 0, a write outside it is refused (false) and changes nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace veltrix {

// General byte buffer (blocks of the parameter file).
class TBufObj {
 public:
  static constexpr std::size_t kBytes = 24576;

  void clear() { m_bytes.fill(0); }
  std::uint8_t* data() { return m_bytes.data(); }
  const std::uint8_t* data() const { return m_bytes.data(); }
  static constexpr std::size_t size() { return kBytes; }

 private:
  std::array<std::uint8_t, kBytes> m_bytes{};
};

// 8200 reals, kept as six-byte reals exactly as they are stored in a file.
class TRWkF {
 public:
  static constexpr int kCapacity = 8200;
  static constexpr std::size_t kBytes = std::size_t{kCapacity} * 6;  // 49200

  void clear() { m_bytes.fill(0); }
  // index 0..kCapacity-1.
  double value(int index) const;
  // Rounds to a six-byte real.
  bool setValue(int index, double value);
  std::uint8_t* data() { return m_bytes.data(); }
  const std::uint8_t* data() const { return m_bytes.data(); }

 private:
  std::array<std::uint8_t, kBytes> m_bytes{};
};

// 8200 signed 16-bit values.
class TWWkF {
 public:
  static constexpr int kCapacity = 8200;

  void clear() { m_values.fill(0); }
  std::int16_t value(int index) const;
  bool setValue(int index, std::int16_t value);

 private:
  std::array<std::int16_t, kCapacity> m_values{};
};

// Square matrix of 31 x 31 reals stored row by row as six-byte reals; row and column 0..30.
class TMatWkF {
 public:
  static constexpr int kDim = 31;
  static constexpr std::size_t kBytes = std::size_t{kDim} * kDim * 6;  // 5766

  void clear() { m_bytes.fill(0); }
  double value(int row, int column) const;
  bool setValue(int row, int column, double value);
  std::uint8_t* data() { return m_bytes.data(); }
  const std::uint8_t* data() const { return m_bytes.data(); }

 private:
  std::array<std::uint8_t, kBytes> m_bytes{};
};

}  // namespace veltrix
