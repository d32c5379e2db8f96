// The line-based editors (group definition, manipulation commands) hold their text as Windows-1252
// lines in a model; these helpers move it between the model and the Qt widgets.
#pragma once

#include <QString>
#include <string>
#include <vector>

class QListWidget;
class QPlainTextEdit;

namespace veltrix {

// The lines joined by LF, as a text field holds them.
QString JoinedLines(const std::vector<std::string>& lines);
// The text of a field as lines; an empty text has none.
std::vector<std::string> SplitLines(const QString& text);
// Replaces the whole text of the field as one edit, so the user can undo it.
void ReplaceEditorText(QPlainTextEdit* editor, const std::vector<std::string>& lines);
// Fills the list with the names, the first one current.
void FillNameList(QListWidget* list, const std::vector<std::string>& names);

}  // namespace veltrix
