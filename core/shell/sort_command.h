// Command 1500 "Sortieren": the records of the statistics file are put in the order of one variable.
#pragma once

#include "core/entry/file_sort.h"

namespace veltrix {

struct GlobalState;

// Offers the variables in the list "Datei sortieren"; on a choice sorts the file by it (TFSort). True
// when the sorted file replaced the statistics file (its result windows are then out of date);
// false on cancel, a failure or when nothing was sorted.
bool SortCurrentFile(GlobalState& state, const SortOptions& options = {});

}  // namespace veltrix
