// Sorting the records of the statistics file by the values of one variable, ascending and stable.
//
// The file may be far larger than memory. Records are read in large blocks and collected in a work
// area of a fixed size; a file that fits is sorted there and written out at once. Otherwise each
// full work area is sorted and written as a sorted run to a temporary file beside the statistics
// file, and the runs are merged: as many at a time as the memory allows (the fan-in), in several
// passes when there are more runs than that. The last merge writes the work file, which then takes
// the statistics file's place through SwapInWorkFile; the unsorted file becomes the backup.
//
// Order of the records:
//  - text variable: the first 21 characters of the field as stored (blanks included), compared as
//    bytes; records whose fields agree in them keep their order;
//  - numeric variable: blank fields first, then the numbers by value (as ParseNumber reads them: ","
//    as the decimal point, exponents, any number of digits), then the fields that hold no number, by
//    the first 21 characters of their text (without the blanks around it);
//  - equal keys keep the order of the records in the file (ties are decided by the record's ordinal,
//    which has no upper limit).
//
// Records are found by the record-boundary rule of the statistics file (RecordReader) and copied
// with the bytes of their lines as they stand, each line followed by CR LF; only empty lines and a
// Ctrl-Z end mark, which belong to no record, are dropped. A record whose first line is not line 1
// gets an empty line 1 in front, so that it cannot run into the record it now follows.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace veltrix {

class Ui;

// The cancel dialog is looked at every this many records.
inline constexpr int kSortCountStep = 20;

// The variable the records are sorted by.
struct SortField {
  std::string name;  // shown in the cancel dialog ("Sortieren nach " + name)
  int position = 1;
  int typeByte = 0;  // bits 0..6 the length, bit 7 a text variable
};

// What the cancel dialog's count stands for.
enum class SortPhase {
  Reading,  // records read (and sorted runs written)
  Merging,  // records written by an intermediate merge pass
  Writing,  // records written to the work file
};

struct SortOptions {
  // Memory for records, keys and file buffers together (a record larger than that still fits).
  std::int64_t memoryBytes = std::int64_t{32} << 20;
  // Runs merged at a time; 0: as many as the memory gives blocks of 256 KiB (at least 2).
  int fanIn = 0;
  // Fails the write that would take the bytes written to all files past this count (0: never), to
  // test the handling of a full disk.
  std::int64_t failWriteAt = 0;
  // The count in the cancel dialog changes at most this often.
  std::chrono::milliseconds updateInterval{200};
  // Called with every count the cancel dialog shows (the batch program prints it).
  std::function<void(SortPhase phase, std::int64_t count)> onProgress = nullptr;
};

struct SortResult {
  enum class Outcome {
    Done,       // the sorted file replaced the statistics file
    Empty,      // "Datei ist leer (oder nicht vorhanden)"
    Cancelled,  // work and run files deleted, the statistics file unchanged
    Failed,     // reported; work and run files deleted, the statistics file unchanged
  };
  Outcome outcome = Outcome::Failed;
  std::int64_t records = 0;                  // records read
  int runs = 0;                              // sorted runs written (0 when the file was sorted in memory)
  int mergePasses = 0;                       // merge passes finished, the one into the work file included
  SortPhase stoppedIn = SortPhase::Reading;  // where a cancel or failure happened
  std::int64_t bytesWritten = 0;             // to run files and the work file together
};

// One sort of one statistics file; made for each sort command.
class TFSort {
 public:
  TFSort(Ui& ui, std::string statisticsFile, SortField field, SortOptions options = {});
  TFSort(const TFSort&) = delete;
  TFSort& operator=(const TFSort&) = delete;
  ~TFSort();

  // Sorts with the cancel dialog "Sortieren nach " + the variable's name (count mode, with the
  // cancel button).
  SortResult run();

 private:
  class Impl;
  Ui& m_ui;
  std::string m_file;
  SortField m_field;
  SortOptions m_options;
};

}  // namespace veltrix
