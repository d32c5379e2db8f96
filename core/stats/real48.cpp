#include "core/stats/real48.h"

#include <cmath>
#include <cstring>

namespace veltrix {

namespace {

constexpr int kBias = 129;
constexpr int kFractionBits = 39;
constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << kFractionBits) - 1;
constexpr std::uint64_t kSignBit = std::uint64_t{1} << kFractionBits;

Real48 pack(int exponent, std::uint64_t fraction, bool negative) {
  Real48 r;
  const std::uint64_t low40 = (fraction & kFractionMask) | (negative ? kSignBit : 0);
  r.bytes[0] = static_cast<std::uint8_t>(exponent);
  for (int i = 0; i < 5; ++i) r.bytes[1 + i] = static_cast<std::uint8_t>(low40 >> (8 * i));
  return r;
}

}  // namespace

Real48 Real48::fromDouble(double value) {
  if (std::isnan(value) || value == 0.0) return Real48{};
  const bool negative = std::signbit(value);
  if (std::isinf(value)) return pack(255, kFractionMask, negative);

  int e = 0;
  const double m = std::frexp(std::fabs(value), &e);  // m in [0.5, 1)
  // m * 2^40 is exact (scaling by a power of two); nearbyint rounds it to the nearest integer with
  // ties to even, which is rounding the significand to 1 + 39 bits.
  auto significand = static_cast<std::uint64_t>(std::nearbyint(std::ldexp(m, kFractionBits + 1)));
  if (significand == (std::uint64_t{1} << (kFractionBits + 1))) {  // rounding carried into a new bit
    significand >>= 1;
    ++e;
  }
  const int exponent = e - 1 + kBias;  // value = 1.f * 2^(e - 1)
  if (exponent > 255) return pack(255, kFractionMask, negative);
  if (exponent < 1) return Real48{};
  return pack(exponent, significand, negative);
}

double Real48::toDouble() const {
  if (bytes[0] == 0) return 0.0;
  std::uint64_t low40 = 0;
  for (int i = 0; i < 5; ++i) low40 |= std::uint64_t{bytes[1 + i]} << (8 * i);
  const std::uint64_t significand = (low40 & kFractionMask) | kSignBit;  // hidden leading 1
  const double magnitude = std::ldexp(static_cast<double>(significand), bytes[0] - kBias - kFractionBits);
  return (low40 & kSignBit) != 0 ? -magnitude : magnitude;
}

double readReal48(const std::uint8_t* src) {
  Real48 r;
  std::memcpy(r.bytes.data(), src, r.bytes.size());
  return r.toDouble();
}

void writeReal48(double value, std::uint8_t* dst) {
  const Real48 r = Real48::fromDouble(value);
  std::memcpy(dst, r.bytes.data(), r.bytes.size());
}

}  // namespace veltrix
