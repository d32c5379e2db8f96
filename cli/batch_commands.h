// The commands of veltrix-batch. Each returns an ExitStatus.
#pragma once

#include "cli/batch_options.h"
#include "cli/batch_output.h"
#include "cli/batch_ui.h"

#include <optional>
#include <string>
#include <string_view>

namespace veltrix {
class TParams;
class TTMng;
}  // namespace veltrix

namespace veltrix::cli {

struct BatchContext {
  const BatchOptions& options;
  BatchUi& ui;
  BatchOutput& output;
};

// Writes the tables of a result, tab by tab, as the protocol file holds them: to standard output, or
// appended to --out. fileName is the statistics file's name without its directory (file-system bytes).
void WriteResultTables(BatchContext& context, const TTMng& tables, std::string_view fileName);

// Reads the parameter file of the statistics file of the command line into params. False, with the
// message given, when the name is no statistics file, the file or its parameter file is missing or
// no regular file, or the parameter file cannot be read.
bool ReadStudyParameters(BatchContext& context, TParams& params);

// STATFILE structure: the structure listing (names with FA.FL in three columns).
int runStructure(BatchContext& context);
// STATFILE create: a new, empty statistics file with the default parameter contents.
int runCreate(BatchContext& context);
// STATFILE settings [--alpha-a X ...]: the significance settings of the file, changed first when
// options are given.
int runSettings(BatchContext& context);
// - direct CODE VALUES..., or STATFILE direct ... with that file's significance settings: a direct
// test on the values given, with the dialog's entry checks.
int runDirect(BatchContext& context);
// STATFILE class N show | delete | set [--text equal|contains|begins] VALUES...
int runClass(BatchContext& context);
// STATFILE group N show | delete | set [--title T] [--short S] LINE...
int runGroup(BatchContext& context);
// STATFILE combine A B T --and|--or: groups A and B into group T, by intersection or union.
int runCombine(BatchContext& context);
// STATFILE members N: the record numbers of the records of group N, one per line.
int runMembers(BatchContext& context);

// STATFILE analyse CODE [--vars1 A,B ... --groups1 1,2 --complete --transform K --progress]: an
// analysis of the "Auswerten" menu with its variable selection filled from the command line.
int runAnalyse(BatchContext& context);

// STATFILE manip CMDFILE [--group N] [--check] [--show]: compiles a command file of the manipulation
// language, shows it as understood, and runs it over the records of group N.
int runManip(BatchContext& context);
// STATFILE sort NAME [--memory MIB] [--progress]: sorts the records by the variable NAME (ascending,
// equal values in their order); the previous file becomes the backup.
int runSort(BatchContext& context);
// STATFILE checks: the entry checks of data entry (the file beside the statistics file, extension INC).
int runChecks(BatchContext& context);
// STATFILE record N|last [--columns 1|2|3]: a record as the entry window prints it.
int runRecord(BatchContext& context);
// STATFILE enter N|new NAME=VALUE... [--accept]: values checked and stored into record N (or a new
// record after the last) as the entry window stores them; the file is edited in place after a backup.
int runEnter(BatchContext& context);
// STATFILE delete N (with --yes): deletes record N as "DS löschen" of the entry window does.
int runDelete(BatchContext& context);

// A group or class division number 0..high from the command line (what names the command in the
// usage message).
std::optional<int> GroupOrClassNumber(BatchContext& context, const std::string& text, int high,
                                      const char* what);
// Writes the parameter file after a change of groups or class divisions, clearing the selections.
int SaveChangedParameters(TParams& params);

}  // namespace veltrix::cli
