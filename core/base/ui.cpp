#include "core/base/ui.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace veltrix {

int Ui::takePlacementHint() {
  const int hint = m_flags.placementHint;
  m_flags.placementHint = 0;
  return hint;
}

bool Ui::confirm(std::string_view text) {
  return doMessage(BoxKind::Confirm, text, takePlacementHint());
}

void Ui::error(std::string_view text) {
  doBeep();
  doMessage(BoxKind::Error, text, takePlacementHint());
}

void Ui::information(std::string_view text) {
  doMessage(BoxKind::Information, text, takePlacementHint());
}

bool Ui::warning(std::string_view text) {
  return doMessage(BoxKind::Warning, text, takePlacementHint());
}

void Ui::fatal(std::string_view text) {
  std::string full(text);
  full += kFatalSuffix;
  doBeep();
  doMessage(BoxKind::Fatal, full, takePlacementHint());
  doTerminate();
}

bool Ui::valueDialog(ValueDialog& dialog) {
  return doValueDialog(dialog, takePlacementHint());
}

int Ui::selectFromList(const ListRequest& request) {
  if (request.items.empty()) return kListEmpty;
  ListRequest clamped = request;
  clamped.startIndex = std::clamp(request.startIndex, 0, static_cast<int>(request.items.size()) - 1);
  const int chosen = doSelectFromList(clamped, takePlacementHint());
  if (chosen < 0 || chosen >= static_cast<int>(request.items.size())) return kListCancelled;
  return chosen;
}

std::optional<std::string> Ui::selectFile(const FileRequest& request) {
  return doSelectFile(request);
}

std::optional<std::string> Ui::choosePath(const PathRequest& request) {
  return doChoosePath(request);
}

void Ui::openProgress(std::string_view caption, std::string_view text) {
  m_flags.ready = false;
  ++m_openProgressBoxes;
  doOpenProgress(caption, text, takePlacementHint());
}

void Ui::closeProgress() {
  if (m_openProgressBoxes == 0) return;
  --m_openProgressBoxes;
  doCloseProgress();
  if (m_openProgressBoxes == 0 && m_openCancelDialogs == 0) m_flags.ready = true;
}

void Ui::openCancelDialog(std::string_view message, CancelMode mode, bool showButton) {
  m_flags.ready = false;
  m_flags.cancelRequested = false;
  m_cancelMode = mode;
  ++m_openCancelDialogs;
  doOpenCancelDialog(message.substr(0, 80), mode, showButton);
}

void Ui::updateCancelDialog(double value) {
  if (m_openCancelDialogs == 0) return;
  doProcessPendingInput();
  if (!(value >= 0)) return;  // negative values (and NaN) leave the display as it is
  if (m_cancelMode == CancelMode::Percent) value = std::min(std::nearbyint(value), 100.0);
  doShowCancelValue(m_cancelMode, value);
}

void Ui::closeCancelDialog() {
  if (m_openCancelDialogs == 0) return;
  --m_openCancelDialogs;
  doCloseCancelDialog();
  if (m_openProgressBoxes == 0 && m_openCancelDialogs == 0) m_flags.ready = true;
}

}  // namespace veltrix
