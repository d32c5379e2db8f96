// The commands of veltrix-batch. Each returns an ExitStatus.
#pragma once

#include "cli/batch_options.h"
#include "cli/batch_output.h"
#include "cli/batch_ui.h"

#include <string_view>

namespace veltrix {
class TTMng;
}

namespace veltrix::cli {

struct BatchContext {
  const BatchOptions& options;
  BatchUi& ui;
  BatchOutput& output;
};

// Writes the tables of a result, tab by tab, as the protocol file holds them: to standard output, or
// appended to --out. fileName is the statistics file's name without its directory (file-system bytes).
void WriteResultTables(BatchContext& context, const TTMng& tables, std::string_view fileName);

// STATFILE structure: the structure listing (names with FA.FL in three columns).
int runStructure(BatchContext& context);
// STATFILE create: a new, empty statistics file with the default parameter contents.
int runCreate(BatchContext& context);

}  // namespace veltrix::cli
