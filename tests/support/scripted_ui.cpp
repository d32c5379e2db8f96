#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

#include "core/base/win1252.h"

namespace veltrix::test {
namespace {

const char* promptName(ScriptedUi::Prompt prompt) {
  switch (prompt) {
    case ScriptedUi::Prompt::Confirm:
      return "confirm";
    case ScriptedUi::Prompt::Error:
      return "error";
    case ScriptedUi::Prompt::Information:
      return "information";
    case ScriptedUi::Prompt::Warning:
      return "warning";
    case ScriptedUi::Prompt::Fatal:
      return "fatal";
    case ScriptedUi::Prompt::List:
      return "list selection";
    case ScriptedUi::Prompt::Values:
      return "value dialog";
    case ScriptedUi::Prompt::File:
      return "file selection";
    case ScriptedUi::Prompt::Path:
      return "path choice";
  }
  return "?";
}

// Readable in a failure message: UTF-8 with line breaks shown.
std::string shown(std::string_view text) {
  std::string out;
  for (const char c : win1252ToUtf8(text)) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

}  // namespace

ScriptedUi::~ScriptedUi() {
  for (const Step& step : m_script)
    ADD_FAILURE() << "expected " << promptName(step.prompt) << " \"" << shown(step.text)
                  << "\" was never shown";
}

ScriptedUi& ScriptedUi::expectConfirm(std::string_view text, bool yes) {
  m_script.push_back({Prompt::Confirm, std::string(text), yes, 0, {}});
  return *this;
}
ScriptedUi& ScriptedUi::expectError(std::string_view text) {
  m_script.push_back({Prompt::Error, std::string(text), true, 0, {}});
  return *this;
}
ScriptedUi& ScriptedUi::expectInformation(std::string_view text) {
  m_script.push_back({Prompt::Information, std::string(text), true, 0, {}});
  return *this;
}
ScriptedUi& ScriptedUi::expectWarning(std::string_view text, bool ok) {
  m_script.push_back({Prompt::Warning, std::string(text), ok, 0, {}});
  return *this;
}
ScriptedUi& ScriptedUi::expectFatal(std::string_view text) {
  m_script.push_back({Prompt::Fatal, std::string(text) + std::string(kFatalSuffix), true, 0, {}});
  return *this;
}
ScriptedUi& ScriptedUi::expectList(std::string_view caption, int answer) {
  m_script.push_back({Prompt::List, std::string(caption), true, answer, {}});
  return *this;
}
ScriptedUi& ScriptedUi::expectFile(std::string_view title, std::optional<std::string> answer) {
  m_script.push_back({Prompt::File, std::string(title), true, 0, std::move(answer)});
  return *this;
}
ScriptedUi& ScriptedUi::expectPath(std::string_view title, std::optional<std::string> answer) {
  m_script.push_back({Prompt::Path, std::string(title), true, 0, std::move(answer)});
  return *this;
}

ScriptedUi& ScriptedUi::expectValues(std::string_view caption,
                                     std::optional<std::vector<std::string>> texts) {
  Step step{Prompt::Values, std::string(caption), true, 0, std::nullopt};
  step.texts = std::move(texts);
  m_script.push_back(std::move(step));
  return *this;
}

std::optional<ScriptedUi::Step> ScriptedUi::take(Prompt prompt, std::string_view text) {
  if (m_script.empty()) {
    ADD_FAILURE() << "unexpected " << promptName(prompt) << " \"" << shown(text) << "\" (script is empty)";
    return std::nullopt;
  }
  Step step = m_script.front();
  if (step.prompt != prompt || step.text != text) {
    ADD_FAILURE() << "unexpected " << promptName(prompt) << " \"" << shown(text) << "\"; expected "
                  << promptName(step.prompt) << " \"" << shown(step.text) << "\"";
    return std::nullopt;
  }
  m_script.pop_front();
  return step;
}

bool ScriptedUi::doMessage(BoxKind kind, std::string_view text, int placementHint) {
  m_placements.push_back(placementHint);
  Prompt prompt = Prompt::Information;
  switch (kind) {
    case BoxKind::Confirm:
      prompt = Prompt::Confirm;
      break;
    case BoxKind::Error:
      prompt = Prompt::Error;
      break;
    case BoxKind::Information:
      prompt = Prompt::Information;
      break;
    case BoxKind::Warning:
      prompt = Prompt::Warning;
      break;
    case BoxKind::Fatal:
      prompt = Prompt::Fatal;
      break;
  }
  const auto step = take(prompt, text);
  // An unexpected question is answered with the cautious No / Cancel.
  return step ? step->yes : false;
}

int ScriptedUi::doSelectFromList(const ListRequest& request, int placementHint) {
  m_placements.push_back(placementHint);
  m_lastList = request;
  const auto step = take(Prompt::List, request.caption);
  return step ? step->index : kListCancelled;
}

bool ScriptedUi::doValueDialog(ValueDialog& dialog, int placementHint) {
  m_placements.push_back(placementHint);
  m_lastValuesShown = dialog.texts();
  for (;;) {
    const auto step = take(Prompt::Values, dialog.caption);
    if (!step || !step->texts) return false;
    dialog.setTexts(*step->texts);
    const int refused = dialog.check();
    if (refused < 0) return true;
    m_refusedCells.push_back(refused);
  }
}

std::optional<std::string> ScriptedUi::doSelectFile(const FileRequest& request) {
  m_lastFile = request;
  const auto step = take(Prompt::File, request.title);
  return step ? step->name : std::nullopt;
}

std::optional<std::string> ScriptedUi::doChoosePath(const PathRequest& request) {
  const auto step = take(Prompt::Path, request.title);
  return step ? step->name : std::nullopt;
}

void ScriptedUi::doOpenProgress(std::string_view caption, std::string_view text, int placementHint) {
  m_placements.push_back(placementHint);
  m_events.push_back("progress open: " + std::string(caption) + " / " + std::string(text));
}

void ScriptedUi::doOpenCancelDialog(std::string_view message, CancelMode, bool) {
  m_updates = 0;
  m_events.push_back("cancel open: " + std::string(message));
}

void ScriptedUi::doProcessPendingInput() {
  ++m_updates;
  if (m_cancelOnUpdate > 0 && m_updates == m_cancelOnUpdate) requestCancel();
}

}  // namespace veltrix::test
