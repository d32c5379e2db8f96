#include "core/directtests/error_levels.h"

#include <utility>

#include "core/stats/guarded_math.h"
#include "core/stats/number_format.h"
#include "core/stats/number_parse.h"
#include "core/stats/real48.h"

namespace veltrix {
namespace {

// A text that is no number counts as 0, so it becomes the lower bound.
double clampedField(const std::string& text, double low, double high) {
  const ParsedNumber parsed = ParseField(text);
  const double value = parsed.decimals >= 0 ? parsed.value : 0.0;
  return ClampReal(value, low, high);
}

// Stores value when it differs from the stored one.
void take(int& stored, int value, bool& changed) {
  if (stored == value) return;
  stored = value;
  changed = true;
}

// Reals are compared as the parameter file holds them, so that confirming the dialog unchanged
// (0.05 shown, 0.05 parsed) is no change even though the stored six-byte value is not the double 0.05.
void take(double& stored, double value, bool& changed) {
  const Real48 typed = Real48::fromDouble(value);
  if (Real48::fromDouble(stored) == typed) return;
  stored = typed.toDouble();
  changed = true;
}

}  // namespace

ErrorLevelForm ErrorLevelFormOf(const ParamSettings& settings) {
  ErrorLevelForm form;
  form.errorProbabilityA = FormatDecimals(-4, settings.errorProbabilityA);
  form.errorProbabilityB = FormatDecimals(-4, settings.errorProbabilityB);
  form.factorA = FormatDecimals(-2, settings.factorA);
  form.factorB = FormatDecimals(-2, settings.factorB);
  form.quantileA = FormatDecimals(-2, settings.quantileA);
  form.quantileB = FormatDecimals(-2, settings.quantileB);
  form.testKind = settings.testKind == 1 ? 1 : 2;
  form.testMethod = settings.testMethod == 0 ? 0 : 1;
  form.whiskerIndex = ClampInt(settings.whiskerIndex, 0, static_cast<int>(kWhiskerChoices.size()) - 1);
  return form;
}

ErrorLevelChange ApplyErrorLevelForm(const ParamSettings& stored, const ErrorLevelForm& form) {
  double alphaA = clampedField(form.errorProbabilityA, kMinErrorProbability, kMaxErrorProbability);
  double alphaB = clampedField(form.errorProbabilityB, kMinErrorProbability, kMaxErrorProbability);
  if (alphaA < alphaB) std::swap(alphaA, alphaB);
  double factorA = clampedField(form.factorA, kMinFactor, kMaxFactor);
  double factorB = clampedField(form.factorB, kMinFactor, kMaxFactor);
  if (factorA > factorB) std::swap(factorA, factorB);
  double quantileA = clampedField(form.quantileA, kMinQuantile, kMaxQuantile);
  double quantileB = clampedField(form.quantileB, kMinQuantile, kMaxQuantile);
  if (quantileA > quantileB) std::swap(quantileA, quantileB);

  ErrorLevelChange change{stored, false};
  ParamSettings& s = change.settings;
  bool& changed = change.changed;
  take(s.errorProbabilityA, alphaA, changed);
  take(s.errorProbabilityB, alphaB, changed);
  take(s.factorA, factorA, changed);
  take(s.factorB, factorB, changed);
  take(s.quantileA, quantileA, changed);
  take(s.quantileB, quantileB, changed);
  // A stored kind other than 1 reads as two-sided: choosing two-sided again changes nothing.
  const int storedKind = stored.testKind == 1 ? 1 : 2;
  if (form.testKind != storedKind) take(s.testKind, form.testKind == 1 ? 1 : 2, changed);
  take(s.testMethod, form.testMethod == 0 ? 0 : 1, changed);
  take(s.whiskerIndex, ClampInt(form.whiskerIndex, 0, static_cast<int>(kWhiskerChoices.size()) - 1), changed);
  return change;
}

SignificanceLevels LevelsOf(const ParamSettings& settings) {
  return MakeSignificanceLevels(settings.testKind == 1 ? 1 : 2, settings.errorProbabilityA,
                                settings.errorProbabilityB);
}

double WhiskerFactorOf(const ParamSettings& settings) {
  return ClampInt(settings.whiskerIndex, 0, static_cast<int>(kWhiskerChoices.size()) - 1) * 0.5 + 1.0001;
}

}  // namespace veltrix
