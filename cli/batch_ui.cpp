#include "cli/batch_ui.h"

#include <string>

#include "core/base/win1252.h"

namespace veltrix::cli {

using namespace veltrix::literals;

namespace {

constexpr std::string_view kProgram = "veltrix-batch: ";

bool isLineBreakOrBlank(char c) {
  return c == '\r' || c == '\n' || c == ' ';
}

}  // namespace

std::string OneLineMessage(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '\r' && text[i] != '\n') {
      line.push_back(text[i++]);
      continue;
    }
    // A line break of the box, with the blanks that indent the next line, becomes one blank.
    while (!line.empty() && line.back() == ' ') line.pop_back();
    while (i < text.size() && isLineBreakOrBlank(text[i])) ++i;
    if (!line.empty() && i < text.size()) line.push_back(' ');
  }
  return line;
}

void BatchUi::say(std::string_view kind, std::string_view text, std::string_view answer) {
  const std::string message = OneLineMessage(text);
  std::string line(kProgram);
  // A text that names its kind itself ("Fehler beim Lesen der Parameterdatei ...") gets no second one.
  if (!kind.empty() && !message.starts_with(kind)) {
    line += kind;
    line += ": ";
  }
  line += message;
  line += answer;
  m_err << win1252ToUtf8(line) << '\n';
}

bool BatchUi::doMessage(BoxKind kind, std::string_view text, int) {
  switch (kind) {
    case BoxKind::Confirm:
      say("Frage", text, m_answerYes ? " - Antwort: Ja (--yes)" : " - Antwort: Nein");
      return m_answerYes;
    case BoxKind::Warning:
      say("Warnung", text, m_answerYes ? " - Antwort: OK (--yes)" : " - Antwort: Abbrechen");
      return m_answerYes;
    case BoxKind::Error:
    case BoxKind::Fatal:
      say("Fehler", text);
      return true;
    case BoxKind::Information:
      say("", text);
      return true;
  }
  return false;
}

int BatchUi::doSelectFromList(const ListRequest& request, int) {
  say("", std::string("Auswahl nicht möglich ohne Dialog: "_w) + request.caption);
  return kListCancelled;
}

bool BatchUi::doValueDialog(ValueDialog& dialog, int) {
  return dialog.check() < 0;
}

std::optional<std::string> BatchUi::doSelectFile(const FileRequest& request) {
  say("", std::string("Dateiauswahl nicht möglich ohne Dialog: "_w) + request.title);
  return std::nullopt;
}

std::optional<std::string> BatchUi::doChoosePath(const PathRequest& request) {
  say("", std::string("Pfadauswahl nicht möglich ohne Dialog: "_w) + request.title);
  return std::nullopt;
}

}  // namespace veltrix::cli
