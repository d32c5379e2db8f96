// Any bytes as a statistics file: records are assembled by the line rules without overruns, every
// record fits the buffer, and writing a record and reading it back gives the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/datafile/stat_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace veltrix;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TextLineSource source(text);
  RecordReader reader(source);
  RecordBuffer buffer;
  int records = 0;
  while (reader.next(buffer) && records < 10000) {
    ++records;
    (void)FieldValue(buffer, 1, 5);
    (void)FieldValue(buffer, 7800, 128 + 60);
    (void)FieldValue(buffer, kRecordNumberPosition, kRecordNumberLength);

    // The record survives its own encoding.
    std::string encoded;
    for (const std::string& line : EncodeRecord(buffer)) encoded += line + "\r\n";
    TextLineSource again(encoded);
    RecordReader rereader(again);
    RecordBuffer copy;
    if (!rereader.next(copy)) std::abort();
    if (copy.record() != buffer.record()) std::abort();
  }
  return 0;
}
