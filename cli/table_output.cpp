#include "cli/batch_commands.h"
#include "core/base/win1252.h"
#include "core/output/protocol_file.h"
#include "core/output/tab_definition.h"
#include "core/output/table_manager.h"

namespace veltrix::cli {

void WriteResultTables(BatchContext& context, const TTMng& tables, std::string_view fileName) {
  // The heading shows the name as text; the name itself is the file system's bytes.
  const std::string jobTitle = fileNameForDisplay(fileName);
  ProtocolFormat format;
  format.csv = context.options.csv;
  format.separator = context.options.separator;
  const StampTime now = CurrentStampTime();
  // Tab k shows table k; the tab list ends at the first empty definition.
  const std::size_t tabs = TabList(tables.tabDefs(), tables.HelpTopic).size();
  for (std::size_t k = 1; k <= tabs; ++k) {
    const FetchedTable table = tables.FetchTable(static_cast<int>(k));
    const std::vector<std::string> lines =
        table.header.Kind == 'B' ? ProtocolGridTable(table.header, table.grid, format, jobTitle, now)
                                 : ProtocolTextTable(table.header, table.lines, jobTitle, now);
    for (const std::string& line : lines) context.output.writeLine(line);
  }
}

}  // namespace veltrix::cli
