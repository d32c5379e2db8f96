#include "app/shell/text_options_dialog.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "app/shell/qt_canvas.h"
#include "app/shell/qt_text.h"
#include "core/base/win1252.h"

namespace veltrix {

using namespace veltrix::literals;

// The clickable picture of the program's screen, drawn by the model.
class TextOptionsPicture : public QWidget {
 public:
  TextOptionsPicture(const TextOptionsModel& model, std::function<void(int)> clicked, QWidget* parent)
      : QWidget(parent), m_model(model), m_clicked(std::move(clicked)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
  }

  // The parts as the last paint laid them out (measured alike when nothing was painted yet).
  std::vector<ScreenModelPart> parts() const {
    QtCanvas canvas(this);
    return m_model.drawScreen(canvas, area());
  }

  // Fits the picture to the current fonts.
  void fitToFonts() {
    QtCanvas canvas(this);
    const ScreenModelSize size = m_model.preferredScreenSize(canvas);
    setFixedSize(std::max(size.width, 1), std::max(size.height, 1));
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QtCanvas canvas(painter);
    m_model.drawScreen(canvas, area());
  }

  // A double click arrives here too (QWidget passes it on as a press).
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    const int element = TextOptionsModel::elementAt(
        parts(), {event->position().toPoint().x(), event->position().toPoint().y()});
    if (element != 0) m_clicked(element);
  }

 private:
  Rect area() const { return Rect{0, 0, width(), height()}; }

  const TextOptionsModel& m_model;
  std::function<void(int)> m_clicked;
};

namespace {

FontRecord recordFromQFont(const QFont& font, const FontRecord& current) {
  FontRecord record;
  record.name = fromQString(font.family());
  if (record.name.size() > 255) record.name.resize(255);
  record.pitch = font.fixedPitch() ? 2 : 1;
  record.size = font.pointSize() > 0 ? static_cast<std::int16_t>(font.pointSize()) : current.size;
  record.style = static_cast<std::uint8_t>((font.bold() ? kFontBold : 0) | (font.italic() ? kFontItalic : 0) |
                                           (font.underline() ? kFontUnderline : 0) |
                                           (font.strikeOut() ? kFontStrikeOut : 0));
  return record;
}

QFont qfontFromRecord(const FontRecord& record) {
  QFont font = QtCanvas::toQFont(record.toFontSpec());
  font.setStrikeOut((record.style & kFontStrikeOut) != 0);
  return font;
}

}  // namespace

TTxtOptDlg::TTxtOptDlg(TSysP& sysParams, QWidget* parent) : QDialog(parent), m_model(sysParams, nullptr) {
  setWindowTitle(toQString("Optionen Text-/Tabellen"));

  m_model.setColourChooser([this](std::string_view caption, Color current) -> std::optional<Color> {
    const QColor chosen = QColorDialog::getColor(QtCanvas::toQColor(current), this, toQString(caption));
    if (!chosen.isValid()) return std::nullopt;
    return QtCanvas::fromQColor(chosen);
  });
  m_fontChooser = [this](const FontRecord& current, bool screen) -> std::optional<FontRecord> {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, qfontFromRecord(current), this,
                                              toQString(screen ? "Bildschirm" : "Drucker"));
    if (!ok) return std::nullopt;
    return recordFromQFont(chosen, current);
  };

  m_picture = new TextOptionsPicture(
      m_model, [this](int element) { elementClicked(element); }, this);
  auto* note = new QLabel(toQString("Für Farbänderung gewünschten Bereich anklicken !"_w), this);

  auto* fontsLabel = new QLabel(toQString(" Schriften : "), this);
  m_screenFontButton = new QPushButton(toQString("&Bildschirm"), this);
  m_printerFontButton = new QPushButton(toQString("&Drucker"), this);
  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(fontsLabel);
  fontRow->addWidget(m_screenFontButton);
  fontRow->addWidget(m_printerFontButton);
  fontRow->addStretch();

  m_standardButton = new QPushButton(toQString("&Standard"), this);
  m_okButton = new QPushButton(toQString("OK"), this);
  m_cancelButton = new QPushButton(toQString("Abbrechen"), this);
  m_helpButton = new QPushButton(toQString("&Hilfe"), this);
  m_okButton->setDefault(true);
  m_helpButton->setVisible(false);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addWidget(m_standardButton);
  buttonRow->addStretch();
  buttonRow->addWidget(m_okButton);
  buttonRow->addWidget(m_cancelButton);
  buttonRow->addWidget(m_helpButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_picture, 0, Qt::AlignHCenter);
  layout->addWidget(note);
  layout->addLayout(fontRow);
  layout->addLayout(buttonRow);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(m_screenFontButton, &QPushButton::clicked, this, [this] { chooseFont(true); });
  connect(m_printerFontButton, &QPushButton::clicked, this, [this] { chooseFont(false); });
  connect(m_standardButton, &QPushButton::clicked, this, [this] {
    m_model.restoreDefaults();
    refresh();
  });
  connect(m_okButton, &QPushButton::clicked, this, &TTxtOptDlg::accept);
  connect(m_cancelButton, &QPushButton::clicked, this, &TTxtOptDlg::reject);
  connect(m_helpButton, &QPushButton::clicked, this, [this] {
    if (m_helpHandler) m_helpHandler(TextOptionsModel::kHelpContext);
  });

  refresh();
}

QWidget* TTxtOptDlg::screenPicture() const {
  return m_picture;
}

std::vector<ScreenModelPart> TTxtOptDlg::screenParts() const {
  return m_picture->parts();
}

int TTxtOptDlg::elementAt(QPoint point) const {
  return TextOptionsModel::elementAt(m_picture->parts(), {point.x(), point.y()});
}

void TTxtOptDlg::setColourChooser(ColourChooser chooser) {
  m_model.setColourChooser(std::move(chooser));
}

void TTxtOptDlg::setFontChooser(FontChooser chooser) {
  m_fontChooser = std::move(chooser);
}

void TTxtOptDlg::setHelpHandler(HelpHandler handler) {
  m_helpHandler = std::move(handler);
  m_helpButton->setVisible(static_cast<bool>(m_helpHandler));
}

void TTxtOptDlg::elementClicked(int element) {
  if (m_model.editColour(element)) refresh();
}

void TTxtOptDlg::chooseFont(bool screen) {
  if (!m_fontChooser) return;
  const TextSettings& s = m_model.settings();
  const std::optional<FontRecord> chosen = m_fontChooser(screen ? s.screenFont : s.printerFont, screen);
  if (!chosen) return;
  if (screen)
    m_model.setScreenFont(*chosen);
  else
    m_model.setPrinterFont(*chosen);
  refresh();
}

void TTxtOptDlg::refresh() {
  m_picture->fitToFonts();
}

void TTxtOptDlg::accept() {
  QtCanvas screen;
  m_published = m_model.accept(screen);
  QDialog::accept();
}

}  // namespace veltrix
