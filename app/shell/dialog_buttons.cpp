#include "app/shell/dialog_buttons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>

namespace veltrix {

DialogButtons MakeDialogButtons(QDialog* dialog, std::function<void()> onOk, std::function<void()> onHelp) {
  DialogButtons buttons;
  buttons.ok = new QPushButton(QStringLiteral("OK"), dialog);
  buttons.ok->setDefault(true);
  buttons.cancel = new QPushButton(QStringLiteral("Abbrechen"), dialog);
  buttons.help = new QPushButton(QStringLiteral("&Hilfe"), dialog);
  buttons.help->setAutoDefault(false);
  QObject::connect(buttons.ok, &QPushButton::clicked, dialog, std::move(onOk));
  QObject::connect(buttons.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  QObject::connect(buttons.help, &QPushButton::clicked, dialog, onHelp);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), dialog);
  QObject::connect(f1, &QShortcut::activated, dialog, std::move(onHelp));
  return buttons;
}

QHBoxLayout* DialogButtonRow(const DialogButtons& buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(buttons.ok);
  row->addWidget(buttons.cancel);
  row->addWidget(buttons.help);
  return row;
}

}  // namespace veltrix
