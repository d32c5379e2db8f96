#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>
#include <string>
#include <vector>

#include "app/shell/qt_text.h"
#include "app/shell/text_options_dialog.h"
#include "core/base/ui.h"
#include "core/shell/sys_params.h"
#include "tests/support/recording_ui.h"

using namespace veltrix;

namespace {

// A point of the picture where a click hits the element, found through the dialog's own hit test.
std::optional<QPoint> pointOf(const TTxtOptDlg& dialog, int element) {
  for (const ScreenModelPart& part : dialog.screenParts()) {
    if (part.element != element) continue;
    for (int y = part.rect.top; y < part.rect.bottom; ++y)
      for (int x = part.rect.left; x < part.rect.right; ++x)
        if (dialog.elementAt(QPoint(x, y)) == element) return QPoint(x, y);
  }
  return std::nullopt;
}

// The text settings of a saved block; nothing when the file is missing or not a whole block.
std::optional<TextSettings> readTextSettings(const QString& file) {
  QFile in(file);
  if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = in.readAll();
  if (bytes.size() != static_cast<qsizetype>(TSysP::kBlockSize)) return std::nullopt;
  return DecodeTextSettings(std::span<const std::uint8_t, TextSettings::kSize>(
      reinterpret_cast<const std::uint8_t*>(bytes.constData()) + 2, TextSettings::kSize));
}

}  // namespace

class TextOptionsDialogTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;
  QString m_file;
  std::vector<std::string> m_captions;

  // A picker that notes each caption and answers with colour.
  ColourChooser answering(std::optional<Color> colour) {
    return [this, colour](std::string_view caption, Color) {
      m_captions.emplace_back(caption);
      return colour;
    };
  }

 private slots:
  void init() {
    m_file = m_dir.filePath(QStringLiteral("kvt.sys"));
    QFile::remove(m_file);
    m_captions.clear();
  }

  void cleanup() { QVERIFY2(QApplication::activeModalWidget() == nullptr, "a modal dialog was left open"); }

  void captionLabelsAndButtons() {
    test::RecordingUi ui;
    TSysP sys(ui, fromQString(m_file));
    TTxtOptDlg dialog(sys);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Optionen Text-/Tabellen"));
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    QVERIFY(labels.contains(QString::fromUtf8("Für Farbänderung gewünschten Bereich anklicken !")));
    QVERIFY(labels.contains(QStringLiteral(" Schriften : ")));
    QCOMPARE(dialog.screenFontButton()->text(), QStringLiteral("&Bildschirm"));
    QCOMPARE(dialog.printerFontButton()->text(), QStringLiteral("&Drucker"));
    QCOMPARE(dialog.standardButton()->text(), QStringLiteral("&Standard"));
    QCOMPARE(dialog.okButton()->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.cancelButton()->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(dialog.helpButton()->text(), QStringLiteral("&Hilfe"));

    // Without a help handler the button is hidden; with one it reports the context 1.
    QVERIFY(dialog.helpButton()->isHidden());
    int context = 0;
    dialog.setHelpHandler([&context](int c) { context = c; });
    QVERIFY(!dialog.helpButton()->isHidden());
    dialog.helpButton()->click();
    QCOMPARE(context, 1);
  }

  void clickingEachElementOpensItsPicker() {
    test::RecordingUi ui;
    TSysP sys(ui, fromQString(m_file));
    TTxtOptDlg dialog(sys);
    dialog.setColourChooser(answering(std::nullopt));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QWidget* picture = dialog.screenPicture();

    for (const int element : {2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13}) {
      const std::optional<QPoint> point = pointOf(dialog, element);
      QVERIFY2(point.has_value(), qPrintable(QString::number(element)));
      m_captions.clear();
      QTest::mouseClick(picture, Qt::LeftButton, {}, *point);
      QCOMPARE(m_captions.size(), std::size_t{1});
      QCOMPARE(m_captions.front(), TextOptionsModel::colourCaption(element));
    }
    // The menu line at the top and the status bar at the bottom, wherever the fonts put the rest.
    m_captions.clear();
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(picture->width() - 2, 1));
    QVERIFY(m_captions.empty());
    QCOMPARE(dialog.elementAt(QPoint(1, picture->height() - 2)), 11);
    QVERIFY(!dialog.changed());
  }

  void aScriptedColourChangesTheCopyAndOkSavesIt() {
    test::RecordingUi ui;
    TSysP sys(ui, fromQString(m_file));
    TTxtOptDlg dialog(sys);
    dialog.setColourChooser(answering(Color{0x123456}));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    const std::optional<QPoint> label = pointOf(dialog, 12);
    QVERIFY(label.has_value());
    QTest::mouseClick(dialog.screenPicture(), Qt::LeftButton, {}, *label);
    QCOMPARE(m_captions.front(), std::string(" Statusanzeige / Schriftfarbe"));
    QCOMPARE(dialog.settings().colours[kColourStatusText], Color{0x123456});
    QVERIFY(dialog.changed());
    QCOMPARE(sys.textSettings().colours[kColourStatusText], Color{0x000000});
    QVERIFY(!QFile::exists(m_file));

    dialog.okButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(sys.textSettings().colours[kColourStatusText], Color{0x123456});
    QVERIFY(dialog.publishedColours().has_value());
    QCOMPARE((*dialog.publishedColours())[kColourStatusText], Color{0x123456});
    const std::optional<TextSettings> written = readTextSettings(m_file);
    QVERIFY(written.has_value());
    QCOMPARE(written->colours[kColourStatusText], Color{0x123456});
    QVERIFY(sys.metrics().cellWidth > 0);
    QVERIFY(ui.messages.empty());
  }

  void cancelKeepsEverything() {
    test::RecordingUi ui;
    TSysP sys(ui, fromQString(m_file));
    TTxtOptDlg dialog(sys);
    dialog.setColourChooser(answering(Color{0x123456}));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.screenPicture(), Qt::LeftButton, {}, *pointOf(dialog, 2));
    dialog.standardButton()->click();
    dialog.cancelButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.publishedColours().has_value());
    QCOMPARE(sys.textSettings(), TextSettings{});
    QVERIFY(!QFile::exists(m_file));
  }

  void fontButtonsAndStandardThenOk() {
    test::RecordingUi ui;
    TSysP sys(ui, fromQString(m_file));
    TextSettings custom;
    custom.colours[kColourDesktop] = 0x000080;
    sys.putTextSettings(custom);
    TTxtOptDlg dialog(sys);
    std::vector<bool> asked;
    dialog.setFontChooser([&asked](const FontRecord& current, bool screen) -> std::optional<FontRecord> {
      asked.push_back(screen);
      FontRecord chosen = current;
      chosen.name = "Liberation Serif";
      chosen.size = 14;
      return chosen;
    });
    const QSize before = dialog.screenPicture()->size();
    dialog.screenFontButton()->click();
    dialog.printerFontButton()->click();
    QCOMPARE(asked, (std::vector<bool>{true, false}));
    QCOMPARE(dialog.settings().screenFont.name, std::string("Liberation Serif"));
    QCOMPARE(int(dialog.settings().screenFont.size), 10);  // the largest screen size offered
    QCOMPARE(int(dialog.settings().printerFont.size), 14);
    QVERIFY(dialog.screenPicture()->size() != before);  // refitted to the larger font

    dialog.standardButton()->click();
    QCOMPARE(dialog.settings(), TextSettings{});
    dialog.okButton()->click();
    const std::optional<TextSettings> written = readTextSettings(m_file);
    QVERIFY(written.has_value());
    QCOMPARE(written->screenFont.name, std::string("Arial"));
    QCOMPARE(int(written->screenFont.size), 9);
    QCOMPARE(written->printerFont.name, std::string("Arial"));
    QCOMPARE(int(written->printerFont.size), 10);
    QVERIFY(written->colours == DefaultScreenColours());
    QVERIFY(ui.messages.empty());
  }
};

QTEST_MAIN(TextOptionsDialogTest)
#include "text_options_dialog_test.moc"
