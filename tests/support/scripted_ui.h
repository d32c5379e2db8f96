// A Ui for tests: it plays back a script of expected prompts with their answers, in order, and fails
// the running test on any prompt that the script does not expect next, and on expectations left unplayed.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/ui.h"

namespace veltrix::test {

class ScriptedUi : public Ui {
 public:
  enum class Prompt { Confirm, Error, Information, Warning, Fatal, List, File, Path, Values };

  ScriptedUi() = default;
  ScriptedUi(const ScriptedUi&) = delete;
  ScriptedUi& operator=(const ScriptedUi&) = delete;
  ~ScriptedUi() override;

  // Each expectation names the text of the prompt (the message; for a list, file or path dialog its
  // caption or title), Windows-1252 as the program shows it.
  ScriptedUi& expectConfirm(std::string_view text, bool yes);
  ScriptedUi& expectError(std::string_view text);
  ScriptedUi& expectInformation(std::string_view text);
  ScriptedUi& expectWarning(std::string_view text, bool ok);
  ScriptedUi& expectFatal(std::string_view text);  // the text before the closing notice
  ScriptedUi& expectList(std::string_view caption, int answer);
  ScriptedUi& expectFile(std::string_view title, std::optional<std::string> answer);
  ScriptedUi& expectPath(std::string_view title, std::optional<std::string> answer);
  // A value dialog with this caption: the user types the texts (row by row) and presses "OK", or
  // presses "Abbrechen" (no texts). A failed check leaves the dialog open: the script then expects
  // the check's error message and the dialog once more.
  ScriptedUi& expectValues(std::string_view caption, std::optional<std::vector<std::string>> texts);

  // The user presses the cancel button while the n-th update (1-based) of a cancel dialog runs.
  void cancelOnUpdate(int n) { m_cancelOnUpdate = n; }

  bool allPlayed() const { return m_script.empty(); }
  int beeps() const { return m_beeps; }
  bool terminated() const { return m_terminated; }
  // Placement hints the boxes and dialogs were shown with, in order.
  const std::vector<int>& placements() const { return m_placements; }
  // Values the cancel dialog showed, after its own capping.
  const std::vector<double>& cancelValues() const { return m_cancelValues; }
  // "progress open: caption / text", "progress close", "cancel open: message", "cancel close".
  const std::vector<std::string>& events() const { return m_events; }
  const ListRequest& lastList() const { return m_lastList; }
  const FileRequest& lastFile() const { return m_lastFile; }
  // The texts the last value dialog showed when it opened, and the cells its checks refused.
  const std::vector<std::string>& lastValuesShown() const { return m_lastValuesShown; }
  const std::vector<int>& refusedCells() const { return m_refusedCells; }

 protected:
  bool doMessage(BoxKind kind, std::string_view text, int placementHint) override;
  void doBeep() override { ++m_beeps; }
  void doTerminate() override { m_terminated = true; }
  int doSelectFromList(const ListRequest& request, int placementHint) override;
  bool doValueDialog(ValueDialog& dialog, int placementHint) override;
  std::optional<std::string> doSelectFile(const FileRequest& request) override;
  std::optional<std::string> doChoosePath(const PathRequest& request) override;
  void doOpenProgress(std::string_view caption, std::string_view text, int placementHint) override;
  void doCloseProgress() override { m_events.emplace_back("progress close"); }
  void doOpenCancelDialog(std::string_view message, CancelMode mode, bool showButton) override;
  void doProcessPendingInput() override;
  void doShowCancelValue(CancelMode, double value) override { m_cancelValues.push_back(value); }
  void doCloseCancelDialog() override { m_events.emplace_back("cancel close"); }

 private:
  struct Step {
    Prompt prompt;
    std::string text;
    bool yes = false;
    int index = 0;
    std::optional<std::string> name;
    std::optional<std::vector<std::string>> texts = std::nullopt;
  };

  // The next step if it matches, else a failure and nothing.
  std::optional<Step> take(Prompt prompt, std::string_view text);

  std::deque<Step> m_script;
  std::vector<int> m_placements;
  std::vector<double> m_cancelValues;
  std::vector<std::string> m_events;
  ListRequest m_lastList;
  FileRequest m_lastFile;
  std::vector<std::string> m_lastValuesShown;
  std::vector<int> m_refusedCells;
  int m_beeps = 0;
  int m_updates = 0;
  int m_cancelOnUpdate = 0;
  bool m_terminated = false;
};

}  // namespace veltrix::test
