#include "cli/batch.h"

#include <array>
#include <span>
#include <string_view>

#include "cli/batch_commands.h"
#include "core/base/win1252.h"

namespace veltrix::cli {
namespace {

struct BatchCommand {
  std::string_view name;
  bool needsFile;
  std::string_view synopsis;
  int (*run)(BatchContext& context);
};

// The commands; each feature adds its own line.
constexpr std::array kCommands{
    BatchCommand{
        "structure", true,
        "STATISTIKDATEI structure   Struktur Datensatz (Variablen mit FA.FL); ändern mit:\n"
        "                              append NAME:FL...      Variablen anhängen (AB*3:2: AB-0..AB-3)\n"
        "                              recompute [NAME:FL...] Struktur neu berechnen (nur ohne Daten,\n"
        "                                 Warnung mit --yes bestätigen): die Liste ersetzt die Variablen,\n"
        "                                 ohne Liste rücken die vorhandenen lückenlos ab Position 1\n"
        "                              define NAME:FA:FL...   Variable frei anlegen oder neu platzieren\n"
        "                              rename ALT NEU         Variable umbenennen\n"
        "                              delete NAME...         Variablen löschen (nur mit --yes)\n"
        "                              Jede Angabe wird wie im Dialog geprüft; eine abgelehnte Angabe\n"
        "                              speichert nichts",
        runStructure},
    BatchCommand{"create", true,
                 "STATISTIKDATEI create      neue, leere Statistikdatei mit Standard-Parameterdatei",
                 runCreate},
    BatchCommand{
        "settings", true,
        "STATISTIKDATEI settings    Irrtumswahrscheinlichkeiten, Faktoren, Quantile zeigen; ändern mit\n"
        "                              --alpha-a X --alpha-b Y --sides 1|2 --method 0|1 --factor-a F\n"
        "                              --factor-b F --quantile-a Q --quantile-b Q --whisker 0..4",
        runSettings},
    BatchCommand{
        "direct", false,
        "- direct CODE WERTE...     direkter Test auf eingegebenen Werten (mit STATISTIKDATEI statt -\n"
        "                              nach deren Irrtumswahrscheinlichkeiten):\n"
        "                              5010 MW1 SD1 N1 MW2 SD2 N2   t-Test, unabhängige Stichproben\n"
        "                              5050 a b c d                 McNemar-Test\n"
        "                              5070 a b c d                 Sensitivität, Spezifität, ...\n"
        "                              5610 N1 p1 N2 p2 ...         Chi-Quadrat Anpassungstest",
        runDirect},
    BatchCommand{
        "class", true,
        "STATISTIKDATEI class N show | delete | set [--text equal|contains|begins] WERTE...\n"
        "                              Klasseneinteilung N zeigen, löschen oder setzen (numerisch:\n"
        "                              aufsteigende obere Klassengrenzen; Texte: höchstens 6 Zeichen)",
        runClass},
    BatchCommand{"group", true,
                 "STATISTIKDATEI group N show | delete | set [--title T] [--short S] ZEILE...\n"
                 "                              Gruppe N zeigen, löschen oder definieren (jede Zeile der\n"
                 "                              Definition ein Argument; ohne Zeilen nur die Bezeichnungen)",
                 runGroup},
    BatchCommand{"combine", true,
                 "STATISTIKDATEI combine A B T --and|--or\n"
                 "                              Gruppen A und B als Durchschnitt (--and) oder Vereinigung\n"
                 "                              (--or) in Gruppe T",
                 runCombine},
    BatchCommand{"members", true, "STATISTIKDATEI members N   Datensatznummern der Gruppe N, eine je Zeile",
                 runMembers},
    BatchCommand{
        "analyse", true,
        "STATISTIKDATEI analyse CODE [AUSWAHL] [--progress]\n"
        "                              Auswertung CODE des Menüs Auswerten, die Felder der\n"
        "                              Variablenauswahl aus den Auswahlangaben (Variablennamen,\n"
        "                              Nummern der Klasseneinteilungen und Gruppen):\n"
        "                              11 Eine Variable, mehrere Gruppen   --vars1 V --groups1 G,G..\n"
        "                              12 Variable nach zweiter aufgegliedert\n"
        "                                 --vars1 V --vars2 W --class2 K --groups1 G\n"
        "                              13 Mehrere Variablen, eine Gruppe  --vars1 V,W.. --groups1 G\n"
        "                                 [--complete]\n"
        "                              19 Zwei Gruppen, mehrere Variablen --vars1 V,W.. --groups1 A,B\n"
        "                              --progress zeigt den Fortschritt großer Dateien an",
        runAnalyse},
    BatchCommand{
        "manip", true,
        "STATISTIKDATEI manip BEFEHLSDATEI [--group N] [--check] [--show]\n"
        "                              Datenmanipulation: übersetzt die Befehlsdatei (Fehler mit\n"
        "                              Zeilennummer), --check nur übersetzen, --show die Befehle so\n"
        "                              zeigen, wie sie verstanden wurden; sonst für die Datensätze\n"
        "                              der Gruppe N (Vorgabe 0) ausführen, die vorige Datei bleibt\n"
        "                              als Sicherung (.db*)",
        runManip},
    BatchCommand{
        "sort", true,
        "STATISTIKDATEI sort NAME [--memory MIB] [--progress]\n"
        "                              Datensätze nach der Variablen NAME aufsteigend sortieren\n"
        "                              (gleiche Werte in ihrer Reihenfolge; leere Felder zuerst,\n"
        "                              Texte in numerischen Feldern zuletzt); --memory begrenzt den\n"
        "                              Arbeitsspeicher (Vorgabe 32 MiB, größere Dateien werden in\n"
        "                              Teilen sortiert und zusammengeführt), --progress zeigt den\n"
        "                              Fortschritt; die vorige Datei bleibt als Sicherung (.db*)",
        runSort},
    BatchCommand{"checks", true,
                 "STATISTIKDATEI checks      Eingabeprüfungen der Dateneingabe (Datei mit der Endung INC):\n"
                 "                              FA, Variable, Art und Grenzen oder zugelassene Texte",
                 runChecks},
    BatchCommand{"record", true,
                 "STATISTIKDATEI record N|last [--columns 1|2|3]\n"
                 "                              Datensatz N (oder den letzten) wie die Protokoll-Ausgabe\n"
                 "                              der Dateneingabe zeigen (Vorgabe 3 Spalten)",
                 runRecord},
    BatchCommand{"enter", true,
                 "STATISTIKDATEI enter N|new NAME=WERT... [--accept]\n"
                 "                              Werte mit den Eingabeprüfungen in Datensatz N (new: neuer\n"
                 "                              Datensatz am Ende) eintragen; eine fehlgeschlagene Prüfung\n"
                 "                              speichert nichts, außer mit --accept; leere Werte löschen\n"
                 "                              ein Feld; die vorige Datei bleibt als Sicherung (.db*)",
                 runEnter},
    BatchCommand{"delete", true,
                 "STATISTIKDATEI delete N    Datensatz N löschen (nur mit --yes); Sicherung (.db*)",
                 runDelete},
};

std::span<const BatchCommand> commands() {
  return kCommands;
}

const BatchCommand* findCommand(std::string_view name) {
  for (const BatchCommand& c : commands())
    if (c.name == name) return &c;
  return nullptr;
}

}  // namespace

std::string batchHelpText() {
  std::string text =
      "Aufruf:\n"
      "  veltrix-batch [--out DATEI] [--csv[=TZ]] [--yes] STATISTIKDATEI BEFEHL [ARGUMENTE]\n"
      "  veltrix-batch [--out DATEI] [--csv[=TZ]] - BEFEHL [ARGUMENTE]   (Befehle ohne Datei)\n"
      "  veltrix-batch --help | --version\n"
      "\n"
      "Führt Befehle von Veltrix ohne Fenster aus; die Antworten der Dialoge stehen auf der\n"
      "Befehlszeile.\n"
      "\n"
      "Optionen:\n"
      "  --out DATEI   Ergebnistabellen an DATEI anhängen (Windows-1252, wie eine Protokolldatei)\n"
      "                statt sie auf die Standardausgabe (UTF-8) zu schreiben\n"
      "  --csv[=TZ]    Tabellen als getrennte Werte schreiben (Trennzeichen TZ, Vorgabe ;)\n"
      "  --yes         Rückfragen mit Ja beantworten (sonst Nein)\n"
      "\n"
      "Auswahl einer Auswertung (nach dem Befehl), wie die acht Felder der Variablenauswahl:\n"
      "  --vars1 A,B --class1 N --vars2 .. --class2 N --vars3 .. --class3 N\n"
      "  --groups1 1,2 --groups2 3 --complete --transform K\n"
      "\n"
      "Meldungen erscheinen auf der Standardfehlerausgabe.\n"
      "Rückgabewert: 0 erledigt, 1 Aufruf fehlerhaft, 2 Befehl abgelehnt oder fehlgeschlagen.\n"
      "\n"
      "Befehle:\n";
  if (commands().empty()) text += "  (noch keine)\n";
  for (const BatchCommand& c : commands()) {
    text += "  ";
    text += c.synopsis;
    text += '\n';
  }
  return text;
}

int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedOptions parsed = parseBatchOptions(args);
  if (!parsed.options) {
    err << "veltrix-batch: " << parsed.error << "\n(veltrix-batch --help zeigt den Aufruf)\n";
    return kExitUsage;
  }
  const BatchOptions& options = *parsed.options;
  if (options.help) {
    out << batchHelpText();
    return kExitDone;
  }
  if (options.version) {
    out << "veltrix-batch " << VELTRIX_VERSION << '\n';
    return kExitDone;
  }
  const BatchCommand* command = findCommand(options.command);
  if (!command) {
    err << "veltrix-batch: unbekannter Befehl " << options.command
        << "\n(veltrix-batch --help zeigt die Befehle)\n";
    return kExitUsage;
  }
  if (command->needsFile && options.statFile == "-") {
    err << "veltrix-batch: " << options.command << " braucht eine Statistikdatei\n";
    return kExitUsage;
  }
  BatchOutput output(out);
  const std::string outName = options.outFile.empty() ? std::string("Standardausgabe")
                                                      : win1252ToUtf8(fileNameForDisplay(options.outFile));
  if (!options.outFile.empty() && !output.appendTo(options.outFile)) {
    err << "veltrix-batch: " << outName << " kann nicht geschrieben werden\n";
    return kExitFailed;
  }
  BatchUi ui(err, options.yes);
  BatchContext context{options, ui, output};
  int status = command->run(context);
  if (!output.finish()) {
    err << "veltrix-batch: " << outName
        << ": Schreibfehler! Die Ergebnisse sind nicht vollständig geschrieben.\n";
    status = kExitFailed;
  }
  return status;
}

}  // namespace veltrix::cli
