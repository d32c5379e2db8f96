#include <QApplication>
#include <QCollator>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>
#include <set>
#include <string>
#include <vector>

#include "app/shell/help_window.h"
#include "app/shell/qt_text.h"
#include "core/base/ui.h"
#include "core/shell/help_topics.h"
#include "tests/support/recording_ui.h"

using namespace veltrix;
using test::RecordingUi;

namespace {

// The link targets of a page, in document order.
QStringList anchors(const QTextDocument& document) {
  QStringList out;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      if (format.isAnchor() && !format.anchorHref().isEmpty()) out << format.anchorHref();
    }
  return out;
}

// The text of the anchors of a page, in document order.
QStringList anchorTexts(const QTextDocument& document) {
  QStringList out;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().isAnchor()) out << it.fragment().text();
  return out;
}

QString pageText(const QString& topic) {
  QFile file(QStringLiteral(":/html/") + topic + QStringLiteral(".htm"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

}  // namespace

class HelpWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    // No test may leave a modal dialog behind.
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  void everyTopicOfTheMapHasAPage() {
    for (const HelpTopicEntry& entry : DistinctHelpTopics()) {
      const QString topic = toQString(entry.topic);
      const QString html = pageText(topic);
      QVERIFY2(!html.isEmpty(), qPrintable(topic));
      QVERIFY2(html.contains(QStringLiteral("<meta charset=\"utf-8\">")), qPrintable(topic));
      QTextDocument document;
      document.setHtml(html);
      QVERIFY2(!document.metaInformation(QTextDocument::DocumentTitle).isEmpty(), qPrintable(topic));
    }
  }

  // A page may say that its description follows only while its command does nothing yet.
  void pagesOfWorkingCommandsAreWrittenInFull() {
    const char* const working[] = {
        "allgbed",    "allgtabgrf", "baw_grfallg", "bfilesel", "bpathsel", "boptx",     "bcoldlg", "bstshow",
        "birrtumw",   "buttest",    "bmcnemar",    "bsensi",   "bchiqanp", "bgrpkldef", "bgrpdef", "bklsdef",
        "bawd110",    "bawe110",    "bawd120",     "bawe120",  "bawd130",  "bawe130",   "bawd190", "bawe190",
        "bawd310",    "bawe310",    "bawd320",     "bawe320",  "bawd330",  "bawe330",   "bawd340", "bawe340",
        "bdatmanipu", "bdatm14100", "bstvneu",     "bstvfrei", "bstwarn",  "bstsneu",   "bdinp",   "bdsort"};
    const QRegularExpression follows(QStringLiteral("Beschreibung[^.]*folgt"));
    for (const char* topic : working) {
      QTextDocument document;
      document.setHtml(pageText(QString::fromLatin1(topic)));
      const QString text = document.toPlainText();
      QVERIFY2(!text.isEmpty(), topic);
      QVERIFY2(!text.contains(follows), topic);
    }
    // The structure listing's page names what the listing shows.
    QTextDocument structure;
    structure.setHtml(pageText(QStringLiteral("bstshow")));
    for (const char* shown : {"STRUKTUR DATENSATZ", "Bezeichnung", "FA.FL", "Keine Variablen", "Datensatz"})
      QVERIFY2(structure.toPlainText().contains(QString::fromLatin1(shown)), shown);
    // Each structure editing page names the controls of its dialog and the messages it can show.
    const struct {
      const char* topic;
      std::vector<const char*> shown;
    } structurePages[] = {
        {"bstvneu",
         {"Variablenname", "Feldlänge", "Nr.", "--", "Entfernen", "Nach oben", "Nach unten", "OK",
          "Abbrechen", "Hilfe", "Unzulässiger Variablenname", "Unzulässige Feldlänge",
          "Dieser Name ist schon vorhanden",
          "Damit überschreiten Sie die maximale Datensatzlänge von 7821 Zeichen",
          "Maximale Anzahl von Variablen belegt.",
          "In dem durch -- gekennzeichneten Bereich sind keine Änderungen zugelassen", "WERT*3",
          "structure append"}},
        {"bstvfrei",
         {"Variablenname", "Feldanfang", "Feldlänge", "Entfernen", "OK", "Abbrechen", "Hilfe",
          "Unzulässiger Wert für Feldanfang", "Indizierte Variablen hier nicht zugelassen!",
          "Überschneidung mit ", "Variable löschen?", "structure define", "structure rename",
          "structure delete"}},
        {"bstwarn",
         {"WARNUNG !", "Nach Beendigung des nachfolgenden Dialoges",
          "wird aus den Variablen die Struktur der Statistikdatei", "OK", "Abbrechen", "Hilfe",
          "structure recompute"}},
        {"bdinp",
         {"DATENEINGABE", "Satz-Nr.:", "Änd. rückg.", "DS löschen", "Anfang", "Ende", "? (F4)",
          "Frei Positionieren", "Spalten", "Korrektur ?", "Sicherungskopie"}},
        {"bdsort", {"Datei sortieren", "Variable für Sortierung auswählen :", "Sortieren nach"}},
        {"bstsneu",
         {"Variablenname", "Feldlänge", "Entfernen", "Nach oben", "Nach unten", "OK", "Abbrechen", "Hilfe",
          "1.3", "4.2", "structure recompute"}},
    };
    for (const auto& page : structurePages) {
      QTextDocument document;
      document.setHtml(pageText(QString::fromLatin1(page.topic)));
      for (const char* shown : page.shown)
        QVERIFY2(
            document.toPlainText().contains(QString::fromUtf8(shown)),
            qPrintable(QString::fromLatin1(page.topic) + QStringLiteral(": ") + QString::fromUtf8(shown)));
    }
    // The results page of the statistical parameters explains every tab by its caption.
    QTextDocument parameters;
    parameters.setHtml(pageText(QStringLiteral("bawe110")));
    for (const char* tab : {"Mittelwert, SD, ..", "Median, Min, Max , ..", "Box&Whiskers", "M±f*SD", "M±f*SE",
                            "Summe,VK", "Extremw.", "Paarw. Vergl."})
      QVERIFY2(parameters.toPlainText().contains(QString::fromUtf8(tab)), tab);
    // Each results page of the frequency tables explains the tabs its analysis can produce, the total, the
    // warnings of the contingency test and its own overlap note.
    const struct {
      const char* topic;
      const char* overlapNote;
      bool rowTabs;  // several variables side by side have no row percentages and no expected values
    } frequencyPages[] = {{"bawe310", "Gruppen- oder Klassenüberschneidung", true},
                          {"bawe320", "Klassenüberschneidung", true},
                          {"bawe330", "Klassenüberschneidung", false},
                          {"bawe340", "Gruppenüberschneidung", true}};
    for (const auto& page : frequencyPages) {
      QTextDocument results;
      results.setHtml(pageText(QString::fromLatin1(page.topic)));
      const QString text = results.toPlainText();
      const auto check = [&](const char* shown) {
        QVERIFY2(
            text.contains(QString::fromUtf8(shown)),
            qPrintable(QString::fromLatin1(page.topic) + QStringLiteral(": ") + QString::fromUtf8(shown)));
      };
      for (const char* shown :
           {"Abs. Hfgk.", "Sp.-%", "Sp.-%, kum.", "Abs. Sp.kum.", "Test", "GESAMT", " Abs. Hfgk. < 5 !",
            " Erw.-Werte < 5 !", " Voraussetzungen für Test nicht ganz erfüllt.", page.overlapNote})
        check(shown);
      if (page.rowTabs)
        for (const char* shown : {"Zl.-%", "Zl.-%, kum.", "Abs. Zl.kum.", "Erw.-Werte"}) check(shown);
    }
    // Each variable selection page names every control of the dialog.
    for (const char* topic :
         {"bawd110", "bawd120", "bawd130", "bawd190", "bawd310", "bawd320", "bawd330", "bawd340"}) {
      QTextDocument selection;
      selection.setHtml(pageText(QString::fromLatin1(topic)));
      for (const char* control :
           {"Nach rechts", "Nach links", "Nach oben", "Nach unten", "Weiter", "Speicherinhalt",
            "alphabetisch sortiert", "Reihenfolge Eingabemaske", "Abbrechen", "Hilfe"})
        QVERIFY2(
            selection.toPlainText().contains(QString::fromLatin1(control)),
            qPrintable(QString::fromLatin1(topic) + QStringLiteral(": ") + QString::fromLatin1(control)));
    }
  }

  // The manipulation page names every part and button of the editor, every statement of the language, every
  // compiler message as the editor shows it and the steps of the run; the file page names its dialog.
  void manipulationPagesNameWhatTheUserSees() {
    QTextDocument editor;
    editor.setHtml(pageText(QStringLiteral("bdatmanipu")));
    const QString text = editor.toPlainText();
    const auto check = [&](const QString& page, const QString& pageText, const char* shown) {
      QVERIFY2(pageText.contains(QString::fromUtf8(shown)),
               qPrintable(page + QStringLiteral(": ") + QString::fromUtf8(shown)));
    };
    for (const char* shown : {"Befehle :",
                              "Variablen :",
                              "Variablen sortiert",
                              "Variablen unsortiert",
                              "*H1",
                              "*H8",
                              "Ausschneiden",
                              "Kopieren",
                              "Einfügen",
                              "Löschen",
                              "Drucken",
                              "Blattvorschub",
                              "Kopie auf Platte",
                              "Befehlsdatei laden",
                              "OK",
                              "Abbrechen",
                              "Hilfe",
                              "Editieren beenden?",
                              "Ausführen für Gruppe :",
                              "Datenmanipulation ausführen",
                              ".db",
                              "Datei ist leer (oder nicht vorhanden)",
                              "veltrix-batch STATISTIKDATEI manip BEFEHLSDATEI"})
      check(QStringLiteral("bdatmanipu"), text, shown);
    for (const char* keyword : {"[*DSNR]", "FA.FL>",   " *",       "ABS",    "INT",  "ROUND(2.5) = 2",
                                "SQRT",    "EXP",      "LN",       "LOG",    "SIN",  "COS",
                                "ARCSIN",  "IF",       "THEN",     "ELSE",   "END",  "<=",
                                ">=",      "<>",       "MAX",      "MIN",    "SUM",  "SUC",
                                "MIT",     "MIC",      "SDV",      "SDC",    "ANZ",  "CMB",
                                "MMC",     "SMC",      "RPL:",     "RPM:",   "TXT:", "RMV:",
                                "APP:",    "TTMMJJJJ", "JJJJMMTT", "TNA",    "TDA",  "WDA",
                                "MDA",     "JDA",      "TNB",      "TDB",    "WDB",  "MDB",
                                "JDB",     "ZDM",      "ZDS",      "COPYDS", "EXIT"})
      check(QStringLiteral("bdatmanipu"), text, keyword);
    for (const char* message :
         {"Formatfehler linke Seite", "Unbekannte Variable auf linker Seite",
          "Unbekannte Variable auf rechter Seite:", "] fehlt", "= fehlt", "Unzulässiger Vergleichsoperator",
          "Formatfehler auf rechter Seite", "Falsche Anzahl Variablen auf rechter Seite",
          "IF ohne abschließendes END", "END oder ELSE ohne IF", "Leerer Klammerausdruck in der Formel",
          "Falsche Klammerstruktur", "Formel zu umfangreich"})
      check(QStringLiteral("bdatmanipu"), text, message);

    QTextDocument file;
    file.setHtml(pageText(QStringLiteral("bdatm14100")));
    for (const char* shown : {"Befehlsdatei auswählen oder neu anlegen (neuer Dateiname)", ".bf",
                              "Datei existiert nicht! Neu anlegen?", "Unzulässiger Dateiname!", "Abbrechen"})
      check(QStringLiteral("bdatm14100"), file.toPlainText(), shown);
  }

  void linksOfEveryPageLeadToAPage() {
    THelpWindow window;
    for (const HelpTopicEntry& entry : DistinctHelpTopics()) {
      QTextDocument document;
      document.setHtml(pageText(toQString(entry.topic)));
      for (const QString& href : anchors(document)) {
        const bool generated = href == QLatin1String(THelpWindow::kContentsPage) ||
                               href == QLatin1String(THelpWindow::kIndexPage);
        QVERIFY2(generated || QFile::exists(QStringLiteral(":/html/") + href),
                 qPrintable(toQString(entry.topic) + QStringLiteral(" -> ") + href));
      }
    }
  }

  void showTopicOpensThePageOfTheNumber() {
    THelpWindow window;
    RecordingUi ui;
    window.showTopic(11000, ui);
    QVERIFY(window.isVisible());
    QCOMPARE(window.browser()->source(), QUrl(QStringLiteral("qrc:/html/bfilesel.htm")));
    QCOMPARE(window.browser()->documentTitle(), QStringLiteral("Dateiauswahl"));
    QVERIFY(window.browser()->toPlainText().contains(QString::fromUtf8("Unzulässiger Dateiname!")));
    QVERIFY(window.windowTitle().contains(QStringLiteral("Dateiauswahl")));

    window.showTopic(17301, ui);  // shares its page with 17101
    QCOMPARE(window.browser()->source(), QUrl(QStringLiteral("qrc:/html/bixd17101.htm")));
    QVERIFY(ui.messages.empty());
    QCOMPARE(ui.unexpected, 0);
  }

  void unknownNumberOnlyReportsTheMessage() {
    THelpWindow window;
    RecordingUi ui;
    window.showTopic(6, ui);
    QCOMPARE(ui.messages, std::vector<std::string>{"error: Kein aktueller Hilfetext vorhanden! (6)"});
    QCOMPARE(ui.beeps, 1);
    QVERIFY(!window.isVisible());
    QVERIFY(window.browser()->source().isEmpty());

    window.showTopic(90000, ui);
    const QUrl shown = window.browser()->source();
    window.showTopic(123456, ui);
    QCOMPARE(window.browser()->source(), shown);  // the page stays as it was
    QCOMPARE(ui.messages.size(), std::size_t{2});
  }

  void numberZeroOrLessOpensTheContents() {
    THelpWindow window;
    RecordingUi ui;
    window.showTopic(-5, ui);
    QCOMPARE(window.browser()->documentTitle(), QStringLiteral("Inhalt"));
    QVERIFY(ui.messages.empty());
  }

  void contentsListEveryTopicOnceUnderItsArea() {
    THelpWindow window;
    window.showContents();
    const QTextDocument& document = *window.browser()->document();
    QStringList topics = anchors(document);
    QVERIFY(topics.removeOne(QLatin1String(THelpWindow::kIndexPage)));
    QCOMPARE(topics.size(), qsizetype{126});  // distinct topics of the map
    QCOMPARE(QSet<QString>(topics.begin(), topics.end()).size(), qsizetype{126});
    // Sections in menu order; the file selection sits under "Datei", the text options under "Optionen".
    const QString text = document.toPlainText();
    const qsizetype general = text.indexOf(QStringLiteral("Allgemeine Bedienung"));
    const qsizetype file = text.indexOf(QStringLiteral("\nDatei\n"));
    const qsizetype analysis = text.indexOf(QStringLiteral("\nAuswerten\n"));
    const qsizetype options = text.indexOf(QStringLiteral("\nOptionen\n"));
    QVERIFY(general >= 0 && general < file && file < analysis && analysis < options);
    const qsizetype fileSelection = text.indexOf(QStringLiteral("Dateiauswahl"));
    QVERIFY(file < fileSelection && fileSelection < analysis);
    const qsizetype textOptions = text.indexOf(QStringLiteral("Optionen Text-/Tabellen"));
    QVERIFY(options < textOptions);
  }

  void indexListsTheTitlesAlphabetically() {
    THelpWindow window;
    window.showIndex();
    const QTextDocument& document = *window.browser()->document();
    QStringList titles = anchorTexts(document);
    QVERIFY(titles.removeOne(QStringLiteral("Inhalt")));
    QCOMPARE(titles.size(), qsizetype{126});
    QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    for (qsizetype i = 1; i < titles.size(); ++i)
      QVERIFY2(collator.compare(titles[i - 1], titles[i]) <= 0,
               qPrintable(titles[i - 1] + " > " + titles[i]));
    // Umlauts are filed with their base letter: "Häufigkeitsauszählungen" before "Hilfethema".
    QVERIFY(titles.indexOf(QRegularExpression(QString::fromUtf8("^Häufigkeits.*"))) <
            titles.indexOf(QRegularExpression(QStringLiteral("^Hilfethema.*"))));
    QVERIFY(titles.contains(QStringLiteral("Pfad-Voreinstellung")));
  }

  void clickingALinkOpensItsPage() {
    THelpWindow window;
    window.resize(700, 500);
    RecordingUi ui;
    window.showTopic(90000, ui);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTextBrowser* browser = window.browser();

    // Click the first link to the file selection page.
    QTextCursor cursor = browser->document()->find(QStringLiteral("Datei → Auswählen"));
    QVERIFY(!cursor.isNull());
    QVERIFY(cursor.charFormat().isAnchor());
    cursor.setPosition(cursor.selectionStart() + 2);
    const QPoint spot = browser->cursorRect(cursor).center();
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, spot);
    QTRY_COMPARE(browser->source(), QUrl(QStringLiteral("qrc:/html/bfilesel.htm")));

    // The generated pages are reached by links as well, and back returns.
    browser->setSource(browser->source().resolved(QUrl(QLatin1String(THelpWindow::kIndexPage))));
    QCOMPARE(browser->documentTitle(), QStringLiteral("Index"));
    browser->backward();
    QCOMPARE(browser->source(), QUrl(QStringLiteral("qrc:/html/bfilesel.htm")));
  }

  void topicWithoutPageShowsItsName() {
    THelpWindow window;
    window.showTopicPage("bnochnicht");
    QVERIFY(window.browser()->toPlainText().contains(QStringLiteral("bnochnicht")));
    QCOMPARE(window.topicTitle(QStringLiteral("bnochnicht")), QStringLiteral("bnochnicht"));
  }

  void closeAllHidesTheWindow() {
    THelpWindow window;
    window.showContents();
    QVERIFY(window.isVisible());
    window.closeAll();
    QVERIFY(!window.isVisible());
  }
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
