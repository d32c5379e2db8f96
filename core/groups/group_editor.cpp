#include "core/groups/group_editor.h"

#include <algorithm>
#include <cstddef>

#include "core/groups/group_language.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

GroupEditorModel::GroupEditorModel(const TParams& params, Ui& ui, int number, const GroupRecord& record)
    : m_params(params),
      m_ui(ui),
      m_number(number),
      m_record(record),
      m_longTitle(GroupTitle(record, kGroupNameOffset, kGroupNameLength)),
      m_shortTitle(GroupTitle(record, kGroupShortNameOffset, kGroupShortNameLength)),
      m_openedLongTitle(m_longTitle),
      m_openedShortTitle(m_shortTitle),
      m_lines(RenderGroupDefinition(params, record)),
      m_openedLines(m_lines),
      m_names(params.listVariables(VariableListMode::All).items) {}

std::string GroupEditorModel::caption() const {
  return "Gruppe Nr. " + std::to_string(m_number);
}

std::string GroupEditorModel::printHeading() const {
  return caption() + ": " + m_longTitle;
}

void GroupEditorModel::setLongTitle(std::string_view title) {
  m_longTitle = std::string(title.substr(0, kLongTitleLength));
}

void GroupEditorModel::setShortTitle(std::string_view title) {
  m_shortTitle = std::string(title.substr(0, kShortTitleLength));
}

void GroupEditorModel::setDefinitionLines(const std::vector<std::string>& lines) {
  m_lines.clear();
  m_lines.reserve(lines.size());
  for (const std::string& line : lines) m_lines.push_back(UpperText(line));
}

char GroupEditorModel::typedCharacter(char c) {
  return UpCaseChar(c);
}

bool GroupEditorModel::titlesModified() const {
  return m_longTitle != m_openedLongTitle || m_shortTitle != m_openedShortTitle;
}

void GroupEditorModel::setNamesSorted(bool sorted) {
  m_sorted = sorted;
  m_names = m_params.listVariables(VariableListMode::All).items;
  if (sorted) std::sort(m_names.begin(), m_names.end());
}

EditorCaret GroupEditorModel::insertName(int i, EditorCaret caret) {
  if (i < 0 || i >= static_cast<int>(m_names.size())) return caret;
  const std::string name = TrimBlanks(m_names[static_cast<std::size_t>(i)], 1);
  if (m_lines.empty()) m_lines.emplace_back();
  caret.line = std::clamp(caret.line, 0, static_cast<int>(m_lines.size()) - 1);
  std::string& line = m_lines[static_cast<std::size_t>(caret.line)];
  caret.column = std::clamp(caret.column, 0, static_cast<int>(line.size()));
  line.insert(static_cast<std::size_t>(caret.column), name);
  caret.column += static_cast<int>(name.size());
  return caret;
}

GroupEditorResult GroupEditorModel::accept() {
  GroupEditorResult result;
  if (!modified()) return result;
  if (!definitionModified()) {
    // Titles alone: the stored definition stays byte for byte.
    GroupRecord record = m_record;
    SetGroupTitle(record, kGroupNameOffset, kGroupNameLength, m_longTitle);
    SetGroupTitle(record, kGroupShortNameOffset, kGroupShortNameLength, m_shortTitle);
    result.action = GroupEditorResult::Action::Changed;
    result.record = record;
    return result;
  }
  const GroupCompileResult compiled = CompileGroupDefinition(m_params, m_lines, m_longTitle, m_shortTitle);
  if (!compiled.ok) {
    m_ui.error(compiled.message);
    result.action = GroupEditorResult::Action::Refused;
    result.lineToSelect = compiled.lineIndex;
    return result;
  }
  result.action = GroupEditorResult::Action::Changed;
  result.record = compiled.record;
  return result;
}

}  // namespace veltrix
