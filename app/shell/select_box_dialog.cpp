#include "app/shell/select_box_dialog.h"

#include <QCollator>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/shell/dialog_buttons.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"

namespace veltrix {

namespace {

constexpr int kMaxTextLength = 80;

QString shortText(const std::string& text) {
  return toQString(std::string_view(text).substr(0, kMaxTextLength));
}

// Lines of the group and class division lists begin with a layout mark of two characters ("{3"), which
// a list does not draw.
QString shownItem(const std::string& item) {
  if (item.size() >= 2 && item[0] == '{') return toQString(std::string_view(item).substr(2));
  return toQString(item);
}

}  // namespace

TSelBxDlg::TSelBxDlg(QWidget* parent, const ListRequest& request, std::function<void(int)> help,
                     std::function<void()> beep)
    : QDialog(parent),
      m_columns(std::max(1, request.columns)),
      m_helpNumber(request.helpNumber),
      m_help(std::move(help)),
      m_beep(std::move(beep)) {
  setWindowTitle(shortText(request.caption));
  for (const std::string& item : request.items) m_items << shownItem(item);

  m_label = new QLabel(shortText(request.label), this);
  m_label->setTextFormat(Qt::PlainText);

  m_sort = new QPushButton(QStringLiteral("Sortieren"), this);
  m_unsort = new QPushButton(QStringLiteral("Unsortiert"), this);
  for (QPushButton* button : {m_sort, m_unsort}) button->setAutoDefault(false);
  auto* sortRow = new QHBoxLayout;
  sortRow->addWidget(m_sort);
  sortRow->addWidget(m_unsort);
  sortRow->addStretch();
  connect(m_sort, &QPushButton::clicked, this, &TSelBxDlg::sortItems);
  connect(m_unsort, &QPushButton::clicked, this, &TSelBxDlg::unsortItems);

  m_list = new QListWidget(this);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  if (m_columns > 1) {
    // Several columns: the items run down each column and on into the next, scrolling sideways.
    m_list->setFlow(QListView::TopToBottom);
    m_list->setWrapping(true);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setUniformItemSizes(true);
  }
  connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { pressOk(); });

  const DialogButtons buttons = MakeDialogButtons(
      this, [this] { pressOk(); },
      [this] {
        if (m_help && m_helpNumber >= 1) m_help(m_helpNumber);
      });
  m_ok = buttons.ok;
  m_cancel = buttons.cancel;
  m_helpButton = buttons.help;
  QHBoxLayout* buttonRow = DialogButtonRow(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_label);
  layout->addLayout(sortRow);
  layout->addWidget(m_list, 1);
  layout->addLayout(buttonRow);

  // Hidden buttons take no room: without the sort buttons the list sits right below the label.
  m_sort->setVisible(request.sortButtons);
  m_unsort->setVisible(request.sortButtons);
  m_helpButton->setVisible(m_helpNumber >= 1 && m_help);

  fill(m_items, request.startIndex);
  resize(request.wide ? kWideWidth : kNarrowWidth, 340);
  // The arrow keys and the first letters choose in the list from the start.
  m_list->setFocus();
}

QString TSelBxDlg::label() const {
  return m_label->text();
}

QStringList TSelBxDlg::displayedItems() const {
  QStringList items;
  for (int row = 0; row < m_list->count(); ++row) items << m_list->item(row)->text();
  return items;
}

int TSelBxDlg::currentIndex() const {
  const QList<QListWidgetItem*> selected = m_list->selectedItems();
  return selected.isEmpty() ? -1 : m_list->row(selected.first());
}

void TSelBxDlg::choose(int displayedRow) {
  if (displayedRow < 0 || displayedRow >= m_list->count()) {
    clearChoice();
    return;
  }
  m_list->setCurrentRow(displayedRow, QItemSelectionModel::ClearAndSelect);
  m_list->scrollToItem(m_list->item(displayedRow));
}

void TSelBxDlg::clearChoice() {
  m_list->clearSelection();
  m_list->setCurrentRow(-1);
}

void TSelBxDlg::sortItems() {
  const int chosen = currentIndex();
  const QString chosenText = chosen >= 0 ? m_list->item(chosen)->text() : QString();
  QStringList sorted = m_items;
  QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
  m_sorted = true;
  fill(sorted, chosen >= 0 ? static_cast<int>(sorted.indexOf(chosenText)) : -1);
}

void TSelBxDlg::unsortItems() {
  m_sorted = false;
  fill(m_items, 0);
}

void TSelBxDlg::pressOk() {
  const int row = currentIndex();
  if (row < 0) {
    if (m_beep) m_beep();
    return;
  }
  m_chosen = row;
  accept();
}

void TSelBxDlg::fill(const QStringList& items, int chosenRow) {
  m_list->clear();
  m_list->addItems(items);
  choose(chosenRow);
  updateColumns();
}

void TSelBxDlg::updateColumns() {
  if (m_columns <= 1) return;
  const int width = std::max(1, m_list->viewport()->width() / m_columns);
  m_list->setGridSize(QSize(width, m_list->fontMetrics().height() + 4));
}

void TSelBxDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  placeDialog(this, parentWidget(), m_placementHint);
  updateColumns();
}

void TSelBxDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  updateColumns();
}

}  // namespace veltrix
