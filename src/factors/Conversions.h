// Conversions between the level units of the instruments and the data files: volts, watts,
// dBuV, dBm and dBuA, at a given circuit impedance. -999 marks a missing value.
#pragma once

namespace brimtal {

inline constexpr double kNoValue = -999.0;

double Log10(double x);  // ln(x) / ln(10), no guard of its own
double VoltsToDbuv(double volts);
double DbuvToVolts(double dbuv);
double WattsToDbm(double watts);
double DbmToWatts(double dbm);
double DbmToDbuv(double dbm, float ohms);
double DbuvToDbm(double dbuv, float ohms);
double VoltsToDbm(double volts, float ohms);
double DbuaToDbuv(double dbua, float ohms);
double DbuaToDbm(double dbua, float ohms);
double AmplitudeToDb(double ratio);
double RatioToDb(double a, double b, double factor);

}  // namespace brimtal
