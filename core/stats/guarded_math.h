// Guarded elementary functions, rounding and clamping: the numeric basics every analysis shares.
#pragma once

#include <cstdint>

namespace veltrix {

// Domain-error flag of the guarded functions. Each guarded function clears it on entry and raises it
// when its argument lies outside its domain; callers that must notice (the manipulation language)
// read it right after the call. It lives with the caller, so nothing here is global.
struct DomainFlag {
  bool raised = false;
};

// e^x for |x| < 86; x >= 86 gives e^85 and raises the flag; x <= -86 gives 0 with the flag clear.
double SafeExp(double x, DomainFlag& flag);
// Natural logarithm for x > 0; otherwise -33000 and the flag.
double SafeLn(double x, DomainFlag& flag);
// Decimal logarithm for x > 0; otherwise -33000 * 0.434294481 (-14331.717873) and the flag.
double SafeLog10(double x, DomainFlag& flag);
// Square root for x >= 0; otherwise 0 (the argument taken as 0) and the flag.
double SafeSqrt(double x, DomainFlag& flag);
// b^e. A negative base needs an integral exponent, else the result is 0 and the flag is raised; a zero
// base gives 0 for e > 1e-20 and 1 otherwise; a positive base raises the flag only on overflow (e^85).
double SafePower(double b, double e, DomainFlag& flag);
// Arc sine in radians, accurate to about 7e-5; |x| > 1 is taken as |x| = 1 and raises the flag.
double SafeArcSin(double x, DomainFlag& flag);

// The same for callers that have no use for the flag.
double SafeExp(double x);
double SafeLn(double x);
double SafeLog10(double x);
double SafeSqrt(double x);
double SafePower(double b, double e);
double SafeArcSin(double x);

// A NaN argument is outside every domain: it raises the flag and gives the function's substitute
// value (SafeExp e^85, the logarithms their negative constants, SafeSqrt, SafeArcSin and SafePower 0).

// MaxReal(a, b) is a when a > b, else b (so a NaN in a gives b); MinReal likewise.
double MaxReal(double a, double b);
double MinReal(double a, double b);
double ClampReal(double x, double lo, double hi);
int MaxInt(int a, int b);
int MinInt(int a, int b);
int ClampInt(int x, int lo, int hi);

// Integral part, truncated toward zero.
double Int(double x);
// x clamped to [-32767, 32767] and rounded half to even; NaN gives 0.
std::int16_t RoundToSmall(double x);
// x clamped to [-2147483647, 2147483647] and rounded half to even; NaN gives 0.
std::int32_t RoundToLong(double x);

}  // namespace veltrix
