#include "app/shell/editor_lines.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextCursor>

#include "app/shell/qt_text.h"

namespace veltrix {

QString JoinedLines(const std::vector<std::string>& lines) {
  QStringList text;
  for (const std::string& line : lines) text << toQString(line);
  return text.join(QLatin1Char('\n'));
}

std::vector<std::string> SplitLines(const QString& text) {
  std::vector<std::string> lines;
  if (text.isEmpty()) return lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(fromQString(line));
  return lines;
}

void ReplaceEditorText(QPlainTextEdit* editor, const std::vector<std::string>& lines) {
  QTextCursor cursor(editor->document());
  cursor.beginEditBlock();
  cursor.select(QTextCursor::Document);
  cursor.insertText(JoinedLines(lines));
  cursor.endEditBlock();
}

void FillNameList(QListWidget* list, const std::vector<std::string>& names) {
  list->clear();
  for (const std::string& name : names) list->addItem(toQString(name));
  if (list->count() > 0) list->setCurrentRow(0);
}

}  // namespace veltrix
