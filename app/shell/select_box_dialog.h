// TSelBxDlg: choose one text from a list. Optional buttons sort the list for display and restore the
// given order; the chosen index always refers to the list as displayed.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

#include "core/base/ui.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace veltrix {

class TSelBxDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kWideWidth = 520;
  static constexpr int kNarrowWidth = 320;

  // help shows a help topic (the help button is hidden without it or below help number 1); beep is the
  // warning beep of an OK without a chosen item.
  TSelBxDlg(QWidget* parent, const ListRequest& request, std::function<void(int)> help,
            std::function<void()> beep);

  // Where the dialog goes when it is shown (a placement hint).
  void setPlacementHint(int hint) { m_placementHint = hint; }

  QString label() const;
  QStringList displayedItems() const;
  bool isSorted() const { return m_sorted; }
  // Row of the chosen item as displayed, -1 when none is chosen.
  int currentIndex() const;
  void choose(int displayedRow);
  void clearChoice();
  // "Sortieren": the list in alphabetical order (German, case ignored); the chosen item stays chosen.
  void sortItems();
  // "Unsortiert": the given order, first item chosen.
  void unsortItems();
  // OK: closes with the chosen row, or beeps and stays open when none is chosen.
  void pressOk();
  // The row chosen when the dialog was closed with OK, -1 otherwise.
  int chosenIndex() const { return m_chosen; }

  QPushButton* sortButton() const { return m_sort; }
  QPushButton* unsortButton() const { return m_unsort; }
  QPushButton* helpButton() const { return m_helpButton; }
  QPushButton* okButton() const { return m_ok; }
  QListWidget* listWidget() const { return m_list; }

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void fill(const QStringList& items, int chosenRow);
  void updateColumns();

  QStringList m_items;
  int m_columns = 1;
  int m_helpNumber = 0;
  int m_placementHint = 0;
  int m_chosen = -1;
  bool m_sorted = false;
  std::function<void(int)> m_help;
  std::function<void()> m_beep;
  QLabel* m_label = nullptr;
  QListWidget* m_list = nullptr;
  QPushButton* m_sort = nullptr;
  QPushButton* m_unsort = nullptr;
  QPushButton* m_ok = nullptr;
  QPushButton* m_cancel = nullptr;
  QPushButton* m_helpButton = nullptr;
};

}  // namespace veltrix
