#include "core/output/structure_listing.h"

#include <string>

#include "core/datafile/params.h"
#include "core/output/table_manager.h"
#include "core/stats/text_helpers.h"

namespace veltrix {
namespace {

constexpr int kColumns = 3;
constexpr int kColumnWidth = 25;

// " " + name left in 15 characters, then FA.FL right in 7; a one-digit length gets a blank after it so
// that the lengths line up.
std::string cellText(std::string_view name, int position, int length) {
  std::string field = std::to_string(position) + "." + std::to_string(length);
  if (length < 10) field += ' ';
  if (field.size() < 7) field.insert(0, 7 - field.size(), ' ');
  return AlignText(" " + TrimBlanks(name, 1), 15, -1) + field;
}

}  // namespace

void TSShowPrep(const TParams& params, TTMng& tables) {
  tables.ClearTables();
  const int count = params.variableCount();
  const int rows = std::max(1, (count + kColumns - 1) / kColumns);

  TTabHeader header;
  header.Kind = 'B';
  header.TitleLines = 1;
  header.LeftTitle[0] = "STRUKTUR DATENSATZ";
  header.Rows = static_cast<std::int16_t>(rows + 1);
  header.Cols = kColumns;
  header.FixedRows = 1;
  header.FixedCols = 0;
  for (int c = 0; c < kColumns; ++c) header.ColWidths[static_cast<std::size_t>(c)] = kColumnWidth;
  tables.BeginTable(1, header);

  const std::string heading = AlignText(" Bezeichnung", 15, -1) + AlignText("FA.FL", 7, 1);
  for (int c = 1; c <= kColumns; ++c) tables.AddCell(1, c, heading);
  if (count == 0) tables.AddCell(2, 1, "Keine Variablen");
  // Column-major: row j shows the variables j, j + rows and j + 2 * rows.
  for (int i = 1; i <= count; ++i) {
    const VariableEntry v = params.getVariable(i);
    const int row = (i - 1) % rows + 2;
    const int column = (i - 1) / rows + 1;
    tables.AddCell(row, column, cellText(v.name, v.position, v.length));
  }

  tables.setTabDef(1, "00HHHHDatensatz");
  tables.AnalysisCode = kStructureListingCode;
  tables.HelpTopic = kStructureListingHelp;
}

}  // namespace veltrix
