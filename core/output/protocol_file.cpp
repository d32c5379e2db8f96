#include "core/output/protocol_file.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <string>

#include "core/base/file_prompts.h"
#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/datafile/file_objects.h"
#include "core/output/plain_text.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

std::string twoDigits(int n) {
  std::string text = std::to_string(n);
  return text.size() < 2 ? "0" + text : text;
}

std::string rule() {
  return std::string(kProtocolRuleWidth, '-');
}

void appendHead(std::vector<std::string>& out, const TTabHeader& header, std::string_view jobTitle,
                const StampTime& time) {
  std::string line;
  if (!jobTitle.empty()) line.append("- ").append(jobTitle).append(" ");
  line.append("-- ").append(StampText(time)).append(" -");
  if (static_cast<int>(line.size()) < kProtocolHeaderWidth) {
    line.insert(0, static_cast<std::size_t>(kProtocolHeaderWidth) - line.size(), '-');
  }
  out.push_back(line);
  const int titles = std::clamp<int>(header.TitleLines, 0, 3);
  for (int k = 0; k < titles; ++k) {
    // The left title is padded (never cut) so that the right title ends in column 77.
    const std::string& right = header.RightTitle[static_cast<std::size_t>(k)];
    const int leftWidth = kProtocolRuleWidth - static_cast<int>(right.size());
    std::string title = header.LeftTitle[static_cast<std::size_t>(k)];
    if (static_cast<int>(title.size()) < leftWidth) title.resize(static_cast<std::size_t>(leftWidth), ' ');
    out.push_back(title + right);
  }
  out.push_back(rule());
  if (!header.Note.empty()) {
    std::string note = header.Note;
    if (static_cast<int>(note.size()) < kProtocolRuleWidth) {
      note.insert(0, static_cast<std::size_t>(kProtocolRuleWidth) - note.size(), ' ');
    }
    out.push_back(note);
    out.push_back(rule());
  }
}

// Width of column c (1-based) in characters.
int columnWidth(const TableGrid& grid, int col) {
  const auto index = static_cast<std::size_t>(col - 1);
  return index < grid.colWidths.size() ? grid.colWidths[index] : kDefaultColWidth;
}

}  // namespace

std::string StampText(const StampTime& time) {
  return twoDigits(time.day) + "." + twoDigits(time.month) + "." + std::to_string(time.year) + " " +
         twoDigits(time.hour) + ":" + twoDigits(time.minute);
}

StampTime CurrentStampTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min};
}

std::vector<std::string> ProtocolTextTable(const TTabHeader& header, const std::vector<std::string>& lines,
                                           std::string_view jobTitle, const StampTime& time) {
  std::vector<std::string> out;
  appendHead(out, header, jobTitle, time);
  // Every line keeps the full width of the field, trailing blanks included.
  for (const std::string& line : lines) out.push_back(PlainTextField(line, kProtocolTextWidth));
  out.emplace_back();
  out.emplace_back();
  return out;
}

std::vector<std::string> ProtocolGridTable(const TTabHeader& header, const TableGrid& grid,
                                           const ProtocolFormat& format, std::string_view jobTitle,
                                           const StampTime& time) {
  std::vector<std::string> out;
  appendHead(out, header, jobTitle, time);
  const int fixedCols = std::min(grid.fixedCols, grid.cols);
  if (format.csv) {
    for (int row = 1; row <= grid.rows; ++row) {
      std::string line;
      for (int col = 1; col <= grid.cols; ++col) {
        const int width = columnWidth(grid, col);
        line += TrimBlanks(PlainTextField(grid.cell(row, col), width > 0 ? width : kCsvDefaultWidth), 0);
        if (col < grid.cols) line.push_back(format.separator);
      }
      out.push_back(line);
    }
    return out;
  }
  int fixedWidth = 0;
  for (int col = 1; col <= fixedCols; ++col) fixedWidth += columnWidth(grid, col) + 1;
  int next = fixedCols + 1;
  // A grid of fixed columns only still prints them once.
  do {
    std::vector<int> block;
    for (int col = 1; col <= fixedCols; ++col) block.push_back(col);
    int running = fixedWidth;
    while (next <= grid.cols) {
      const int width = columnWidth(grid, next) + 1;
      const int limit = next == grid.cols ? kProtocolHeaderWidth : kProtocolRuleWidth + 1;
      // A column wider than a whole block gets a block of its own rather than none.
      if (running + width >= limit && static_cast<int>(block.size()) > fixedCols) break;
      running += width;
      block.push_back(next++);
    }
    for (int row = 1; row <= grid.rows; ++row) {
      std::string line;
      for (const int col : block) {
        line += PlainTextField(grid.cell(row, col), columnWidth(grid, col));
        line.push_back(' ');
      }
      out.push_back(TrimBlanks(line, 1));
    }
    out.push_back(rule());
    out.emplace_back();
    out.emplace_back();
  } while (next <= grid.cols);
  return out;
}

bool TDCopyMng::appendLines(const std::string& fileName, const std::vector<std::string>& lines) {
  TTxtAFile file(m_ui);
  if (!file.open(fileName)) return false;
  bool ok = true;
  for (const std::string& line : lines) {
    if (!file.writeBufferLine(line.data(), static_cast<std::int32_t>(line.size()))) {
      ok = false;
      break;
    }
  }
  file.close();
  return ok && !file.error();
}

std::string CopyFileChoice::caption() {
  return std::string("Protokolldatei auswählen"_w);
}

std::string CopyFileChoice::note() {
  return std::string("(*) : Datei existiert schon. Wird bei Auswahl überschrieben!"_w);
}

std::string CopyFileChoice::invalidSeparatorText() {
  return std::string("Unzulässiges Trennzeichen"_w);
}

std::string CopyFileChoice::csvSwitchText() {
  return "Tabellen im CSV-Format     /      Trennzeichen :";
}

CopyFileChoice::CopyFileChoice(std::string folder, std::string baseName, bool gridTable, bool csvOn,
                               char separatorChar)
    : csv(csvOn),
      separator(1, separatorChar),
      m_folder(std::move(folder)),
      m_baseName(std::move(baseName)),
      m_gridTable(gridTable) {}

std::string CopyFileChoice::folderLabel() const {
  return "Verzeichnis: " + fileNameForDisplay(m_folder);
}

std::string CopyFileChoice::fileName(int digit) const {
  return (std::filesystem::path(m_folder) / (m_baseName + std::to_string(digit) + ".txt")).string();
}

std::vector<std::string> CopyFileChoice::items() const {
  std::vector<std::string> result;
  for (int digit = 0; digit <= 9; ++digit) {
    std::string item = fileNameForDisplay(m_baseName + std::to_string(digit) + ".txt");
    std::error_code error;
    if (std::filesystem::exists(fileName(digit), error)) item += "  (*)";
    result.push_back(item);
  }
  return result;
}

bool CopyFileChoice::accept(int digit, Ui& ui) {
  if (digit < 0 || digit > 9) return false;
  if (m_gridTable && (separator.empty() || separator[0] == ' ')) {
    ui.error(invalidSeparatorText());
    return false;
  }
  const std::string name = fileName(digit);
  std::error_code error;
  if (std::filesystem::exists(name, error)) {
    if (!askOverwrite(ui, fileNameForDisplay(name))) return false;
    std::filesystem::remove(name, error);
  }
  m_chosen = digit;
  return true;
}

}  // namespace veltrix
