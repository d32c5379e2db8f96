#include "app/shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <vector>

#include "app/shell/qt_text.h"
#include "core/shell/menu_table.h"

namespace veltrix {

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("KVT"));
  m_mdi = new QMdiArea(this);
  setCentralWidget(m_mdi);
  statusBar()->show();
  buildMenus();
  resize(1000, 700);
}

QAction* TMainForm::action(MenuHandler handler, int code) const {
  const auto it = m_actions.find({handler, code});
  return it == m_actions.end() ? nullptr : it->second;
}

void TMainForm::buildMenus() {
  // Menus of each depth that are open while the table is walked; a deeper item belongs to the last
  // menu one level up.
  std::vector<QMenu*> open(3, nullptr);
  for (const MenuItem& item : MainMenuItems()) {
    QMenu* owner = item.depth == 0 ? nullptr : open[static_cast<std::size_t>(item.depth - 1)];
    const QString caption = toQString(item.caption);
    switch (item.kind) {
      case MenuItemKind::Menu: {
        QMenu* menu = owner ? owner->addMenu(caption) : menuBar()->addMenu(caption);
        menu->menuAction()->setStatusTip(toQString(item.hint));
        open[static_cast<std::size_t>(item.depth)] = menu;
        break;
      }
      case MenuItemKind::Separator:
        if (owner) owner->addSeparator();
        break;
      case MenuItemKind::Command:
      case MenuItemKind::Check: {
        QAction* action = owner ? owner->addAction(caption) : menuBar()->addAction(caption);
        action->setObjectName(toQString(item.name));
        action->setStatusTip(toQString(item.hint));
        action->setCheckable(item.kind == MenuItemKind::Check);
        if (!item.shortcut.empty()) action->setShortcut(QKeySequence(toQString(item.shortcut)));
        if (item.code != 0) m_actions.emplace(std::pair(item.handler, item.code), action);
        const MenuHandler handler = item.handler;
        const int code = item.code;
        connect(action, &QAction::triggered, this, [this, handler, code] { commandChosen(handler, code); });
        break;
      }
    }
  }
}

void TMainForm::commandChosen(MenuHandler handler, int code) {
  // No command has an owner yet: every entry answers with the warning beep.
  (void)handler;
  (void)code;
  QApplication::beep();
}

}  // namespace veltrix
