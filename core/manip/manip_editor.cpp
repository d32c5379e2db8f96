#include "core/manip/manip_editor.h"

#include <algorithm>

#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "core/datafile/file_objects.h"
#include "core/datafile/params.h"
#include "core/manip/command_lines.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

constexpr std::string_view kCaptionPrefix = "Datenmanipulation - ";
constexpr std::string_view kEndEditing = "Editieren beenden?";
constexpr std::string_view kSaveFailed = "Datei kann nicht geschrieben werden!";
constexpr std::string_view kHelpFill = "Leerfeld (Missing Data) füllen"_w;
constexpr std::string_view kHelpAppend = "Zeichen a anhängen"_w;

// Reads a whole text file; nothing when it cannot be opened or read.
std::optional<std::string> readTextFile(Ui& ui, const std::string& name) {
  TRndFile file(ui);
  if (!file.openForReading(name)) return std::nullopt;
  std::string text(static_cast<std::size_t>(file.size()), '\0');
  std::size_t done = 0;
  while (done < text.size()) {
    const auto part =
        static_cast<std::int32_t>(std::min<std::size_t>(text.size() - done, std::size_t{1} << 20));
    const std::int32_t got = file.read(text.data() + done, part);
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  const bool failed = file.error();
  file.close();
  if (failed) return std::nullopt;
  text.resize(done);
  return text;
}

}  // namespace

std::optional<std::vector<std::string>> ReadCommandFile(Ui& ui, const std::string& fileName) {
  const auto text = readTextFile(ui, fileName);
  if (!text) return std::nullopt;
  return SplitPhysicalLines(*text);
}

ManipEditorModel::ManipEditorModel(const TParams& params, Ui& ui, std::string commandFile)
    : m_params(params), m_ui(ui), m_commandFile(std::move(commandFile)) {
  if (ProbeFile(m_commandFile).kind == EntryKind::RegularFile) {
    if (const auto text = readTextFile(m_ui, m_commandFile)) m_lines = SplitPhysicalLines(*text);
  }
  m_openedLines = m_lines;
  fillNames();
}

std::string ManipEditorModel::caption() const {
  std::string caption(kCaptionPrefix);
  const std::size_t slash = m_commandFile.rfind('/');
  caption += fileNameForDisplay(slash == std::string::npos ? m_commandFile : m_commandFile.substr(slash + 1));
  return caption;
}

void ManipEditorModel::setLines(std::vector<std::string> lines) {
  m_lines = std::move(lines);
  m_modified = m_lines != m_openedLines;
}

bool ManipEditorModel::acceptsCharacter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte < 32 || byte == 127) return false;
  // Bytes that Windows-1252 leaves without a character.
  return byte != 0x81 && byte != 0x8D && byte != 0x8F && byte != 0x90 && byte != 0x9D;
}

void ManipEditorModel::fillNames() {
  m_names = m_params.listVariables(VariableListMode::All).items;
  if (m_sorted) std::sort(m_names.begin(), m_names.end());
  for (int n = 1; n <= kAuxiliaryStores; ++n) m_names.push_back("*H" + std::to_string(n));
}

void ManipEditorModel::setNamesSorted(bool sorted) {
  m_sorted = sorted;
  fillNames();
}

ManipCaret ManipEditorModel::insertName(int i, ManipCaret caret) {
  if (i < 0 || i >= static_cast<int>(m_names.size())) return caret;
  const std::string text = "[" + TrimBlanks(m_names[static_cast<std::size_t>(i)], 0) + "]";
  std::vector<std::string> lines = m_lines;
  if (lines.empty()) lines.emplace_back();
  caret.line = std::clamp(caret.line, 0, static_cast<int>(lines.size()) - 1);
  std::string& line = lines[static_cast<std::size_t>(caret.line)];
  caret.column = std::clamp(caret.column, 0, static_cast<int>(line.size()));
  line.insert(static_cast<std::size_t>(caret.column), text);
  caret.column += static_cast<int>(text.size());
  setLines(std::move(lines));
  return caret;
}

const std::vector<std::pair<std::string, std::string>>& ManipEditorModel::helpRows() {
  static const std::vector<std::pair<std::string, std::string>> rows = {
      {"/ ..................", "Kommentarzeile"},
      {"[Var< : nk>] = .... Formel .....",
       "Funktionen: ABS, INT, ROUND, SQRT, EXP, LN, LOG, SIN, COS, ARCSIN"},
      {"[Var] = FKT:[Var1], ....., [VarN]",
       "FKT = MAX, MIN, SUM, SUC, MIT, MIC, SDV,  SDC, ANZ, CMB , MMC, SMC"},
      {"[Var] = RPL:aaaa,nnnn", "Ersetzen"},
      {"[Var] = RMV:x", "x entfernen"},
      {"[Var] = RPM:xxxxxxx", std::string(kHelpFill)},
      {"[Var] = TXT:xxxxxxxx", "Text einsetzen"},
      {"[Var] = APP:x", std::string(kHelpAppend)},
      {"[Var] = TNA(TNB):[Datumfeld]", "laufende Tagnummer (ab 1.1.1801) eines"},
      {"", "Datums (Typ A oder B) ermitteln."},
      {"", "Typ A: TTMMJJJJ"},
      {"", "Typ B: JJJJMMTT"},
      {"[Var] = xDA(xDB):[Datum1],[Datum2]", "Zeit von Datum1 bis Datum2 in Tagen (x=T),"},
      {"", "Wochen (x=W), Monaten (x=M), Jahren (x=J)"},
      {"[Var] = ZDM:[Z1],[Z2]", "Zeit von Z1 bis Z2 in Minuten"},
      {"[Var] = ZDS:[Z1],[Z2]", "Zeit von Z1 bis Z2 in Sekunden"},
      {"IF [VAR]   %   Formelausdruck", "Verzweigung, Bedingung"},
      {":::::::::::::::::::::::::::::::::::::", "Vergleichsoperator(%):  <    <=    =    >=     >     <>"},
      {":::::::::::::::::::::::::::::::::::::", ""},
      {"<ELSE", "Alternativ-Anweisung kann fehlen"},
      {"::::::::::::::::::::::::::::::::::::: >", ""},
      {"END", "(Ende der bedingten Anweisung)"},
      {"COPYDS", "Datensatz kopieren"},
      {"EXIT", "Verarbeitung vorzeitig beenden"},
      {"|", "|"},
      {"[*Hn]", "Hilfsspeicher (n=1 - 8), davon H5-H8 kumulierend"},
  };
  return rows;
}

bool ManipEditorModel::loadCommandFile(const std::string& fileName) {
  auto lines = ReadCommandFile(m_ui, fileName);
  if (!lines) return false;
  m_lines = std::move(*lines);
  m_openedLines = m_lines;
  m_modified = false;
  return true;
}

ManipEditorResult ManipEditorModel::accept() {
  ManipEditorResult result;
  ProgramResult compiled = CompileProgram(m_lines, m_params);
  if (!compiled.ok) {
    m_ui.error(compiled.message);
    result.action = ManipEditorResult::Action::Refused;
    result.lineToSelect = compiled.line;
    return result;
  }
  m_program = std::move(compiled.program);
  if (m_modified) {
    std::string text;
    for (const std::string& line : m_lines) {
      text += line;
      text += "\r\n";
    }
    if (!ReplaceFileSafely(m_commandFile, text)) {
      ShowFileError(m_ui, m_commandFile, kSaveFailed);
      result.action = ManipEditorResult::Action::SaveFailed;
      return result;
    }
    m_openedLines = m_lines;
    m_modified = false;
  }
  result.action =
      m_ui.confirm(kEndEditing) ? ManipEditorResult::Action::Run : ManipEditorResult::Action::KeepOpen;
  return result;
}

bool ManipEditorModel::busy() const {
  return !m_ui.flags().ready;
}

}  // namespace veltrix
