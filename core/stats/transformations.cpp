#include "core/stats/transformations.h"

#include <cmath>

#include "core/stats/guarded_math.h"

namespace veltrix {

namespace {

constexpr double kThreeEighths = 0.375;
constexpr double kReciprocalLimit = 1e-6;
constexpr double kReciprocalSubstitute = 999999.999;
// The back-transformation takes arc sines beyond 1.570796 as 1.570796, but only those beyond
// SafeArcSin(1) = 1.57079633, the largest the forward transformation gives, are errors: the
// transformed value of 1 (or 100) must come back without one.
constexpr double kArcSinClamp = 1.570796;
constexpr double kArcSinLimit = 1.57079633;

// About five significant digits for y, as 0..8 decimals.
int decimalsFor(double y) {
  if (y == 0.0) return 0;
  return RoundToSmall(-ClampReal(Int(std::log10(std::fabs(y))) - 4.0, -8.0, 0.0));
}

// 10^y through the guarded power; an overflow (e^85) counts as an error.
BackTransformResult powerOfTen(double y, double shift) {
  DomainFlag flag;
  const double power = SafePower(10.0, y, flag);
  return {power - shift, flag.raised};
}

// sin(y)^2 scaled, for the arc-sine transformations.
BackTransformResult squaredSine(double y, double scale) {
  if (!(y >= 0.0)) return {0.0, true};
  const double s = std::sin(y > kArcSinClamp ? kArcSinClamp : y);
  return {scale * s * s, y > kArcSinLimit};
}

}  // namespace

bool IsTransformation(int code) {
  return code >= 2 && code <= 10;
}

std::string_view TransformName(int code) {
  switch (code) {
    case 2:
      return "log(x)";
    case 3:
      return "log(x+3/8)";
    case 4:
      return "log(x+1)";
    case 5:
      return "sqrt(x)";
    case 6:
      return "sqrt(x+3/8)";
    case 7:
      return "x * x";
    case 8:
      return "1/x";
    case 9:
      return "arcsin(sqrt(x))";
    case 10:
      return "arcsin(sqrt(x/100))";
    default:
      return "keine";
  }
}

TransformResult Transform(int code, double x) {
  if (!IsTransformation(code)) return {x, 0, false, false};
  // Domain tests are written so that NaN fails them.
  bool inDomain = false;
  double y = 0.0;
  switch (code) {
    case 2:
      inDomain = x > 0.0;
      if (inDomain) y = std::log10(x);
      break;
    case 3:
      inDomain = x > -kThreeEighths;
      if (inDomain) y = std::log10(x + kThreeEighths);
      break;
    case 4:
      inDomain = x > -1.0;
      if (inDomain) y = std::log10(x + 1.0);
      break;
    case 5:
      inDomain = x >= 0.0;
      if (inDomain) y = std::sqrt(x);
      break;
    case 6:
      inDomain = x >= -kThreeEighths;
      if (inDomain) y = std::sqrt(x + kThreeEighths);
      break;
    case 7:
      // The square exists for every x, but the back-transformation could not tell the sign.
      inDomain = x >= 0.0;
      if (inDomain) y = x * x;
      break;
    case 8:
      inDomain = x > 0.0;
      if (inDomain) y = 1.0 / x;
      break;
    case 9:
      inDomain = x >= 0.0 && x <= 1.0;
      if (inDomain) y = SafeArcSin(std::sqrt(x));
      break;
    case 10:
      inDomain = x >= 0.0 && x <= 100.0;
      if (inDomain) y = SafeArcSin(std::sqrt(x / 100.0));
      break;
    default:
      break;
  }
  return {y, decimalsFor(y), true, !inDomain};
}

BackTransformResult BackTransform(int code, double y) {
  switch (code) {
    case 2:
      return powerOfTen(y, 0.0);
    case 3:
      return powerOfTen(y, kThreeEighths);
    case 4:
      return powerOfTen(y, 1.0);
    case 5:
      if (!(y >= 0.0)) return {0.0, true};
      return {y * y, false};
    case 6:
      if (!(y >= 0.0)) return {-kThreeEighths, true};  // y counts as 0
      return {y * y - kThreeEighths, false};
    case 7:
      if (!(y >= 0.0)) return {0.0, true};
      return {std::sqrt(y), false};
    case 8:
      if (!(y >= kReciprocalLimit)) return {kReciprocalSubstitute, true};
      return {1.0 / y, false};
    case 9:
      return squaredSine(y, 1.0);
    case 10:
      return squaredSine(y, 100.0);
    default:
      return {y, false};
  }
}

}  // namespace veltrix
