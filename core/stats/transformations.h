// The ten data transformations (log, square root, reciprocal, arc sine ...) with their display names,
// domains and back-transformations.
#pragma once

#include <string_view>

namespace veltrix {

// Codes 2..10 select a transformation; 0, 1, everything above 10 and negative codes mean none.
bool IsTransformation(int code);

// Display name in result texts: "keine" for no transformation, else "log(x)", "sqrt(x+3/8)" ...
std::string_view TransformName(int code);

struct TransformResult {
  double value = 0.0;
  // Decimals to show for value (0..8, about five significant digits); only when decimalsSet, that
  // is for a real transformation. Otherwise the caller's own count stands.
  int decimals = 0;
  bool decimalsSet = false;
  // x lay outside the domain; value is then 0.
  bool error = false;
};

TransformResult Transform(int code, double x);

struct BackTransformResult {
  double value = 0.0;
  // y lay outside the range of the transformation (the value is then the substitute of the table),
  // or the power of ten overflowed.
  bool error = false;
};

BackTransformResult BackTransform(int code, double y);

}  // namespace veltrix
