#include "cli/batch_options.h"

namespace veltrix::cli {

ParsedOptions parseBatchOptions(const std::vector<std::string>& argv) {
  BatchOptions o;
  std::size_t i = 0;
  for (; i < argv.size(); ++i) {
    const std::string& a = argv[i];
    if (a == "--help" || a == "-h") {
      o.help = true;
      return {o, {}};
    }
    if (a == "--version") {
      o.version = true;
      return {o, {}};
    }
    if (a == "--yes") {
      o.yes = true;
    } else if (a == "--csv") {
      o.csv = true;
    } else if (a.starts_with("--csv=")) {
      const std::string sep = a.substr(6);
      if (sep.size() != 1) return {std::nullopt, "--csv=SEP erwartet genau ein Trennzeichen"};
      o.csv = true;
      o.separator = sep[0];
    } else if (a == "--out") {
      if (i + 1 >= argv.size() || argv[i + 1].empty())
        return {std::nullopt, "--out erwartet einen Dateinamen"};
      o.outFile = argv[++i];
    } else if (a.starts_with("--out=")) {
      o.outFile = a.substr(6);
      if (o.outFile.empty()) return {std::nullopt, "--out erwartet einen Dateinamen"};
    } else if (a == "--") {
      ++i;
      break;
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      // Selection options (--vars1 ...) belong to the command and follow it.
      return {std::nullopt, "unbekannte Option " + a};
    } else {
      break;
    }
  }
  if (i >= argv.size()) return {std::nullopt, "Statistikdatei (oder -) und Befehl fehlen"};
  o.statFile = argv[i++];
  if (i >= argv.size()) return {std::nullopt, "Befehl fehlt"};
  o.command = argv[i++];
  o.args.assign(argv.begin() + static_cast<std::ptrdiff_t>(i), argv.end());
  return {o, {}};
}

}  // namespace veltrix::cli
