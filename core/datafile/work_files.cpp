#include "core/datafile/work_files.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>

#include "core/stats/real48.h"

namespace veltrix {

namespace {

std::uint32_t getU32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

std::int32_t getI32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(getU32(p));
}

std::int16_t getI16(const std::uint8_t* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | p[1] << 8));
}

void putU32(std::uint32_t v, std::uint8_t* p) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void putI32(std::int32_t v, std::uint8_t* p) {
  putU32(static_cast<std::uint32_t>(v), p);
}

void putI16(std::int16_t v, std::uint8_t* p) {
  const auto u = static_cast<std::uint16_t>(v);
  p[0] = static_cast<std::uint8_t>(u);
  p[1] = static_cast<std::uint8_t>(u >> 8);
}

// Head of both list files: signed 16-bit count and descriptor.
constexpr int kListHead = 130;

bool writeList(Ui& ui, const std::string& name, std::int32_t n, const DescriptorBytes& descriptor,
               const std::uint8_t* values, int valueBytes) {
  std::array<std::uint8_t, kListHead> head{};
  putI16(static_cast<std::int16_t>(n), head.data());
  std::memcpy(head.data() + 2, descriptor.data(), descriptor.size());
  TRndFile file(ui);
  if (!file.create(name)) return false;
  file.write(head.data(), kListHead);
  if (n > 0) file.write(values, n * valueBytes);
  file.close();
  return !file.error();
}

// Reads the head and as many values as the head announces, the capacity allows and the file holds.
WorkListRead readList(Ui& ui, const std::string& name, std::uint8_t* values, int valueBytes, int capacity) {
  WorkListRead result;
  TRndFile file(ui);
  if (!file.openForReading(name)) return result;
  const std::int64_t size = file.size();
  std::array<std::uint8_t, kListHead> head{};
  const auto headBytes = static_cast<std::int32_t>(std::min<std::int64_t>(size, kListHead));
  if (file.read(head.data(), headBytes) != headBytes || headBytes < kListHead) {
    std::memcpy(result.descriptor.data(), head.data() + 2, result.descriptor.size());
    file.close();
    return result;
  }
  std::memcpy(result.descriptor.data(), head.data() + 2, result.descriptor.size());
  const std::int32_t announced = getI16(head.data());
  const std::int64_t available = (size - kListHead) / valueBytes;
  const auto n = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(announced, 0, std::min<std::int64_t>(capacity, available)));
  const std::int32_t got = n > 0 ? file.read(values, n * valueBytes) : 0;
  result.n = got / valueBytes;
  result.complete = announced >= 0 && announced == result.n;
  file.close();
  return result;
}

void removeFile(const std::string& name) {
  std::error_code ignored;
  std::filesystem::remove(name, ignored);
}

}  // namespace

// ---------------------------------------------------------------- TRWkFS

void TRWkFS::clear() {
  m_n = 0;
  m_descriptor.fill(0);
  m_values.clear();
}

bool TRWkFS::write(const std::string& name, std::int32_t n, const DescriptorBytes& descriptor) {
  if (n < 0 || n > kCapacity) return false;
  m_n = n;
  m_descriptor = descriptor;
  return writeList(m_ui, name, n, descriptor, m_values.data(), 6);
}

WorkListRead TRWkFS::read(const std::string& name) {
  clear();
  const WorkListRead result = readList(m_ui, name, m_values.data(), 6, kCapacity);
  m_n = result.n;
  m_descriptor = result.descriptor;
  return result;
}

// ---------------------------------------------------------------- TLWkFS

void TLWkFS::clear() {
  m_n = 0;
  m_descriptor.fill(0);
  m_bytes.fill(0);
}

std::int32_t TLWkFS::value(int index) const {
  if (index < 0 || index >= kCapacity) return 0;
  return getI32(m_bytes.data() + std::size_t(index) * 4);
}

bool TLWkFS::setValue(int index, std::int32_t value) {
  if (index < 0 || index >= kCapacity) return false;
  putI32(value, m_bytes.data() + std::size_t(index) * 4);
  return true;
}

bool TLWkFS::write(const std::string& name, std::int32_t n, const DescriptorBytes& descriptor) {
  if (n < 0 || n > kCapacity) return false;
  m_n = n;
  m_descriptor = descriptor;
  return writeList(m_ui, name, n, descriptor, m_bytes.data(), 4);
}

WorkListRead TLWkFS::read(const std::string& name) {
  clear();
  const WorkListRead result = readList(m_ui, name, m_bytes.data(), 4, kCapacity);
  m_n = result.n;
  m_descriptor = result.descriptor;
  return result;
}

// ---------------------------------------------------------------- TMatWkFS

namespace {

constexpr std::size_t kSlotAOffset = 4;
constexpr std::size_t kSlotBOffset = 4 + 502;

}  // namespace

void TMatWkFS::clear() {
  m_descriptor.fill(0);
  m_middle.fill(0);
  m_matrix.clear();
}

bool TMatWkFS::setSize(int rows, int columns) {
  if (rows < 0 || rows > kDim || columns < 0 || columns > kDim) return false;
  putI16(static_cast<std::int16_t>(rows), m_middle.data());
  putI16(static_cast<std::int16_t>(columns), m_middle.data() + 2);
  return true;
}

WorkMatrixSize TMatWkFS::size() const {
  return {std::clamp<int>(getI16(m_middle.data()), 0, kDim),
          std::clamp<int>(getI16(m_middle.data() + 2), 0, kDim)};
}

void TMatWkFS::setSlots(const SlotBytes& slotA, const SlotBytes& slotB) {
  std::memcpy(m_middle.data() + kSlotAOffset, slotA.data(), slotA.size());
  std::memcpy(m_middle.data() + kSlotBOffset, slotB.data(), slotB.size());
}

SlotBytes TMatWkFS::slotA() const {
  SlotBytes slot;
  std::memcpy(slot.data(), m_middle.data() + kSlotAOffset, slot.size());
  return slot;
}

SlotBytes TMatWkFS::slotB() const {
  SlotBytes slot;
  std::memcpy(slot.data(), m_middle.data() + kSlotBOffset, slot.size());
  return slot;
}

bool TMatWkFS::write(const std::string& name, const DescriptorBytes& descriptor) {
  m_descriptor = descriptor;
  TRndFile file(m_ui);
  if (!file.create(name)) return false;
  file.write(m_descriptor.data(), static_cast<std::int32_t>(m_descriptor.size()));
  file.write(m_middle.data(), kMiddleBytes);
  file.write(m_matrix.data(), static_cast<std::int32_t>(TMatWkF::kBytes));
  file.close();
  return !file.error();
}

WorkMatrixRead TMatWkFS::read(const std::string& name) {
  clear();
  WorkMatrixRead result;
  TRndFile file(m_ui);
  if (!file.openForReading(name)) return result;
  std::int64_t left = file.size();
  // The three parts in order, each cut to what the file still holds.
  const struct {
    std::uint8_t* data;
    std::int32_t bytes;
  } parts[] = {{m_descriptor.data(), static_cast<std::int32_t>(m_descriptor.size())},
               {m_middle.data(), kMiddleBytes},
               {m_matrix.data(), static_cast<std::int32_t>(TMatWkF::kBytes)}};
  bool whole = true;
  for (const auto& part : parts) {
    const auto bytes = static_cast<std::int32_t>(std::min<std::int64_t>(left, part.bytes));
    if (bytes <= 0 || file.read(part.data, bytes) != bytes || bytes < part.bytes) {
      whole = false;
      break;
    }
    left -= bytes;
  }
  file.close();
  const int rows = getI16(m_middle.data());
  const int columns = getI16(m_middle.data() + 2);
  result.complete = whole && rows >= 0 && rows <= kDim && columns >= 0 && columns <= kDim;
  result.descriptor = m_descriptor;
  return result;
}

// ---------------------------------------------------------------- TMCDStore

namespace {

constexpr int kMCDHeaderBytes = 8;
constexpr std::size_t kMCDBufferBytes = std::size_t{kMCDBufferReals} * 6;

}  // namespace

bool TMCDStore::open(const std::string& name, int k) {
  if (m_open) m_file.close();
  m_open = false;
  m_cases = 0;
  m_used = 0;
  if (k < 1 || k > kMCDMaxValues) return false;
  m_k = k;
  m_name = name;
  m_buffer.assign(kMCDBufferBytes, 0);
  if (!m_file.create(name)) return false;
  std::array<std::uint8_t, kMCDHeaderBytes> header{};
  putI32(k, header.data());
  m_file.write(header.data(), kMCDHeaderBytes);
  m_open = !m_file.error();
  return m_open;
}

bool TMCDStore::flush() {
  if (m_used > 0) m_file.write(m_buffer.data(), static_cast<std::int32_t>(m_used));
  m_used = 0;
  if (m_file.error()) m_open = false;
  return m_open;
}

bool TMCDStore::add(std::span<const double> values) {
  if (!m_open || values.size() < std::size_t(m_k) || m_cases == std::numeric_limits<std::int32_t>::max()) {
    return false;
  }
  const std::size_t caseBytes = std::size_t(m_k) * 6;
  if (m_used + caseBytes > m_buffer.size() && !flush()) return false;
  for (int i = 0; i < m_k; ++i) writeReal48(values[i], m_buffer.data() + m_used + std::size_t(i) * 6);
  m_used += caseBytes;
  ++m_cases;
  return true;
}

bool TMCDStore::finish() {
  if (!m_open || !flush()) return false;
  std::array<std::uint8_t, 4> count{};
  putI32(m_cases, count.data());
  if (m_file.seek(4)) m_file.write(count.data(), 4);
  const bool ok = !m_file.error();
  m_file.close();
  m_open = false;
  return ok && !m_file.error();
}

void TMCDStore::discard() {
  if (m_open) m_file.close();
  m_open = false;
  if (!m_name.empty()) removeFile(m_name);
}

// ---------------------------------------------------------------- TMCDRead

MCDHeader TMCDRead::open(const std::string& name) {
  m_k = 0;
  m_cases = m_delivered = m_blockCases = m_blockNext = 0;
  MCDHeader header;
  if (!m_file.openForReading(name)) return header;
  const std::int64_t size = m_file.size();
  std::array<std::uint8_t, kMCDHeaderBytes> bytes{};
  if (size < kMCDHeaderBytes || m_file.read(bytes.data(), kMCDHeaderBytes) != kMCDHeaderBytes) {
    m_file.close();
    return header;
  }
  const std::int32_t k = getI32(bytes.data());
  const std::int32_t announced = getI32(bytes.data() + 4);
  if (k < 1 || k > kMCDMaxValues) {
    m_file.close();
    return header;
  }
  const std::int64_t available = (size - kMCDHeaderBytes) / (std::int64_t{k} * 6);
  m_k = k;
  m_cases = static_cast<std::int32_t>(std::clamp<std::int64_t>(announced, 0, available));
  m_buffer.assign(kMCDBufferBytes, 0);
  header.k = k;
  header.cases = m_cases;
  header.complete = announced >= 0 && announced == m_cases;
  return header;
}

std::int32_t TMCDRead::next(std::array<double, kMCDMaxValues>& values) {
  values.fill(0.0);
  if (m_delivered >= m_cases) return 0;
  const std::size_t caseBytes = std::size_t(m_k) * 6;
  if (m_blockNext >= m_blockCases) {
    const std::int32_t perBlock = kMCDBufferReals / m_k;
    const std::int32_t wanted = std::min(perBlock, m_cases - m_delivered);
    const std::int32_t got = m_file.read(m_buffer.data(), static_cast<std::int32_t>(wanted * caseBytes));
    m_blockCases = static_cast<std::int32_t>(std::max(got, 0) / static_cast<std::int32_t>(caseBytes));
    m_blockNext = 0;
    if (m_blockCases < wanted) m_cases = m_delivered + m_blockCases;  // a read error ends the cases
    if (m_blockCases == 0) return 0;
  }
  const std::uint8_t* p = m_buffer.data() + std::size_t(m_blockNext) * caseBytes;
  for (int i = 0; i < m_k; ++i) values[i] = readReal48(p + std::size_t(i) * 6);
  ++m_blockNext;
  return ++m_delivered;
}

void TMCDRead::close() {
  m_file.close();
  m_cases = m_delivered = m_blockCases = m_blockNext = 0;
}

}  // namespace veltrix
