// brimtal-simbench: the simulated bench on loopback TCP ports, one raw SCPI socket per
// instrument, for the LAN back-end and any VISA client; it also writes the bench's example
// factor files and frequency lists.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <map>

#include "shell/Clock.h"
#include "sim/BenchFiles.h"
#include "sim/SimBench.h"
#include "sim/SimServer.h"

namespace {

using brimtal::bus::BenchSetup;
using brimtal::sim::SimAmplifier;

// SIGINT and SIGTERM arrive as a readable descriptor, so the server loop ends cleanly.
int StopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigprocmask(SIG_BLOCK, &signals, nullptr);
  return signalfd(-1, &signals, SFD_CLOEXEC);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Serves the simulated bench of Brimtal as raw SCPI sockets (one port per instrument)."};
  std::string host = "127.0.0.1";
  int basePort = 5000;
  std::uint64_t seed = 1;
  SimAmplifier amplifier = SimAmplifier::IfiPair;
  BenchSetup setup = BenchSetup::CalibrationFixture;
  std::string filesFolder;
  app.add_option("--host", host, "IPv4 address to listen on")->capture_default_str();
  app.add_option("--base-port", basePort,
                 "instrument at GPIB address A listens on base port + A; 0 picks free ports")
      ->capture_default_str()
      ->check(CLI::Range(0, 65000));
  app.add_option("--seed", seed, "seed of the measurement noise")->capture_default_str();
  app.add_option("--amplifier", amplifier,
                 "ifi: the amplifier pair at 9 and 10; generic: always on")
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, SimAmplifier>{{"ifi", SimAmplifier::IfiPair},
                                              {"generic", SimAmplifier::Generic}},
          CLI::ignore_case));
  app.add_option("--setup", setup, "what is connected: fixture, eut, direct or cable")
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, BenchSetup>{{"fixture", BenchSetup::CalibrationFixture},
                                            {"eut", BenchSetup::Eut},
                                            {"direct", BenchSetup::Direct},
                                            {"cable", BenchSetup::CableInserted}},
          CLI::ignore_case));
  app.add_option("--write-bench-files", filesFolder,
                 "write the bench's factor files and frequency lists into this folder and exit");
  CLI11_PARSE(app, argc, argv);

  if (!filesFolder.empty()) {
    brimtal::FileError error;
    std::string failed;
    if (!brimtal::sim::WriteBenchFiles(filesFolder, error, failed)) {
      std::cerr << "brimtal-simbench: cannot write " << failed << ": " << error.description << "\n";
      return 1;
    }
    return 0;
  }

  brimtal::SystemClock clock;
  brimtal::sim::SimBench bench(clock, {seed, amplifier, setup});
  brimtal::sim::SimServer server(bench);
  std::string error;
  if (!server.Listen(host, basePort, error)) {
    std::cerr << "brimtal-simbench: " << error << "\n";
    return 1;
  }
  for (const auto& served : server.Served()) {
    std::cout << "GPIB " << served.address << "  TCPIP::" << host << "::" << served.port
              << "::SOCKET  " << bench.At(served.address)->Identity() << "\n";
  }
  std::cout << "ready" << std::endl;
  const int stop = StopSignals();
  while (server.Poll(1000, stop)) {
  }
  ::close(stop);
  return 0;
}
