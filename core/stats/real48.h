// The six-byte real: the stored form of reals in the parameter file, the work files and pictures.
// Everything else computes in double; values pass through this type only where bytes are stored.
#pragma once

#include <array>
#include <cstdint>

namespace veltrix {

// Byte 0: exponent with bias 129, 0 meaning the value 0. Bytes 1..5: 39 fraction bits below a hidden
// leading 1 (byte 1 least significant, bits 0..6 of byte 5 most significant) and the sign in bit 7 of
// byte 5. value = (-1)^sign * (1 + fraction / 2^39) * 2^(exponent - 129).
struct Real48 {
  std::array<std::uint8_t, 6> bytes{};

  // Rounds to nearest, ties to even; exact for every double that fits 39 fraction bits. Magnitudes
  // beyond the largest six-byte value saturate to it (infinities too, keeping their sign); magnitudes
  // that round below the smallest normal value (2^-128, about 2.9e-39) become 0, as do NaN and -0.
  static Real48 fromDouble(double value);
  double toDouble() const;

  friend bool operator==(const Real48&, const Real48&) = default;
};
static_assert(sizeof(Real48) == 6, "a six-byte real is stored as exactly six bytes");

// Largest magnitude a six-byte real holds: (2 - 2^-39) * 2^126, about 1.7014118346e38.
inline constexpr double kReal48Max = 0x1.fffffffffep126;
// Smallest non-zero magnitude: 2^-128, about 2.9387e-39.
inline constexpr double kReal48MinNormal = 0x1p-128;

// Six bytes at src (no alignment needed) as a double.
double readReal48(const std::uint8_t* src);
// value rounded to a six-byte real and written to the six bytes at dst.
void writeReal48(double value, std::uint8_t* dst);

}  // namespace veltrix
