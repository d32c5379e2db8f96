// TTxtOptDlg: the text and table options ("Optionen Text-/Tabellen"). A thin view over
// TextOptionsModel: it shows the model's screen picture, forwards clicks on it, and offers the font
// buttons, "&Standard", OK, "Abbrechen" and "&Hilfe".
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "core/shell/sys_params.h"
#include "core/shell/text_options_model.h"

class QPushButton;

namespace veltrix {

class TextOptionsPicture;

class TTxtOptDlg : public QDialog {
  Q_OBJECT

 public:
  // The font dialog: the current record and whether it is the screen font in, the chosen record or
  // nothing on cancel out.
  using FontChooser = std::function<std::optional<FontRecord>(const FontRecord& current, bool screen)>;
  using HelpHandler = std::function<void(int helpContext)>;

  explicit TTxtOptDlg(TSysP& sysParams, QWidget* parent = nullptr);

  const TextSettings& settings() const { return m_model.settings(); }
  bool changed() const { return m_model.changed(); }
  // After OK with changes: the colours the main window is to take over; nothing otherwise.
  const std::optional<ScreenColours>& publishedColours() const { return m_published; }

  // The screen picture, and the element under a point of it (its own coordinates; 0 for none).
  QWidget* screenPicture() const;
  int elementAt(QPoint point) const;
  std::vector<ScreenModelPart> screenParts() const;

  // Replace the colour and font dialogs (by default QColorDialog and QFontDialog).
  void setColourChooser(ColourChooser chooser);
  void setFontChooser(FontChooser chooser);
  // Called with the help context 1 by "&Hilfe"; without one the button is hidden.
  void setHelpHandler(HelpHandler handler);

  QPushButton* screenFontButton() const { return m_screenFontButton; }
  QPushButton* printerFontButton() const { return m_printerFontButton; }
  QPushButton* standardButton() const { return m_standardButton; }
  QPushButton* okButton() const { return m_okButton; }
  QPushButton* cancelButton() const { return m_cancelButton; }
  QPushButton* helpButton() const { return m_helpButton; }

  void accept() override;

 private:
  void elementClicked(int element);
  void chooseFont(bool screen);
  void refresh();

  TextOptionsModel m_model;
  FontChooser m_fontChooser;
  HelpHandler m_helpHandler;
  std::optional<ScreenColours> m_published;
  TextOptionsPicture* m_picture = nullptr;
  QPushButton* m_screenFontButton = nullptr;
  QPushButton* m_printerFontButton = nullptr;
  QPushButton* m_standardButton = nullptr;
  QPushButton* m_okButton = nullptr;
  QPushButton* m_cancelButton = nullptr;
  QPushButton* m_helpButton = nullptr;
};

}  // namespace veltrix
