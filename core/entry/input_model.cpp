#include "core/entry/input_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/base/ui.h"
#include "core/base/value_dialog.h"
#include "core/base/win1252.h"
#include "core/stats/number_parse.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

constexpr std::string_view kCaption = "DATENEINGABE";
// Far beyond any file; the record file clamps it to the new record after the last.
constexpr double kHighestRecordNumber = 1e15;

// The one-value dialog of "? (F4)": any text is taken, the model judges it afterwards.
class RecordNumberDialog : public ValueDialog {
 public:
  RecordNumberDialog() : ValueDialog(ValueLayout::OneValue, 1, 1) {}
  int check() override { return -1; }
};

}  // namespace

InputModel::InputModel(const TParams& params, Ui& ui, std::string statisticsFile, std::string backupFile)
    : m_params(params),
      m_ui(ui),
      m_statisticsFile(std::move(statisticsFile)),
      m_backupFile(std::move(backupFile)),
      m_file(ui) {}

InputModel::~InputModel() = default;

bool InputModel::open() {
  if (m_params.variableCount() == 0) {
    m_ui.information("Keine Eingabevariablen !");
    return false;
  }
  m_fields.clear();
  for (int i = 1; i <= m_params.variableCount(); ++i) m_fields.push_back(m_params.getVariable(i));
  m_checks = EntryChecks::read(m_ui, m_statisticsFile);
  m_fieldChecks.clear();
  for (const VariableEntry& v : m_fields) m_fieldChecks.push_back(m_checks.find(v.position, v.typeByte));
  m_current = 0;
  if (!m_file.open(m_statisticsFile)) return false;
  readRecord(1);
  return !failed();
}

// ---------------------------------------------------------------- the grid

void InputModel::setColumns(int columns) {
  m_columns = std::clamp(columns, 1, kMaxColumns);
}

int InputModel::fieldRows() const {
  return (fieldCount() + m_columns - 1) / m_columns;
}

std::string InputModel::label(int index) const {
  std::string name = field(index).name;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return " " + name;
}

std::string InputModel::value(int index) const {
  return DisplayFieldValue(m_record, field(index));
}

EntryCell InputModel::labelCell(int index) const {
  return {index / m_columns + 1, 2 * (index % m_columns)};
}

EntryCell InputModel::valueCell(int index) const {
  EntryCell cell = labelCell(index);
  ++cell.column;
  return cell;
}

int InputModel::fieldAt(EntryCell cell) const {
  if (cell.row < 1 || cell.column < 0 || cell.column >= 2 * m_columns || cell.column % 2 == 0) return -1;
  const int index = (cell.row - 1) * m_columns + cell.column / 2;
  return index < fieldCount() ? index : -1;
}

// ---------------------------------------------------------------- the record

std::int64_t InputModel::recordNumber() const {
  return m_file.current();
}

std::int64_t InputModel::lastRecord() const {
  return m_file.lastRecord();
}

bool InputModel::isNewRecord() const {
  return m_file.isNewRecord();
}

int InputModel::structureEnd() const {
  int end = 0;
  for (const VariableEntry& v : m_fields) end = std::max(end, v.position + v.length - 1);
  return end;
}

void InputModel::afterRead() {
  m_asRead = m_record;
  m_recordModified = false;
  m_deletedBySave = false;
  loadEdit();
}

void InputModel::readRecord(std::int64_t number) {
  if (failed()) return;
  m_file.goTo(std::max<std::int64_t>(number, 1), m_record, m_progress);
  afterRead();
}

void InputModel::readLastRecord() {
  if (failed()) return;
  m_file.goToLast(m_record, m_progress);
  afterRead();
}

bool InputModel::ensureBackup() {
  if (m_backupMade) return true;
  m_ui.openProgress("Sicherungskopie wird erstellt", fileNameForDisplay(m_statisticsFile));
  const bool made = m_file.makeBackup(m_backupFile);
  m_ui.closeProgress();
  if (!made) return false;
  m_backupMade = true;
  return true;
}

bool InputModel::saveRecord() {
  if (failed()) return false;
  m_deletedBySave = false;
  const std::string lines = EncodeEntryRecord(m_record, structureEnd(), m_file.highestPositionRead());
  // A blank new record is simply not written.
  if (lines.empty() && m_file.isNewRecord()) {
    m_recordModified = false;
    m_asRead = m_record;
    return true;
  }
  if (!ensureBackup()) return false;
  m_ui.openProgress(kCaption, lines.empty() ? "Satz wird gelöscht"_w : "Satz wird gespeichert");
  const EntryRecordFile::SaveResult result = m_file.save(lines);
  m_ui.closeProgress();
  if (result == EntryRecordFile::SaveResult::Failed || failed()) return false;
  if (result != EntryRecordFile::SaveResult::Nothing) m_fileChanged = true;
  m_deletedBySave = result == EntryRecordFile::SaveResult::Deleted;
  m_recordModified = false;
  m_asRead = m_record;
  return true;
}

// ---------------------------------------------------------------- the edit

void InputModel::loadEdit() {
  m_editText = fieldCount() > 0 ? value(m_current) : std::string();
  m_editModified = false;
}

void InputModel::setEditText(std::string text) {
  m_editText = std::move(text);
  m_editModified = true;
}

bool InputModel::storeField() {
  if (failed() || !m_editModified || fieldCount() == 0) return true;
  const VariableEntry& variable = field(m_current);
  const PreparedValue prepared = PrepareFieldText(m_editText, variable);
  if (prepared.tooLongMessage) {
    m_ui.error(*prepared.tooLongMessage);
    return false;
  }
  if (prepared.text == value(m_current)) {
    loadEdit();
    return true;
  }
  const EntryCheckOutcome outcome =
      CheckEntryValue(prepared.text, variable, m_fieldChecks[static_cast<std::size_t>(m_current)]);
  if (!outcome.passed && m_ui.confirm(outcome.message + "\r" + "Korrektur ?")) return false;
  WriteFieldValue(m_record, variable, prepared.text);
  m_recordModified = true;
  loadEdit();
  return true;
}

// ---------------------------------------------------------------- moves between fields

bool InputModel::moveToField(int index) {
  if (!storeField()) return false;
  if (index < 0 || index >= fieldCount()) return true;
  m_current = index;
  loadEdit();
  return true;
}

bool InputModel::selectField(int index) {
  if (index < 0 || index >= fieldCount()) return false;
  return moveToField(index);
}

bool InputModel::selectCell(EntryCell cell) {
  return selectField(fieldAt(cell));
}

bool InputModel::nextField() {
  if (m_current + 1 < fieldCount()) return moveToField(m_current + 1);
  if (!stepRecords(1)) return false;
  m_current = 0;
  loadEdit();
  return true;
}

bool InputModel::previousField() {
  if (m_current > 0) return moveToField(m_current - 1);
  if (recordNumber() <= 1) return storeField();
  if (!stepRecords(-1)) return false;
  m_current = fieldCount() - 1;
  loadEdit();
  return true;
}

bool InputModel::firstField() {
  return moveToField(0);
}

bool InputModel::lastField() {
  return moveToField(fieldCount() - 1);
}

bool InputModel::fieldUp() {
  if (m_current < m_columns) return storeField();
  return moveToField(m_current - m_columns);
}

bool InputModel::fieldDown() {
  if (m_current + m_columns < fieldCount()) return moveToField(m_current + m_columns);
  // The last row is shorter: its last field is below.
  if (m_current / m_columns + 1 < fieldRows()) return moveToField(fieldCount() - 1);
  return storeField();
}

bool InputModel::pageUp(int visibleRows) {
  const int row = std::max(m_current / m_columns - std::max(visibleRows, 1), 0);
  return moveToField(row * m_columns + m_current % m_columns);
}

bool InputModel::pageDown(int visibleRows) {
  const int row = std::min(m_current / m_columns + std::max(visibleRows, 1), fieldRows() - 1);
  return moveToField(std::min(row * m_columns + m_current % m_columns, fieldCount() - 1));
}

// ---------------------------------------------------------------- moves between records

bool InputModel::leaveRecord() {
  if (!storeField()) return false;
  if (m_recordModified && !saveRecord()) return false;
  return !failed();
}

bool InputModel::goToRecord(std::int64_t number) {
  if (!leaveRecord()) return false;
  readRecord(number);
  return !failed();
}

bool InputModel::goToFirst() {
  return goToRecord(1);
}

bool InputModel::goToLast() {
  if (!leaveRecord()) return false;
  readLastRecord();
  return !failed();
}

bool InputModel::stepRecords(std::int64_t delta) {
  if (!leaveRecord()) return false;
  std::int64_t from = recordNumber();
  // The record just deleted is gone: its number now names the record that followed it, which is
  // the first step forward.
  if (delta > 0 && m_deletedBySave) --from;
  readRecord(from + delta);
  return !failed();
}

bool InputModel::positionFreely() {
  if (!leaveRecord()) return false;
  RecordNumberDialog dialog;
  dialog.caption = "Frei Positionieren";
  dialog.rowLabels = {"SATZNR.:"};
  dialog.helpNumber = kHelpContext;
  dialog.setText(0, 0, std::to_string(recordNumber()));
  if (!m_ui.valueDialog(dialog)) return false;
  const ParsedNumber number = ParseField(dialog.text(0, 0));
  if (number.decimals < 0 || number.value != std::floor(number.value)) {
    m_ui.beep();
    return false;
  }
  readRecord(static_cast<std::int64_t>(std::clamp(number.value, 1.0, kHighestRecordNumber)));
  return !failed();
}

bool InputModel::deleteRecord() {
  if (failed() || !m_ui.confirm("Datensatz löschen?"_w)) return false;
  const RecordBuffer kept = m_record;
  const bool keptModified = m_recordModified;
  m_record.clear();
  m_recordModified = true;
  if (!saveRecord()) {
    // Nothing was written: the record stays in the window as it was.
    if (!failed()) {
      m_record = kept;
      m_recordModified = keptModified;
    }
    return false;
  }
  readRecord(recordNumber());
  return !failed();
}

void InputModel::undoChanges() {
  if (failed() || fieldCount() == 0) return;
  if (m_editText != value(m_current) && m_ui.confirm("Aktuelles Feld zurücksetzen?"_w)) {
    loadEdit();
    return;
  }
  if (m_recordModified && m_ui.confirm("Datensatz komplett zurücksetzen?"_w)) {
    m_record = m_asRead;
    m_recordModified = false;
    loadEdit();
  }
}

bool InputModel::chooseColumns() {
  if (!storeField()) return false;
  ListRequest request;
  request.caption = "Spaltenzahl auswählen"_w;
  request.label = "Spalten :";
  // Stored as one text, the items separated by "^".
  std::string_view items = "1 Spalte^2 Spalten^3 Spalten";
  for (std::size_t end = items.find('^'); !items.empty(); end = items.find('^')) {
    request.items.emplace_back(items.substr(0, end));
    items = end == std::string_view::npos ? std::string_view() : items.substr(end + 1);
  }
  request.startIndex = m_columns - 1;
  const int chosen = m_ui.selectFromList(request);
  if (chosen < 0 || chosen >= kMaxColumns || chosen + 1 == m_columns) return false;
  setColumns(chosen + 1);
  return true;
}

void InputModel::print(EntryPrintTarget target) {
  if (!m_print || failed()) return;
  if (target == EntryPrintTarget::FormFeed) {
    m_print(target, EntryPrintout{});
    return;
  }
  if (!storeField()) return;
  m_print(target, LayoutEntryPrintout(m_params, m_record, recordNumber(), m_columns));
}

bool InputModel::close() {
  if (failed()) return true;
  if (!leaveRecord()) return failed();
  m_file.close();
  return true;
}

}  // namespace veltrix
