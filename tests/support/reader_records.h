// The records the statistics-file reader finds in a text: the reference the editing and sorting
// tests compare files with.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/datafile/stat_record.h"

namespace veltrix::test {

// Each record as its 7821 positions.
inline std::vector<std::string> ReaderRecords(std::string_view bytes) {
  TextLineSource source(bytes);
  RecordReader reader(source);
  RecordBuffer buffer;
  std::vector<std::string> records;
  while (reader.next(buffer)) records.emplace_back(buffer.record());
  return records;
}

}  // namespace veltrix::test
