// The exp2 the MinGW-w64 libavcodec DLLs are linked with
// (tools/libavcodec-exp2.c), here in front of this platform's exp2: the
// arguments the wmav2 encoder gives come from its table, every value the
// one exp2 gives, and any other argument goes to exp2.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#define EXP2_REAL exp2
#define EXP2_WRAP TableExp2
#include "tools/libavcodec-exp2.c"

namespace {

std::uint64_t Bits(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

TEST(LibavcodecExp2, ServesTheEncodersPowersOfTenFromTheTableAsExp2GivesThem) {
  // As libavcodec's ff_exp10 forms them: a band's exponent n / 16 and a gain g * 0.05.
  std::vector<double> encoders;
  for (int n = 0; n < 64; ++n) encoders.push_back(M_LOG2_10 * (n * (1.0 / 16.0)));
  for (int g = -64; g <= 200; ++g) encoders.push_back(M_LOG2_10 * (g * 0.05));
  for (const double x : encoders) {
    SCOPED_TRACE(x);
    const entry* e = find(x);
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->usable);
    EXPECT_EQ(Bits(TableExp2(x)), Bits(std::exp2(x)));
  }
  const double others[] = {0.3, -1.5, 1e-300, 1e10, -1e10,
                           std::nextafter(M_LOG2_10 * 1.25, 10.0),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  for (const double x : others) {
    SCOPED_TRACE(x);
    EXPECT_EQ(find(x), nullptr);
    EXPECT_EQ(Bits(TableExp2(x)), Bits(std::exp2(x)));
  }
  EXPECT_TRUE(std::isnan(TableExp2(std::numeric_limits<double>::quiet_NaN())));
}

}  // namespace
