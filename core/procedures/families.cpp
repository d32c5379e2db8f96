#include "core/procedures/families.h"

#include "core/analysis/descriptors.h"
#include "core/procedures/frequency_tables.h"
#include "core/procedures/statistical_parameters.h"

namespace veltrix {

namespace {

template <class Procedure>
std::unique_ptr<AnalysisProcedure> Make(AnalysisContext& context) {
  return std::make_unique<Procedure>(context);
}

struct Family {
  int kind;
  std::unique_ptr<AnalysisProcedure> (*create)(AnalysisContext&);
};

// One row per family: the procedure kind (analysis code / 10) and its procedure.
constexpr Family kFamilies[] = {
    {1, &Make<TProcKG>},
    {3, &Make<TProcHF>},
};

}  // namespace

bool HasAnalysis(int code) {
  if (DescriptorText(code).empty()) return false;
  for (const Family& family : kFamilies)
    if (family.kind == ProcedureKind(code)) return true;
  return false;
}

std::unique_ptr<AnalysisProcedure> CreateProcedure(AnalysisContext& context) {
  const int kind = ProcedureKind(context.code);
  for (const Family& family : kFamilies)
    if (family.kind == kind) return family.create(context);
  return nullptr;
}

}  // namespace veltrix

#include "core/analysis/data_pass.h"
#include "core/output/table_layout.h"

namespace veltrix {

AnalysisRunResult RunAnalysisPass(AnalysisContext& context, const std::string& statisticsFile,
                                  const std::string& title, void (*progress)(void*, double),
                                  void* progressContext) {
  AnalysisRunResult result;
  context.tables.ClearTables();
  context.testsAllowed = true;
  context.testsAllowed2 = true;
  std::unique_ptr<AnalysisProcedure> procedure = CreateProcedure(context);
  if (!procedure) return result;
  TRunIt run(context.ui, *procedure);
  if (progress) run.setProgressHook(progress, progressContext);
  const PassResult pass = run.run(statisticsFile, procedure->passCount());
  result.cancelled = pass.cancelled;
  result.progressShown = run.progressShown();
  result.records = pass.records;
  if (!pass.ok) return result;
  procedure->writeTables();
  context.tables.AnalysisCode = static_cast<std::int16_t>(context.code);
  context.tables.HelpTopic = context.code * 10 + 1;
  context.tables.setCaption(title);
  result.ok = true;
  return result;
}

}  // namespace veltrix
