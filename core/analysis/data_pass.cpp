#include "core/analysis/data_pass.h"

#include <filesystem>
#include <system_error>

#include "core/analysis/analysis_procedure.h"
#include "core/base/ui.h"

namespace veltrix {

// Lines of the open statistics file, counting each line's length + 2 (its line end) as consumed.
class TDataProc::CountingSource : public LineSource {
 public:
  explicit CountingSource(TTxtRFile& file) : m_lines(file) {}
  bool nextLine(std::string_view& line) override {
    if (!m_lines.nextLine(line)) return false;
    m_bytes += static_cast<std::int64_t>(line.size()) + 2;
    return true;
  }
  std::int64_t bytes() const { return m_bytes; }
  void resetBytes() { m_bytes = 0; }

 private:
  TextFileLineSource m_lines;
  std::int64_t m_bytes = 0;
};

TDataProc::TDataProc(Ui& ui) : m_ui(ui) {}
TDataProc::~TDataProc() = default;

void TDataProc::read(const std::string& fileName, ReadState& state, RecordBuffer& buffer) {
  switch (state.event) {
    case 0: {
      state.recordNo = 0;
      state.bytesRead = 0;
      state.fileBytes = 0;
      m_reader.reset();
      m_source.reset();
      m_file.reset();
      std::error_code ec;
      // A missing file is reported by the caller as empty, not as an opening error.
      if (!std::filesystem::is_regular_file(fileName, ec)) {
        state.event = 9;
        return;
      }
      const auto size = std::filesystem::file_size(fileName, ec);
      m_file = std::make_unique<TTxtRFile>(m_ui);
      if (ec || !m_file->open(fileName)) {
        m_file.reset();
        state.event = 9;
        return;
      }
      state.fileBytes = static_cast<std::int64_t>(size);
      m_source = std::make_unique<CountingSource>(*m_file);
      m_reader = std::make_unique<RecordReader>(*m_source);
      // The first record is assembled at once, so a file of empty lines counts as empty; event 1
      // then hands it out.
      if (!m_reader->next(buffer)) {
        close();
        state.event = 9;
        return;
      }
      m_firstReady = true;
      state.event = 1;
      return;
    }
    case 1: {
      if (m_firstReady) {
        m_firstReady = false;
      } else if (!m_reader || !m_reader->next(buffer)) {
        state.event = 9;
        close();
        return;
      }
      ++state.recordNo;
      state.bytesRead = m_source->bytes();
      if (!m_reader->hasPending()) {
        state.event = 9;
        close();
      }
      return;
    }
    default:
      close();
      return;
  }
}

void TDataProc::close() {
  m_reader.reset();
  m_source.reset();
  if (m_file) m_file->close();
  m_file.reset();
}

bool TDataProc::openRecordWriter(const std::string& fileName) {
  m_writer = std::make_unique<TTxtWFile>(m_ui);
  if (!m_writer->open(fileName)) {
    m_writer.reset();
    return false;
  }
  return true;
}

bool TDataProc::writeRecord(const RecordBuffer& buffer) {
  return m_writer && WriteRecord(*m_writer, buffer);
}

bool TDataProc::closeRecordWriter() {
  if (!m_writer) return false;
  const bool ok = !m_writer->error();
  m_writer->close();
  const bool closed = !m_writer->error();
  m_writer.reset();
  return ok && closed;
}

void TRunIt::showPercent(double percent) {
  if (!m_progressShown) return;
  m_ui.updateCancelDialog(percent);
  if (m_hook) m_hook(m_hookContext, percent);
}

PassResult TRunIt::run(const std::string& fileName, int passCount) {
  PassResult result;
  m_ui.flags().cancelRequested = false;
  m_progressShown = false;
  m_progressShownEver = false;
  TDataProc source(m_ui);
  TDataProc::ReadState state;
  RecordBuffer buffer;
  double factor = 0;
  std::int64_t bytesBefore = 0;

  // A failed or cancelled run: the procedure discards its state (event 99), the file is closed and
  // the box goes.
  const auto stop = [&](bool cancelled) {
    m_procedure.cancel();
    state.event = 99;
    source.read(fileName, state, buffer);
    if (m_progressShown) m_ui.closeCancelDialog();
    m_progressShown = false;
    result.cancelled = cancelled;
    return result;
  };

  for (int pass = 1; pass <= passCount; ++pass) {
    state.event = 0;
    source.read(fileName, state, buffer);
    if (state.event == 9) {
      if (pass > 1) stop(false);
      m_ui.error("Datei ist leer (oder nicht vorhanden)");
      return result;
    }
    if (pass == 1) {
      if (!m_procedure.event(kEventStart, buffer)) return stop(false);
      factor = state.fileBytes > 0
                   ? 100.0 / (static_cast<double>(passCount) * static_cast<double>(state.fileBytes))
                   : 0;
      if (state.fileBytes > m_threshold) {
        m_ui.openCancelDialog("Auswertung", CancelMode::Percent, true);
        m_progressShown = true;
        m_progressShownEver = true;
      }
    }
    while (state.event < 9) {
      source.read(fileName, state, buffer);
      if (!m_procedure.event(state.event, buffer)) return stop(false);
      if (state.recordNo % kProgressRecordStep == 0)
        showPercent(static_cast<double>(bytesBefore + state.bytesRead) * factor);
      if (m_ui.cancelRequested()) return stop(true);
    }
    result.records = state.recordNo;
    showPercent(static_cast<double>(bytesBefore + state.fileBytes) * factor);
    bytesBefore += state.fileBytes;
    if (pass < passCount) {
      if (!m_procedure.event(kEventEndOfPass1, buffer)) return stop(false);
    }
  }
  if (!m_procedure.finishPass()) return stop(false);
  if (m_progressShown) m_ui.closeCancelDialog();
  m_progressShown = false;
  result.ok = true;
  return result;
}

}  // namespace veltrix
