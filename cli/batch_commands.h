// The commands of veltrix-batch. Each returns an ExitStatus.
#pragma once

#include "cli/batch_options.h"
#include "cli/batch_output.h"
#include "cli/batch_ui.h"

namespace veltrix::cli {

struct BatchContext {
  const BatchOptions& options;
  BatchUi& ui;
  BatchOutput& output;
};

// STATFILE structure: the variable table (name, FA, FL, kind).
int runStructure(BatchContext& context);
// STATFILE create: a new, empty statistics file with the default parameter contents.
int runCreate(BatchContext& context);

}  // namespace veltrix::cli
