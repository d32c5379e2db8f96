#include "core/shell/global_state.h"

#include "core/datafile/params.h"
#include "core/output/print_manager.h"
#include "core/output/table_layout.h"
#include "core/shell/sys_params.h"

namespace veltrix {

GlobalState::GlobalState(Ui& ui_) : ui(ui_) {}

GlobalState::~GlobalState() = default;

}  // namespace veltrix
