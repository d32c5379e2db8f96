// The data entry commands: the entry checks of a file, a record as the entry window prints it, and
// entering or deleting a record with the checks and the in-place save of the entry window.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch.h"
#include "cli/batch_commands.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "core/datafile/file_objects.h"
#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"
#include "core/entry/entry_checks.h"
#include "core/entry/entry_print.h"
#include "core/entry/entry_records.h"

namespace veltrix::cli {
namespace {

using namespace veltrix::literals;

constexpr int kDefaultColumns = 3;

std::string trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// UTF-8 from the command line as Windows-1252; nullopt when a character has no Windows-1252 byte or
// the bytes are no UTF-8 (nothing is replaced behind the user's back).
std::optional<std::string> strictWin1252(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const detail::Utf8Step step = detail::decodeUtf8(utf8.data(), utf8.size(), i);
    if (!step.valid) return std::nullopt;
    const int byte = detail::cp1252FromCodePoint(step.codePoint);
    if (byte < 0) return std::nullopt;
    out.push_back(static_cast<char>(byte));
    i += step.length;
  }
  return out;
}

// A record number 1.. from the command line.
std::optional<std::int64_t> recordNumber(std::string_view text) {
  std::int64_t n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < 1) return std::nullopt;
  return n;
}

// The end of the structure: the highest FA + FL - 1 of the variable table.
int structureEnd(const TParams& params) {
  int end = 0;
  for (int i = 1; i <= params.variableCount(); ++i) {
    const VariableEntry v = params.getVariable(i);
    end = std::max(end, v.position + v.length - 1);
  }
  return end;
}

// What reading the statistics file up to a record gave.
struct RecordRead {
  bool ok = false;           // the file could be read
  bool found = false;        // the record exists
  std::int64_t number = 0;   // the record reached (the last one for "last")
  std::int64_t records = 0;  // records read; all of them when the record was not found or is last
  RecordBuffer buffer;       // its contents (blank when not found)
};

// Reads records up to number n (0: up to the last), read only.
RecordRead readRecord(BatchContext& context, std::int64_t n) {
  RecordRead result;
  TTxtRFile file(context.ui);
  if (!file.open(context.options.statFile)) return result;
  TextFileLineSource lines(file);
  RecordReader reader(lines);
  // A read that finds no more lines leaves the buffer as it was: with the last record.
  while ((n == 0 || reader.recordCount() < n) && reader.next(result.buffer)) {
  }
  result.records = reader.recordCount();
  result.ok = !file.error();
  if (n == 0) {
    result.found = result.records > 0;
    result.number = result.records;
  } else {
    result.found = result.records >= n;
    result.number = n;
  }
  if (!result.found) result.buffer.clear();
  return result;
}

void sayRecordMissing(BatchContext& context, std::int64_t n, std::int64_t records) {
  if (records == 0)
    context.ui.error(fileNameForDisplay(context.options.statFile) + ": Datei ist leer");
  else
    context.ui.error("Datensatz " + std::to_string(n) + " existiert nicht (die Datei hat " +
                     std::to_string(records) + std::string(" Datensätze)"_w));
}

std::string kindText(const EntryCheck& check, bool text) {
  if (text) return "Text";
  switch (check.kind) {
    case ' ':
      return "Zahl";
    case 'G':
      return "ganze Zahl";
    case 'A':
      return "Datum TT.MM.JJJJ";
    case 'B':
      return "Datum JJJJMMTT";
    case 'Z':
      return "Uhrzeit";
    default:
      return "Zahl (Art " + std::string(1, check.kind) + ")";
  }
}

// A bound as the listing shows it: "-" for none, marked when it does not read as the kind.
std::string boundText(const std::string& stored, char kind) {
  const std::string bound = trimmed(stored);
  if (bound.empty()) return "-";
  if (!EntryBoundValue(bound, kind)) return bound + " (unlesbar, unbeachtet)";
  return bound;
}

// The entry window's save of one record: the backup copy, then the record's lines in place.
int saveRecord(BatchContext& context, const TParams& params, std::int64_t n,
               const std::vector<std::pair<VariableEntry, std::string>>& writes, const RecordRead& before) {
  const std::string& file = context.options.statFile;
  EntryRecordFile records(context.ui);
  if (!records.open(file)) return kExitFailed;
  RecordBuffer buffer;
  const std::int64_t reached = records.goTo(n, buffer);
  // The line editor reads by the same rule as the reader that checked the arguments; should the two
  // ever disagree, nothing is written.
  if (records.failed() || reached != n || records.isNewRecord() != !before.found ||
      buffer.record() != before.buffer.record()) {
    if (!records.failed()) context.ui.error("Datensatz " + std::to_string(n) + " nicht gefunden");
    return kExitFailed;
  }
  for (const auto& [variable, text] : writes) WriteFieldValue(buffer, variable, text);
  if (!records.makeBackup(BackupFileName(file))) return kExitFailed;
  const std::string lines = EncodeEntryRecord(buffer, structureEnd(params), records.highestPositionRead());
  const EntryRecordFile::SaveResult saved = records.save(lines);
  records.close();
  const std::string number = "Datensatz " + std::to_string(n);
  switch (saved) {
    case EntryRecordFile::SaveResult::Replaced:
      context.output.writeLine(number + " gespeichert");
      return kExitDone;
    case EntryRecordFile::SaveResult::Appended:
      context.output.writeLine(number + std::string(" angefügt"_w));
      return kExitDone;
    case EntryRecordFile::SaveResult::Deleted:
      context.output.writeLine(number + std::string(" gelöscht"_w));
      return kExitDone;
    case EntryRecordFile::SaveResult::Nothing:
      context.output.writeLine(number + " ist leer und wird nicht geschrieben");
      return kExitDone;
    case EntryRecordFile::SaveResult::Failed:
      break;
  }
  return kExitFailed;
}

}  // namespace

int runChecks(BatchContext& context) {
  if (!context.options.args.empty()) {
    context.ui.error("checks erwartet keine Angaben");
    return kExitUsage;
  }
  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  const std::string name = EntryCheckFileName(context.options.statFile);
  const std::string shown = fileNameForDisplay(std::filesystem::path(name).filename().string());
  if (ProbeFile(name).kind == EntryKind::Missing) {
    context.output.writeLine(std::string("Keine Eingabeprüfungen: "_w) + shown + " existiert nicht");
    return kExitDone;
  }
  const EntryChecks checks = EntryChecks::read(context.ui, context.options.statFile);
  context.output.writeLine(std::string("Eingabeprüfungen aus "_w) + shown);
  if (checks.entries().empty()) {
    context.output.writeLine("(keine Einträge)"_w);
    return kExitDone;
  }
  context.output.writeLine("   FA  Variable    Art               Prüfung"_w);
  for (const EntryCheck& check : checks.entries()) {
    const FieldName variable = params.findVariableByField(check.position, check.typeByte);
    const bool text = (check.typeByte & 128) != 0;
    const std::string position = std::to_string(check.position);
    std::string line(position.size() < 5 ? 5 - position.size() : 0, ' ');
    line += position + "  " + padded(trimmed(variable.name), 10) + "  " + padded(kindText(check, text), 16) +
            "  ";
    if (text) {
      const std::string allowed = trimmed(check.allowed);
      line += allowed.empty() ? std::string("keine") : "zugelassen: " + allowed;
    } else {
      line += boundText(check.lower, check.kind) + " .. " + boundText(check.upper, check.kind);
    }
    if (variable.index == 0) line += "  (keine Variable)";
    line.erase(line.find_last_not_of(' ') + 1);
    context.output.writeLine(line);
  }
  return kExitDone;
}

int runRecord(BatchContext& context) {
  const std::vector<std::string>& args = context.options.args;
  int columns = kDefaultColumns;
  std::optional<std::string> target;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--columns" && i + 1 < args.size() && args[i + 1].size() == 1 && args[i + 1][0] >= '1' &&
        args[i + 1][0] <= '3') {
      columns = args[++i][0] - '0';
    } else if (!target && !args[i].starts_with("--")) {
      target = args[i];
    } else {
      context.ui.error("record erwartet N oder last und höchstens --columns 1|2|3"_w);
      return kExitUsage;
    }
  }
  std::int64_t n = 0;
  if (target && *target != "last") {
    const auto number = recordNumber(*target);
    if (!number) target.reset();
    n = number.value_or(0);
  }
  if (!target) {
    context.ui.error("record erwartet die Nummer eines Datensatzes oder last");
    return kExitUsage;
  }
  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  const RecordRead read = readRecord(context, n);
  if (!read.ok) return kExitFailed;
  if (!read.found) {
    sayRecordMissing(context, n, read.records);
    return kExitFailed;
  }
  const EntryPrintout printout = LayoutEntryPrintout(params, read.buffer, read.number, columns);
  context.output.writeLine(printout.heading);
  for (const std::string& line : printout.lines) context.output.writeLine(line);
  return kExitDone;
}

int runEnter(BatchContext& context) {
  const std::vector<std::string>& args = context.options.args;
  bool accept = false;
  std::vector<std::string> items;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--accept")
      accept = true;
    else
      items.push_back(args[i]);
  }
  const bool isNew = !args.empty() && args[0] == "new";
  const std::optional<std::int64_t> number = args.empty() || isNew ? std::nullopt : recordNumber(args[0]);
  if ((!isNew && !number) || items.empty()) {
    context.ui.error("enter erwartet N oder new und mindestens eine Angabe NAME=WERT");
    return kExitUsage;
  }
  struct Item {
    std::string name;
    std::string value;
  };
  std::vector<Item> parsed;
  for (const std::string& item : items) {
    const std::size_t equals = item.find('=');
    if (equals == std::string::npos || equals == 0) {
      context.ui.error("enter erwartet NAME=WERT, nicht " + utf8ToWin1252(item));
      return kExitUsage;
    }
    const auto name = strictWin1252(item.substr(0, equals));
    const auto value = strictWin1252(item.substr(equals + 1));
    if (!name || !value) {
      context.ui.error(utf8ToWin1252(item) + std::string(": Zeichen außerhalb von Windows-1252"_w));
      return kExitFailed;
    }
    parsed.push_back({*name, *value});
  }

  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  if (params.variableCount() == 0) {
    context.ui.information("Keine Eingabevariablen !");
    return kExitFailed;
  }
  const EntryChecks checks = EntryChecks::read(context.ui, context.options.statFile);
  // 0 for "new"; value_or keeps the optimiser from seeing an unset optional here.
  const std::int64_t wanted = number.value_or(0);
  RecordRead read = readRecord(context, wanted);
  if (!read.ok) return kExitFailed;
  // The new record after the last is reached by its number too.
  const std::int64_t n = isNew ? read.records + 1 : wanted;
  if (!read.found) {
    if (n != read.records + 1) {
      sayRecordMissing(context, n, read.records);
      return kExitFailed;
    }
  }
  if (isNew) {
    read.found = false;
    read.buffer.clear();
  }

  // Every value is checked before anything is written; later values see the earlier ones.
  RecordBuffer buffer = read.buffer;
  std::vector<std::pair<VariableEntry, std::string>> writes;
  bool refused = false;
  for (const Item& item : parsed) {
    const VariableRef ref = params.findVariableByName(item.name);
    if (ref.index < 1 || ref.index > params.variableCount()) {
      context.ui.error(item.name + ": keine Variable der Struktur");
      refused = true;
      continue;
    }
    const VariableEntry variable = params.getVariable(ref.index);
    const std::string name = trimmed(variable.name);
    const PreparedValue prepared = PrepareFieldText(item.value, variable);
    if (prepared.tooLongMessage) {
      context.ui.error(name + " = " + item.value + ": " + *prepared.tooLongMessage);
      refused = true;
      continue;
    }
    if (prepared.text == DisplayFieldValue(buffer, variable)) continue;
    const EntryCheckOutcome outcome =
        CheckEntryValue(prepared.text, variable, checks.find(variable.position, variable.typeByte));
    if (!outcome.passed) {
      const std::string question =
          name + " = " + prepared.text + ": " + outcome.message + "\r" + "Korrektur ?";
      if (!accept) {
        context.ui.error(question + std::string(" - Antwort: Ja (--accept übernimmt den Wert)"_w));
        refused = true;
        continue;
      }
      context.ui.information(question + " - Antwort: Nein (--accept)");
    }
    WriteFieldValue(buffer, variable, prepared.text);
    writes.emplace_back(variable, prepared.text);
  }
  if (refused) {
    context.ui.error("Nichts gespeichert");
    return kExitFailed;
  }
  if (writes.empty()) {
    context.output.writeLine("Datensatz " + std::to_string(n) + std::string(" unverändert"_w));
    return kExitDone;
  }
  return saveRecord(context, params, n, writes, read);
}

int runDelete(BatchContext& context) {
  const std::vector<std::string>& args = context.options.args;
  const std::optional<std::int64_t> n = args.size() == 1 ? recordNumber(args[0]) : std::nullopt;
  if (!n) {
    context.ui.error("delete erwartet die Nummer eines Datensatzes");
    return kExitUsage;
  }
  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  const RecordRead read = readRecord(context, *n);
  if (!read.ok) return kExitFailed;
  if (!read.found) {
    sayRecordMissing(context, *n, read.records);
    return kExitFailed;
  }
  if (!context.ui.confirm("Datensatz löschen?"_w)) return kExitFailed;
  const std::string& file = context.options.statFile;
  EntryRecordFile records(context.ui);
  if (!records.open(file)) return kExitFailed;
  RecordBuffer buffer;
  if (records.goTo(*n, buffer) != *n || records.isNewRecord() || buffer.record() != read.buffer.record()) {
    if (!records.failed()) context.ui.error("Datensatz " + std::to_string(*n) + " nicht gefunden");
    return kExitFailed;
  }
  if (!records.makeBackup(BackupFileName(file))) return kExitFailed;
  // Saving no lines over the record deletes it.
  const EntryRecordFile::SaveResult saved = records.save("");
  records.close();
  if (saved != EntryRecordFile::SaveResult::Deleted) return kExitFailed;
  context.output.writeLine("Datensatz " + std::to_string(*n) + std::string(" gelöscht"_w));
  return kExitDone;
}

}  // namespace veltrix::cli
