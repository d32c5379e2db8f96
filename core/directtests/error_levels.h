// The significance settings dialog (command 6020, "Irrtumswahrscheinlichkeiten, Faktoren, Quantile"):
// what its fields show, and how a confirmed form becomes the stored settings.
#pragma once

#include <array>
#include <string>

#include "core/datafile/params.h"
#include "core/stats/significance.h"

namespace veltrix {

inline constexpr int kErrorLevelsCode = 6020;
inline constexpr int kErrorLevelsHelp = 60200;

// Ranges: error probabilities 0.0001..0.25, factors 0.1..10, quantiles 0.1..99.9 (in %).
inline constexpr double kMinErrorProbability = 0.0001;
inline constexpr double kMaxErrorProbability = 0.25;
inline constexpr double kMinFactor = 0.1;
inline constexpr double kMaxFactor = 10;
inline constexpr double kMinQuantile = 0.1;
inline constexpr double kMaxQuantile = 99.9;

// The whisker choices as the dialog lists them (index 0..4).
inline constexpr std::array<const char*, 5> kWhiskerChoices{" 1", " 1,5", " 2", " 2,5", " 3"};

// The dialog's fields: six edit texts and three choices.
struct ErrorLevelForm {
  std::string errorProbabilityA;  // "Irrtumswahrscheinlichkeit  A :"
  std::string errorProbabilityB;  // "B :"
  std::string factorA;            // "Faktor  A  (M±SD) :"
  std::string factorB;            // "Faktor  B  (M±SD) :"
  std::string quantileA;          // "Quantil  A  (in %) :"
  std::string quantileB;          // "Quantil  B  (in %) :"
  int testKind = 1;               // " Testart ": 1 "einseitig", 2 "zweiseitig"
  int testMethod = 1;             // " Bevorzugte Testmethode ": 0 parametric, 1 non-parametric
  int whiskerIndex = 0;           // "Whisker-Faktor B&&W-Plots": 0..4

  friend bool operator==(const ErrorLevelForm&, const ErrorLevelForm&) = default;
};

// The form as the dialog opens: the error probabilities with up to 4 decimals, factors and quantiles
// with up to 2 (trailing zeros removed); a stored test kind other than 1 shows as two-sided.
ErrorLevelForm ErrorLevelFormOf(const ParamSettings& settings);

struct ErrorLevelChange {
  ParamSettings settings;  // the stored settings with the form's values taken over
  bool changed = false;    // whether any value differs from the stored one
};

// "OK": each text is parsed (a text that is no number counts as 0) and clamped to its range, each pair
// is put in order (A >= B for the error probabilities, A <= B for factors and quantiles) by exchanging
// the values; no message is shown.
ErrorLevelChange ApplyErrorLevelForm(const ParamSettings& stored, const ErrorLevelForm& form);

// The working copy of the stored settings that the tests read: sidedness and the two levels, with the
// derived texts.
SignificanceLevels LevelsOf(const ParamSettings& settings);
// The whisker factor of box-and-whisker plots: index * 0.5 + 1.0001.
double WhiskerFactorOf(const ParamSettings& settings);

}  // namespace veltrix
