#include "cli/batch_ui.h"

#include <string>

#include "core/base/win1252.h"

namespace veltrix::cli {

using namespace veltrix::literals;

void BatchUi::say(std::string_view prefix, std::string_view text) {
  // Line breaks of a message box become line breaks of the terminal.
  std::string line;
  for (const char c : win1252ToUtf8(text)) {
    if (c != '\r') line.push_back(c);
  }
  m_err << prefix << line << '\n';
}

bool BatchUi::doMessage(BoxKind kind, std::string_view text, int) {
  switch (kind) {
    case BoxKind::Confirm:
      say("Frage: ", text);
      m_err << (m_answerYes ? "Antwort: Ja (--yes)\n" : "Antwort: Nein\n");
      return m_answerYes;
    case BoxKind::Warning:
      say("Warnung: ", text);
      m_err << (m_answerYes ? "Antwort: OK (--yes)\n" : "Antwort: Abbrechen\n");
      return m_answerYes;
    case BoxKind::Error:
    case BoxKind::Fatal:
      say("Fehler: ", text);
      return true;
    case BoxKind::Information:
      say("", text);
      return true;
  }
  return false;
}

int BatchUi::doSelectFromList(const ListRequest& request, int) {
  say("Auswahl nicht möglich ohne Dialog: "_w, request.caption);
  return kListCancelled;
}

std::optional<std::string> BatchUi::doSelectFile(const FileRequest& request) {
  say("Dateiauswahl nicht möglich ohne Dialog: "_w, request.title);
  return std::nullopt;
}

std::optional<std::string> BatchUi::doChoosePath(const PathRequest& request) {
  say("Pfadauswahl nicht möglich ohne Dialog: "_w, request.title);
  return std::nullopt;
}

}  // namespace veltrix::cli
