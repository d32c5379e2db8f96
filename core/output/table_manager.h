// The table manager: the tables of the current result (up to 26, text or grid), their tab
// definitions, the result tools they offer and up to six extra actions of the table window.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/output/grid_fill.h"

namespace veltrix {

inline constexpr int kTableCount = 26;
inline constexpr int kExtraActionCount = 6;
inline constexpr int kMaxTableLineLength = 255;
inline constexpr int kMaxTitleLength = 60;
inline constexpr int kMaxGridFlagsLength = 20;
inline constexpr int kColWidthCount = 100;

// Layout and titles of one table. Strings longer than their maximum are cut when a table takes a
// copy of the header.
struct TTabHeader {
  char Kind = 0;  // 'A' text lines, 'B' grid cells; anything else fetches as an empty result
  std::int16_t TitleLines = 0;
  std::int16_t Rows = 0;
  std::int16_t Cols = 0;
  std::int16_t FixedRows = 0;  // kind 'A': leading lines drawn on the heading colour
  std::int16_t FixedCols = 0;
  std::string GridFlags;  // up to 20 characters, see GridFlagsOf
  std::array<std::string, 3> LeftTitle;
  std::array<std::string, 3> RightTitle;
  std::string Note;
  std::array<std::int16_t, kColWidthCount> ColWidths{};  // ColWidths[c - 1] for grid column c

  bool operator==(const TTabHeader&) const = default;
};

// The header with every string cut to its maximum length.
TTabHeader clippedHeader(const TTabHeader& header);

struct TSTab {
  TTabHeader header;
  std::vector<std::string> lines;  // text lines (kind 'A') or cell lines (kind 'B'), in order added
};

// What FetchTable hands out: the header and, by its kind, the lines or the filled grid.
struct FetchedTable {
  TTabHeader header;
  std::vector<std::string> lines;  // kind 'A'
  TableGrid grid;                  // kind 'B'
};

class TTMng {
 public:
  // Analysis code of the result, help topic of the table window, tab the window selects next.
  std::int16_t AnalysisCode = 0;
  std::int32_t HelpTopic = 0;
  std::int16_t FirstTab = 0;

  void ClearTables();
  // n outside 1..26 makes Current 0; otherwise table n is created if missing and emptied.
  void SelectTable(int n);
  void BeginTable(int n, const TTabHeader& header);
  void AddLine(std::string_view text);
  void AddCell(int row, int col, std::string_view text);
  void BeginTextTableLines(int n, const TTabHeader& header, std::string_view text1, std::string_view text2,
                           std::string_view text3);
  // Adds lines[first - 1] .. lines[last - 1]; indices outside the array are skipped.
  void BeginTextTableRange(int n, const TTabHeader& header, int first, int last,
                           const std::vector<std::string>& lines);
  void BeginTextTableList(int n, const TTabHeader& header, const std::vector<std::string>& lines);
  FetchedTable FetchTable(int n) const;

  int current() const { return m_current; }
  // The table n (1..26), or nullptr when it does not exist.
  const TSTab* table(int n) const;

  // Result tools, one character each: 1 graph, 2 graph editing, 3 additional test, 4 switch
  // between graph and table, 5 row/column selection; '1' means offered.
  const std::string& toolFlags() const { return m_toolFlags; }
  void setToolFlags(std::string_view flags);
  bool toolOffered(int tool) const;
  const std::string& caption() const { return m_caption; }
  void setCaption(std::string_view caption);

  // Extra button i (1..6) of the table window; shown when its action is greater than 0. Other i
  // are ignored (and read as 0 and empty).
  void setExtraAction(int i, std::int32_t action, std::string_view caption, std::string_view hint);
  std::int32_t extraAction(int i) const;
  std::string extraCaption(int i) const;
  std::string extraHint(int i) const;

  // Tab definition k (1..26): graph selector, help topic, caption (see tab_definition.h).
  void setTabDef(int k, std::string_view definition);
  std::string tabDef(int k) const;
  const std::array<std::string, kTableCount>& tabDefs() const { return m_tabDefs; }

 private:
  struct ExtraAction {
    std::int32_t action = 0;
    std::string caption;
    std::string hint;
  };

  TSTab* currentTable();

  std::int16_t m_current = 0;
  std::string m_toolFlags;
  std::string m_caption;
  std::array<ExtraAction, kExtraActionCount> m_extras;
  std::array<std::string, kTableCount> m_tabDefs;
  std::array<std::unique_ptr<TSTab>, kTableCount> m_tables;
};

}  // namespace veltrix
