// TMainForm: the main window, a multiple-document frame with the program's menus.
#pragma once

#include <QMainWindow>
#include <map>
#include <utility>

#include "core/shell/menu_table.h"

class QAction;
class QMdiArea;

namespace veltrix {

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(QWidget* parent = nullptr);

  // The action of the menu entry with this handler and command code, or nullptr.
  QAction* action(MenuHandler handler, int code) const;
  QMdiArea* mdiArea() const { return m_mdi; }

 private:
  void buildMenus();
  void commandChosen(MenuHandler handler, int code);

  QMdiArea* m_mdi = nullptr;
  std::map<std::pair<MenuHandler, int>, QAction*> m_actions;
};

}  // namespace veltrix
