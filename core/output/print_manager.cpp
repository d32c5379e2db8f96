#include "core/output/print_manager.h"

#include <algorithm>
#include <utility>

#include "core/base/print_sink.h"
#include "core/base/ui.h"
#include "core/stats/marked_line.h"

namespace veltrix {

namespace {

constexpr int kHeaderLines = 2;  // the page header and one empty line

int titleLineCount(const TTabHeader& header) {
  return std::clamp<int>(header.TitleLines, 0, 3) + (header.Note.empty() ? 0 : 1);
}

int colWidth(const TableGrid& grid, int col) {
  const auto index = static_cast<std::size_t>(col - 1);
  return index < grid.colWidths.size() ? grid.colWidths[index] : kDefaultColWidth;
}

// Rows 1..fixedRows and then count rows from first on.
TableGrid partOfGrid(const TableGrid& grid, int first, int count) {
  TableGrid part = grid;
  const int fixedRows = std::min(grid.fixedRows, grid.rows);
  first = std::max(first, fixedRows + 1);
  const int last = std::min(grid.rows, first + count - 1);
  part.rows = fixedRows + std::max(0, last - first + 1);
  part.cells.clear();
  const auto cols = static_cast<std::size_t>(grid.cols);
  for (int row = 1; row <= grid.rows; ++row) {
    if (row > fixedRows && (row < first || row > last)) continue;
    const auto begin =
        grid.cells.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(row - 1) * cols);
    part.cells.insert(part.cells.end(), begin, begin + static_cast<std::ptrdiff_t>(cols));
  }
  return part;
}

}  // namespace

PrintLayout ComputePrintLayout(int width8, int charHeight, const Rect& page, bool landscape) {
  PrintLayout layout;
  layout.width8 = width8;
  layout.charWidth = width8 / 8;
  layout.charHeight = charHeight;
  int spacing = std::max(charHeight + 8, charHeight * 5 / 4);
  if (spacing % 2 != 0) ++spacing;
  layout.lineSpacing = std::max(spacing, 2);
  layout.left = page.left + page.width() / 16;
  layout.right = page.left + page.width() - layout.charWidth / 4;
  layout.top = page.top + layout.lineSpacing * (landscape ? 2 : 1);
  layout.bottom = page.top + page.height() - 2 * layout.lineSpacing;
  layout.linesPerPage = std::max(1, (layout.bottom - layout.top + 1) / layout.lineSpacing);
  return layout;
}

TPrnManager::TPrnManager(Ui& ui) : m_ui(ui) {}

void TPrnManager::fileSelected(std::string_view jobTitle, std::string copyFolder, std::string copyBaseName) {
  print(true);
  m_page = 0;
  m_jobTitle = std::string(jobTitle.substr(0, 40));
  m_copyFolder = std::move(copyFolder);
  m_copyBaseName = std::move(copyBaseName);
  m_copyFileName.clear();
  m_mustChoose = true;
}

void TPrnManager::PrintTable(const TTabHeader& header, const std::vector<std::string>& lines) {
  Entry entry;
  entry.header = header;
  entry.kind = 1;
  entry.lines = lines;
  entry.lineCount = static_cast<int>(lines.size()) + titleLineCount(header);
  add(std::move(entry));
}

void TPrnManager::PrintTable(const TTabHeader& header, const TableGrid& grid, int rowLimit, int topRow) {
  Entry entry;
  entry.header = header;
  entry.kind = 2;
  entry.grid = grid;
  if (grid.rows > kChoiceRows && rowLimit > 0) {
    ListRequest request;
    request.caption = "Drucken";
    request.items = {std::to_string(rowLimit) + " Zeilen ab akt. 1. Zeile", "Alles drucken"};
    const int choice = m_ui.selectFromList(request);
    if (choice != 0 && choice != 1) return;
    if (choice == 0) entry.grid = partOfGrid(grid, topRow, rowLimit);
  }
  entry.lineCount = gridLineCount(header, entry.grid);
  add(std::move(entry));
}

void TPrnManager::add(Entry entry) {
  m_printing = true;
  if (m_count == kRingSize) {
    // Only when printing failed: the oldest table gives way.
    m_first = (m_first + 1) % kRingSize;
    --m_count;
  }
  m_ring[static_cast<std::size_t>((m_first + m_count) % kRingSize)] = std::move(entry);
  ++m_count;
  if (m_autoPrint) {
    print(true);
  } else if (full()) {
    print(false);
  }
}

bool TPrnManager::full() const {
  int lines = 0;
  for (int k = 0; k < m_count; ++k)
    lines += m_ring[static_cast<std::size_t>((m_first + k) % kRingSize)].lineCount;
  return m_count > kRingSize - 1 || lines >= m_layout.linesPerPage;
}

void TPrnManager::FormFeed() {
  m_printing = true;
  if (m_count == 0) {
    if (m_pageOpen) {
      // Tables printed earlier still wait on an unfinished page: feed it out.
      closePage();
      return;
    }
    m_ui.beep();
    m_ui.information("Druckerpuffer ist leer!");
    return;
  }
  print(true);
}

void TPrnManager::print(bool forced) {
  if (m_sink == nullptr || (m_count == 0 && !(forced && m_pageOpen))) return;
  const bool wasReady = m_ui.flags().ready;
  m_ui.flags().ready = false;  // no commands while printing
  while (m_count > 0) {
    const Entry& entry = m_ring[static_cast<std::size_t>(m_first)];
    if (!m_pageOpen) {
      if (!openPage()) {
        // The print was refused: what was buffered is dropped rather than asked for again and again.
        m_count = 0;
        break;
      }
    } else if (m_line + entry.lineCount > m_layout.linesPerPage && m_line > kHeaderLines) {
      if (!forced && !full()) break;
      closePage();
      if (!openPage()) {
        m_count = 0;
        break;
      }
    }
    if (entry.kind == 2) {
      printGrid(entry);
    } else {
      printText(entry);
    }
    m_line += 2;
    m_first = (m_first + 1) % kRingSize;
    --m_count;
  }
  if (forced && m_pageOpen) closePage();
  m_ui.flags().ready = wasReady;
}

bool TPrnManager::openPage() {
  const std::string title = m_programBaseName + "_P" + std::to_string(m_counter);
  ++m_counter;
  if (!m_sink->beginDocument(title)) return false;
  m_pageOpen = true;
  Canvas& canvas = m_sink->canvas();
  canvas.setFont(m_font);
  const CellSize metrics = CellMetrics(canvas);
  m_layout =
      ComputePrintLayout(metrics.cellWidth, metrics.lineHeight, m_sink->pageRect(), m_sink->landscape());
  ++m_page;
  std::string left;
  if (!m_jobTitle.empty()) left = "--- " + m_jobTitle + "-";
  left += "--- " + StampText(m_clock()) + "------------------------";
  drawText(0, left, false);
  drawText(0, " - " + std::to_string(m_page) + " - ", true);
  m_line = kHeaderLines;
  return true;
}

void TPrnManager::closePage() {
  if (!m_pageOpen) return;
  m_sink->endDocument();
  m_pageOpen = false;
}

bool TPrnManager::ensureRoom() {
  if (m_line < m_layout.linesPerPage) return true;
  closePage();
  return openPage();
}

void TPrnManager::drawText(int line, std::string_view text, bool rightAligned) {
  Canvas& canvas = m_sink->canvas();
  const int top = lineTop(line);
  const Rect clip{m_layout.left, top, m_layout.right, top + m_layout.lineSpacing};
  const int x = rightAligned ? m_layout.right - canvas.textWidth(text) : m_layout.left;
  canvas.drawText(x, top + (m_layout.lineSpacing - m_layout.charHeight) / 2, text, clip);
}

void TPrnManager::printTitles(const TTabHeader& header) {
  Canvas& canvas = m_sink->canvas();
  FontSpec bold = m_font;
  bold.bold = true;
  canvas.setFont(bold);
  const int titles = std::clamp<int>(header.TitleLines, 0, 3);
  for (int k = 0; k < titles; ++k) {
    if (!ensureRoom()) return;
    canvas.setFont(bold);
    drawText(m_line, header.LeftTitle[static_cast<std::size_t>(k)], false);
    drawText(m_line, header.RightTitle[static_cast<std::size_t>(k)], true);
    ++m_line;
  }
  canvas.setFont(m_font);
  canvas.setPen(m_font.color, 1, PenStyle::Solid);
  canvas.drawLine({m_layout.left, lineTop(m_line) - 1}, {m_layout.right, lineTop(m_line) - 1});
  if (!header.Note.empty()) {
    if (!ensureRoom()) return;
    drawText(m_line, header.Note, true);
    ++m_line;
    canvas.setPen(m_font.color, 1, PenStyle::Solid);
    canvas.drawLine({m_layout.left, lineTop(m_line) - 1}, {m_layout.right, lineTop(m_line) - 1});
  }
}

void TPrnManager::printText(const Entry& entry) {
  printTitles(entry.header);
  for (const std::string& line : entry.lines) {
    if (!m_pageOpen || !ensureRoom()) return;
    const int top = lineTop(m_line);
    DrawMarkedLine(m_sink->canvas(), Rect{m_layout.left, top, m_layout.right, top + m_layout.lineSpacing},
                   m_layout.width8, line, m_layout.charHeight);
    ++m_line;
  }
}

std::vector<std::vector<int>> TPrnManager::columnBlocks(const TableGrid& grid) const {
  const int fixedCols = std::min(grid.fixedCols, grid.cols);
  const int room = std::max(1, (m_layout.right - m_layout.left) / std::max(1, m_layout.charWidth));
  int fixedWidth = 0;
  for (int col = 1; col <= fixedCols; ++col) fixedWidth += colWidth(grid, col) + 1;
  std::vector<std::vector<int>> blocks;
  int next = fixedCols + 1;
  do {
    std::vector<int> block;
    for (int col = 1; col <= fixedCols; ++col) block.push_back(col);
    int running = fixedWidth;
    while (next <= grid.cols) {
      const int width = colWidth(grid, next) + 1;
      if (running + width > room && static_cast<int>(block.size()) > fixedCols) break;
      running += width;
      block.push_back(next++);
    }
    blocks.push_back(std::move(block));
  } while (next <= grid.cols);
  return blocks;
}

int TPrnManager::gridLineCount(const TTabHeader& header, const TableGrid& grid) const {
  const int blocks = static_cast<int>(columnBlocks(grid).size());
  return titleLineCount(header) + blocks * grid.rows + (blocks - 1);
}

void TPrnManager::printGrid(const Entry& entry) {
  printTitles(entry.header);
  const TableGrid& grid = entry.grid;
  const int fixedCols = std::min(grid.fixedCols, grid.cols);
  const int fixedRows = std::min(grid.fixedRows, grid.rows);
  const auto blocks = columnBlocks(grid);
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    if (!m_pageOpen) return;
    if (b > 0) ++m_line;
    const std::vector<int>& block = blocks[b];
    int blockWidth = 0;
    for (const int col : block) blockWidth += (colWidth(grid, col) + 1) * m_layout.charWidth;
    const int left = m_layout.left;
    int frameTop = -1;
    for (int row = 1; row <= grid.rows; ++row) {
      if (m_line >= m_layout.linesPerPage) {
        if (frameTop >= 0) {
          Canvas& old = m_sink->canvas();
          old.setPen(m_font.color, 1, PenStyle::Solid);
          old.drawRect(Rect{left, frameTop, left + blockWidth, lineTop(m_line)});
        }
        frameTop = -1;
        if (!ensureRoom()) return;
      }
      Canvas& canvas = m_sink->canvas();
      canvas.setFont(m_font);
      const int top = lineTop(m_line);
      const int bottom = top + m_layout.lineSpacing;
      if (frameTop < 0) frameTop = top;
      canvas.setPen(m_font.color, 1, PenStyle::Solid);
      int x = left;
      for (std::size_t k = 0; k < block.size(); ++k) {
        const int col = block[k];
        const int width = (colWidth(grid, col) + 1) * m_layout.charWidth;
        DrawMarkedLine(canvas, Rect{x, top, x + width, bottom}, m_layout.width8, grid.cell(row, col),
                       m_layout.charHeight);
        x += width;
        if (k + 1 == block.size()) break;
        const bool rule =
            col == fixedCols || (col < fixedCols ? !grid.noFixedColLines : !grid.noBodyColLines);
        if (rule) canvas.drawLine({x, top}, {x, bottom});
      }
      if (row < grid.rows) {
        const bool rule =
            row == fixedRows || (row < fixedRows ? !grid.noFixedRowLines : !grid.noBodyRowLines);
        if (rule) canvas.drawLine({left, bottom}, {left + blockWidth, bottom});
      }
      ++m_line;
    }
    Canvas& canvas = m_sink->canvas();
    canvas.drawRect(Rect{left, frameTop, left + blockWidth, lineTop(m_line)});
  }
}

bool TPrnManager::chooseCopyFile(bool gridTable) {
  if (!m_mustChoose && !m_copyFileName.empty()) return true;
  CopyFileChoice choice(m_copyFolder, m_copyBaseName, gridTable, m_csv, m_separator);
  if (!m_chooser || !m_chooser(choice) || choice.chosenDigit() < 0) return false;
  m_copyFileName = choice.fileName(choice.chosenDigit());
  m_csv = choice.csv;
  if (!choice.separator.empty() && choice.separator[0] != ' ') m_separator = choice.separator[0];
  m_mustChoose = false;
  return true;
}

bool TPrnManager::SaveTable(const TTabHeader& header, const std::vector<std::string>& lines) {
  if (!chooseCopyFile(false)) return false;
  return TDCopyMng(m_ui).appendLines(m_copyFileName, ProtocolTextTable(header, lines, m_jobTitle, m_clock()));
}

bool TPrnManager::SaveTable(const TTabHeader& header, const TableGrid& grid) {
  if (!chooseCopyFile(true)) return false;
  const ProtocolFormat format{m_csv, m_separator};
  return TDCopyMng(m_ui).appendLines(m_copyFileName,
                                     ProtocolGridTable(header, grid, format, m_jobTitle, m_clock()));
}

}  // namespace veltrix
