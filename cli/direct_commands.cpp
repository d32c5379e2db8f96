#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/batch_commands.h"
#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/directtests/direct_tests.h"
#include "core/directtests/error_levels.h"
#include "core/output/table_manager.h"
#include "core/stats/number_parse.h"
#include "core/stats/text_helpers.h"

namespace veltrix::cli {
namespace {

using namespace veltrix::literals;

std::string fileNameOf(const BatchContext& context) {
  if (context.options.statFile == "-") return {};
  return std::filesystem::path(context.options.statFile).filename().string();
}

// The settings as a result sheet, with the dialog's labels.
void settingsSheet(const ParamSettings& s, TTMng& tables) {
  const ErrorLevelForm form = ErrorLevelFormOf(s);
  const auto line = [](std::string_view label, std::string_view value) {
    return AlignText(label, 32, -1) + std::string(value);
  };
  const std::vector<std::string> lines = {
      line("Irrtumswahrscheinlichkeit  A :", form.errorProbabilityA),
      line("                           B :", form.errorProbabilityB),
      line("Faktor  A  (M±SD) :"_w, form.factorA),
      line("Faktor  B  (M±SD) :"_w, form.factorB),
      line("Quantil  A  (in %) :", form.quantileA),
      line("Quantil  B  (in %) :", form.quantileB),
      line("Testart :", form.testKind == 1 ? "einseitig" : "zweiseitig"),
      line("Bevorzugte Testmethode :",
           form.testMethod == 0 ? "parametrisch  (t-Test, etc.)" : "nichtparametrisch  (Rangtests)"),
      line("Whisker-Faktor B&W-Plots :",
           TrimBlanks(kWhiskerChoices[static_cast<std::size_t>(form.whiskerIndex)], 0)),
  };
  tables.ClearTables();
  TTabHeader header;
  header.Kind = 'A';
  header.TitleLines = 1;
  header.LeftTitle[0] = "Irrtumswahrscheinlichkeiten, Faktoren, Quantile";
  header.Rows = static_cast<std::int16_t>(lines.size());
  tables.BeginTextTableList(1, header, lines);
  tables.setTabDef(1, "00HHHHEinstellungen");
  tables.HelpTopic = kErrorLevelsHelp;
}

struct SettingOption {
  std::string_view name;
  std::string ErrorLevelForm::*text = nullptr;  // an edit field of the dialog
  int ErrorLevelForm::*choice = nullptr;        // or one of its choices
  int low = 0;
  int high = 0;
};

const SettingOption kSettingOptions[] = {
    {"--alpha-a", &ErrorLevelForm::errorProbabilityA},
    {"--alpha-b", &ErrorLevelForm::errorProbabilityB},
    {"--factor-a", &ErrorLevelForm::factorA},
    {"--factor-b", &ErrorLevelForm::factorB},
    {"--quantile-a", &ErrorLevelForm::quantileA},
    {"--quantile-b", &ErrorLevelForm::quantileB},
    {"--sides", nullptr, &ErrorLevelForm::testKind, 1, 2},
    {"--method", nullptr, &ErrorLevelForm::testMethod, 0, 1},
    {"--whisker", nullptr, &ErrorLevelForm::whiskerIndex, 0, 4},
};

// Fills the form from the options; a usage message when one is unknown, lacks its value or has one
// that is no number (the dialog would read such a text as 0 - on a command line it is a typing error).
std::string readSettingOptions(const std::vector<std::string>& args, ErrorLevelForm& form) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const SettingOption* option = nullptr;
    for (const SettingOption& o : kSettingOptions)
      if (args[i] == o.name) option = &o;
    if (!option) return "unbekannte Option " + args[i];
    if (i + 1 >= args.size()) return args[i] + " erwartet einen Wert";
    const std::string& value = args[++i];
    const ParsedNumber number = ParseField(value);
    if (number.decimals < 0) return std::string(option->name) + ": keine Zahl: " + value;
    if (option->text) {
      form.*(option->text) = value;
      continue;
    }
    if (number.decimals > 0 || number.intValue < option->low || number.intValue > option->high)
      return std::string(option->name) + " erwartet " + std::to_string(option->low) + " bis " +
             std::to_string(option->high);
    form.*(option->choice) = number.intValue;
  }
  return {};
}

// Values per test: the t-test MW, SD, N of both samples; four-fold tables a b c d; the goodness of
// fit pairs Ni pi for 2 to 15 categories.
std::string checkValueCount(int code, std::size_t count) {
  switch (code) {
    case kTwoSampleTTestCode:
      return count == 6 ? "" : "5010 erwartet 6 Werte: MW1 SD1 N1 MW2 SD2 N2";
    case kMcNemarCode:
    case kSensitivityCode:
      return count == 4 ? "" : std::to_string(code) + " erwartet 4 Werte: a b c d";
    case kGoodnessOfFitCode:
      return count % 2 == 0 && count >= 4 && count <= 2 * kMaxGoodnessOfFitCategories
                 ? ""
                 : "5610 erwartet 2 bis 15 Paare: N1 p1 N2 p2 ...";
    default:
      return "kein direkter Test mit dem Code " + std::to_string(code) + " (Tests: 5010, 5050, 5070, 5610)";
  }
}

}  // namespace

int runSettings(BatchContext& context) {
  // The options are checked before the file is looked at, so that a wrong call changes nothing.
  ErrorLevelForm scratch;
  if (const std::string usage = readSettingOptions(context.options.args, scratch); !usage.empty()) {
    context.ui.error(usage);
    return kExitUsage;
  }
  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  if (!context.options.args.empty()) {
    // The options take the place of what the user would type; the other fields keep what they show.
    ErrorLevelForm form = ErrorLevelFormOf(params.settings());
    readSettingOptions(context.options.args, form);
    const ErrorLevelChange change = ApplyErrorLevelForm(params.settings(), form);
    if (change.changed) {
      params.setSettings(change.settings);
      if (!params.write()) return kExitFailed;
    }
  }
  TTMng tables;
  settingsSheet(params.settings(), tables);
  WriteResultTables(context, tables, fileNameOf(context));
  return kExitDone;
}

int runDirect(BatchContext& context) {
  const std::vector<std::string>& args = context.options.args;
  if (args.empty()) {
    context.ui.error("direct erwartet den Code des Tests und seine Werte");
    return kExitUsage;
  }
  const ParsedNumber code = ParseField(args[0]);
  const std::vector<std::string> values(args.begin() + 1, args.end());
  const std::string usage = code.decimals == 0 ? checkValueCount(code.intValue, values.size())
                                               : "kein Code eines Tests: " + args[0];
  if (!usage.empty()) {
    context.ui.error(usage);
    return kExitUsage;
  }
  // With a statistics file the tests judge by its settings, without one by the defaults.
  ParamSettings settings;
  if (context.options.statFile != "-") {
    TParams params(context.ui);
    if (!ReadStudyParameters(context, params)) return kExitFailed;
    settings = params.settings();
  }
  std::vector<std::string> texts;
  for (const std::string& value : values) texts.push_back(utf8ToWin1252(value));
  TTMng tables;
  if (!TDTest(code.intValue, context.ui, LevelsOf(settings), tables, &texts)) return kExitFailed;
  WriteResultTables(context, tables, fileNameOf(context));
  return kExitDone;
}

}  // namespace veltrix::cli
