#include "core/shell/menu_table.h"

#include <array>

#include "core/base/win1252.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using K = MenuItemKind;
using H = MenuHandler;

constexpr MenuItem kItems[] = {
    {0, K::Menu, H::None, "", "&Datei", "", 0, ""},
    {1, K::Command, H::Open, "OpenItem", "&Auswählen"_w, "Datei für Auswertung auswählen"_w, 1100, ""},
    {1, K::Command, H::Datei, "Eingabe", "&Dateneingabe", "Daten eingeben", 1200, ""},
    {1, K::Command, H::Datei, "Control", "Ein&gabekontrolle", "Datenkontrolle Online", 1300, ""},
    {1, K::Command, H::Datei, "MDManip", "Daten&manipulation", "Daten bearbeiten", 1400, ""},
    {1, K::Command, H::Datei, "Sort", "S&ortieren", "Datensätze sortieren"_w, 1500, ""},
    {1, K::Separator, H::None, "", "", "", 0, ""},
    {1, K::Menu, H::None, "", "&Import", "Import aus anderen Systemen", 0, ""},
    {2, K::Command, H::Datei, "ASCIKVT", "&Import ASCII (Fixed)",
     "ASCII-Datei mit festem Datenformat importieren", 1610, ""},
    {2, K::Command, H::Datei, "ASCIKVTT", "Impor&t ASCII (CSV)",
     "ASCII-Datei mit Feld-Trennzeichen importieren", 1620, ""},
    {2, K::Command, H::Datei, "DBFKVT", "Import d&Base-Datei", "dBase-Datei importieren", 1630, ""},
    {2, K::Command, H::Datei, "DIFKVT", "Import &DIF-Datei", "Datei im DIF-Format importieren", 1640, ""},
    {2, K::Command, H::Datei, "KVTApp", "KVT-Dat&ei anhängen"_w,
     "KVT-Datei gleichen Aufbaus an diese Datei anhängen"_w, 1650, ""},
    {2, K::Command, H::Datei, "KVTSynch", "KVT-Datei &synchron hinzufügen"_w,
     "KVT-Datei anderer Struktur parallel zur bestehenden Datei einlesen", 1660, ""},
    {1, K::Command, H::Datei, "SelPath", "&Pfad-Voreinstellung", "Pfad für Daten auswählen"_w, 1700, ""},
    {1, K::Menu, H::None, "", "E&xport", "Export nach anderen Systemen", 0, ""},
    {2, K::Command, H::Datei, "KVTASCII", "&Export ASCII (Fixed)",
     "Als ASCII-Datei mit festem Format exportieren", 1710, ""},
    {2, K::Command, H::Datei, "KVTASCIT", "Export ASCII (&CSV)",
     "Als ASCII-Datei mit Feld-Trennzeichen exportieren", 1720, ""},
    {2, K::Command, H::Datei, "KVTDBF", "Export d&Base-Datei", "Als dBase-Datei exportieren", 1730, ""},
    {2, K::Command, H::Datei, "KVTDIF", "Export D&IF-Datei", "Als DIF-Datei exportieren", 1740, ""},
    {2, K::Command, H::Datei, "KVTPart", "&Gruppe  extrahieren",
     "Ausgewählte Gruppe als gesonderte KVT-Datei ausgeben", 1750, ""},
    {2, K::Command, H::Datei, "KVTVAusw", "&Variablenauswahl extrahieren",
     "Aus ausgewählten Variablen neue KVT-Datei erstellen", 1760, ""},
    {2, K::Command, H::Datei, "KVTUnifi", "KVT-Datei &unifizieren",
     "KVT-Datei auf eindeutigen Schlüssel umsetzen"_w, 1770, ""},
    {1, K::Separator, H::None, "", "", "", 0, ""},
    {1, K::Command, H::Struct, "StruktNeu", "&Struktur neu berechnen", "Datenstruktur neu zusammenstellen",
     4040, ""},
    {1, K::Separator, H::None, "", "", "", 0, ""},
    {1, K::Command, H::Exit, "ExitItem", "&Ende", "Programm beenden", 1900, "Alt+X"},

    {0, K::Menu, H::None, "", "&Auswerten", "", 0, ""},
    {1, K::Menu, H::None, "", "&Statistische Kenngrößen"_w, "", 0, ""},
    {2, K::Command, H::Analyse, "KgEinVar", "&Eine Variable, mehrere Gruppen", "", 11, ""},
    {2, K::Command, H::Analyse, "KgZweiVar", "Eine V&ariable nach zweiter", "", 12, ""},
    {2, K::Command, H::Analyse, "KgMehrVar", "&Mehrere Variablen, eine Gruppe", "", 13, ""},
    {2, K::Command, H::Analyse, "KgZweiGrup", "&Zwei Gruppen, mehrere Variablen", "", 19, ""},
    {1, K::Command, H::Analyse, "LinReg", "&Lineare Regression/Korrelation", "", 21, ""},
    {1, K::Menu, H::None, "", "&Nichtlineare Regression/Korrelation", "", 0, ""},
    {2, K::Command, H::Analyse, "RangKor", "&Rangkorrelation", "", 111, ""},
    {2, K::Command, H::Analyse, "NonLinFit", "&Nichtlineare Regression", "", 112, ""},
    {1, K::Menu, H::None, "", "&Häufigkeitsauszählungen"_w, "", 0, ""},
    {2, K::Command, H::Analyse, "HfEinVar", "&Eine Variable, mehrere Gruppen", "", 31, ""},
    {2, K::Command, H::Analyse, "HfZweiVar", "Eine V&ariable nach zweiter", "", 32, ""},
    {2, K::Command, H::Analyse, "HfMehrVar", "&Mehrere Variablen, eine Gruppe", "", 33, ""},
    {2, K::Command, H::Analyse, "HFGrpGrp", "&Gruppen versus Gruppen", "", 34, ""},
    {1, K::Menu, H::None, "", "&Zeit-Ereignis-Analysen", "", 0, ""},
    {2, K::Command, H::Analyse, "Kaplan", "&Kaplan-Meier-Methode", "", 41, ""},
    {2, K::Command, H::Analyse, "Actuarial", "&Actuarial-Methode (Lifetable)", "", 42, ""},
    {1, K::Command, H::Analyse, "BeobW", "&Beobachtete Werte", "", 51, ""},
    {1, K::Command, H::Analyse, "BeobWK", "Be&obachtete Werte, Kombi-Variablen", "", 52, ""},
    {1, K::Command, H::Analyse, "DAnz", "&Datenanzeige", "", 61, ""},
    {1, K::Menu, H::None, "", "&Multivariate Statistik", "", 0, ""},
    {2, K::Command, H::Analyse, "MAMultReg", "&Partielle Korr./Multiple Regression", "", 101, ""},
    {2, K::Command, H::Analyse, "MANOVA", "&Mehrdimensionale Varianzanalyse", "", 102, ""},
    {2, K::Command, H::Analyse, "MAFakt", "&Faktoranalyse", "", 104, ""},
    {2, K::Command, H::Analyse, "LogReg", "Logistische &Regressionsanalyse", "", 131, ""},
    {2, K::Command, H::Analyse, "LogRank", "Proportional &Hazards Modell", "", 141, ""},
    {1, K::Menu, H::None, "", "&Varianzanalysen (mit transf. Daten)", "", 0, ""},
    {2, K::Command, H::Analyse, "VAMehrVarGr", "&Mehrere Variablen, mehrere Gruppen", "", 121, ""},
    {2, K::Command, H::Analyse, "VAMehrVarV", "Me&hrere Variablen nach zus. Variable", "", 122, ""},
    {2, K::Command, H::Analyse, "VAVarVarGr", "&Eine Variable / zus. Var. und Gruppen", "", 123, ""},
    {2, K::Command, H::Analyse, "VAEinVar2", "E&ine Variable nach 2 zus. Variablen", "", 124, ""},

    {0, K::Command, H::Grp, "Grp", "&Gruppen/Klassen", "", 3000, ""},

    {0, K::Menu, H::None, "", "&Struktur", "", 0, ""},
    {1, K::Command, H::Struct, "Varneu", "&Neue Variablen / Variablenliste ergänzen"_w, "", 4010, ""},
    {1, K::Command, H::Struct, "Varfrei", "Variablen &frei anlegen / löschen / umbennen"_w, "", 4020, ""},
    {1, K::Command, H::Struct, "StruktShow", "&Struktur Datensatz", "", 4060, ""},

    {0, K::Menu, H::None, "", "&Option", "", 0, ""},
    {1, K::Command, H::TxtOpt, "TxtOpt", "&Text / Tabellen", "", 6010, ""},
    {1, K::Command, H::GrfOpt, "GrfOpt", "&Graphik", "", 6011, ""},
    {1, K::Check, H::None, "OptDrAuto", "Druck-Speicherautomatik", "", 0, ""},
    {1, K::Command, H::None, "PrnInst", "&Drucker einrichten", "", 0, ""},
    {1, K::Command, H::ErrLevel, "ErrLevel", "&Irrtumswahrscheinlichkeiten", "", 6020, ""},

    {0, K::Menu, H::None, "", "&Tests direkt", "", 0, ""},
    {1, K::Command, H::DirTest, "", "&Unabhängige Stichproben, t-Test"_w, "", 5010, ""},
    {1, K::Command, H::DirTest, "", "&Verbundene Stichproben, t-Test", "", 5020, ""},
    {1, K::Command, H::DirTest, "", "&X²-Test, Vierfeldertest, Kontingenztafeln"_w, "", 5030, ""},
    {1, K::Command, H::DirTest, "", "Mc&Nemar-Test", "", 5050, ""},
    {1, K::Command, H::DirTest, "", "&Odds Ratio / Relatives Risiko", "", 5060, ""},
    {1, K::Command, H::DirTest, "", "&Sensitivität, Spezifität, .."_w, "", 5070, ""},
    {1, K::Menu, H::None, "", "Ve&rteilungen", "", 0, ""},
    {2, K::Command, H::DirTest, "", "&Normalverteilung", "", 5210, ""},
    {2, K::Command, H::DirTest, "", "&t-Verteilung", "", 5220, ""},
    {2, K::Command, H::DirTest, "", "&X²-Verteilung"_w, "", 5230, ""},
    {2, K::Command, H::DirTest, "", "&F-Verteilung", "", 5240, ""},
    {2, K::Command, H::DirTest, "", "&Binomial-Verteilung", "", 5250, ""},
    {2, K::Command, H::DirTest, "", "&Hypergeometrische Verteilung", "", 5260, ""},
    {2, K::Command, H::DirTest, "", "&Poisson-Verteilung", "", 5270, ""},
    {1, K::Menu, H::None, "", "&Fallzahlenabschätzung"_w, "", 0, ""},
    {2, K::Command, H::DirTest, "", "&Unabhängiger t-Test"_w, "", 5410, ""},
    {2, K::Command, H::DirTest, "", "&Abhängiger t-Test"_w, "", 5420, ""},
    {2, K::Command, H::DirTest, "", "&Vergleich %-Anteile", "", 5430, ""},
    {1, K::Command, H::DirTest, "", "X²-&Anpassungstest"_w, "", 5610, ""},
    {1, K::Command, H::DirTest, "", "&Partielle Korrelationskoeffizienten", "", 5620, ""},
    {1, K::Command, H::DirTest, "", "&Kenngrößen aus klassierten Daten"_w, "", 5630, ""},

    {0, K::Menu, H::None, "", "A&usgabe", "", 0, ""},
    {1, K::Command, H::Result, "ResPrint", "&Drucken", "Drucken", 0, ""},
    {1, K::Command, H::Result, "ResFF", "&Blattvorschub", "Blattvorschub", 0, ""},
    {1, K::Command, H::Result, "ResSave", "&Speichern", "Kopie auf Platte", 0, ""},
    {1, K::Separator, H::None, "", "", "", 0, ""},
    {1, K::Command, H::Result, "ResGrf", "&Graphik", "Graphik", 0, ""},
    {1, K::Separator, H::None, "", "", "", 0, ""},
    {1, K::Command, H::Result, "ResEdit", "&Editieren", "Editieren", 0, ""},
    {1, K::Separator, H::None, "", "", "", 0, ""},
    {1, K::Command, H::Result, "ResTest", "&Test", "Test", 0, ""},
    {1, K::Separator, H::None, "", "", "", 0, ""},
    {1, K::Command, H::Result, "ResETab", "Einzel-&Tabelle", "Zeile/Spalte auswählen"_w, 0, ""},

    {0, K::Menu, H::None, "", "&Fenster", "", 0, ""},
    {1, K::Command, H::Window, "TileHorz", "&Untereinander", "", 0, ""},
    {1, K::Command, H::Window, "TileVert", "&Nebeneinander", "", 0, ""},
    {1, K::Command, H::Window, "Cascade", "&Überlappend"_w, "", 0, ""},
    {1, K::Command, H::Window, "MinimizeAll", "&Alle als Symbol", "", 0, ""},
    {1, K::Command, H::Window, "ArrangeIcons", "&Symbole anordnen", "", 0, ""},

    {0, K::Menu, H::None, "", "&Hilfe", "", 0, ""},
    {1, K::Command, H::Help, "HelpContents", "&Inhalt", "", 101, ""},
    {1, K::Command, H::Help, "HelpIndex", "&Suchen", "", 102, ""},
    {1, K::Command, H::Help, "HelpAbout", "In&fo...", "", 103, ""},
};

}  // namespace

std::span<const MenuItem> MainMenuItems() {
  return kItems;
}

}  // namespace veltrix
