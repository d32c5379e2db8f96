#include "core/output/table_manager.h"

#include <algorithm>

namespace veltrix {
namespace {

inline constexpr int kMaxToolFlagsLength = 20;
inline constexpr int kMaxCaptionLength = 60;
inline constexpr int kMaxExtraCaptionLength = 15;
inline constexpr int kMaxExtraHintLength = 40;
inline constexpr int kMaxTabDefLength = 40;

std::string cut(std::string_view text, int maxLength) {
  return std::string(text.substr(0, static_cast<std::size_t>(maxLength)));
}

}  // namespace

TTabHeader clippedHeader(const TTabHeader& header) {
  TTabHeader copy = header;
  copy.GridFlags = cut(header.GridFlags, kMaxGridFlagsLength);
  for (std::size_t i = 0; i < 3; ++i) {
    copy.LeftTitle[i] = cut(header.LeftTitle[i], kMaxTitleLength);
    copy.RightTitle[i] = cut(header.RightTitle[i], kMaxTitleLength);
  }
  copy.Note = cut(header.Note, kMaxTitleLength);
  return copy;
}

void TTMng::ClearTables() {
  AnalysisCode = 0;
  HelpTopic = 0;
  FirstTab = 0;
  m_current = 0;
  m_toolFlags.clear();
  m_caption.clear();
  m_extras = {};
  m_tabDefs = {};
  for (auto& table : m_tables) {
    table.reset();
  }
}

void TTMng::SelectTable(int n) {
  if (n < 1 || n > kTableCount) {
    m_current = 0;
    return;
  }
  auto& table = m_tables[static_cast<std::size_t>(n - 1)];
  if (!table) {
    table = std::make_unique<TSTab>();
  }
  *table = TSTab{};
  m_current = static_cast<std::int16_t>(n);
}

void TTMng::BeginTable(int n, const TTabHeader& header) {
  SelectTable(n);
  if (TSTab* table = currentTable()) {
    table->header = clippedHeader(header);
  }
}

void TTMng::AddLine(std::string_view text) {
  if (TSTab* table = currentTable()) {
    table->lines.push_back(cut(text, kMaxTableLineLength));
  }
}

void TTMng::AddCell(int row, int col, std::string_view text) {
  // A number that does not fit its three characters would shift the text into the number fields.
  const auto fits = [](int v) { return v >= -99 && v <= 999; };
  if (!text.empty() && fits(row) && fits(col)) {
    AddLine(FormatCellLine(row, col, text));
  }
}

void TTMng::BeginTextTableLines(int n, const TTabHeader& header, std::string_view text1,
                                std::string_view text2, std::string_view text3) {
  TTabHeader textHeader = header;
  textHeader.Kind = 'A';
  BeginTable(n, textHeader);
  AddLine(text1);
  AddLine(text2);
  AddLine(text3);
}

void TTMng::BeginTextTableRange(int n, const TTabHeader& header, int first, int last,
                                const std::vector<std::string>& lines) {
  TTabHeader textHeader = header;
  textHeader.Kind = 'A';
  BeginTable(n, textHeader);
  const int size = static_cast<int>(lines.size());
  for (int i = std::max(first, 1); i <= last && i <= size; ++i) {
    AddLine(lines[static_cast<std::size_t>(i - 1)]);
  }
}

void TTMng::BeginTextTableList(int n, const TTabHeader& header, const std::vector<std::string>& lines) {
  TTabHeader textHeader = header;
  textHeader.Kind = 'A';
  BeginTable(n, textHeader);
  for (const std::string& line : lines) {
    AddLine(line);
  }
}

FetchedTable TTMng::FetchTable(int n) const {
  FetchedTable result;
  if (const TSTab* found = table(n)) {
    if (found->header.Kind == 'A') {
      result.header = found->header;
      result.lines = found->lines;
      return result;
    }
    if (found->header.Kind == 'B') {
      result.header = found->header;
      result.grid = FillGrid(found->header, found->lines);
      return result;
    }
  }
  result.header = TTabHeader{};
  result.header.Kind = 'A';
  result.lines = {" * Keine Ausgabe"};
  return result;
}

const TSTab* TTMng::table(int n) const {
  if (n < 1 || n > kTableCount) {
    return nullptr;
  }
  return m_tables[static_cast<std::size_t>(n - 1)].get();
}

TSTab* TTMng::currentTable() {
  if (m_current < 1 || m_current > kTableCount) {
    return nullptr;
  }
  return m_tables[static_cast<std::size_t>(m_current - 1)].get();
}

void TTMng::setToolFlags(std::string_view flags) {
  m_toolFlags = cut(flags, kMaxToolFlagsLength);
}

bool TTMng::toolOffered(int tool) const {
  return tool >= 1 && tool <= static_cast<int>(m_toolFlags.size()) &&
         m_toolFlags[static_cast<std::size_t>(tool - 1)] == '1';
}

void TTMng::setCaption(std::string_view caption) {
  m_caption = cut(caption, kMaxCaptionLength);
}

void TTMng::setExtraAction(int i, std::int32_t action, std::string_view caption, std::string_view hint) {
  if (i < 1 || i > kExtraActionCount) {
    return;
  }
  m_extras[static_cast<std::size_t>(i - 1)] = {action, cut(caption, kMaxExtraCaptionLength),
                                               cut(hint, kMaxExtraHintLength)};
}

std::int32_t TTMng::extraAction(int i) const {
  return i >= 1 && i <= kExtraActionCount ? m_extras[static_cast<std::size_t>(i - 1)].action : 0;
}

std::string TTMng::extraCaption(int i) const {
  return i >= 1 && i <= kExtraActionCount ? m_extras[static_cast<std::size_t>(i - 1)].caption : std::string();
}

std::string TTMng::extraHint(int i) const {
  return i >= 1 && i <= kExtraActionCount ? m_extras[static_cast<std::size_t>(i - 1)].hint : std::string();
}

void TTMng::setTabDef(int k, std::string_view definition) {
  if (k >= 1 && k <= kTableCount) {
    m_tabDefs[static_cast<std::size_t>(k - 1)] = cut(definition, kMaxTabDefLength);
  }
}

std::string TTMng::tabDef(int k) const {
  return k >= 1 && k <= kTableCount ? m_tabDefs[static_cast<std::size_t>(k - 1)] : std::string();
}

}  // namespace veltrix
