// Level unit conversions.
#include <gtest/gtest.h>

#include <functional>

#include "factors/Conversions.h"

namespace brimtal {
namespace {

struct ConversionCase {
  const char* call;
  std::function<double()> compute;
  double expected;
};

TEST(Conversions, KnownValues) {
  const ConversionCase cases[] = {
      {"VoltsToDbuv(1)", [] { return VoltsToDbuv(1); }, 120},
      {"VoltsToDbuv(1e-6)", [] { return VoltsToDbuv(1e-6); }, 0},
      {"VoltsToDbuv(5e-7)", [] { return VoltsToDbuv(5e-7); }, 0},
      {"VoltsToDbuv(-1)", [] { return VoltsToDbuv(-1); }, -999},
      {"DbuvToVolts(120)", [] { return DbuvToVolts(120); }, 1},
      {"VoltsToDbm(1, 50)", [] { return VoltsToDbm(1, 50); }, 13.0103},
      {"VoltsToDbm(5e-7, 50)", [] { return VoltsToDbm(5e-7, 50); }, -107},
      {"VoltsToDbm(5e-7, 75)", [] { return VoltsToDbm(5e-7, 75); }, -107},
      {"VoltsToDbm(-1, 50)", [] { return VoltsToDbm(-1, 50); }, -999},
      {"DbmToDbuv(0, 50)", [] { return DbmToDbuv(0, 50); }, 106.9897},
      {"DbuvToDbm(106.9897, 50)", [] { return DbuvToDbm(106.9897, 50); }, 0},
      {"WattsToDbm(0.001)", [] { return WattsToDbm(0.001); }, 0},
      {"WattsToDbm(1)", [] { return WattsToDbm(1); }, 30},
      {"WattsToDbm(0)", [] { return WattsToDbm(0); }, -999},
      {"WattsToDbm(-1)", [] { return WattsToDbm(-1); }, -999},
      {"DbmToWatts(30)", [] { return DbmToWatts(30); }, 1},
      {"DbuaToDbuv(0, 50)", [] { return DbuaToDbuv(0, 50); }, 33.9794},
      {"DbuaToDbm(0, 50)", [] { return DbuaToDbm(0, 50); }, -73.0103},
      {"AmplitudeToDb(10)", [] { return AmplitudeToDb(10); }, 20},
      {"AmplitudeToDb(1e-7)", [] { return AmplitudeToDb(1e-7); }, 0},
      {"AmplitudeToDb(-2)", [] { return AmplitudeToDb(-2); }, -999},
      {"RatioToDb(2, 1, 10)", [] { return RatioToDb(2, 1, 10); }, 3.0103},
      {"RatioToDb(1, 0, 20)", [] { return RatioToDb(1, 0, 20); }, -999},
      {"RatioToDb(0, 1, 20)", [] { return RatioToDb(0, 1, 20); }, -999},
      {"RatioToDb(10, 1, 20)", [] { return RatioToDb(10, 1, 20); }, 20},
  };
  for (const auto& c : cases) EXPECT_NEAR(c.compute(), c.expected, 5e-5) << c.call;
}

TEST(Conversions, RoundTripsAreExactToTheLastDigits) {
  for (double dbm : {-60.0, -13.5, 0.0, 17.25, 47.0}) {
    EXPECT_NEAR(WattsToDbm(DbmToWatts(dbm)), dbm, 1e-12);
    EXPECT_NEAR(DbuvToDbm(DbmToDbuv(dbm, 50), 50), dbm, 1e-12);
  }
  EXPECT_NEAR(VoltsToDbuv(DbuvToVolts(87.5)), 87.5, 1e-12);
}

}  // namespace
}  // namespace brimtal
