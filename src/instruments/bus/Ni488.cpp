// Names and descriptions of the bus status values.
#include "instruments/bus/Ni488.h"

#include <array>

namespace brimtal::bus {

namespace {

struct ErrorRow {
  int code;
  ErrorInfo info;
};

constexpr std::array<ErrorRow, 15> kErrors{{
    {kEdvr, {"EDVR", "DOS Error"}},
    {kEcic, {"ECIC", "Not CIC"}},
    {kEnol, {"ENOL", "No Listener"}},
    {kEadr, {"EADR", "Address Error"}},
    {kEarg, {"EARG", "Invalid argument"}},
    {kEsac, {"ESAC", "Not Sys Ctrlr"}},
    {kEabo, {"EABO", "Op. aborted"}},
    {kEneb, {"ENEB", "No GPIB board"}},
    {kEoip, {"EOIP", "Async I/O in prg"}},
    {kEcap, {"ECAP", "No capability"}},
    {kEfso, {"EFSO", "File sys. error"}},
    {kEbus, {"EBUS", "Command error"}},
    {kEstb, {"ESTB", "Status byte lost"}},
    {kEsrq, {"ESRQ", "SRQ stuck high"}},
    {kEtab, {"ETAB", "Table overflow"}},
}};

}  // namespace

ErrorInfo ErrorInfoOf(int iberr) {
  for (const ErrorRow& row : kErrors) {
    if (row.code == iberr) return row.info;
  }
  return {};
}

int TimeoutMs(Timeout timeout) {
  return timeout == Timeout::Ms30 ? 30 : 10000;
}

std::string_view BenchSetupName(BenchSetup setup) {
  switch (setup) {
    case BenchSetup::CalibrationFixture: return "calibration fixture";
    case BenchSetup::Eut: return "EUT";
    case BenchSetup::Direct: return "direct";
    case BenchSetup::CableInserted: return "cable inserted";
  }
  return "";
}

}  // namespace brimtal::bus
