#include "core/manip/manip_run.h"

#include <chrono>

#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "core/datafile/file_objects.h"
#include "core/datafile/stat_record.h"
#include "core/groups/group_language.h"
#include "core/manip/evaluator.h"
#include "core/stats/number_parse.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

constexpr std::string_view kEmptyMessage = "Datei ist leer (oder nicht vorhanden)";
constexpr std::string_view kRunCaption = "Datenmanipulation ausführen"_w;
constexpr std::string_view kReplaceFailed = "Datei konnte nicht ersetzt werden; sie ist unverändert."_w;
constexpr std::string_view kWriteFailed = "Schreibfehler!";

// Output is collected and written in blocks: one system call per line would cost more than the
// whole evaluation.
constexpr std::size_t kOutputBlock = std::size_t{1} << 20;

// The count in the cancel dialog changes at most this often, so that a fast run is not slowed down
// by the window system.
constexpr auto kCountInterval = std::chrono::milliseconds(50);

class WorkFileWriter {
 public:
  WorkFileWriter(Ui& ui, std::int64_t failAt) : m_file(ui), m_failAt(failAt) {
    m_pending.reserve(kOutputBlock + 8192);
  }

  bool open(const std::string& name) { return m_file.create(name); }

  bool write(const RecordBuffer& record) {
    ++m_written;
    if (m_failAt > 0 && m_written == m_failAt) return false;
    record.appendLines(m_pending);
    return m_pending.size() < kOutputBlock || flushPending();
  }

  // Writes what is pending and closes; false when anything failed.
  bool finish() {
    const bool ok = flushPending() && !m_file.error();
    m_file.close();
    return ok && !m_file.error();
  }

  void abandon() { m_file.close(); }
  std::int64_t written() const { return m_written; }

 private:
  bool flushPending() {
    std::size_t done = 0;
    while (done < m_pending.size()) {
      const auto part =
          static_cast<std::int32_t>(std::min<std::size_t>(m_pending.size() - done, kOutputBlock));
      if (m_file.write(m_pending.data() + done, part) != part) return false;
      done += static_cast<std::size_t>(part);
    }
    m_pending.clear();
    return true;
  }

  TRndFile m_file;
  std::int64_t m_failAt = 0;
  std::int64_t m_written = 0;
  std::string m_pending;
};

}  // namespace

int GroupNumberOfListLine(std::string_view line) {
  if (line.size() < 5) return -1;
  const ParsedNumber number = ParseNumber(line, 3, 3);
  return number.decimals == 0 ? number.intValue : -1;
}

std::vector<int> ManipGroupNumbers(const TParams& params) {
  std::vector<int> numbers;
  for (const std::string& line : params.listGroups().items) {
    const int number = GroupNumberOfListLine(line);
    if (number >= 0) numbers.push_back(number);
  }
  return numbers;
}

std::string ManipWorkFileName(const std::string& statisticsFile) {
  return ChangeExtension(statisticsFile, "$$$");
}

ManipRunResult RunProgram(Ui& ui, const std::string& statisticsFile, const CommandProgram& program,
                          const GroupRecord& group, const ManipRunOptions& options) {
  ManipRunResult result;
  const FileProbe probe = ProbeFile(statisticsFile);
  if (probe.kind != EntryKind::RegularFile || probe.size == 0) {
    ui.error(kEmptyMessage);
    result.outcome = ManipRunResult::Outcome::Empty;
    return result;
  }
  TTxtRFile input(ui);
  if (!input.open(statisticsFile)) return result;
  TextFileLineSource lines(input);
  RecordReader reader(lines);
  RecordBuffer record;
  if (!reader.next(record)) {
    const bool failed = input.error();
    input.close();
    if (failed) return result;
    ui.error(kEmptyMessage);
    result.outcome = ManipRunResult::Outcome::Empty;
    return result;
  }

  const std::string workFile = ManipWorkFileName(statisticsFile);
  WorkFileWriter output(ui, options.failWriteAt);
  if (!output.open(workFile)) {
    input.close();
    return result;
  }
  const RecordWriter writer = [&output](const RecordBuffer& r) { return output.write(r); };

  ui.flags().cancelRequested = false;
  ui.openCancelDialog(kRunCaption, CancelMode::Counter, true);
  AuxiliaryStores stores;
  bool failed = false;
  bool cancelled = false;
  auto lastShown = std::chrono::steady_clock::now() - kCountInterval;
  for (;;) {
    ++result.recordsRead;
    if (result.recordsRead % kManipCountStep == 0) {
      const auto now = std::chrono::steady_clock::now();
      if (now - lastShown >= kCountInterval) {
        lastShown = now;
        ui.updateCancelDialog(static_cast<double>(result.recordsRead));
      }
      if (ui.cancelRequested()) {
        cancelled = true;
        break;
      }
    }
    if (IsInGroup(record.text(), group) && !ExecuteProgram(program, record, stores, writer)) {
      failed = true;
      break;
    }
    if (!output.write(record)) {
      failed = true;
      break;
    }
    if (!reader.next(record)) break;
  }
  // A read error ends the records early: what was written is not the whole file.
  failed = failed || input.error();
  input.close();
  failed = failed || input.error();
  result.recordsWritten = output.written();
  if (cancelled || failed) {
    output.abandon();
    DeleteFile(workFile);
    ui.closeCancelDialog();
    if (failed && !input.error()) ShowFileError(ui, workFile, kWriteFailed);
    result.outcome = cancelled ? ManipRunResult::Outcome::Cancelled : ManipRunResult::Outcome::Failed;
    return result;
  }
  if (!output.finish()) {
    DeleteFile(workFile);
    ui.closeCancelDialog();
    ShowFileError(ui, workFile, kWriteFailed);
    return result;
  }
  ui.closeCancelDialog();
  if (SwapInWorkFile(statisticsFile, workFile, BackupFileName(statisticsFile)) != SwapOutcome::Swapped) {
    ShowFileError(ui, statisticsFile, kReplaceFailed);
    return result;
  }
  result.outcome = ManipRunResult::Outcome::Done;
  return result;
}

}  // namespace veltrix
