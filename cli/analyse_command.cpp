// STATFILE analyse CODE [selection]: an analysis of the "Auswerten" menu with the boxes of the
// variable selection filled from the command line.
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/batch.h"
#include "cli/batch_commands.h"
#include "core/analysis/descriptors.h"
#include "core/analysis/selection_slots.h"
#include "core/analysis/variable_selection.h"
#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/output/table_layout.h"
#include "core/procedures/families.h"
#include "core/stats/number_format.h"
#include "core/stats/text_helpers.h"

namespace veltrix::cli {
namespace {

struct BoxOption {
  const char* name;
  int box;
};
constexpr BoxOption kBoxOptions[] = {
    {"--vars1", kVariableBox1}, {"--class1", kClassBox1},   {"--vars2", kVariableBox2},
    {"--class2", kClassBox2},   {"--vars3", kVariableBox3}, {"--class3", kClassBox3},
    {"--groups1", kGroupBox1},  {"--groups2", kGroupBox2},
};

struct AnalyseArguments {
  int code = 0;
  std::vector<std::pair<int, std::vector<std::string>>> boxes;
  bool complete = false;
  int transformation = -1;
  bool progress = false;
};

std::vector<std::string> SplitItems(const std::string& text) {
  std::vector<std::string> items;
  std::string item;
  for (char c : text) {
    if (c == ',') {
      items.push_back(TrimBlanks(item, 0));
      item.clear();
    } else {
      item += c;
    }
  }
  items.push_back(TrimBlanks(item, 0));
  return items;
}

bool ParseWhole(const std::string& text, int low, int high, int& value) {
  if (text.empty() || text.size() > 4) return false;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < low || v > high) return false;
  value = v;
  return true;
}

// Usage errors are reported here; false means exit 1.
bool ParseArguments(BatchContext& context, AnalyseArguments& parsed) {
  const std::vector<std::string>& args = context.options.args;
  if (args.empty() || !ParseWhole(args[0], 1, 9999, parsed.code)) {
    context.ui.error(
        "analyse erwartet einen Auswertungscode, z. B. analyse 11 --vars1 GROESSE --groups1 1,2");
    return false;
  }
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--complete") {
      parsed.complete = true;
      continue;
    }
    if (a == "--progress") {
      parsed.progress = true;
      continue;
    }
    if (a == "--transform") {
      if (i + 1 >= args.size() ||
          !ParseWhole(args[i + 1], 0, kTransformationCount - 1, parsed.transformation)) {
        context.ui.error("--transform erwartet eine Zahl 0..9 (0 keine Transformation)");
        return false;
      }
      ++i;
      continue;
    }
    bool known = false;
    for (const BoxOption& option : kBoxOptions) {
      if (a != option.name) continue;
      known = true;
      if (i + 1 >= args.size()) {
        context.ui.error(a + " erwartet eine Liste, durch Kommas getrennt");
        return false;
      }
      parsed.boxes.emplace_back(option.box, SplitItems(utf8ToWin1252(args[i + 1])));
      ++i;
    }
    if (!known) {
      context.ui.error("analyse kennt die Angabe " + utf8ToWin1252(a) + " nicht");
      return false;
    }
  }
  return true;
}

// A scratch directory for the work files of one run, removed at the end.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::error_code ec;
    std::string base = std::filesystem::temp_directory_path(ec).string();
    if (ec || base.empty()) base = "/tmp";
    std::string pattern = base + "/veltrix-analyse-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) m_path = pattern;
  }
  ~ScratchDirectory() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

void PrintProgress(void* stream, double percent) {
  *static_cast<std::ostream*>(stream) << "Auswertung: " << FormatDecimals(0, percent) << " %\n";
}

}  // namespace

int runAnalyse(BatchContext& context) {
  AnalyseArguments parsed;
  if (!ParseArguments(context, parsed)) return kExitUsage;
  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  const PreparedAnalysis prepared = PrepareDescriptor(parsed.code);
  if (prepared.descriptor.empty() || !HasAnalysis(parsed.code)) {
    context.ui.error(std::string("Für den Code "_w) + std::to_string(parsed.code) +
                     " gibt es keine Auswertung.");
    return kExitFailed;
  }
  VariableSelectionModel model(context.ui, params, parsed.code, prepared.descriptor, prepared.title);
  for (const auto& [box, items] : parsed.boxes) {
    if (!model.present(box)) {
      context.ui.error("Die Auswertung " + std::to_string(parsed.code) +
                       std::string(" hat kein Feld für "_w) + std::string(kBoxOptions[box - 1].name) + ".");
      return kExitFailed;
    }
    const std::string refusal = model.setEntries(box, items);
    if (!refusal.empty()) {
      context.ui.error(refusal);
      return kExitFailed;
    }
  }
  if (parsed.complete && !model.completeCasesOffered()) {
    context.ui.error("Die Auswertung " + std::to_string(parsed.code) + " bietet --complete nicht an.");
    return kExitFailed;
  }
  model.setCompleteCases(parsed.complete);
  if (parsed.transformation >= 0) {
    if (!model.transformationOffered()) {
      context.ui.error("Die Auswertung " + std::to_string(parsed.code) + " bietet --transform nicht an.");
      return kExitFailed;
    }
    model.setTransformation(parsed.transformation);
  }
  if (const int box = model.missingBox(); box != 0) {
    const std::string option = kBoxOptions[box - 1].name;
    context.ui.error(std::string("Zu wenige Einträge für \""_w) + model.boxCaption(box) + "\" (" + option +
                     ", mindestens " + std::to_string(model.minimum(box)) + ")");
    return kExitFailed;
  }
  if (!model.accept()) return kExitFailed;

  ScratchDirectory scratch;
  if (scratch.path().empty()) {
    context.ui.error("Kein Verzeichnis für die Arbeitsdateien"_w);
    return kExitFailed;
  }
  TTMnX tables;
  AnalysisContext analysis{context.ui, params, tables, parsed.code};
  UseFileSettings(analysis, params.settings());
  const char* extensions[5] = {"/work.$$a", "/work.$$b", "/work.$$m", "/work.$$x", "/work.$$y"};
  for (std::size_t i = 0; i < 5; ++i) analysis.workFiles[i] = scratch.path() + extensions[i];
  const AnalysisRunResult result =
      RunAnalysisPass(analysis, context.options.statFile, prepared.title,
                      parsed.progress ? &PrintProgress : nullptr, &context.ui.errorStream());
  if (!result.ok) return kExitFailed;
  WriteResultTables(context, tables, std::filesystem::path(context.options.statFile).filename().string());
  return kExitDone;
}

}  // namespace veltrix::cli
