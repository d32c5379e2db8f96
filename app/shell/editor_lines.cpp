#include "app/shell/editor_lines.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextCursor>

#include "app/shell/qt_text.h"
#include "core/datafile/params.h"

namespace veltrix {

QListWidget* MakeNameColumns(QWidget* parent, const QString& objectName, const QFont& fixed, int rows,
                             int columns) {
  auto* names = new QListWidget(parent);
  names->setObjectName(objectName);
  names->setFont(fixed);
  names->setViewMode(QListView::ListMode);
  names->setFlow(QListView::TopToBottom);
  names->setWrapping(true);
  names->setResizeMode(QListView::Adjust);
  names->setUniformItemSizes(true);
  const QFontMetrics metrics(fixed);
  const int columnWidth = metrics.horizontalAdvance(QString(kVariableNameLength + 1, QLatin1Char('W'))) + 8;
  const int rowHeight = metrics.height() + 4;
  names->setGridSize(QSize(columnWidth, rowHeight));
  names->setFixedHeight(rows * rowHeight + 2 * names->frameWidth() + 24);
  names->setMinimumWidth(columns * columnWidth + 2 * names->frameWidth() + 4);
  return names;
}

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
