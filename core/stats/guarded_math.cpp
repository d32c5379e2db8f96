#include "core/stats/guarded_math.h"

#include <cmath>

namespace veltrix {

namespace {

constexpr double kExpLimit = 86.0;
constexpr double kLnOfNonPositive = -33000.0;
// The substitute of the decimal logarithm keeps the historical factor; real logarithms use
// std::log10, because ln(x) * 0.434294481 misses powers of ten (log10(1000) would truncate to 2).
constexpr double kLog10OfNonPositive = kLnOfNonPositive * 0.434294481;
constexpr double kZeroBase = 1e-20;
constexpr double kIntegralTolerance = 1e-19;

}  // namespace

double SafeExp(double x, DomainFlag& flag) {
  flag.raised = false;
  if (x <= -kExpLimit) return 0.0;
  if (x < kExpLimit) return std::exp(x);
  flag.raised = true;  // x >= 86 or NaN
  return std::exp(kExpLimit - 1.0);
}

double SafeLn(double x, DomainFlag& flag) {
  flag.raised = !(x > 0.0);
  return flag.raised ? kLnOfNonPositive : std::log(x);
}

double SafeLog10(double x, DomainFlag& flag) {
  flag.raised = !(x > 0.0);
  return flag.raised ? kLog10OfNonPositive : std::log10(x);
}

double SafeSqrt(double x, DomainFlag& flag) {
  flag.raised = !(x >= 0.0);
  return flag.raised ? 0.0 : std::sqrt(x);
}

double SafePower(double b, double e, DomainFlag& flag) {
  flag.raised = false;
  if (std::isnan(b) || std::isnan(e)) {
    flag.raised = true;
    return 0.0;
  }
  if (b >= -kZeroBase && b <= 0.0) return e > kZeroBase ? 0.0 : 1.0;
  double sign = 1.0;
  if (b < 0.0) {
    const std::int16_t n = RoundToSmall(e);
    if (std::fabs(e - n) > kIntegralTolerance) {
      flag.raised = true;
      return 0.0;
    }
    if (n % 2 != 0) sign = -1.0;
  }
  // The guard is the one of SafeExp(e * ln|b|); inside it std::pow gives the correctly rounded power
  // (2^3 is 8, where exp(3 ln 2) is 7.999999999999998).
  const double exponent = e * std::log(std::fabs(b));
  const double magnitude = SafeExp(exponent, flag);
  if (magnitude == 0.0) return 0.0;
  if (flag.raised) return sign * magnitude;
  return sign * std::pow(std::fabs(b), e);
}

double SafeArcSin(double x, DomainFlag& flag) {
  flag.raised = !(std::fabs(x) <= 1.0);
  if (std::isnan(x)) return 0.0;
  const double a = MinReal(std::fabs(x), 1.0);
  // Polynomial approximation, Abramowitz and Stegun 4.4.45.
  const double p = MaxReal(((-0.0187293 * a + 0.074261) * a - 0.2121144) * a + 1.5707288, 0.0);
  const double result = 1.57079633 - std::sqrt(1.0 - a) * p;
  return x < 0.0 ? -result : result;
}

double SafeExp(double x) {
  DomainFlag flag;
  return SafeExp(x, flag);
}

double SafeLn(double x) {
  DomainFlag flag;
  return SafeLn(x, flag);
}

double SafeLog10(double x) {
  DomainFlag flag;
  return SafeLog10(x, flag);
}

double SafeSqrt(double x) {
  DomainFlag flag;
  return SafeSqrt(x, flag);
}

double SafePower(double b, double e) {
  DomainFlag flag;
  return SafePower(b, e, flag);
}

double SafeArcSin(double x) {
  DomainFlag flag;
  return SafeArcSin(x, flag);
}

double MaxReal(double a, double b) {
  return a > b ? a : b;
}
double MinReal(double a, double b) {
  return a < b ? a : b;
}
double ClampReal(double x, double lo, double hi) {
  return MinReal(MaxReal(x, lo), hi);
}
int MaxInt(int a, int b) {
  return a > b ? a : b;
}
int MinInt(int a, int b) {
  return a < b ? a : b;
}
int ClampInt(int x, int lo, int hi) {
  return MinInt(MaxInt(x, lo), hi);
}

double Int(double x) {
  return std::trunc(x);
}

std::int16_t RoundToSmall(double x) {
  if (std::isnan(x)) return 0;
  return static_cast<std::int16_t>(std::nearbyint(ClampReal(x, -32767.0, 32767.0)));
}

std::int32_t RoundToLong(double x) {
  if (std::isnan(x)) return 0;
  return static_cast<std::int32_t>(std::nearbyint(ClampReal(x, -2147483647.0, 2147483647.0)));
}

}  // namespace veltrix
