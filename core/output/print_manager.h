// The print manager: tables leave the program on paper (collected in a ring of five and laid out in
// pages on a PrintSink) or, in copy mode, appended at once to the chosen protocol file.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/canvas.h"
#include "core/output/protocol_file.h"
#include "core/output/table_manager.h"

namespace veltrix {

class PrintSink;
class Ui;

// Page geometry in device pixels, from the printer font's metrics and the page size.
struct PrintLayout {
  int charWidth = 0;
  int charHeight = 0;
  int width8 = 0;       // eight standard characters, for the marked-line renderer
  int lineSpacing = 0;  // the larger of height + 8 and height * 5 / 4, made even
  int left = 0;         // page width / 16
  int right = 0;        // page width - character width / 4
  int top = 0;          // one line spacing, two in landscape
  int bottom = 0;       // page height - two line spacings
  int linesPerPage = 0;
};

PrintLayout ComputePrintLayout(int width8, int charHeight, const Rect& page, bool landscape);

class TPrnManager {
 public:
  static constexpr int kRingSize = 5;
  static constexpr int kChoiceRows = 62;  // larger grids offer printing part of them

  // The copy-file dialog: shows the model and returns true on OK (after model.accept succeeded).
  using CopyFileChooser = std::function<bool(CopyFileChoice&)>;

  explicit TPrnManager(Ui& ui);

  void setPrintSink(PrintSink* sink) { m_sink = sink; }
  void setPrinterFont(const FontSpec& font) { m_font = font; }
  void setClock(StampClock clock) { m_clock = std::move(clock); }
  // "Druck-Speicherautomatik": print everything after each added table.
  void setAutoPrint(bool on) { m_autoPrint = on; }
  bool autoPrint() const { return m_autoPrint; }
  void setCopyFileChooser(CopyFileChooser chooser) { m_chooser = std::move(chooser); }
  // Print documents are titled programBaseName + "_P" + a counter from 1000.
  void setProgramBaseName(std::string name) { m_programBaseName = std::move(name); }

  bool printingMode() const { return m_printing; }
  void setPrintingMode(bool printing) { m_printing = printing; }

  // A statistics file was opened: what is buffered is printed, the page number starts again, and the
  // protocol file has to be chosen anew in copyFolder among copyBaseName + digit + ".txt".
  void fileSelected(std::string_view jobTitle, std::string copyFolder, std::string copyBaseName);
  // The statistics file's name as the page headers and protocol files show it (at most 40 characters).
  const std::string& jobTitle() const { return m_jobTitle; }
  // The protocol file is chosen again before the next copy.
  void requestCopyFileChoice() { m_mustChoose = true; }

  // Printing mode: adds a table to the printer buffer (printing when it is full or automatic).
  void PrintTable(const TTabHeader& header, const std::vector<std::string>& lines);
  // grid.colWidths in characters. A grid of more than 62 rows with rowLimit > 0 asks whether to print
  // rowLimit rows from topRow (the first body row the window shows) or all; cancel prints nothing.
  void PrintTable(const TTabHeader& header, const TableGrid& grid, int rowLimit, int topRow);

  // Copy mode: appends the table to the protocol file, choosing it first when needed. False when
  // nothing was written (cancelled or failed).
  bool SaveTable(const TTabHeader& header, const std::vector<std::string>& lines);
  bool SaveTable(const TTabHeader& header, const TableGrid& grid);

  // "Blattvorschub": printing mode; prints everything and ends the page, or beeps and says
  // "Druckerpuffer ist leer!" when there is nothing to print.
  void FormFeed();
  // Prints everything buffered and ends the page (also at the end of the run).
  void Flush() { print(true); }
  // Forgets the buffered tables (the user declined to print them at the end of the run); a page
  // already begun is still ended by Flush.
  void DropBuffer() { m_count = 0; }

  int bufferedTables() const { return m_count; }
  int pageNumber() const { return m_page; }
  int documentCounter() const { return m_counter; }
  const std::string& copyFileName() const { return m_copyFileName; }
  bool csv() const { return m_csv; }
  char separator() const { return m_separator; }

 private:
  struct Entry {
    TTabHeader header;
    int lineCount = 0;
    int kind = 1;  // 1 text, 2 grid
    std::vector<std::string> lines;
    TableGrid grid;
  };

  void add(Entry entry);
  bool full() const;
  void print(bool forced);
  bool openPage();
  void closePage();
  bool ensureRoom();
  int lineTop(int line) const { return m_layout.top + line * m_layout.lineSpacing; }
  void drawText(int line, std::string_view text, bool rightAligned);
  void printTitles(const TTabHeader& header);
  void printText(const Entry& entry);
  void printGrid(const Entry& entry);
  std::vector<std::vector<int>> columnBlocks(const TableGrid& grid) const;
  int gridLineCount(const TTabHeader& header, const TableGrid& grid) const;
  bool chooseCopyFile(bool gridTable);

  Ui& m_ui;
  PrintSink* m_sink = nullptr;
  FontSpec m_font;
  StampClock m_clock = CurrentStampTime;
  CopyFileChooser m_chooser;
  std::string m_programBaseName;
  bool m_printing = true;
  bool m_autoPrint = false;

  std::array<Entry, kRingSize> m_ring;
  int m_first = 0;
  int m_count = 0;

  std::string m_jobTitle;
  int m_page = 0;
  int m_counter = 1000;

  std::string m_copyFolder;
  std::string m_copyBaseName;
  std::string m_copyFileName;
  bool m_mustChoose = true;
  bool m_csv = false;
  char m_separator = ';';

  // Until the first page has been laid out, line counts assume a page of 60 lines of 100 characters.
  PrintLayout m_layout{8, 14, 64, 22, 0, 800, 22, 1320, 60};
  bool m_pageOpen = false;
  int m_line = 0;  // next line of the open page; 0 is the page header
};

}  // namespace veltrix
