// Level unit conversions, all in 64-bit arithmetic.
#include "factors/Conversions.h"

#include <cmath>

namespace brimtal {

double Log10(double x) {
  return std::log(x) / std::log(10.0);
}

double VoltsToDbuv(double volts) {
  if (volts < 0) return kNoValue;
  if (volts < 1e-6) return 0;
  return 20 * Log10(volts / 1e-6);
}

double DbuvToVolts(double dbuv) {
  return std::pow(10.0, dbuv / 20) * 1e-6;
}

double WattsToDbm(double watts) {
  if (watts <= 0) return kNoValue;
  return 10 * Log10(watts / 0.001);
}

double DbmToWatts(double dbm) {
  return std::pow(10.0, dbm / 10) * 0.001;
}

double DbmToDbuv(double dbm, float ohms) {
  return dbm + 90 + 10 * Log10(static_cast<double>(ohms));
}

double DbuvToDbm(double dbuv, float ohms) {
  return dbuv - 90 - 10 * Log10(static_cast<double>(ohms));
}

double VoltsToDbm(double volts, float ohms) {
  if (volts < 0) return kNoValue;
  if (volts < 1e-6) return -107;
  return DbuvToDbm(VoltsToDbuv(volts), ohms);
}

double DbuaToDbuv(double dbua, float ohms) {
  return dbua + 20 * Log10(static_cast<double>(ohms));
}

double DbuaToDbm(double dbua, float ohms) {
  return dbua + 10 * Log10(static_cast<double>(ohms)) - 90;
}

double AmplitudeToDb(double ratio) {
  if (ratio < 0) return kNoValue;
  if (ratio < 1e-6) return 0;
  return 20 * Log10(ratio);
}

double RatioToDb(double a, double b, double factor) {
  if (a <= 0 || b <= 0) return kNoValue;
  return factor * Log10(a / b);
}

}  // namespace brimtal
