// Driving the simulated bench in tests.
#include "BenchRig.h"

#include "factors/Conversions.h"
#include "shell/FileIo.h"
#include "shell/VbText.h"
#include "support/TestFiles.h"

namespace brimtal::test {

namespace {

bool IsDataLine(const std::string& line) {
  if (line.find_first_not_of("0123456789+-. \t,") != std::string::npos) return false;
  return line.find_first_of("0123456789") != std::string::npos;
}

}  // namespace

double BenchRig::QueryNumber(int address, const std::string& command) {
  const std::string reply = Query(address, command);
  EXPECT_TRUE(vbtext::ToNumber(vbtext::Trim(reply.substr(0, reply.find('\n'))))) << reply;
  return vbtext::Val(reply);
}

void BenchRig::SelectBand(int band) {
  const std::vector<std::pair<int, const char*>> band1{{10, "8"}, {9, "FA"}, {9, "L3"}, {9, "M1"},
                                                       {9, "ON"}, {9, "B1"}, {10, "9"}, {9, "ZA"}};
  const std::vector<std::pair<int, const char*>> band2{{9, "FA"}, {10, "8"}, {9, "L3"}, {9, "M1"},
                                                       {9, "ON"}, {9, "B2"}, {9, "ZA"}};
  for (const auto& [address, command] : band == 1 ? band1 : band2) Write(address, command);
}

void BenchRig::SetGenerator(double freqMhz, double levelDbm) {
  Write(19, "FREQ " + vbtext::Format(freqMhz, "####0.0##### ") + "MHZ");
  Write(19, "POW " + vbtext::Format(levelDbm, "##0.0 ") + "DBM");
  Write(19, "OUTP ON");
}

namespace {
double PortWatts(BenchRig& rig, int channel, double freqMhz) {
  const std::string n = channel == 1 ? "1" : "2";
  rig.Write(13, "INST:NSEL " + n);
  rig.Write(13, "FREQ " + vbtext::Format(freqMhz, "####0.0######### ") + "MHZ");
  rig.gpib.GpibFlush(13);
  rig.Write(13, "INIT" + n);
  return rig.QueryNumber(13, "FETC" + n + "?");
}
}  // namespace

double BenchRig::ForwardDbm(double freqMhz) {
  return WattsToDbm(PortWatts(*this, 1, freqMhz)) + ExampleFactor("coupler-fwd.fac", freqMhz);
}

double BenchRig::ReverseDbm(double freqMhz) {
  return WattsToDbm(PortWatts(*this, 2, freqMhz)) + ExampleFactor("coupler-rev.fac", freqMhz);
}

double BenchRig::ReceiverDbuv(double freqMhz, double expectedDbuv) {
  Write(18, "FREQ:CENT " + vbtext::Format(freqMhz, "####0.0######### ") + "MHZ");
  Write(18, "DISP:TRAC:Y:RLEV " +
                vbtext::Format(DbuvToDbm(expectedDbuv + 2.0, 50.0f), "####0.0##### ") + "DBM");
  gpib.GpibFlush(18);
  Write(18, "INIT");
  return DbmToDbuv(QueryNumber(18, "CALC:MARK:Y?"), 50.0f);
}

std::map<double, double> ExampleFactors(const std::string& name) {
  TextFileReader reader;
  FileError error;
  EXPECT_TRUE(reader.Open(ExampleFile("bench/" + name), error)) << name;
  std::map<double, double> points;
  std::string line;
  while (reader.ReadLine(line, error)) {
    if (!IsDataLine(line)) continue;
    const std::size_t comma = line.find(',');
    points[vbtext::LeadingDecimal(line)] =
        vbtext::LeadingDecimal(vbtext::Trim(line.substr(comma + 1)));
  }
  return points;
}

double ExampleFactor(const std::string& name, double freqMhz) {
  const auto points = ExampleFactors(name);
  const auto it = points.find(freqMhz);
  EXPECT_NE(it, points.end()) << name << " has no point at " << freqMhz;
  return it == points.end() ? 0.0 : it->second;
}

}  // namespace brimtal::test
