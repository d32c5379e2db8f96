#include "core/shell/dispatch.h"

#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/shell/global_state.h"

namespace veltrix {

using namespace veltrix::literals;

CommandRoute RouteOf(MenuHandler handler, int code) {
  using C = CommandRoute::Change;
  switch (handler) {
    case MenuHandler::Open:
      return {CommandOwner::ChooseFile, false, false, C::Never, false};
    case MenuHandler::Exit:
      return {CommandOwner::Exit, false, false, C::Never, false};
    case MenuHandler::Datei:
      switch (code / 10) {
        case 120:
          return {CommandOwner::DataEntry, true, true, C::OwnerSays, true};
        case 140:
          return {CommandOwner::Manipulation, true, true, C::OwnerSays, true};
        case 150:
          return {CommandOwner::Sorting, true, true, C::OwnerSays, true};
        case 166:
          return {CommandOwner::SyncAddition, true, true, C::Always, true};
        case 170:
          return {CommandOwner::PathPreset, false, true, C::Never, true};
        case 175:
          return {CommandOwner::GroupExtract, true, true, C::Never, true};
        case 176:
          return {CommandOwner::VariableExtract, true, true, C::Never, true};
        default:
          return {CommandOwner::None, false, true, C::Never, true};
      }
    case MenuHandler::Analyse:
      return {CommandOwner::Analysis, true, true, C::Never, false};
    case MenuHandler::Grp:
      return {CommandOwner::GroupsClasses, true, false, C::OwnerSays, false};
    case MenuHandler::Struct:
      return {CommandOwner::Structure, true, true, C::OwnerSays, false};
    case MenuHandler::ErrLevel:
      return {CommandOwner::ErrorLevels, true, false, C::Never, false};
    case MenuHandler::TxtOpt:
      return {CommandOwner::TextOptions, false, false, C::Never, false};
    case MenuHandler::GrfOpt:
      return {CommandOwner::GraphOptions, false, false, C::Never, false};
    case MenuHandler::DirTest:
      return {CommandOwner::DirectTest, false, true, C::Never, false};
    case MenuHandler::Help:
      switch (code) {
        case 101:
          return {CommandOwner::HelpContents, false, true, C::Never, false};
        case 102:
          return {CommandOwner::HelpIndex, false, true, C::Never, false};
        case 103:
          return {CommandOwner::About, false, true, C::Never, false};
        default:
          return {CommandOwner::None, false, true, C::Never, false};
      }
    case MenuHandler::None:
    case MenuHandler::Result:
    case MenuHandler::Window:
      break;
  }
  return {};
}

int CommandDispatcher::recordCommand(int code) {
  m_state.commandCode = code;
  m_state.commandGroup = code / 10;
  m_state.commandVariant = code % 10;
  return m_state.commandGroup;
}

bool CommandDispatcher::requireFile() {
  if (m_state.fileSelected()) return true;
  m_state.ui.error("Keine Datei ausgewählt"_w);
  return false;
}

void CommandDispatcher::choose(MenuHandler handler, int code) {
  if (!m_state.ui.flags().ready) return;
  const CommandRoute route = RouteOf(handler, code);
  if (route.needsFile && !requireFile()) return;
  if (route.recordsCode) recordCommand(code);
  const auto owner = m_owners.find(route.owner);
  if (route.owner == CommandOwner::None || owner == m_owners.end() || !owner->second) {
    m_state.ui.beep();
    return;
  }
  const bool ownerChanged = owner->second();
  const bool changed = route.change == CommandRoute::Change::Always ||
                       (route.change == CommandRoute::Change::OwnerSays && ownerChanged);
  if (changed && m_onChange) m_onChange(route.updatesStructureEntry);
}

}  // namespace veltrix
