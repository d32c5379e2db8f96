// The data pass: TDataProc reads the statistics file record by record into the fixed-layout record
// buffer (and writes records back for the copying commands); TRunIt drives one or two passes over the
// file, hands every record to the procedure as an event, shows the progress and honours a cancel.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/datafile/file_objects.h"
#include "core/datafile/stat_record.h"

namespace veltrix {

class Ui;
class AnalysisProcedure;

// Files larger than this show the progress box "Auswertung".
inline constexpr std::int64_t kProgressBoxBytes = 500000;
// The bar moves every this many records.
inline constexpr int kProgressRecordStep = 200;

class TDataProc {
 public:
  explicit TDataProc(Ui& ui);
  ~TDataProc();
  TDataProc(const TDataProc&) = delete;
  TDataProc& operator=(const TDataProc&) = delete;

  // Reading: event 0 opens the file (counter 0; fileBytes := its size, 0 when it cannot be opened)
  // and answers 1, or 9 when there is no record at all. Event 1 assembles the next record into buffer
  // and answers 1, or 9 when it was the last one (the file is then closed). Event 99 closes the file.
  struct ReadState {
    int event = 0;
    std::int32_t recordNo = 0;
    std::int64_t bytesRead = 0;  // each line counts its length + 2
    std::int64_t fileBytes = 0;
  };
  void read(const std::string& fileName, ReadState& state, RecordBuffer& buffer);

  // Writing: one record per call, lines with trailing blanks removed (line 1 always).
  bool openRecordWriter(const std::string& fileName);
  bool writeRecord(const RecordBuffer& buffer);
  bool closeRecordWriter();

 private:
  class CountingSource;
  void close();
  Ui& m_ui;
  std::unique_ptr<TTxtRFile> m_file;
  std::unique_ptr<CountingSource> m_source;
  std::unique_ptr<RecordReader> m_reader;
  std::unique_ptr<TTxtWFile> m_writer;
  bool m_firstReady = false;
};

struct PassResult {
  bool ok = false;  // false: empty file, cancelled, or a procedure failed
  bool cancelled = false;
  std::int64_t records = 0;  // records of the last pass
};

// Runs the passes over fileName and sends the events to the procedure (0, records with the last as
// 9, 11 between passes, 10). An empty or missing file gives "Datei ist leer (oder nicht vorhanden)".
// Files above 500000 bytes show the progress box with its cancel button; a cancel sends 99.
// The progress hook, when set, receives every percentage the box shows (for the batch's --progress).
class TRunIt {
 public:
  TRunIt(Ui& ui, AnalysisProcedure& procedure) : m_ui(ui), m_procedure(procedure) {}
  using ProgressHook = void (*)(void* context, double percent);
  void setProgressHook(ProgressHook hook, void* context) {
    m_hook = hook;
    m_hookContext = context;
  }
  // Shows the box at a lower size (tests).
  void setProgressThreshold(std::int64_t bytes) { m_threshold = bytes; }
  PassResult run(const std::string& fileName, int passCount);
  // Whether the last run showed the progress box.
  bool progressShown() const { return m_progressShownEver; }

 private:
  void showPercent(double percent);
  Ui& m_ui;
  AnalysisProcedure& m_procedure;
  ProgressHook m_hook = nullptr;
  void* m_hookContext = nullptr;
  std::int64_t m_threshold = kProgressBoxBytes;
  bool m_progressShown = false;
  bool m_progressShownEver = false;
};

}  // namespace veltrix
