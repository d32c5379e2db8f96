#include "core/stats/real48.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace veltrix {
namespace {

using Bytes = std::array<std::uint8_t, 6>;

TEST(Real48, BytesOfKnownValues) {
  // Hand computation: value = 1.f * 2^k gives byte 0 = k + 129, the 39 fraction bits f * 2^39 in
  // bytes 1..5 (least significant first) and the sign in bit 7 of byte 5.
  struct Case {
    double value;
    Bytes bytes;
  };
  const Case cases[] = {
      {0.0, {0x00, 0, 0, 0, 0, 0x00}},
      {1.0, {0x81, 0, 0, 0, 0, 0x00}},   // 1.0 * 2^0
      {-1.0, {0x81, 0, 0, 0, 0, 0x80}},  // sign bit only
      {0.5, {0x80, 0, 0, 0, 0, 0x00}},   // 1.0 * 2^-1
      {-3.0, {0x82, 0, 0, 0, 0, 0xC0}},  // 1.5 * 2^1: f = 0.5 * 2^39 = bit 38 (0x40), plus sign
      // 0.1 = 1.6 * 2^-4; 0.6 * 2^39 = 0x4CCCCCCCCC.CC.. rounds up to 0x4CCCCCCCCD.
      {0.1, {0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C}},
      // Largest magnitude: exponent 255 and all fraction bits set.
      {kReal48Max, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
      // Smallest normal 2^-128: exponent byte 1.
      {kReal48MinNormal, {0x01, 0, 0, 0, 0, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Real48::fromDouble(c.value).bytes, c.bytes);
    Real48 r;
    r.bytes = c.bytes;
    // Exact for all but 0.1, whose stored value is 1 + 0x4CCCCCCCCD / 2^39 = 0x1.999999999Ap-4.
    EXPECT_EQ(r.toDouble(), c.value == 0.1 ? 0x1.999999999Ap-4 : c.value);
  }
}

TEST(Real48, RoundTripKeepsAboutTwelveDigits) {
  // Rounding to 1 + 39 bits errs by at most half a unit: 2^-40 relative.
  const double values[] = {0.1, -0.1, 1e-38, -1e-38, 1.7e38, -1.7e38, 123.456, -98765.4321, 3.14159265358979};
  for (const double v : values) {
    SCOPED_TRACE(v);
    const double back = Real48::fromDouble(v).toDouble();
    EXPECT_LE(std::fabs(back - v), std::fabs(v) * 0x1p-40);
    EXPECT_EQ(std::signbit(back), std::signbit(v));
  }
  // Values with at most 39 fraction bits come back exactly.
  const double exact[] = {2.5, -1234567.0, 1.0 + 0x1p-39, 1099511627775.0 /* 2^40 - 1 */, -0x1p100, 0x1p-120};
  for (const double v : exact) {
    SCOPED_TRACE(v);
    EXPECT_EQ(Real48::fromDouble(v).toDouble(), v);
  }
}

TEST(Real48, RoundsToNearestWithTiesToEven) {
  // One unit of the 39-bit fraction near 1 is 2^-39; half a unit is 2^-40.
  struct Case {
    double value;
    double stored;
  };
  const Case cases[] = {
      {1.0 + 0x1p-40, 1.0},                      // tie, 1.0 has an even fraction
      {1.0 + 3 * 0x1p-40, 1.0 + 0x1p-38},        // tie between 1 and 2 units: to the even 2
      {1.0 + 0x1p-40 + 0x1p-52, 1.0 + 0x1p-39},  // just above the tie
      {1.0 + 0x1p-40 - 0x1p-52, 1.0},            // just below the tie
      {-(1.0 + 3 * 0x1p-40), -(1.0 + 0x1p-38)},  // symmetric for negatives
      {2.0 - 0x1p-41, 2.0},                      // carry into the exponent
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Real48::fromDouble(c.value).toDouble(), c.stored);
  }
  EXPECT_EQ(Real48::fromDouble(2.0 - 0x1p-41).bytes, (Bytes{0x82, 0, 0, 0, 0, 0}));
}

TEST(Real48, OutOfRangeSaturatesOrBecomesZero) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double value;
    double stored;
  };
  const Case cases[] = {
      {1e39, kReal48Max},
      {-1e300, -kReal48Max},
      {inf, kReal48Max},
      {-inf, -kReal48Max},
      {1e-39, 0.0},                     // below 2^-128 = 2.94e-39
      {-2e-39, 0.0},                    // between 2^-129 and 2^-128: no stray sign or fraction bits
      {0x1p-128 - 0x1p-170, 0x1p-128},  // rounds up to the smallest normal value
      {-1e-300, 0.0},
      {std::numeric_limits<double>::denorm_min(), 0.0},
      {std::nan(""), 0.0},
      {-0.0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const Real48 r = Real48::fromDouble(c.value);
    EXPECT_EQ(r.toDouble(), c.stored);
    if (c.stored == 0.0) {
      EXPECT_EQ(r.bytes, Bytes{});  // no negative zero either
    }
  }
}

TEST(Real48, ReadAndWriteAtAnyAddress) {
  std::uint8_t buffer[9] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
  writeReal48(-3.0, buffer + 1);  // odd address: no alignment needed
  EXPECT_EQ(buffer[0], 0xAA);
  EXPECT_EQ(buffer[7], 0xAA);
  EXPECT_EQ(buffer[1], 0x82);
  EXPECT_EQ(buffer[6], 0xC0);
  EXPECT_EQ(readReal48(buffer + 1), -3.0);
}

}  // namespace
}  // namespace veltrix
