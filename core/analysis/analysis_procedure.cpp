#include "core/analysis/analysis_procedure.h"

#include "core/directtests/error_levels.h"

namespace veltrix {

void UseFileSettings(AnalysisContext& context, const ParamSettings& settings) {
  context.settings = settings;
  context.significance = LevelsOf(settings);
  context.preferredTestMethod = settings.testMethod == 0 ? 0 : 1;
  context.whiskerFactor = WhiskerFactorOf(settings);
}

}  // namespace veltrix
