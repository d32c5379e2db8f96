// The parameter file: its byte image, reading it back with every count checked, and replacing the
// file on the disk without a moment in which it is missing or half-written.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/datafile/date_time.h"
#include "core/datafile/file_names.h"
#include "core/datafile/file_objects.h"
#include "core/datafile/params.h"
#include "core/stats/real48.h"

namespace veltrix {

namespace {

// Header offsets.
constexpr std::size_t kVersionAt = 0;
constexpr std::size_t kClassBlocksAt = 1;
constexpr std::size_t kVariableBlocksAt = 2;
constexpr std::size_t kVariableCountAt = 3;
constexpr std::size_t kErrorAAt = 5;
constexpr std::size_t kErrorBAt = 11;
constexpr std::size_t kTestKindAt = 17;
constexpr std::size_t kTestMethodAt = 18;
constexpr std::size_t kFactorAAt = 19;
constexpr std::size_t kFactorBAt = 25;
constexpr std::size_t kQuantileAAt = 31;
constexpr std::size_t kQuantileBAt = 37;
constexpr std::size_t kWhiskerAt = 43;
constexpr std::size_t kDateAt = 44;
// The number of 128-byte blocks of the group records that follow the variable area, so that a file
// cut between two group records is told from one with fewer groups. 0 in files of older versions
// (the rest of the header was zero there): such files are read without this check.
constexpr std::size_t kGroupBlocksAt = 48;

constexpr std::size_t kBlock = kParamBlockSize;
constexpr int kMaxGroupBlocks = 4;
// The largest file the format allows is about 196 KB (255 blocks per area, 255 groups of 4 blocks);
// anything beyond this is not a parameter file this program wrote.
constexpr std::int64_t kMaxFileBytes = std::int64_t{1} << 20;

std::size_t blocksFor(std::size_t bytes) {
  return (bytes + kBlock - 1) / kBlock;
}

std::int16_t readInt16(const std::uint8_t* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}
void writeInt16(std::int16_t value, std::uint8_t* p) {
  const auto u = static_cast<std::uint16_t>(value);
  p[0] = static_cast<std::uint8_t>(u & 0xFF);
  p[1] = static_cast<std::uint8_t>(u >> 8);
}
std::int32_t readInt32(const std::uint8_t* p) {
  const std::uint32_t u = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
                          (std::uint32_t{p[3]} << 24);
  return static_cast<std::int32_t>(u);
}
void writeInt32(std::int32_t value, std::uint8_t* p) {
  const auto u = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

int fieldEnd(int start, std::uint8_t typeByte) {
  return start + (typeByte & 127) - 1;
}

struct StandardDivision {
  int number;
  int count;
  double start;
  double step;
};

constexpr StandardDivision kStandardDivisions[] = {
    {1, 29, 1, 1},    {2, 11, 0, 10},  {3, 21, 0, 5},   {4, 11, 0, 100}, {5, 21, 0, 50},
    {6, 11, 0, 1000}, {7, 29, 0, 0.1}, {8, 21, 0, 0.5}, {9, 21, -10, 1}, {10, 11, -50, 10},
    {11, 2, 0, 1},    {12, 2, 1, 1},   {13, 1, 0, 0},   {14, 1, 1, 0},
};

double roundToReal48(double value) {
  return Real48::fromDouble(value).toDouble();
}

// The header's settings, each outside its range replaced by its default. Files of version 0 come
// from programs that did not store the settings: a zero there means "not stored" and takes the
// default silently. Any other value outside its range is damage (true).
bool readSettings(const std::uint8_t* data, ParamSettings& settings) {
  const ParamSettings defaults;
  const bool oldVersion = data[kVersionAt] == 0;
  bool damaged = false;
  const auto real = [&](std::size_t at, double low, double high, double fallback) {
    const double value = readReal48(data + at);
    if (std::isfinite(value) && value > low && value < high) return value;
    if (!(oldVersion && value == 0)) damaged = true;
    return fallback;
  };
  const auto index = [&](std::size_t at, int low, int high, int fallback) {
    const int value = data[at];
    if (value >= low && value <= high) return value;
    if (!(oldVersion && value == 0)) damaged = true;
    return fallback;
  };
  constexpr double kUnbounded = std::numeric_limits<double>::infinity();
  settings.errorProbabilityA = real(kErrorAAt, 0, 1, defaults.errorProbabilityA);
  settings.errorProbabilityB = real(kErrorBAt, 0, 1, defaults.errorProbabilityB);
  settings.testKind = index(kTestKindAt, 1, 2, defaults.testKind);
  settings.testMethod = index(kTestMethodAt, 0, 1, defaults.testMethod);
  settings.factorA = real(kFactorAAt, 0, kUnbounded, defaults.factorA);
  settings.factorB = real(kFactorBAt, 0, kUnbounded, defaults.factorB);
  settings.quantileA = real(kQuantileAAt, 0, 100, defaults.quantileA);
  settings.quantileB = real(kQuantileBAt, 0, 100, defaults.quantileB);
  settings.whiskerIndex = index(kWhiskerAt, 0, 4, defaults.whiskerIndex);
  return damaged;
}

}  // namespace

// ---------------------------------------------------------------- byte image

std::vector<std::uint8_t> TParams::encode() const {
  std::vector<std::uint8_t> classArea;
  for (int n = 1; n <= kMaxClassDivisions; ++n) {
    const ClassDivisionRecord& record = m_classes[static_cast<std::size_t>(n)];
    if (record[0] != n) continue;
    const int count = std::min(record[1] & 31, kMaxClassValues);
    classArea.insert(classArea.end(), record.begin(), record.begin() + 2 + 6 * count);
  }
  const std::size_t classBlocks = blocksFor(classArea.size());
  classArea.resize(classBlocks * kBlock, 0);

  std::vector<std::uint8_t> variableArea(static_cast<std::size_t>(m_count) * kVariableEntrySize);
  for (int i = 1; i <= m_count; ++i) {
    const Entry& e = m_entries[static_cast<std::size_t>(i)];
    std::uint8_t* p = variableArea.data() + static_cast<std::size_t>(i - 1) * kVariableEntrySize;
    std::memcpy(p, e.name.data(), kVariableNameLength);
    writeInt16(e.position, p + 10);
    p[12] = e.typeByte;
  }
  const std::size_t variableBlocks = blocksFor(variableArea.size());
  variableArea.resize(variableBlocks * kBlock, 0);

  std::vector<std::uint8_t> bytes(kBlock, 0);
  bytes[kVersionAt] = kParamFileVersion;
  bytes[kClassBlocksAt] = static_cast<std::uint8_t>(classBlocks);
  bytes[kVariableBlocksAt] = static_cast<std::uint8_t>(variableBlocks);
  writeInt16(static_cast<std::int16_t>(m_count), &bytes[kVariableCountAt]);
  writeReal48(m_settings.errorProbabilityA, &bytes[kErrorAAt]);
  writeReal48(m_settings.errorProbabilityB, &bytes[kErrorBAt]);
  bytes[kTestKindAt] = static_cast<std::uint8_t>(m_settings.testKind);
  bytes[kTestMethodAt] = static_cast<std::uint8_t>(m_settings.testMethod);
  writeReal48(m_settings.factorA, &bytes[kFactorAAt]);
  writeReal48(m_settings.factorB, &bytes[kFactorBAt]);
  writeReal48(m_settings.quantileA, &bytes[kQuantileAAt]);
  writeReal48(m_settings.quantileB, &bytes[kQuantileBAt]);
  bytes[kWhiskerAt] = static_cast<std::uint8_t>(m_settings.whiskerIndex);
  writeInt32(m_creationDate, &bytes[kDateAt]);

  bytes.insert(bytes.end(), classArea.begin(), classArea.end());
  bytes.insert(bytes.end(), variableArea.begin(), variableArea.end());

  std::size_t groupBlocks = 0;
  for (int k = 1; k <= kMaxGroups; ++k) {
    GroupRecord record = m_groups[static_cast<std::size_t>(k)];
    if (record[0] == 0) continue;
    const std::size_t blocks =
        blocksFor(static_cast<std::size_t>(kGroupDefinitionOffset + GroupDefinitionEnd(record)));
    record[0] = static_cast<std::uint8_t>(k);
    record[1] = static_cast<std::uint8_t>(blocks);
    bytes.insert(bytes.end(), record.begin(), record.begin() + static_cast<std::ptrdiff_t>(blocks * kBlock));
    groupBlocks += blocks;
  }
  writeInt16(static_cast<std::int16_t>(groupBlocks), &bytes[kGroupBlocksAt]);  // at most 255 * 4
  return bytes;
}

ParamsReadStatus TParams::decode(std::span<const std::uint8_t> bytes) {
  reset();
  if (!bytes.empty() && bytes[kVersionAt] != kParamFileVersion && bytes[kVersionAt] != 0)
    return ParamsReadStatus::WrongVersion;
  // A file shorter than its header reads as zeros: version 0 with nothing in it, an empty structure
  // (an empty file is what an interrupted program may leave).
  if (bytes.size() < kBlock) return ParamsReadStatus::Ok;
  const std::size_t size = bytes.size();
  const std::uint8_t* data = bytes.data();

  bool damaged = readSettings(data, m_settings);
  m_creationDate = readInt32(data + kDateAt);

  // Class division area: records one after another until a zero number byte or the area's end.
  const std::size_t classStart = kBlock;
  const std::size_t classEnd = classStart + data[kClassBlocksAt] * kBlock;
  if (classEnd > size) damaged = true;
  const std::size_t classLimit = std::min(classEnd, size);
  for (std::size_t at = classStart; at < classLimit;) {
    const int number = data[at];
    if (number == 0) break;
    if (at + 2 > classLimit || (data[at + 1] & 31) > kMaxClassValues) {
      damaged = true;
      break;
    }
    const std::size_t recordSize = 2 + 6 * std::size_t{static_cast<std::uint8_t>(data[at + 1] & 31)};
    if (at + recordSize > classLimit) {
      damaged = true;
      break;
    }
    if (number > kMaxClassDivisions) {
      damaged = true;  // skipped; its size is known, so the walk goes on
    } else {
      ClassDivisionRecord& record = m_classes[static_cast<std::size_t>(number)];
      record.fill(0);
      std::memcpy(record.data(), data + at, recordSize);
    }
    at += recordSize;
  }

  // Variable area.
  const std::size_t variableStart = classEnd;
  const std::size_t variableEnd = variableStart + data[kVariableBlocksAt] * kBlock;
  if (variableEnd > size) damaged = true;
  const std::size_t available = variableStart < size ? std::min(variableEnd, size) - variableStart : 0;
  int count = readInt16(data + kVariableCountAt);
  if (count < 0 || count > kMaxVariables) {
    damaged = true;
    count = std::clamp(count, 0, kMaxVariables);
  }
  const int fitting = static_cast<int>(available / kVariableEntrySize);
  if (count > fitting) {
    damaged = true;
    count = fitting;
  }
  for (int i = 1; i <= count; ++i) {
    const std::uint8_t* p = data + variableStart + static_cast<std::size_t>(i - 1) * kVariableEntrySize;
    Entry& e = m_entries[static_cast<std::size_t>(i)];
    std::memcpy(e.name.data(), p, kVariableNameLength);
    e.position = readInt16(p + 10);
    e.typeByte = p[12];
  }
  m_count = count;
  if (dropMalformedEntries()) damaged = true;
  settleProvisionalEntries();
  if (dropOverlappingEntries()) damaged = true;

  // Groups: records of 1..4 blocks until the end of the file.
  std::size_t groupBlocks = 0;
  for (std::size_t at = variableEnd; at < size;) {
    const std::size_t remaining = size - at;
    const int number = data[at];
    const int blocks = remaining >= 2 ? data[at + 1] : 0;
    if (remaining < kBlock || blocks < 1 || blocks > kMaxGroupBlocks ||
        remaining < static_cast<std::size_t>(blocks) * kBlock) {
      damaged = true;
      break;
    }
    if (number > 0) {
      GroupRecord& record = m_groups[static_cast<std::size_t>(number)];
      record.fill(0);
      std::memcpy(record.data(), data + at, static_cast<std::size_t>(blocks) * kBlock);
    }
    at += static_cast<std::size_t>(blocks) * kBlock;
    groupBlocks += static_cast<std::size_t>(blocks);
  }
  const auto recordedGroupBlocks = static_cast<std::uint16_t>(readInt16(data + kGroupBlocksAt));
  if (recordedGroupBlocks != 0 && recordedGroupBlocks != groupBlocks) damaged = true;

  m_nameIndexValid = false;
  return damaged ? ParamsReadStatus::Damaged : ParamsReadStatus::Ok;
}

void TParams::removeEntry(int index) {
  for (int i = index; i < m_count; ++i)
    m_entries[static_cast<std::size_t>(i)] = m_entries[static_cast<std::size_t>(i + 1)];
  Entry empty;
  empty.name.fill(' ');
  m_entries[static_cast<std::size_t>(m_count)] = empty;
  --m_count;
  m_nameIndexValid = false;
}

bool TParams::dropMalformedEntries() {
  bool dropped = false;
  for (int i = 1; i <= m_count;) {
    const Entry& e = m_entries[static_cast<std::size_t>(i)];
    const int start = std::abs(int{e.position});
    const int length = e.typeByte & 127;
    const int maxLength = (e.typeByte & 128) != 0 ? kMaxTextFieldLength : kMaxNumericFieldLength;
    if (start < 1 || length < 1 || length > maxLength || start + length - 1 > kRecordLength) {
      removeEntry(i);
      dropped = true;
    } else {
      ++i;
    }
  }
  return dropped;
}

void TParams::settleProvisionalEntries() {
  for (int i = 1; i <= m_count;) {
    Entry& e = m_entries[static_cast<std::size_t>(i)];
    if (e.position >= 0) {
      ++i;
      continue;
    }
    const int start = -int{e.position};
    const int end = fieldEnd(start, e.typeByte);
    bool overlaps = false;
    if (i > 1) {
      const Entry& previous = m_entries[static_cast<std::size_t>(i - 1)];
      overlaps = fieldEnd(std::abs(int{previous.position}), previous.typeByte) >= start;
    }
    if (i < m_count)
      overlaps = overlaps || end >= std::abs(int{m_entries[static_cast<std::size_t>(i + 1)].position});
    if (overlaps) {
      removeEntry(i);
    } else {
      e.position = static_cast<std::int16_t>(start);
      ++i;
    }
  }
}

bool TParams::dropOverlappingEntries() {
  bool dropped = false;
  int previousEnd = 0;
  for (int i = 1; i <= m_count;) {
    const Entry& e = m_entries[static_cast<std::size_t>(i)];
    const int start = std::abs(int{e.position});
    if (start <= previousEnd) {
      removeEntry(i);
      dropped = true;
    } else {
      previousEnd = fieldEnd(start, e.typeByte);
      ++i;
    }
  }
  return dropped;
}

// ---------------------------------------------------------------- file

ParamsReadStatus TParams::read(const std::string& fileName) {
  m_fileName = fileName;
  const std::string readError = "Fehler beim Lesen der Parameterdatei " + fileNameForDisplay(fileName);
  reset();

  std::vector<std::uint8_t> bytes;
  bool failed = false;
  {
    TRndFile file(m_ui);
    if (!file.openForReading(fileName)) {
      m_ui.error(readError);
      return ParamsReadStatus::Damaged;
    }
    const std::int64_t size = file.size();
    failed = size > kMaxFileBytes;
    bytes.resize(static_cast<std::size_t>(std::min(size, kMaxFileBytes)));
    const std::int32_t got =
        bytes.empty() ? 0 : file.read(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(std::max(got, 0)));
    failed = failed || file.error();
    file.close();
    failed = failed || file.error();
  }

  const ParamsReadStatus status = decode(bytes);
  if (status == ParamsReadStatus::WrongVersion) {
    reset();
    m_ui.error("Falsche Version der Parameterdatei");
    return status;
  }
  if (failed || status == ParamsReadStatus::Damaged) {
    m_ui.error(readError);
    return ParamsReadStatus::Damaged;
  }
  return ParamsReadStatus::Ok;
}

void TParams::prepareForWrite() {
  if (m_creationDate == 0) m_creationDate = Today();
  for (int k = 1; k <= kMaxGroups; ++k) {
    GroupRecord& record = m_groups[static_cast<std::size_t>(k)];
    if (record[0] == 0) continue;
    record[1] = static_cast<std::uint8_t>(
        blocksFor(static_cast<std::size_t>(kGroupDefinitionOffset + GroupDefinitionEnd(record))));
  }
}

bool TParams::write() {
  prepareForWrite();
  if (!replaceFile(encode())) {
    m_ui.error("Fehler beim Schreiben der Parameterdatei " + fileNameForDisplay(m_fileName));
    return false;
  }
  m_modified = false;
  return true;
}

bool TParams::replaceFile(const std::vector<std::uint8_t>& bytes) {
  // The new contents go to a temporary file named after the parameter file ("studie.pr$-" and a
  // unique suffix): a file left under the plain "studie.pr$" by a killed program, or a link planted
  // there, is never followed and never in the way.
  const std::string temporaryName = CompanionFileName(m_fileName, "pr$");
  ReplaceOptions options;
  options.temporaryExtension = std::string_view(temporaryName).substr(temporaryName.rfind('.') + 1);
  // The first save after a selection keeps the previous file as ".prb". A hard link keeps it without
  // copying; the parameter file itself stays where it is until the rename replaces it. A file or link
  // found under the backup name is removed first, and the new backup never follows a link.
  options.beforeCommit = [this](const std::string& target) {
    if (m_backupMade || ProbeFile(target).kind != EntryKind::RegularFile) return true;
    const std::string backup = CompanionFileName(m_fileName, "prb");
    if (::unlink(backup.c_str()) != 0 && errno != ENOENT) return false;
    // Without hard links (another file system's rules) the backup is a copy; the copy's target is
    // created exclusively as well.
    if (::link(target.c_str(), backup.c_str()) != 0 &&
        CopyFile(m_ui, target, backup) != TFileCopy::Result::Copied)
      return false;
    m_backupMade = true;
    return true;
  };
  const std::string_view image(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return !m_fileName.empty() && ReplaceFileSafely(m_fileName, image, options);
}

bool TParams::createDefault(const std::string& fileName) {
  m_fileName = fileName;
  reset();
  for (const StandardDivision& d : kStandardDivisions) {
    ClassDivisionRecord record{};
    record[0] = static_cast<std::uint8_t>(d.number);
    record[1] = static_cast<std::uint8_t>(d.count);
    // Each value is the previous one plus the step in six-byte arithmetic, so 0.1 steps carry the
    // rounding of the stored form along.
    const double step = roundToReal48(d.step);
    double value = roundToReal48(d.start);
    for (int i = 0; i < d.count; ++i) {
      writeReal48(value, record.data() + 2 + 6 * i);
      value = roundToReal48(value + step);
    }
    m_classes[static_cast<std::size_t>(d.number)] = record;
  }
  const bool written = write();
  m_backupMade = true;
  return written;
}

}  // namespace veltrix
