#include "core/datafile/work_buffers.h"

#include "core/stats/real48.h"

namespace veltrix {

namespace {

bool inRange(int index, int capacity) {
  return index >= 0 && index < capacity;
}

}  // namespace

double TRWkF::value(int index) const {
  if (!inRange(index, kCapacity)) return 0.0;
  return readReal48(m_bytes.data() + std::size_t(index) * 6);
}

bool TRWkF::setValue(int index, double value) {
  if (!inRange(index, kCapacity)) return false;
  writeReal48(value, m_bytes.data() + std::size_t(index) * 6);
  return true;
}

std::int16_t TWWkF::value(int index) const {
  return inRange(index, kCapacity) ? m_values[index] : 0;
}

bool TWWkF::setValue(int index, std::int16_t value) {
  if (!inRange(index, kCapacity)) return false;
  m_values[index] = value;
  return true;
}

double TMatWkF::value(int row, int column) const {
  if (!inRange(row, kDim) || !inRange(column, kDim)) return 0.0;
  return readReal48(m_bytes.data() + (std::size_t(row) * kDim + column) * 6);
}

bool TMatWkF::setValue(int row, int column, double value) {
  if (!inRange(row, kDim) || !inRange(column, kDim)) return false;
  writeReal48(value, m_bytes.data() + (std::size_t(row) * kDim + column) * 6);
  return true;
}

}  // namespace veltrix
