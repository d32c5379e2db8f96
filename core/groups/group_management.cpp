#include "core/groups/group_management.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <utility>

#include "core/base/win1252.h"
#include "core/stats/text_helpers.h"

namespace veltrix {
namespace {

constexpr int kTitleCharacter = 6;  // the title part of a list line starts here (1-based)
constexpr std::uint8_t kOrFlag = 128;

bool titlePartBlank(const std::string& line) {
  return line.size() < kTitleCharacter || IsBlank(std::string_view(line).substr(kTitleCharacter - 1));
}

// a's title, the joining character and b's title, cut or blank-padded to the field.
void joinTitles(GroupRecord& result, const GroupRecord& a, const GroupRecord& b, int offset, int length,
                char joint) {
  SetGroupTitle(result, offset, length,
                GroupTitle(a, offset, length) + joint + GroupTitle(b, offset, length));
}

std::uint8_t& definitionByte(GroupRecord& group, int p) {
  return group[static_cast<std::size_t>(kGroupDefinitionOffset - 1 + p)];
}

}  // namespace

bool GroupDefinitionHasOr(const GroupRecord& group) {
  // The terms are walked as the definition end is found; a definition that runs past its bytes ends there.
  const auto at = [&group](int p) -> int {
    return p <= kGroupDefinitionLength ? group[static_cast<std::size_t>(kGroupDefinitionOffset - 1 + p)] : 0;
  };
  int p = 1;
  while (p <= kGroupDefinitionLength) {
    const int head = at(p);
    if (head == 0) return false;
    if (head > kOrFlag) return true;
    p += 1 + 3 * (head & 31);
    const int countByte = at(p);
    const int secondByte = at(p + 1);
    p += countByte >= 64 ? 2 + 6 * (countByte - 64) : 2 + 6 * countByte + 12 * secondByte;
  }
  return false;
}

CombineOutcome CombineGroups(TParams& params, int a, int b, int t, CombinationMode mode) {
  if (t < 1 || t > kMaxGroups) return CombineOutcome::TargetRefused;
  const GroupRecord first = params.getGroup(a);
  const GroupRecord second = params.getGroup(b);
  const int endA = GroupDefinitionEnd(first);
  const int endB = GroupDefinitionEnd(second);
  if (endA + endB >= kGroupDefinitionLength + 1) return CombineOutcome::TooLarge;
  if (mode == CombinationMode::Intersection && (GroupDefinitionHasOr(first) || GroupDefinitionHasOr(second)))
    return CombineOutcome::OrInvolved;

  const bool firstDefined = first[kGroupDefinitionOffset] != 0;
  const bool secondDefined = second[kGroupDefinitionOffset] != 0;
  GroupRecord result = firstDefined ? first : second;
  if (firstDefined && secondDefined) {
    const char joint = mode == CombinationMode::Intersection ? '/' : '+';
    joinTitles(result, first, second, kGroupNameOffset, kGroupNameLength, joint);
    joinTitles(result, first, second, kGroupShortNameOffset, kGroupShortNameLength, joint);
    // b's terms and its terminating zero take the place of a's zero; nothing stale stays behind them.
    for (int p = 1; p <= endB; ++p)
      definitionByte(result, endA - 1 + p) = second[static_cast<std::size_t>(kGroupDefinitionOffset - 1 + p)];
    for (int p = endA + endB; p <= kGroupDefinitionLength; ++p) definitionByte(result, p) = 0;
    if (mode == CombinationMode::Union) definitionByte(result, endA) |= kOrFlag;
  }
  params.putGroup(t, result);
  params.setModified(true);
  return CombineOutcome::Stored;
}

// ---------------------------------------------------------------- the dialog

GroupManagementModel::GroupManagementModel(TParams& params, Ui& ui, GroupEditorCall editGroup,
                                           ClassDivisionEditorCall editClassDivision)
    : m_params(params),
      m_ui(ui),
      m_editGroup(std::move(editGroup)),
      m_editClassDivision(std::move(editClassDivision)) {}

std::string GroupManagementModel::caption() {
  return "Gruppen / Klasseneinteilungen";
}

std::string GroupManagementModel::printHeading() {
  return caption() + " :";
}

bool GroupManagementModel::setTab(ManagementTab tab) {
  if (inCombination()) return false;
  m_tab = tab;
  return true;
}

std::string GroupManagementModel::line(int i) const {
  return m_tab == ManagementTab::Groups ? m_params.groupText(i) : m_params.classDivisionText(i);
}

std::vector<std::string> GroupManagementModel::lines() const {
  std::vector<std::string> result;
  result.reserve(kListedNumbers);
  for (int i = 0; i < kListedNumbers; ++i) result.push_back(line(i));
  return result;
}

void GroupManagementModel::select(int i) {
  m_selected = std::clamp(i, 0, kListedNumbers - 1);
}

void GroupManagementModel::activate() {
  if (inCombination())
    choose();
  else
    edit();
}

bool GroupManagementModel::edit() {
  if (inCombination()) return false;
  return m_tab == ManagementTab::Groups ? editGroup(m_selected) : editClassDivision(m_selected);
}

bool GroupManagementModel::editGroup(int n) {
  if (n == 0) {
    m_ui.error("Gruppe 0 kann nicht geändert werden!"_w);
    return false;
  }
  if (!m_editGroup) return false;
  const std::optional<GroupRecord> edited = m_editGroup(n, m_params.getGroup(n));
  if (!edited) return false;
  m_params.putGroup(n, *edited);
  m_params.setModified(true);
  return true;
}

bool GroupManagementModel::editClassDivision(int n) {
  if (n == 0) {
    m_ui.error("Klasseneinteilung 0 kann nicht geändert werden!"_w);
    return false;
  }
  if (!m_editClassDivision) return false;
  const std::optional<ClassDivisionRecord> edited = m_editClassDivision(n, m_params.getClassDivision(n));
  if (!edited) return false;
  m_params.putClassDivision(n, *edited);
  m_params.setModified(true);
  return true;
}

bool GroupManagementModel::remove() {
  const int n = m_selected;
  if (titlePartBlank(line(n))) {
    m_ui.beep();
    return false;
  }
  if (m_tab == ManagementTab::Groups) {
    if (n == 0) {
      m_ui.error("Gruppe 0 kann nicht geändert werden!"_w);
      return false;
    }
    if (!m_ui.confirm("Gruppe Nr. " + std::to_string(n) + std::string(" löschen?"_w))) return false;
    m_params.putGroup(n, GroupRecord{});
  } else {
    if (n == 0) {
      m_ui.error("Klasseneinteilung 0 kann nicht geändert werden!"_w);
      return false;
    }
    if (!m_ui.confirm("Klasseneinteilung Nr. " + std::to_string(n) + std::string(" löschen?"_w)))
      return false;
    m_params.putClassDivision(n, ClassDivisionRecord{});
  }
  m_params.setModified(true);
  return true;
}

bool GroupManagementModel::startCombination(CombinationMode mode) {
  if (inCombination() || mode == CombinationMode::None || m_tab != ManagementTab::Groups) return false;
  m_mode = mode;
  m_step = 1;
  m_display.clear();
  return true;
}

bool GroupManagementModel::choose() {
  if (!inCombination()) return false;
  const int n = m_selected;
  switch (m_step) {
    case 1:
      m_first = n;
      m_display = std::to_string(n) + (m_mode == CombinationMode::Intersection ? " / " : " + ");
      m_step = 2;
      return true;
    case 2:
      m_second = n;
      m_display += std::to_string(n);
      m_step = 3;
      return true;
    default:
      if (n == 0) {
        m_ui.error("Gruppe 0 kann nicht geändert werden!"_w);
        return false;
      }
      combineInto(n);
      endCombination();
      return true;
  }
}

void GroupManagementModel::combineInto(int target) {
  if (!titlePartBlank(m_params.groupText(target)) && !m_ui.confirm("Zielgruppe nicht leer. Überschreiben?"_w))
    return;
  switch (CombineGroups(m_params, m_first, m_second, target, m_mode)) {
    case CombineOutcome::Stored:
      m_selected = target;
      break;
    case CombineOutcome::TooLarge:
      m_ui.error("Kombination wird zu umfangreich");
      break;
    case CombineOutcome::OrInvolved:
      m_ui.error("Durchschnitt nicht möglich.\r\n   Eine der Gruppen enthält OR!"_w);
      break;
    case CombineOutcome::TargetRefused:
      break;
  }
}

void GroupManagementModel::cancelCombination() {
  endCombination();
}

void GroupManagementModel::endCombination() {
  m_mode = CombinationMode::None;
  m_step = 0;
  m_display.clear();
}

std::string GroupManagementModel::prompt() const {
  switch (m_step) {
    case 1:
      return std::string("1. Gruppe auswählen"_w);
    case 2:
      return std::string("2. Gruppe auswählen"_w);
    case 3:
      return std::string("Zielgruppe auswählen"_w);
    default:
      return {};
  }
}

std::string GroupManagementModel::label() const {
  switch (m_mode) {
    case CombinationMode::Intersection:
      return "Durchschnitt:";
    case CombinationMode::Union:
      return "Vereinigung:";
    default:
      return {};
  }
}

bool GroupManagementModel::close() {
  endCombination();
  if (!m_params.modified()) return false;
  m_params.clearSelectionSlots(0);
  m_params.write();
  return true;
}

}  // namespace veltrix
