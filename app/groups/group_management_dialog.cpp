#include "app/groups/group_management_dialog.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

#include "app/groups/class_editor_dialog.h"
#include "app/groups/group_editor_dialog.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "core/base/win1252.h"

namespace veltrix {

using namespace veltrix::literals;

TGrKlDlg::TGrKlDlg(TParams& params, Ui& ui, QWidget* parent)
    : QDialog(parent),
      m_model(
          params, ui,
          [this, &params, &ui](int n, const GroupRecord& record) {
            return EditGroup(params, ui, n, record, this, m_help, m_printRequest);
          },
          [this, &ui](int n, const ClassDivisionRecord& record) {
            return EditClassDivision(ui, n, record, this, m_help);
          }) {
  setWindowTitle(toQString(GroupManagementModel::caption()));

  m_tabs = new QTabBar(this);
  m_tabs->setObjectName(QStringLiteral("TabSet"));
  m_tabs->addTab(QStringLiteral("&Gruppen"));
  m_tabs->addTab(QStringLiteral("&Klasseneinteilungen"));
  m_tabs->setExpanding(false);
  connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
    if (index >= 0) m_model.setTab(static_cast<ManagementTab>(index));
    refresh();  // a refused switch shows the tab it kept
  });

  m_list = new QListWidget(this);
  m_list->setObjectName(QStringLiteral("GKBox"));
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  m_list->setFont(fixed);
  m_list->setUniformItemSizes(true);
  for (int i = 0; i < GroupManagementModel::kListedNumbers; ++i) m_list->addItem(QString());
  const QFontMetrics metrics(fixed);
  const int rowHeight = m_list->sizeHintForRow(0) > 0 ? m_list->sizeHintForRow(0) : metrics.height();
  m_list->setMinimumHeight(GroupManagementModel::kListedNumbers * rowHeight + 2 * m_list->frameWidth() + 4);
  m_list->setMinimumWidth(metrics.horizontalAdvance(QString(44, 'W')) + 2 * m_list->frameWidth() + 8);
  m_list->installEventFilter(this);
  connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) m_model.select(row);
  });
  connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    m_model.select(m_list->row(item));
    m_model.activate();
    refresh();
  });

  const auto button = [this](const QString& text, const char* name, auto action) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, action);
    return b;
  };
  m_edit = button(QStringLiteral("Bearbeiten"), "EdiBtn", [this] {
    m_model.edit();
    refresh();
  });
  m_delete = button(toQString("Löschen"_w), "DelBtn", [this] {
    m_model.remove();
    refresh();
  });
  m_intersection = button(QStringLiteral("Durchschnitt"), "DBtn", [this] {
    m_model.startCombination(CombinationMode::Intersection);
    refresh();
  });
  m_union = button(QStringLiteral("Vereinigung"), "VBtn", [this] {
    m_model.startCombination(CombinationMode::Union);
    refresh();
  });
  m_take = button(toQString("Auswählen"_w), "TakeBtn", [this] {
    m_model.choose();
    refresh();
  });
  m_cancel = button(QStringLiteral("Abbrechen"), "AbBtn", [this] {
    m_model.cancelCombination();
    refresh();
  });
  m_close = button(toQString("Schließen"_w), "OKBtn", [this] { closeDialog(); });
  const auto showHelp = [this] {
    if (m_help) m_help(GroupManagementModel::kHelpContext);
  };
  m_helpButton = button(QStringLiteral("&Hilfe"), "HelpBtn", showHelp);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, showHelp);
  const std::array<std::pair<PrintAction, const char*>, 3> printing{
      {{PrintAction::Print, "Drucken"},
       {PrintAction::FormFeed, "Blattvorschub"},
       {PrintAction::SaveCopy, "Kopie auf Platte"}}};
  for (const auto& [action, caption] : printing) {
    QPushButton* b = button(QString::fromUtf8(caption), "PrintBtn", [this, action = action] {
      if (m_printRequest)
        m_printRequest(action, PrintHeader(GroupManagementModel::printHeading()), m_model.lines());
    });
    b->setVisible(false);
    m_print[static_cast<std::size_t>(action)] = b;
  }

  m_label = new QLabel(this);
  m_display = new QLineEdit(this);
  m_display->setObjectName(QStringLiteral("DVEdit"));
  m_display->setReadOnly(true);
  m_display->setFocusPolicy(Qt::NoFocus);
  m_prompt = new QLabel(this);
  // The combination row keeps its place while hidden, so the dialog does not change size.
  for (QWidget* w : std::initializer_list<QWidget*>{m_label, m_display, m_prompt}) {
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
  }

  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {m_edit, m_delete, m_intersection, m_union}) buttons->addWidget(b);
  buttons->addStretch();
  for (QPushButton* b : m_print) buttons->addWidget(b);
  buttons->addSpacing(8);
  for (QPushButton* b : {m_take, m_cancel, m_close, m_helpButton}) buttons->addWidget(b);

  auto* combination = new QHBoxLayout;
  combination->addWidget(m_label);
  combination->addWidget(m_display, 1);
  combination->addWidget(m_prompt);

  auto* left = new QVBoxLayout;
  left->setSpacing(0);
  left->addWidget(m_tabs);
  left->addWidget(m_list, 1);
  left->addSpacing(6);
  left->addLayout(combination);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(buttons);

  refresh();
  m_list->setFocus();
}

void TGrKlDlg::refresh() {
  {
    const QSignalBlocker blockTabs(m_tabs);
    m_tabs->setCurrentIndex(static_cast<int>(m_model.tab()));
  }
  {
    const QSignalBlocker blockList(m_list);
    const std::vector<std::string> lines = m_model.lines();
    for (int i = 0; i < m_list->count() && i < static_cast<int>(lines.size()); ++i)
      m_list->item(i)->setText(toQString(lines[static_cast<std::size_t>(i)]));
    m_list->setCurrentRow(m_model.selected());
  }
  m_close->setEnabled(m_model.closeEnabled());
  m_edit->setEnabled(m_model.editEnabled());
  m_delete->setEnabled(m_model.deleteEnabled());
  for (QPushButton* b : {m_intersection, m_union}) {
    b->setVisible(m_model.combineButtonsVisible());
    b->setEnabled(m_model.combineButtonsEnabled());
  }
  const bool combining = m_model.combinationControlsVisible();
  for (QWidget* w : std::initializer_list<QWidget*>{m_take, m_cancel, m_display, m_label, m_prompt})
    w->setVisible(combining);
  m_label->setText(toQString(m_model.label()));
  m_prompt->setText(toQString(m_model.prompt()));
  m_display->setText(toQString(m_model.display()));
  for (QPushButton* b : m_print) {
    b->setVisible(static_cast<bool>(m_printRequest));
    b->setEnabled(m_model.printEnabled());
  }
}

void TGrKlDlg::closeDialog() {
  if (!m_closed) {
    m_closed = true;
    m_changed = m_model.close();
  }
  QDialog::reject();
}

void TGrKlDlg::reject() {
  closeDialog();
}

void TGrKlDlg::keyPressEvent(QKeyEvent* event) {
  // Escape while combining is "Abbrechen"; otherwise it closes the dialog.
  if (event->key() == Qt::Key_Escape && m_model.inCombination()) {
    m_model.cancelCombination();
    refresh();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool TGrKlDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_list && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      m_model.activate();
      refresh();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TGrKlDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  placeDialog(this, parentWidget(), m_placementHint);
}

void TGrKlDlg::setPrintRequest(PrintRequest request) {
  m_printRequest = std::move(request);
  refresh();
}

bool ManageGroupsAndClasses(TParams& params, Ui& ui, QWidget* parent, TGrKlDlg::HelpHandler help,
                            int placementHint, PrintRequest print) {
  TGrKlDlg dialog(params, ui, parent);
  dialog.setHelpHandler(std::move(help));
  dialog.setPrintRequest(std::move(print));
  dialog.setPlacementHint(placementHint);
  dialog.exec();
  return dialog.changed();
}

}  // namespace veltrix
