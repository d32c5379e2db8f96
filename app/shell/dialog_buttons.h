// The buttons the program's dialogs end with: "OK" (the default button), "Abbrechen" and "&Hilfe",
// right-aligned in one row, with F1 as a second way to the help.
#pragma once

#include <functional>

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace veltrix {

struct DialogButtons {
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;  // rejects the dialog
  QPushButton* help = nullptr;
};

// onOk runs on "OK", onHelp on "&Hilfe" and on F1. The help button never becomes the default, so
// Enter always means "OK".
DialogButtons MakeDialogButtons(QDialog* dialog, std::function<void()> onOk, std::function<void()> onHelp);

// The three buttons right-aligned in a new row.
QHBoxLayout* DialogButtonRow(const DialogButtons& buttons);

}  // namespace veltrix
