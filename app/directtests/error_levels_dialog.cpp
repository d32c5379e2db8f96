#include "app/directtests/error_levels_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

#include "app/shell/dialog_buttons.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "core/base/win1252.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

QGroupBox* choiceGroup(const char* title, QRadioButton* first, QRadioButton* second, QWidget* parent) {
  auto* group = new QGroupBox(toQString(title), parent);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(first);
  layout->addWidget(second);
  return group;
}

}  // namespace

TErrLvlDlg::TErrLvlDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(toQString("Irrtumswahrscheinlichkeiten, Faktoren, Quantile"));

  const std::array<std::string_view, kFieldCount> labels{
      "Irrtumswahrscheinlichkeit  A :", "B :",
      "Faktor  A  (M±SD) :"_w,          "Faktor  B  (M±SD) :"_w,
      "Quantil  A  (in %) :",           "Quantil  B  (in %) :"};
  const int fieldWidth = fontMetrics().horizontalAdvance(QLatin1Char('0')) * 9 + 12;
  auto* fields = new QGridLayout;
  fields->setHorizontalSpacing(10);
  for (int i = 0; i < kFieldCount; ++i) {
    m_labels[static_cast<std::size_t>(i)] = new QLabel(toQString(labels[static_cast<std::size_t>(i)]), this);
    m_labels[static_cast<std::size_t>(i)]->setTextFormat(Qt::PlainText);
    m_labels[static_cast<std::size_t>(i)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_fields[static_cast<std::size_t>(i)] = new QLineEdit(this);
    m_fields[static_cast<std::size_t>(i)]->setFixedWidth(fieldWidth);
    // A and B of one setting side by side.
    fields->addWidget(m_labels[static_cast<std::size_t>(i)], i / 2, (i % 2) * 2);
    fields->addWidget(m_fields[static_cast<std::size_t>(i)], i / 2, (i % 2) * 2 + 1);
  }
  fields->setColumnMinimumWidth(2, fontMetrics().horizontalAdvance(toQString(labels[3])) + 20);

  m_oneSided = new QRadioButton(toQString("einseitig"), this);
  m_twoSided = new QRadioButton(toQString("zweiseitig"), this);
  m_parametric = new QRadioButton(toQString("parametrisch  (t-Test, etc.)"), this);
  m_nonParametric = new QRadioButton(toQString("nichtparametrisch  (Rangtests)"), this);
  auto* choices = new QHBoxLayout;
  choices->addWidget(choiceGroup(" Testart ", m_oneSided, m_twoSided, this));
  choices->addWidget(choiceGroup(" Bevorzugte Testmethode ", m_parametric, m_nonParametric, this), 1);

  m_whisker = new QComboBox(this);
  for (const char* choice : kWhiskerChoices) m_whisker->addItem(toQString(choice));
  m_whiskerLabel = new QLabel(toQString("Whisker-Faktor B&&W-Plots"), this);
  m_whiskerLabel->setBuddy(m_whisker);  // the doubled ampersand shows as one
  auto* whiskerRow = new QHBoxLayout;
  whiskerRow->addWidget(m_whiskerLabel);
  whiskerRow->addWidget(m_whisker);
  whiskerRow->addStretch();

  const DialogButtons buttons = MakeDialogButtons(
      this, [this] { accept(); }, [this] { showHelp(); });
  m_ok = buttons.ok;
  m_cancel = buttons.cancel;
  m_helpButton = buttons.help;
  m_helpButton->setVisible(false);
  QHBoxLayout* buttonRow = DialogButtonRow(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addSpacing(6);
  layout->addLayout(choices);
  layout->addLayout(whiskerRow);
  layout->addSpacing(6);
  layout->addLayout(buttonRow);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  setForm(ErrorLevelForm{});
  m_fields.front()->setFocus();
}

void TErrLvlDlg::setForm(const ErrorLevelForm& form) {
  const std::array<const std::string*, kFieldCount> texts{&form.errorProbabilityA, &form.errorProbabilityB,
                                                          &form.factorA,           &form.factorB,
                                                          &form.quantileA,         &form.quantileB};
  for (int i = 0; i < kFieldCount; ++i)
    m_fields[static_cast<std::size_t>(i)]->setText(toQString(*texts[static_cast<std::size_t>(i)]));
  (form.testKind == 1 ? m_oneSided : m_twoSided)->setChecked(true);
  (form.testMethod == 0 ? m_parametric : m_nonParametric)->setChecked(true);
  m_whisker->setCurrentIndex(std::clamp(form.whiskerIndex, 0, static_cast<int>(kWhiskerChoices.size()) - 1));
}

ErrorLevelForm TErrLvlDlg::form() const {
  ErrorLevelForm form;
  std::array<std::string*, kFieldCount> texts{&form.errorProbabilityA, &form.errorProbabilityB,
                                              &form.factorA,           &form.factorB,
                                              &form.quantileA,         &form.quantileB};
  for (int i = 0; i < kFieldCount; ++i)
    *texts[static_cast<std::size_t>(i)] = fromQString(m_fields[static_cast<std::size_t>(i)]->text());
  form.testKind = m_oneSided->isChecked() ? 1 : 2;
  form.testMethod = m_parametric->isChecked() ? 0 : 1;
  form.whiskerIndex = std::max(m_whisker->currentIndex(), 0);
  return form;
}

void TErrLvlDlg::setHelpHandler(HelpHandler handler) {
  m_help = std::move(handler);
  m_helpButton->setVisible(static_cast<bool>(m_help));
}

void TErrLvlDlg::showHelp() {
  if (m_help) m_help(kErrorLevelsHelp);
}

void TErrLvlDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  placeDialog(this, parentWidget(), m_placementHint);
}

}  // namespace veltrix
