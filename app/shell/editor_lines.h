// The line-based editors (group definition, manipulation commands) hold their text as Windows-1252
// lines in a model; these helpers move it between the model and the Qt widgets.
#pragma once

#include <QString>
#include <string>
#include <vector>

class QFont;
class QListWidget;
class QWidget;
class QPlainTextEdit;

namespace veltrix {

// The lines joined by LF, as a text field holds them.
QString JoinedLines(const std::vector<std::string>& lines);
// The text of a field as lines; an empty text has none.
std::vector<std::string> SplitLines(const QString& text);
// Replaces the whole text of the field as one edit, so the user can undo it.
void ReplaceEditorText(QPlainTextEdit* editor, const std::vector<std::string>& lines);
// The list of variable names beside an editor: in the fixed font, running down `rows` rows and on into
// the next of `columns` columns, each one name wide.
QListWidget* MakeNameColumns(QWidget* parent, const QString& objectName, const QFont& fixed, int rows,
                             int columns);
// Fills the list with the names, the first one current.
void FillNameList(QListWidget* list, const std::vector<std::string>& names);

}  // namespace veltrix
